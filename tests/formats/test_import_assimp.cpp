// Models read through Assimp: cubes of the common exchange formats, node
// transforms, materials and texture coordinates of a glTF scene, damaged
// files, and the conversion of scenes Assimp could hand over.
#include "formats/assimp_import.h"
#include "formats/assimp_scene.h"
#include "formats/load_model.h"
#include "model/diagnostics.h"
#include "session/session.h"
#include "support/mesh_files.h"
#include "support/recording_listener.h"
#include "support/unfold_fixture.h"
#include "unfold/unfold_all.h"

#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

using namespace nettor;
using namespace nettor::test;

namespace {

std::size_t boundaryEdges(const Model& m)
{
    std::size_t n = 0;
    for (const auto& o : m.objects)
        for (const Edge* e : o->edges) n += e->halfEdge2 == nullptr;
    return n;
}

// Every face's normal points away from the model's centre.
bool facesPointOutward(const Model& m)
{
    Vec3 centre;
    std::size_t count = 0;
    for (const auto& o : m.objects)
        for (const Vertex* v : o->vertices) {
            centre += v->position;
            ++count;
        }
    centre = centre / static_cast<double>(count);
    for (const auto& o : m.objects)
        for (const Face* f : o->faces)
            if (dot(Vec3(f->plane.a, f->plane.b, f->plane.c), f->centroid - centre) <= 0) return false;
    return true;
}

std::string base64(const std::string& bytes)
{
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t n = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 2]);
        out += digits[(n >> 18) & 63];
        out += digits[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? digits[(n >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? digits[n & 63] : '=';
    }
    return out;
}

std::string floats(std::initializer_list<float> values)
{
    std::string out;
    for (float f : values) out.append(reinterpret_cast<const char*>(&f), 4);
    return out;
}

// A glTF scene with one triangle mesh (0,0,0) (1,0,0) (0,1,0), texture
// coordinates (0,0) (1,0) (0,0.25) and an orange material; the nodes are
// given as JSON.
std::string gltf(const std::string& nodes, const std::string& sceneNodes)
{
    const std::string uv = floats({0, 0, 1, 0, 0, 0.25f});
    std::string buffer = floats({0, 0, 0, 1, 0, 0, 0, 1, 0}) + uv + std::string("\0\0\1\0\2\0\0\0", 8);
    std::ostringstream s;
    s << R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":)" << sceneNodes << R"(}],"nodes":)" << nodes
      << R"(,"meshes":[{"primitives":[{"attributes":{"POSITION":0,"TEXCOORD_0":1},"indices":2,"material":0}]}],)"
      << R"("materials":[{"pbrMetallicRoughness":{"baseColorFactor":[1,0.5,0,1]}}],)"
      << R"("buffers":[{"byteLength":)" << buffer.size() << R"(,"uri":"data:application/octet-stream;base64,)"
      << base64(buffer) << R"("}],)"
      << R"("bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":36},{"buffer":0,"byteOffset":36,"byteLength":24},)"
      << R"({"buffer":0,"byteOffset":60,"byteLength":6}],)"
      << R"("accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,0],"max":[1,1,0]},)"
      << R"({"bufferView":1,"componentType":5126,"count":3,"type":"VEC2"},)"
      << R"({"bufferView":2,"componentType":5123,"count":3,"type":"SCALAR"}]})";
    return s.str();
}

class ImportCube : public UnfoldTest {
protected:
    struct Case {
        const char* name;
        std::string contents;
        int faces;
        int corners;
    };
    std::vector<Case> cases()
    {
        const MeshSpec cube = boxSpec({-1, -1, -1}, {1, 2, 3});
        return {{"cube.stl", toStlAscii(cube), 12, 3},
                {"binary.STL", toStlBinary(cube), 12, 3},
                {"cube.ply", toPly(cube), 6, 4},
                {"cube.off", toOff(cube), 6, 4}};
    }
};

} // namespace

TEST_F(ImportCube, ExchangeFormatsGiveClosedSurfacesThatUnfoldIntoOnePart)
{
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        std::ostringstream diag;
        DiagnosticsRedirect redirect(diag);
        const std::string path = writeTempFile(c.name, c.contents);
        LoadedModel loaded = loadModelFile(path, session.listener);
        ASSERT_EQ(loaded.result, LoadResult::Loaded);
        Model& m = *loaded.model;
        EXPECT_EQ(m.filePath, path);
        ASSERT_EQ(m.objects.size(), 1u);
        EXPECT_EQ(m.faceCount, c.faces);
        for (const Face* f : m.objects[0]->faces) EXPECT_EQ(f->cornerCount, c.corners);
        // The corners of neighbouring faces are shared: 8 vertices, all
        // edges paired, no warning of edge pairing.
        EXPECT_EQ(m.objects[0]->vertices.size(), 8u);
        EXPECT_EQ(m.objects[0]->edges.size(), c.faces == 12 ? 18u : 12u);
        EXPECT_EQ(boundaryEdges(m), 0u);
        EXPECT_TRUE(facesPointOutward(m));
        EXPECT_EQ(m.boundsMin, Vec3(-1, -1, -1));
        EXPECT_EQ(m.boundsMax, Vec3(1, 2, 3));
        EXPECT_EQ(diag.str(), "");

        Model& taken = take(std::move(loaded.model));
        unfoldAll(session, taken);
        EXPECT_TRUE(session.status.finished);
        EXPECT_EQ(taken.parts.size(), 1u);
        resetSession(session);
    }
}

TEST_F(ImportCube, PolygonsKeepTheirCorners)
{
    // A pentagon and a concave hexagon stay one face each.
    MeshSpec shapes;
    shapes.vertices = {{0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {1, 2, 0}, {-1, 1, 0},
                       {0, 0, 1}, {2, 0, 1}, {2, 2, 1}, {1, 2, 1}, {1, 1, 1}, {0, 1, 1}};
    shapes.faces = {{0, 1, 2, 3, 4}, {5, 6, 7, 8, 9, 10}};
    for (const std::string name : {"shapes.off", "shapes.ply"}) {
        SCOPED_TRACE(name);
        Model m;
        ASSERT_TRUE(importModel(m, writeTempFile(name, name == "shapes.off" ? toOff(shapes) : toPly(shapes))));
        ASSERT_EQ(m.faceCount, 2);
        EXPECT_EQ(m.objects.at(0)->faces[0]->cornerCount, 5);
        EXPECT_EQ(m.objects.at(0)->faces[1]->cornerCount, 6);
        EXPECT_NEAR(m.objects[0]->faces[1]->plane.c, 1.0, 1e-12);
    }
}

TEST(ImportGltf, NodeTransformsMaterialsAndTextureCoordinates)
{
    // The mesh is placed twice: under a moved parent, scaled and moved, and
    // mirrored in x.
    const std::string nodes = R"([{"translation":[0,5,0],"children":[1]},)"
                              R"({"mesh":0,"translation":[10,0,0],"scale":[2,2,2]},)"
                              R"({"mesh":0,"scale":[-1,1,1]}])";
    Model m;
    ASSERT_TRUE(importModel(m, writeTempFile("scene.gltf", gltf(nodes, "[0,2]"))));
    ASSERT_EQ(m.objects.size(), 2u);
    const MeshObject& moved = *m.objects[0];
    ASSERT_EQ(moved.vertices.size(), 3u);
    EXPECT_EQ(moved.vertices[0]->position, Vec3(10, 5, 0));
    EXPECT_EQ(moved.vertices[1]->position, Vec3(12, 5, 0));
    EXPECT_EQ(moved.vertices[2]->position, Vec3(10, 7, 0));
    EXPECT_NEAR(moved.faces.at(0)->plane.c, 1.0, 1e-12);
    // Vertex numbers run on across the objects.
    const MeshObject& mirrored = *m.objects[1];
    ASSERT_EQ(mirrored.vertices.size(), 3u);
    EXPECT_EQ(mirrored.vertices[0]->id, 4);
    EXPECT_EQ(mirrored.vertices[1]->position, Vec3(-1, 0, 0));
    // Mirroring turns the corner order, so the face still faces +z.
    EXPECT_NEAR(mirrored.faces.at(0)->plane.c, 1.0, 1e-12);
    EXPECT_EQ(m.boundsMin, Vec3(-1, 0, 0));
    EXPECT_EQ(m.boundsMax, Vec3(12, 7, 0));

    // The base colour as the object's material.
    for (const auto& o : m.objects) {
        ASSERT_EQ(o->materials.size(), 1u);
        EXPECT_EQ(o->faces[0]->materialIndex, 0);
        EXPECT_FLOAT_EQ(o->materials[0].diffuse[1], 0.5f);
        EXPECT_FLOAT_EQ(o->materials[0].ambient[0], 1.0f);
        EXPECT_FLOAT_EQ(o->materials[0].ambient[2], 0.0f);
    }
    // Texture coordinates per corner, bottom-up as in OBJ files (glTF's v
    // runs downwards).
    EXPECT_TRUE(m.hasTexCoords);
    for (const HalfEdge* h : moved.faces[0]->outerLoop.halfEdges) {
        ASSERT_NE(h->texCoord, nullptr);
        if (h->origin->id == 3) {
            EXPECT_FLOAT_EQ(static_cast<float>(h->texCoord->u), 0.0f);
            EXPECT_FLOAT_EQ(static_cast<float>(h->texCoord->v), 0.75f);
        }
        if (h->origin->id == 2) {
            EXPECT_FLOAT_EQ(static_cast<float>(h->texCoord->u), 1.0f);
        }
    }
    EXPECT_EQ(moved.texCoords.size(), 3u);
}

TEST(ImportFormats, ExtensionsAndDispatch)
{
    const auto& imported = importedExtensions();
    for (const char* own : {"obj", "dxf", "rok", "mqo", "3ds", "nte", "txt"}) EXPECT_FALSE(isImportedExtension(own)) << own;
    for (const char* other : {"stl", "ply", "off", "gltf", "glb", "fbx", "dae", "3mf", "lwo", "x", "ac"})
        EXPECT_TRUE(isImportedExtension(other)) << other;
    EXPECT_TRUE(std::is_sorted(imported.begin(), imported.end()));
    for (const std::string& e : imported) EXPECT_EQ(e.find('.'), std::string::npos) << e;

    const auto all = readableExtensions();
    EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + 6),
              (std::vector<std::string>{"obj", "dxf", "rok", "mqo", "3ds", "nte"}));
    EXPECT_EQ(all.size(), 6 + imported.size());
    EXPECT_EQ(extensionPatterns({"stl", "ply"}), "*.stl *.ply");
    EXPECT_EQ(extensionPatterns({}), "");

    // A text file is still no model, whatever it holds.
    std::ostringstream diag;
    DiagnosticsRedirect redirect(diag);
    EXPECT_EQ(loadModelFile(writeTempFile("notes.txt", "solid x\nendsolid x\n"), nullptr).result, LoadResult::UnknownExtension);
}

TEST(ImportCutEdgeFile, NamesAModelReadThroughAssimp)
{
    std::ostringstream diag;
    DiagnosticsRedirect redirect(diag);
    writeTempFile("cube.stl", toStlAscii(boxSpec()));
    writeTempFile("scene.gltf", gltf(R"([{"mesh":0}])", "[0]"));
    LoadedModel stl = loadModelFile(writeTempFile("cube.nte", "#Nettor Cut Edge Info\n# v1.1\n\n./cube.stl\n0\n17\n"), nullptr);
    ASSERT_EQ(stl.result, LoadResult::Loaded);
    EXPECT_EQ(stl.model->faceCount, 12);
    const auto& edges = stl.model->objects.at(0)->edges;
    ASSERT_EQ(edges.size(), 18u);
    EXPECT_EQ(edges[0]->state, EdgeState::MarkedCut);
    EXPECT_EQ(edges[17]->state, EdgeState::MarkedCut);
    EXPECT_EQ(edges[1]->state, EdgeState::Untouched);
    EXPECT_EQ(baseName(stl.model->filePath), "cube");
    // A four-letter extension.
    LoadedModel scene = loadModelFile(writeTempFile("scene.nte", "#Nettor Cut Edge Info\n# v1.1\n\n./scene.gltf\n"), nullptr);
    ASSERT_EQ(scene.result, LoadResult::Loaded);
    EXPECT_EQ(scene.model->faceCount, 1);
}

TEST(ImportDamaged, EveryKindGivesTheMessageAndKeepsTheCurrentModel)
{
    Session session;
    RecordingListener ui{session};
    ASSERT_TRUE(session.openModel(writeTempFile("good.off", toOff(boxSpec()))));
    Model* before = session.model.get();
    ui.messages.clear();
    std::string binary = toStlBinary(boxSpec());
    binary.resize(84 + 50 * 5); // says 12 triangles, holds 5
    const std::string damaged[][2] = {
        {"cut.stl", binary},
        {"bad.stl", "solid x\n facet normal 0 0 1\n  outer loop\n   vertex 0 0 0\n   vertex 1 0\n"},
        {"bad.ply", "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\nproperty float z\n"
                    "element face 1\nproperty list uchar int vertex_indices\nend_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 7\n"},
        {"bad.off", "OFF\n8 6 0\n0 0 0\n1 0\n"},
        {"bad.gltf", R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],"nodes":[{"mesh":0}],)"
                     R"("meshes":[{"primitives":[{"attributes":{"POSITION":4}}]}]})"},
        {"cut.gltf", gltf(R"([{"mesh":0}])", "[0]").substr(0, 300)},
        {"bad.glb", std::string("glTF\2\0\0\0\xff\xff\0\0", 12)},
        {"bad.dae", "<?xml version=\"1.0\"?><COLLADA><library_geometries><geometry>"},
    };
    std::ostringstream diag;
    DiagnosticsRedirect redirect(diag);
    for (const auto& d : damaged) {
        SCOPED_TRACE(d[0]);
        EXPECT_FALSE(session.openModel(writeTempFile(d[0], d[1])));
        EXPECT_EQ(ui.messages, (std::vector<std::string>{"This file could not be read."}));
        EXPECT_EQ(session.model.get(), before);
        ui.messages.clear();
    }
    EXPECT_NE(diag.str().find("Cannot read"), std::string::npos);
}

namespace {

// A scene built in code, as a damaged or unusual file could make Assimp
// hand it over: one mesh of the given positions and faces.
struct SceneBuilder {
    aiScene scene;

    aiMesh* addMesh(const std::vector<aiVector3D>& points, const std::vector<std::vector<unsigned>>& faces)
    {
        auto* mesh = new aiMesh;
        mesh->mNumVertices = static_cast<unsigned>(points.size());
        mesh->mVertices = new aiVector3D[points.size()];
        std::copy(points.begin(), points.end(), mesh->mVertices);
        mesh->mNumFaces = static_cast<unsigned>(faces.size());
        mesh->mFaces = new aiFace[faces.size()];
        for (std::size_t f = 0; f < faces.size(); ++f) {
            mesh->mFaces[f].mNumIndices = static_cast<unsigned>(faces[f].size());
            mesh->mFaces[f].mIndices = new unsigned[faces[f].size()];
            std::copy(faces[f].begin(), faces[f].end(), mesh->mFaces[f].mIndices);
        }
        auto** meshes = new aiMesh*[scene.mNumMeshes + 1];
        for (unsigned i = 0; i < scene.mNumMeshes; ++i) meshes[i] = scene.mMeshes[i];
        meshes[scene.mNumMeshes] = mesh;
        delete[] scene.mMeshes;
        scene.mMeshes = meshes;
        ++scene.mNumMeshes;
        return mesh;
    }
    aiNode* root(std::vector<unsigned> meshes)
    {
        scene.mRootNode = new aiNode("root");
        scene.mRootNode->mNumMeshes = static_cast<unsigned>(meshes.size());
        scene.mRootNode->mMeshes = new unsigned[meshes.size()];
        std::copy(meshes.begin(), meshes.end(), scene.mRootNode->mMeshes);
        return scene.mRootNode;
    }
    bool convert(Model& m)
    {
        std::ostringstream diag;
        DiagnosticsRedirect redirect(diag);
        return sceneToModel(scene, m);
    }
};

const std::vector<aiVector3D> kSquare = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};

} // namespace

TEST(SceneConversion, ReferencesOutsideTheSceneAreRefused)
{
    {
        SceneBuilder b;
        b.addMesh(kSquare, {{0, 1, 2, 4}});
        b.root({0});
        Model m;
        EXPECT_FALSE(b.convert(m));
    }
    {
        SceneBuilder b;
        b.addMesh(kSquare, {{0, 1, 2, 3}});
        b.root({0, 1});
        Model m;
        EXPECT_FALSE(b.convert(m));
    }
    {
        SceneBuilder b;
        b.addMesh({{0, 0, 0}, {1, 0, 0}, {0, std::numeric_limits<float>::quiet_NaN(), 0}}, {{0, 1, 2}});
        b.root({0});
        Model m;
        EXPECT_FALSE(b.convert(m));
    }
    {
        // A transform that overflows the coordinates.
        SceneBuilder b;
        b.addMesh(kSquare, {{0, 1, 2, 3}});
        b.root({0})->mTransformation.a4 = std::numeric_limits<float>::infinity();
        Model m;
        EXPECT_FALSE(b.convert(m));
    }
    {
        SceneBuilder b;
        aiMesh* mesh = b.addMesh(kSquare, {{0, 1, 2, 3}});
        mesh->mTextureCoords[0] = new aiVector3D[4];
        mesh->mTextureCoords[0][2].y = std::numeric_limits<float>::infinity();
        b.root({0});
        Model m;
        EXPECT_FALSE(b.convert(m));
    }
}

TEST(SceneConversion, PointsLinesAndRepeatedCornersAreNoFaces)
{
    SceneBuilder b;
    // A line and a point only: no object. Then a square with a repeated
    // corner, a triangle folded onto an edge, and a mesh no node places.
    b.addMesh(kSquare, {{0, 1}, {2}});
    b.addMesh({{0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 0}},
              {{0, 1, 2, 3, 4, 5}, {0, 1, 2}, {1, 2}});
    b.addMesh(kSquare, {{0, 1, 2}});
    b.root({0, 1});
    Model m;
    ASSERT_TRUE(b.convert(m));
    ASSERT_EQ(m.objects.size(), 2u);
    ASSERT_EQ(m.objects[0]->faces.size(), 1u);
    EXPECT_EQ(m.objects[0]->faces[0]->cornerCount, 4);
    EXPECT_EQ(m.objects[0]->vertices.size(), 4u);
    EXPECT_EQ(m.objects[1]->faces.size(), 1u); // placed once, as it stands
    EXPECT_EQ(m.faceCount, 2);
    EXPECT_FALSE(m.hasTexCoords);

    // Nothing but points: one empty object, as the other readers give.
    SceneBuilder points;
    points.addMesh(kSquare, {{0}, {1}});
    points.root({0});
    Model none;
    ASSERT_TRUE(points.convert(none));
    ASSERT_EQ(none.objects.size(), 1u);
    EXPECT_EQ(none.faceCount, 0);
}
