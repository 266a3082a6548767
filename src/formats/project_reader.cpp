#include "formats/image_decode.h"
#include "formats/project_codes.h"
#include "formats/project_edge_links.h"
#include "formats/project_file.h"
#include "formats/project_json_reading.h"
#include "unfold/prepare_for_unfolding.h"
#include "unfold/separate_corners.h"

#include <limits>

namespace nettor {

namespace {

using J = ProjectJson;
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMaxTextureSide = 1 << 15;

// The model's records in file order, for resolving the file's indices.
struct ProjectTables {
    std::vector<Face*> faces;
    std::vector<Edge*> edges;
    std::vector<HalfEdge*> corners;
    std::vector<UnfoldedPart*> parts;
};

std::string at(const std::string& where, std::size_t i)
{
    return where + " " + std::to_string(i + 1);
}

template <class T>
T* pick(const std::vector<T*>& list, const J& value, const std::string& what)
{
    const std::int64_t i = projectInteger(value, what, -1, static_cast<std::int64_t>(list.size()) - 1);
    return i < 0 ? nullptr : list[static_cast<std::size_t>(i)];
}

Vec3 readVec3(const J& value, const std::string& what)
{
    if (!value.is_array() || value.size() != 3) throw ProjectError(what + " is not three numbers.");
    return {projectNumber(value[0], what), projectNumber(value[1], what), projectNumber(value[2], what)};
}

std::pair<double, double> readPair(const J& value, const std::string& what)
{
    if (!value.is_array() || value.size() != 2) throw ProjectError(what + " is not two numbers.");
    return {projectNumber(value[0], what), projectNumber(value[1], what)};
}

// A list whose length must be the given count.
const J& listOf(const J& object, const char* key, std::size_t count, const std::string& where)
{
    const J& list = projectArray(object, key, where);
    if (list.size() != count)
        throw ProjectError(where + ": \"" + key + "\" has " + std::to_string(list.size()) + " entries where " +
                           std::to_string(count) + " were expected.");
    return list;
}

Material readProjectMaterial(const J& value, const std::string& what)
{
    if (!value.is_array() || value.size() != 17) throw ProjectError(what + " is not 17 numbers.");
    Material m;
    std::size_t k = 0;
    for (float* part : {m.ambient, m.diffuse, m.emission, m.specular})
        for (int i = 0; i < 4; ++i) part[i] = static_cast<float>(projectNumber(value[k++], what));
    m.shininess = static_cast<float>(projectNumber(value[k], what));
    return m;
}

// The materials' names, the texture each names and the image read for it
// (an index into the model's images or -1); all three lists or none.
void readMaterialNames(const Model& model, MeshObject& object, const J& in, const std::string& where)
{
    const J* names = optionalMember(in, "materialNames");
    const J* textures = optionalMember(in, "materialTextures");
    const J* images = optionalMember(in, "materialImages");
    if (!names && !textures && !images) return;
    const std::size_t count = object.materials.size();
    const J& nameList = listOf(in, "materialNames", count, where);
    const J& textureList = listOf(in, "materialTextures", count, where);
    const J& imageList = listOf(in, "materialImages", count, where);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string what = at(where + " material", i);
        Material& m = object.materials[i];
        m.name = projectString(nameList[i], what + " name");
        m.textureName = projectString(textureList[i], what + " texture");
        m.imageIndex = static_cast<std::int32_t>(projectInteger(imageList[i], what + " image", -1,
                                                                static_cast<std::int64_t>(model.images.size()) - 1));
    }
}

void readProjectObject(Model& model, const J& in, const std::string& where, ProjectTables& tables)
{
    MeshObject* object = model.addObject();
    const J& positions = projectArray(in, "vertices", where);
    if (positions.size() % 3 != 0) throw ProjectError(where + ": the vertex coordinates do not come in threes.");
    const std::size_t vertexCount = positions.size() / 3;
    const J* ids = optionalMember(in, "vertexIds");
    if (ids && (!ids->is_array() || ids->size() != vertexCount))
        throw ProjectError(where + ": the vertex numbers do not match the vertices.");
    const J* serials = optionalMember(in, "vertexSerials");
    if (serials && (!serials->is_array() || serials->size() != vertexCount))
        throw ProjectError(where + ": the vertex serials do not match the vertices.");
    const J* first = optionalMember(in, "firstSerial");
    const auto firstSerial = first ? static_cast<std::uint64_t>(projectInteger(*first, where + " first serial", 0,
                                                                               std::numeric_limits<std::int64_t>::max()))
                                   : 0;
    for (std::size_t i = 0; i < vertexCount; ++i) {
        const std::string what = at(where + " vertex", i);
        const std::int32_t id = ids ? static_cast<std::int32_t>(projectInteger((*ids)[i], what, kInt32Min, kInt32Max))
                                    : static_cast<std::int32_t>(i + 1);
        Vertex* v = object->addVertex(projectNumber(positions[3 * i], what), projectNumber(positions[3 * i + 1], what),
                                      projectNumber(positions[3 * i + 2], what), id);
        v->serial = serials ? static_cast<std::uint64_t>(projectInteger(
                                  (*serials)[i], what, 0, std::numeric_limits<std::int64_t>::max()))
                            : firstSerial + i;
    }
    const J& texCoords = projectArray(in, "texCoords", where);
    if (texCoords.size() % 2 != 0) throw ProjectError(where + ": the texture coordinates do not come in pairs.");
    for (std::size_t i = 0; i + 1 < texCoords.size(); i += 2) {
        const std::string what = at(where + " texture coordinate", i / 2);
        object->addTexCoord(projectNumber(texCoords[i], what), projectNumber(texCoords[i + 1], what));
    }
    const J& materials = projectArray(in, "materials", where);
    for (std::size_t i = 0; i < materials.size(); ++i)
        object->materials.push_back(readProjectMaterial(materials[i], at(where + " material", i)));
    readMaterialNames(model, *object, in, where);

    const J& sizes = projectArray(in, "faceSizes", where);
    const J& corners = projectArray(in, "corners", where);
    const J* cornerTex = optionalMember(in, "cornerTexCoords");
    if (cornerTex && (!cornerTex->is_array() || cornerTex->size() != corners.size()))
        throw ProjectError(where + ": the corners' texture coordinates do not match the corners.");
    const J* faceMaterials = optionalMember(in, "faceMaterials");
    if (faceMaterials && (!faceMaterials->is_array() || faceMaterials->size() != sizes.size()))
        throw ProjectError(where + ": the faces' materials do not match the faces.");
    std::size_t next = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const std::string what = at(where + " face", i);
        const auto size = static_cast<std::size_t>(
            projectInteger(sizes[i], what + " corner count", 3, static_cast<std::int64_t>(corners.size() - next)));
        Face* face = object->addFace();
        for (std::size_t k = 0; k < size; ++k, ++next) {
            const std::int64_t v = projectInteger(corners[next], what + " corner", 0,
                                                  static_cast<std::int64_t>(vertexCount) - 1);
            TexCoord* t = nullptr;
            if (cornerTex) {
                const std::int64_t ti = projectInteger((*cornerTex)[next], what + " texture coordinate", -1,
                                                       static_cast<std::int64_t>(object->texCoords.size()) - 1);
                if (ti >= 0) t = object->texCoords[static_cast<std::size_t>(ti)];
            }
            face->addCorner(object->vertices[static_cast<std::size_t>(v)], t);
        }
        if (faceMaterials)
            face->materialIndex = static_cast<std::int32_t>(projectInteger(
                (*faceMaterials)[i], what + " material", -1, static_cast<std::int64_t>(object->materials.size()) - 1));
        if (!face->finishFace()) throw ProjectError(what + " does not bound anything.");
        tables.faces.push_back(face);
        for (HalfEdge* h : face->outerLoop.halfEdges) tables.corners.push_back(h);
    }
    if (next != corners.size()) throw ProjectError(where + ": the face list does not match the corners.");
}

// The edges come from the faces; the file says how many there were and
// what became of each.
void readEdges(Model& model, const J& objects, ProjectTables& tables)
{
    for (std::size_t o = 0; o < model.objects.size(); ++o) {
        const std::string where = at("Object", o);
        const J& in = objects[o];
        MeshObject& object = *model.objects[o];
        const auto count = static_cast<std::size_t>(projectInteger(projectMember(in, "edgeCount", where),
                                                                   where + " edge count", 0, kInt32Max));
        if (count != object.edges.size())
            throw ProjectError(where + ": the face list does not match the mesh (" + std::to_string(count) +
                               " edges saved, " + std::to_string(object.edges.size()) + " built).");
        if (const J* links = optionalMember(in, "edgeLinks")) applyEdgeLinks(object, *links, where);
        const J& states = listOf(in, "edgeStates", count, where);
        const J& numbers = listOf(in, "edgeNumbers", count, where);
        for (std::size_t i = 0; i < count; ++i) {
            Edge* e = object.edges[i];
            const std::string what = at(where + " edge", i);
            e->state = static_cast<EdgeState>(projectInteger(states[i], what + " state", 0, 6));
            e->edgeId = static_cast<std::int32_t>(projectInteger(numbers[i], what + " number", -1, kInt32Max));
            tables.edges.push_back(e);
        }
    }
}

// One image: the bytes of the file it was read from, decoded with the
// decoder's own limits, or its pixels; either way of the size it says.
std::unique_ptr<TextureImage> readProjectImage(const J& in, const std::string& where)
{
    const auto width = static_cast<std::int32_t>(
        projectInteger(projectMember(in, "width", where), where + " width", 1, kMaxTextureSide));
    const auto height = static_cast<std::int32_t>(
        projectInteger(projectMember(in, "height", where), where + " height", 1, kMaxTextureSide));
    std::unique_ptr<TextureImage> image;
    if (const J* encoded = optionalMember(in, "encoded")) {
        std::optional<std::vector<unsigned char>> bytes =
            base64Decode(projectString(*encoded, where + "'s file bytes"));
        if (!bytes) throw ProjectError(where + "'s file bytes are not base64.");
        DecodedImage decoded = decodeImage(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
        if (!decoded.image) throw ProjectError(where + " cannot be decoded. " + decoded.message);
        if (decoded.image->width != width || decoded.image->height != height)
            throw ProjectError(where + " decodes to " + std::to_string(decoded.image->width) + " x " +
                               std::to_string(decoded.image->height) + " pixels where " + std::to_string(width) +
                               " x " + std::to_string(height) + " were expected.");
        image = std::move(decoded.image);
    } else {
        image = std::make_unique<TextureImage>();
        image->width = width;
        image->height = height;
        const std::string text = projectString(projectMember(in, "rgb", where), where + "'s pixels");
        const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
        if (text.size() > (bytes + 2) / 3 * 4) throw ProjectError(where + " holds more pixels than its size.");
        std::optional<std::vector<unsigned char>> pixels = base64Decode(text);
        if (!pixels) throw ProjectError(where + "'s pixels are not base64.");
        if (pixels->size() != bytes) throw ProjectError(where + "'s pixels do not match its size.");
        image->pixels = std::move(*pixels);
    }
    if (const J* source = optionalMember(in, "source")) image->source = projectString(*source, where + "'s source");
    return image;
}

// The image the user opened: none or one.
void readTextures(Model& model, const J& images)
{
    if (!images.is_array()) throw ProjectError("The textures are not a list.");
    if (images.empty()) return;
    if (images.size() > 1) throw ProjectError("The project holds more textures than this program knows.");
    model.textureImage = readProjectImage(images[0], "The texture");
}

// The materials' images; null stands for one that could not be read.
void readMaterialImages(Model& model, const J& images)
{
    if (!images.is_array()) throw ProjectError("The material images are not a list.");
    for (std::size_t i = 0; i < images.size(); ++i)
        model.images.push_back(images[i].is_null() ? nullptr : readProjectImage(images[i], at("Material image", i)));
}

std::unique_ptr<Model> readProjectModel(const J& in, ProjectTables& tables)
{
    const std::string where = "The model";
    auto model = std::make_unique<Model>();
    model->filePath = projectString(projectMember(in, "filePath", where), "The model's file path");
    if (const J* images = optionalMember(in, "images")) readMaterialImages(*model, *images);
    const J& objects = projectArray(in, "objects", where);
    for (std::size_t o = 0; o < objects.size(); ++o) readProjectObject(*model, objects[o], at("Object", o), tables);
    model->buildAllEdges();
    readEdges(*model, objects, tables);

    // Lengths, fold angles, ridges and mean lengths as at the first
    // opening: the positions are already centred and scaled, so the
    // preparation is run with unit bounds that leave them as they are.
    const Vec3 savedMin = readVec3(projectMember(in, "boundsMin", where), "The model's bounds");
    const Vec3 savedMax = readVec3(projectMember(in, "boundsMax", where), "The model's bounds");
    std::vector<EdgeState> states;
    for (const Edge* e : tables.edges) states.push_back(e->state);
    model->boundsMin = {-1.0, -1.0, -1.0};
    model->boundsMax = {1.0, 1.0, 1.0};
    prepareForUnfolding(*model);
    for (std::size_t i = 0; i < states.size(); ++i) tables.edges[i]->state = states[i];
    model->boundsMin = savedMin;
    model->boundsMax = savedMax;

    model->nextVertexSerial = static_cast<std::uint64_t>(projectInteger(
        projectMember(in, "nextVertexSerial", where), "The vertex serial", 0, std::numeric_limits<std::int64_t>::max()));
    model->unitScale = projectNumber(projectMember(in, "unitScale", where), "The unit scale");
    model->patternScale = projectNumber(projectMember(in, "patternScale", where), "The pattern scale");
    const auto sheet = readPair(projectMember(in, "sheetSize", where), "The sheet size");
    model->sheetWidth = sheet.first;
    model->sheetHeight = sheet.second;
    model->hasTexCoords = projectBool(projectMember(in, "hasTexCoords", where), "hasTexCoords");
    readTextures(*model, projectMember(in, "textures", where));
    model->textureShowEdges = projectBool(projectMember(in, "textureShowEdges", where), "textureShowEdges");
    model->textureInverted = projectBool(projectMember(in, "textureInverted", where), "textureInverted");
    model->textureScale = projectNumber(projectMember(in, "textureScale", where), "The texture scale");
    model->lastFace = pick(tables.faces, projectMember(in, "lastFace", where), "The last face");
    model->lastEdge = pick(tables.edges, projectMember(in, "lastEdge", where), "The last edge");
    return model;
}

void readPart(Model& model, const J& in, const std::string& where, const ProjectTables& tables)
{
    auto part = std::make_unique<UnfoldedPart>();
    const J& faces = projectArray(in, "faces", where);
    for (std::size_t i = 0; i < faces.size(); ++i) {
        Face* f = pick(tables.faces, faces[i], at(where + " face", i));
        if (!f) throw ProjectError(at(where + " face", i) + " is missing.");
        part->faces.push_back(f);
    }
    part->faceCount = static_cast<std::int32_t>(projectInteger(projectMember(in, "faceCount", where),
                                                               where + " face count", 0, kInt32Max));
    part->id = static_cast<std::int32_t>(projectInteger(projectMember(in, "id", where), where + " id", kInt32Min,
                                                        kInt32Max));
    part->bestCandidate = pick(tables.edges, projectMember(in, "bestCandidate", where), where + " candidate");
    std::tie(part->offsetX, part->offsetY) = readPair(projectMember(in, "offset", where), where + " offset");
    std::tie(part->width, part->height) = readPair(projectMember(in, "size", where), where + " size");
    std::tie(part->viewOriginX, part->viewOriginY) = readPair(projectMember(in, "viewOrigin", where), where + " origin");
    std::tie(part->minX, part->minY) = readPair(projectMember(in, "min", where), where + " minimum");
    std::tie(part->maxX, part->maxY) = readPair(projectMember(in, "max", where), where + " maximum");
    model.parts.push_back(std::move(part));
}

void readUnfolding(Model& model, const J& in, ProjectTables& tables)
{
    const std::string where = "The unfolding";
    const J& points = projectArray(in, "points", where);
    if (points.size() % 2 != 0) throw ProjectError("The pattern points do not come in pairs.");
    std::vector<PatternPoint*> pointList;
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        const std::string what = at("Pattern point", i / 2);
        pointList.push_back(model.pointPool.add({projectNumber(points[i], what), projectNumber(points[i + 1], what)}));
    }
    // A corner copy starts at its vertex and, once the unfolding is
    // finished, has been moved into its faces.
    const auto copyCount = static_cast<std::size_t>(projectInteger(
        projectMember(in, "cornerCopyCount", where), "The corner copy count", 0,
        static_cast<std::int64_t>(tables.corners.size())));
    std::vector<CornerCopy*> copyList;
    for (std::size_t i = 0; i < copyCount; ++i) copyList.push_back(model.cornerPool.add({}));
    std::vector<const Vertex*> copyVertex(copyCount, nullptr);
    const std::size_t cornerCount = tables.corners.size();
    const J& cornerPoints = listOf(in, "cornerPoints", cornerCount, where);
    const J& cornerCopies = listOf(in, "cornerCopyOf", cornerCount, where);
    const J& joined = listOf(in, "joined", cornerCount, where);
    for (std::size_t i = 0; i < cornerCount; ++i) {
        HalfEdge* h = tables.corners[i];
        const std::string what = at("Corner", i);
        h->point = pick(pointList, cornerPoints[i], what + " point");
        h->cornerCopy = pick(copyList, cornerCopies[i], what + " copy");
        if (h->cornerCopy) {
            const auto slot = static_cast<std::size_t>(cornerCopies[i].get<std::int64_t>());
            if (copyVertex[slot] && copyVertex[slot] != h->origin)
                throw ProjectError(what + " shares a corner copy with another vertex.");
            copyVertex[slot] = h->origin;
            *h->cornerCopy = {h->origin->position.x, h->origin->position.y, h->origin->position.z};
        }
        if (projectInteger(joined[i], what + " fold", 0, 1) == 1) {
            if (!h->twin) throw ProjectError(what + " is joined across an edge with one face.");
            h->foldPartner = h->twin;
        }
    }
    const J& parts = projectArray(in, "parts", where);
    for (std::size_t i = 0; i < parts.size(); ++i) readPart(model, parts[i], at("Part", i), tables);
    for (const auto& part : model.parts) tables.parts.push_back(part.get());
    const J& faceParts = listOf(in, "faceParts", tables.faces.size(), where);
    const J& unfolded = listOf(in, "faceUnfolded", tables.faces.size(), where);
    for (std::size_t i = 0; i < tables.faces.size(); ++i) {
        tables.faces[i]->part = pick(tables.parts, faceParts[i], at("Face", i) + " part");
        tables.faces[i]->unfolded = static_cast<std::uint8_t>(projectInteger(unfolded[i], at("Face", i), 0, 1));
    }
    model.currentPart = pick(tables.parts, projectMember(in, "currentPart", where), "The current part");
    if (projectBool(projectMember(in, "cornersSeparated", where), "cornersSeparated")) separateCorners(model);
}

PagesSettings readPagesSettings(const J& in, const std::string& where)
{
    PagesSettings pages;
    pages.paper = static_cast<PaperSize>(projectInteger(projectMember(in, "paperCode", where), where + " paper", 0,
                                                        static_cast<std::int64_t>(PaperSize::Custom)));
    std::tie(pages.customWidthMm, pages.customHeightMm) =
        readPair(projectMember(in, "customSizeMm", where), where + " custom size");
    pages.landscape = projectBool(projectMember(in, "landscape", where), where + " orientation");
    pages.marginMm = projectNumber(projectMember(in, "marginMm", where), where + " margin");
    const std::string mode = projectString(projectMember(in, "sizeMode", where), where + " size mode");
    if (mode != "scale" && mode != "finished-size") throw ProjectError(where + " size mode is unknown: " + mode);
    pages.sizeMode = mode == "scale" ? ModelSizeMode::Scale : ModelSizeMode::FinishedSize;
    pages.finishedSizeMm = projectNumber(projectMember(in, "finishedSizeMm", where), where + " finished size");
    pages.cmPerUnit = projectNumber(projectMember(in, "cmPerUnit", where), where + " scale");
    return pages;
}

PagesLayout readProjectLayout(const Model& model, const J& in, const ProjectTables& tables)
{
    const std::string where = "The layout";
    PagesLayout layout;
    layout.settings = readPagesSettings(projectMember(in, "settings", where), "The layout's pages");
    std::tie(layout.paper.width, layout.paper.height) = readPair(projectMember(in, "paperMm", where), "The paper");
    layout.mmPerUnit = projectNumber(projectMember(in, "mmPerUnit", where), "The layout's scale");
    layout.flapHeightMm = projectNumber(projectMember(in, "flapHeightMm", where), "The flap height");
    layout.pageCount = static_cast<int>(projectInteger(projectMember(in, "pageCount", where), "The page count", 0,
                                                       kMaxPages));
    const J& pieces = projectArray(in, "pieces", where);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const J& p = pieces[i];
        const std::string what = at("Piece", i);
        LaidOutPiece piece;
        piece.part = static_cast<int>(projectInteger(projectMember(p, "part", what), what + " part", 0,
                                                     static_cast<std::int64_t>(model.parts.size()) - 1));
        const J& faces = projectArray(p, "faces", what);
        for (std::size_t k = 0; k < faces.size(); ++k) {
            const Face* f = pick(tables.faces, faces[k], at(what + " face", k));
            if (!f) throw ProjectError(at(what + " face", k) + " is missing.");
            piece.faces.push_back(f);
        }
        piece.page = static_cast<int>(projectInteger(projectMember(p, "page", what), what + " page", 1,
                                                     std::max(1, layout.pageCount)));
        piece.rotationDeg = projectNumber(projectMember(p, "rotationDeg", what), what + " rotation");
        std::tie(piece.offset.x, piece.offset.y) = readPair(projectMember(p, "offset", what), what + " offset");
        const J& flaps = projectArray(p, "flaps", what);
        for (std::size_t k = 0; k < flaps.size(); ++k) {
            const std::string flapWhere = at(what + " flap", k);
            LayoutFlap flap;
            flap.side = pick(tables.corners, projectMember(flaps[k], "side", flapWhere), flapWhere + " side");
            if (!flap.side) throw ProjectError(flapWhere + " has no side.");
            const J& corners = listOf(flaps[k], "corners", 8, flapWhere);
            for (std::size_t c = 0; c < 4; ++c)
                flap.corners[c] = {projectNumber(corners[2 * c], flapWhere), projectNumber(corners[2 * c + 1], flapWhere)};
            flap.fit = static_cast<FlapFit>(projectInteger(projectMember(flaps[k], "fit", flapWhere), flapWhere + " fit",
                                                           0, static_cast<std::int64_t>(FlapFit::Shortened)));
            piece.flaps.push_back(flap);
        }
        layout.pieces.push_back(std::move(piece));
    }
    const J& split = projectArray(in, "splitNumbers", where);
    for (std::size_t i = 0; i < split.size(); ++i) {
        const std::string what = at("Split fold", i);
        if (!split[i].is_array() || split[i].size() != 2) throw ProjectError(what + " is not an edge and a number.");
        const Edge* e = pick(tables.edges, split[i][0], what);
        if (!e) throw ProjectError(what + " has no edge.");
        layout.splitNumbers[e] = static_cast<int>(projectInteger(split[i][1], what + " number", kInt32Min, kInt32Max));
    }
    layout.partsSplit = static_cast<int>(projectInteger(projectMember(in, "partsSplit", where), where, 0, kInt32Max));
    layout.flapsMoved = static_cast<int>(projectInteger(projectMember(in, "flapsMoved", where), where, 0, kInt32Max));
    layout.flapsShortened =
        static_cast<int>(projectInteger(projectMember(in, "flapsShortened", where), where, 0, kInt32Max));
    layout.flapsOmitted = static_cast<int>(projectInteger(projectMember(in, "flapsOmitted", where), where, 0, kInt32Max));
    return layout;
}

// Every face of a part is placed: each corner has its pattern point and
// its copy, so drawing and the 3D view find what they follow.
void checkPlacedFaces(const Model& model)
{
    for (std::size_t p = 0; p < model.parts.size(); ++p) {
        for (const Face* f : model.parts[p]->faces) {
            if (f->part != model.parts[p].get() || !f->unfolded)
                throw ProjectError(at("Part", p) + " lists a face that is not placed in it.");
            for (const HalfEdge* h : f->outerLoop.halfEdges)
                if (!h->point || !h->cornerCopy)
                    throw ProjectError(at("Part", p) + " lists a face whose corners have no place.");
        }
    }
    for (const auto& object : model.objects)
        for (const Face* f : object->faces)
            if (f->unfolded && !f->part) throw ProjectError("A face is unfolded into no part.");
}

ProjectState readState(const J& in)
{
    const std::string where = "The project's state";
    ProjectState state;
    state.settings.readText(projectString(projectMember(in, "settings", where), "The settings"));
    state.settings.saveOnExit = static_cast<std::int32_t>(
        projectInteger(projectMember(in, "saveOnExit", where), "saveOnExit", kInt32Min, kInt32Max));
    const J& search = projectMember(in, "partSearch", where);
    state.partSearch.enabled = projectBool(projectMember(search, "enabled", "The part search"), "The part search");
    state.partSearch.timeLimitSeconds =
        projectNumber(projectMember(search, "timeLimitSeconds", "The part search"), "The search time");
    state.partSearch.seed = static_cast<std::uint32_t>(
        projectInteger(projectMember(search, "seed", "The part search"), "The search seed", 0, 0xFFFFFFFF));
    state.partSearch.maxRounds = static_cast<int>(
        projectInteger(projectMember(search, "maxRounds", "The part search"), "The search rounds", 0, kInt32Max));
    const std::string mode = projectString(projectMember(in, "layoutMode", where), "The layout mode");
    if (mode != "pages" && mode != "one-sheet") throw ProjectError("The layout mode is unknown: " + mode);
    state.layoutMode = mode == "pages" ? LayoutMode::Pages : LayoutMode::OneSheet;
    state.pagesSettings = readPagesSettings(projectMember(in, "pages", where), "The pages");
    state.finished = projectBool(projectMember(in, "finished", where), "finished");
    state.unfoldedFaceCount = static_cast<std::int32_t>(
        projectInteger(projectMember(in, "unfoldedFaces", where), "The unfolded face count", 0, kInt32Max));
    state.partCount =
        static_cast<std::int32_t>(projectInteger(projectMember(in, "parts", where), "The part count", 0, kInt32Max));
    state.requestedScale = projectNumber(projectMember(in, "requestedScale", where), "The requested scale");
    state.displayedScale = projectNumber(projectMember(in, "displayedScale", where), "The displayed scale");
    state.showTexture = projectBool(projectMember(in, "showTexture", where), "showTexture");
    if (const J* camera = optionalMember(in, "camera")) {
        ProjectCamera c;
        const J& q = listOf(*camera, "orientation", 4, "The camera");
        c.orientation = {static_cast<float>(projectNumber(q[0], "The camera")),
                         static_cast<float>(projectNumber(q[1], "The camera")),
                         static_cast<float>(projectNumber(q[2], "The camera")),
                         static_cast<float>(projectNumber(q[3], "The camera"))};
        c.modelCentre = readVec3(projectMember(*camera, "modelCentre", "The camera"), "The camera's centre");
        c.distance = projectNumber(projectMember(*camera, "distance", "The camera"), "The camera's distance");
        state.camera = c;
    }
    return state;
}

} // namespace

ProjectContent readProjectJson(std::string_view text)
{
    ProjectContent out;
    const J root = J::parse(text.begin(), text.end(), nullptr, false);
    if (root.is_discarded()) {
        out.error = "The project file is damaged: its contents are not valid JSON.";
        return out;
    }
    try {
        const J* format = optionalMember(root, "format");
        if (!format || !format->is_string() || format->get<std::string>() != kProjectFormatName)
            throw ProjectError("This file is not a Nettor project.");
        const std::int64_t version =
            projectInteger(projectMember(root, "version", "The project"), "The format version", 1, kInt32Max);
        if (version > kProjectFormatVersion)
            throw ProjectError("This project was saved by a newer Nettor (format version " + std::to_string(version) +
                               "); this program reads up to version " + std::to_string(kProjectFormatVersion) + ".");
        ProjectTables tables;
        out.state = readState(projectMember(root, "state", "The project"));
        out.model = readProjectModel(projectMember(root, "model", "The project"), tables);
        readUnfolding(*out.model, projectMember(root, "unfolding", "The project"), tables);
        if (const J* layout = optionalMember(root, "layout")) out.layout = readProjectLayout(*out.model, *layout, tables);
        checkPlacedFaces(*out.model);
    } catch (const ProjectError& e) {
        out = ProjectContent{};
        out.error = e.what();
    } catch (const std::exception& e) {
        out = ProjectContent{};
        out.error = std::string("The project file is damaged: ") + e.what();
    }
    return out;
}

ProjectContent readProjectBytes(std::string_view bytes)
{
    std::string error;
    std::optional<std::string> text = decompressProjectBytes(bytes, kMaxProjectJsonBytes, error);
    if (!text) {
        ProjectContent out;
        out.error = error;
        return out;
    }
    return readProjectJson(*text);
}

} // namespace nettor
