#pragma once
// The polygon model: a boundary representation with half-edges.
//
// Ownership: the Model owns its MeshObjects; each MeshObject owns its faces,
// half-edges, edges, vertices and texture coordinates (kept in stores with
// stable addresses). The lists (faces, edges, vertices, ...) hold plain
// non-owning pointers in creation order; every other reference between
// records is a plain back-reference.
#include "model/record_pool.h"
#include "model/stable_store.h"
#include "model/unfold_records.h"
#include "model/vec3.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nettor {

struct Model;
struct MeshObject;
struct Face;
struct Loop;
struct HalfEdge;
struct Edge;
struct VertexIndex;

struct Vertex {
    std::int32_t id = 0;   // the reader's running vertex number (1, 2, 3, ...)
    Vec3 position;
    std::uint64_t serial = 0; // creation order in the model; orders boundary edges
};

struct TexCoord {
    double u = 0.0;
    double v = 0.0;
};

// OpenGL material values: ambient, diffuse, emission, specular (r, g, b, a
// each) and shininess.
struct Material {
    float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    float emission[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 0.0f;
    // The material's own texture, as the model file names it (a file name
    // or, for an image carried inside the file, its label), and the image
    // read for it: an index into Model::images, -1 for none.
    std::string name;
    std::string textureName;
    std::int32_t imageIndex = -1;
};

// A process-wide number for each image made, so that views can tell images
// apart that happen to reuse one another's memory.
std::uint64_t nextTextureImageSerial();

struct TextureImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<unsigned char> pixels; // 3 bytes per pixel: red, green, blue
    // Where the image came from (the file read, or a label for one carried
    // inside the model file) and the encoded bytes as read (PNG, JPEG, ...),
    // for writers that embed the image as it is; both may be empty.
    std::string source;
    std::string encoded;
    std::uint64_t serial = nextTextureImageSerial();
};

struct Plane {
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    double d = 0.0;
};

struct HalfEdge {
    Edge* edge = nullptr;
    Vertex* origin = nullptr;
    Loop* loop = nullptr;
    HalfEdge* twin = nullptr;
    HalfEdge* next = nullptr;
    HalfEdge* prev = nullptr;
    PatternPoint* point = nullptr;     // 2D position of the origin corner once placed
    HalfEdge* foldPartner = nullptr;   // the twin while the faces are joined here
    CornerCopy* cornerCopy = nullptr;  // copy of the origin corner once placed
    TexCoord* texCoord = nullptr;
    std::uint32_t index = 0;           // 0-based creation number in the whole model
};

struct Loop {
    Face* face = nullptr;
    std::vector<HalfEdge*> halfEdges; // corner order
};

// Twice the area vector of a loop's outline (Newell's method): its direction
// is the outline's normal whatever the shape, its length twice the area.
Vec3 outlineAreaVector(const Loop& loop);

struct Face {
    MeshObject* object = nullptr;
    Loop outerLoop;
    Plane plane;
    std::int32_t index = 0;           // 0-based number in the whole model
    std::int32_t materialIndex = -1;  // into object->materials, -1 for none
    Vec3 centroid;                    // sum of corners until finishFace, then the mean
    std::int32_t cornerCount = 0;
    std::uint8_t unfolded = 0;
    UnfoldedPart* part = nullptr;

    // Appends a corner; texCoord may be null.
    HalfEdge* addCorner(Vertex* vertex, TexCoord* texCoord = nullptr);
    // Completes the face: centroid, loop links, plane and index. A face with
    // fewer than three corners cannot bound anything: it is taken out of its
    // object again, a warning goes to the diagnostics stream and false is
    // returned.
    bool finishFace();
};

struct Edge {
    HalfEdge* halfEdge1 = nullptr;
    HalfEdge* halfEdge2 = nullptr;    // none on a boundary
    Vertex* vertex1 = nullptr;
    Vertex* vertex2 = nullptr;
    double length = 0.0;
    double foldAngle = -1.0;          // degrees; 180 is flat
    EdgeState state = EdgeState::Untouched;
    std::int32_t edgeId = -1;         // cut-edge number, -1 for none
    std::uint8_t isRidge = 0;
    std::uint32_t index = 0;          // 0-based creation number in the whole model
};

struct MeshObject {
    std::vector<Face*> faces;
    std::vector<Edge*> edges;
    std::vector<Vertex*> vertices;
    std::vector<TexCoord*> texCoords;  // readers address it from 1
    double meanEdgeLength = 0.0;
    std::vector<Material> materials;   // addressed from 0 by Face::materialIndex
    Model* model = nullptr;

    explicit MeshObject(Model* owner);
    MeshObject(const MeshObject&) = delete;
    MeshObject& operator=(const MeshObject&) = delete;

    Vertex* addVertex(double x, double y, double z, std::int32_t id);
    // The last vertex whose coordinates equal (x, y, z) exactly, or null.
    Vertex* findVertex(double x, double y, double z) const;
    TexCoord* addTexCoord(double u, double v);
    Face* addFace();
    // Pairs the object's half-edges into twins and creates its edges.
    void buildEdges();

private:
    friend struct Face;
    StableStore<Vertex> vertexStore_;
    StableStore<TexCoord> texCoordStore_;
    StableStore<Face> faceStore_;
    StableStore<HalfEdge> halfEdgeStore_;
    StableStore<Edge> edgeStore_;
    // Exact-coordinate index for findVertex, built on first use and kept up
    // to date by addVertex from then on.
    mutable std::unique_ptr<VertexIndex> vertexIndex_;
    void indexVertex(Vertex* v) const;
public:
    ~MeshObject();
};

struct Model {
    std::vector<std::unique_ptr<MeshObject>> objects;
    Vec3 boundsMax{-1e10, -1e10, -1e10};
    Vec3 boundsMin{1e10, 1e10, 1e10};
    std::int32_t faceCount = 0;

    // Unfolding records.
    std::vector<std::unique_ptr<UnfoldedPart>> parts;
    UnfoldedPart* currentPart = nullptr;
    RecordPool<CornerCopy> cornerPool;
    RecordPool<PatternPoint> pointPool;
    double sheetWidth = 0.0;
    double sheetHeight = 0.0;
    double averageEdgeLength = 0.0;
    double unitScale = 1.0;
    double patternScale = 40.0;
    Face* lastFace = nullptr;
    Edge* lastEdge = nullptr;

    std::string filePath;
    bool hasTexCoords = false;
    std::unique_ptr<TextureImage> textureImage; // opened by the user; stands for every face
    // The materials' images (Material::imageIndex), each once however many
    // materials use it.
    std::vector<std::unique_ptr<TextureImage>> images;
    // Warnings of the reading the user should see (an image that could not
    // be read); they also went to the diagnostics stream.
    std::vector<std::string> readWarnings;
    bool textureShowEdges = false;
    bool textureInverted = false;
    double textureScale = 1.0;

    Model() = default;
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;
    ~Model();

    MeshObject* addObject();
    // Reverses the orientation of every face of every object.
    void invertFaces();
    // Calls buildEdges on every object; readers call it once after reading.
    void buildAllEdges();

    // Readers. Each fills this (empty) model and returns false when the file
    // cannot be opened or is malformed; the caller then discards the model.
    bool readObj(const std::string& path);
    bool readObjText(const std::string& text);
    // The other formats, each from a path or from the file's bytes in memory.
    bool readDxf(const std::string& path);
    bool readDxfText(std::string_view text);
    bool readRok(const std::string& path);
    bool readRokText(std::string_view text);
    bool read3ds(const std::string& path);
    bool read3dsBytes(std::string_view bytes);
    bool readMqo(const std::string& path);
    bool readMqoBytes(std::string_view bytes);

    // Creation counter of vertices, for a fixed vertex order.
    std::uint64_t nextVertexSerial = 0;
    // Creation counters of half-edges and edges: every index so far is below
    // them, so a pass can keep its own marks in vectors of that length.
    std::uint32_t nextHalfEdgeIndex = 0;
    std::uint32_t nextEdgeIndex = 0;
};

} // namespace nettor
