#include "formats/project_file.h"

#include "formats/image_embedding.h"
#include "formats/project_codes.h"
#include "formats/project_edge_links.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <unordered_map>

namespace nettor {

namespace {

using nlohmann::json;

// Where every record of the model stands in the file: faces and edges
// counted across objects, corners in face order, pattern points and corner
// copies in the order the corners first meet them.
struct ProjectIndex {
    std::unordered_map<const Face*, std::int64_t> face;
    std::unordered_map<const Edge*, std::int64_t> edge;
    std::unordered_map<const HalfEdge*, std::int64_t> corner;
    std::unordered_map<const PatternPoint*, std::int64_t> point;
    std::unordered_map<const CornerCopy*, std::int64_t> copy;
    std::vector<const PatternPoint*> points;
    std::vector<const CornerCopy*> copies;
};

ProjectIndex indexProject(const Model& model)
{
    ProjectIndex index;
    for (const auto& object : model.objects) {
        for (const Edge* e : object->edges) index.edge.emplace(e, static_cast<std::int64_t>(index.edge.size()));
        for (const Face* f : object->faces) {
            index.face.emplace(f, static_cast<std::int64_t>(index.face.size()));
            for (const HalfEdge* h : f->outerLoop.halfEdges) {
                index.corner.emplace(h, static_cast<std::int64_t>(index.corner.size()));
                if (h->point && index.point.emplace(h->point, static_cast<std::int64_t>(index.points.size())).second)
                    index.points.push_back(h->point);
                if (h->cornerCopy &&
                    index.copy.emplace(h->cornerCopy, static_cast<std::int64_t>(index.copies.size())).second)
                    index.copies.push_back(h->cornerCopy);
            }
        }
    }
    return index;
}

template <class T, class Map>
std::int64_t indexOr(const Map& map, const T* record)
{
    if (!record) return -1;
    const auto it = map.find(record);
    return it == map.end() ? -1 : it->second;
}

json vec3Json(const Vec3& v) { return json::array({v.x, v.y, v.z}); }

json materialJson(const Material& m)
{
    json values = json::array();
    for (const float* part : {m.ambient, m.diffuse, m.emission, m.specular})
        for (int i = 0; i < 4; ++i) values.push_back(part[i]);
    values.push_back(m.shininess);
    return values;
}

// One image: its size and where it came from, and either the bytes of the
// file it was read from (when they decode to exactly its pixels, so that
// the project stays small) or its pixels.
json projectImageJson(const TextureImage& image)
{
    json out = {{"width", image.width}, {"height", image.height}};
    if (!image.source.empty()) out["source"] = image.source;
    if (encodedMatchesPixels(image))
        out["encoded"] = base64Encode(std::vector<unsigned char>(image.encoded.begin(), image.encoded.end()));
    else
        out["rgb"] = base64Encode(image.pixels);
    return out;
}

// The image the user opened, which stands for every face: none or one.
json texturesJson(const Model& model)
{
    json images = json::array();
    if (model.textureImage) images.push_back(projectImageJson(*model.textureImage));
    return images;
}

// The materials' images, each once; a missing one is null.
json materialImagesJson(const Model& model)
{
    json images = json::array();
    for (const auto& image : model.images) images.push_back(image ? projectImageJson(*image) : json(nullptr));
    return images;
}

json objectJson(const MeshObject& object)
{
    std::unordered_map<const Vertex*, std::int64_t> vertexAt;
    std::unordered_map<const TexCoord*, std::int64_t> texAt;
    json positions = json::array();
    json ids = json::array();
    json serials = json::array();
    bool plainIds = true;
    bool plainSerials = true;
    for (const Vertex* v : object.vertices) {
        const auto n = static_cast<std::int64_t>(vertexAt.size());
        vertexAt.emplace(v, n);
        positions.push_back(v->position.x);
        positions.push_back(v->position.y);
        positions.push_back(v->position.z);
        ids.push_back(v->id);
        serials.push_back(v->serial);
        plainIds = plainIds && v->id == n + 1;
        plainSerials = plainSerials && v->serial == object.vertices.front()->serial + static_cast<std::uint64_t>(n);
    }
    json texCoords = json::array();
    for (const TexCoord* t : object.texCoords) {
        texAt.emplace(t, static_cast<std::int64_t>(texAt.size()));
        texCoords.push_back(t->u);
        texCoords.push_back(t->v);
    }
    json materials = json::array();
    json materialNames = json::array();
    json materialTextures = json::array();
    json materialImages = json::array();
    bool namedMaterials = false;
    for (const Material& m : object.materials) {
        materials.push_back(materialJson(m));
        materialNames.push_back(m.name);
        materialTextures.push_back(m.textureName);
        materialImages.push_back(m.imageIndex);
        namedMaterials = namedMaterials || !m.name.empty() || !m.textureName.empty() || m.imageIndex != -1;
    }

    json sizes = json::array();
    json corners = json::array();
    json cornerTex = json::array();
    json faceMaterials = json::array();
    bool anyTex = false;
    bool anyMaterial = false;
    for (const Face* f : object.faces) {
        sizes.push_back(f->outerLoop.halfEdges.size());
        faceMaterials.push_back(f->materialIndex);
        anyMaterial = anyMaterial || f->materialIndex != -1;
        for (const HalfEdge* h : f->outerLoop.halfEdges) {
            corners.push_back(indexOr(vertexAt, h->origin));
            const std::int64_t t = indexOr(texAt, h->texCoord);
            cornerTex.push_back(t);
            anyTex = anyTex || t >= 0;
        }
    }
    json edgeStates = json::array();
    json edgeIds = json::array();
    for (const Edge* e : object.edges) {
        edgeStates.push_back(static_cast<std::int32_t>(e->state));
        edgeIds.push_back(e->edgeId);
    }
    json out = {{"vertices", std::move(positions)},
                {"texCoords", std::move(texCoords)},
                {"materials", std::move(materials)},
                {"faceSizes", std::move(sizes)},
                {"corners", std::move(corners)},
                {"edgeCount", object.edges.size()},
                {"edgeStates", std::move(edgeStates)},
                {"edgeNumbers", std::move(edgeIds)}};
    json links = edgeLinksJson(object);
    if (!links.is_null()) out["edgeLinks"] = std::move(links);
    if (!plainIds) out["vertexIds"] = std::move(ids);
    if (!object.vertices.empty()) {
        out["firstSerial"] = object.vertices.front()->serial;
        if (!plainSerials) out["vertexSerials"] = std::move(serials);
    }
    if (anyTex) out["cornerTexCoords"] = std::move(cornerTex);
    if (anyMaterial) out["faceMaterials"] = std::move(faceMaterials);
    if (namedMaterials) {
        out["materialNames"] = std::move(materialNames);
        out["materialTextures"] = std::move(materialTextures);
        out["materialImages"] = std::move(materialImages);
    }
    return out;
}

json modelJson(const Model& model, const ProjectIndex& index)
{
    json objects = json::array();
    for (const auto& object : model.objects) objects.push_back(objectJson(*object));
    json out = {{"filePath", model.filePath},
                {"objects", std::move(objects)},
                {"boundsMin", vec3Json(model.boundsMin)},
                {"boundsMax", vec3Json(model.boundsMax)},
                {"nextVertexSerial", model.nextVertexSerial},
                {"unitScale", model.unitScale},
                {"patternScale", model.patternScale},
                {"sheetSize", json::array({model.sheetWidth, model.sheetHeight})},
                {"hasTexCoords", model.hasTexCoords},
                {"textures", texturesJson(model)},
                {"textureShowEdges", model.textureShowEdges},
                {"textureInverted", model.textureInverted},
                {"textureScale", model.textureScale},
                {"lastFace", indexOr(index.face, model.lastFace)},
                {"lastEdge", indexOr(index.edge, model.lastEdge)}};
    if (!model.images.empty()) out["images"] = materialImagesJson(model);
    return out;
}

json partJson(const UnfoldedPart& part, const ProjectIndex& index)
{
    json faces = json::array();
    for (const Face* f : part.faces) faces.push_back(indexOr(index.face, f));
    return {{"faces", std::move(faces)},
            {"faceCount", part.faceCount},
            {"id", part.id},
            {"bestCandidate", indexOr(index.edge, part.bestCandidate)},
            {"offset", json::array({part.offsetX, part.offsetY})},
            {"size", json::array({part.width, part.height})},
            {"viewOrigin", json::array({part.viewOriginX, part.viewOriginY})},
            {"min", json::array({part.minX, part.minY})},
            {"max", json::array({part.maxX, part.maxY})}};
}

json unfoldingJson(const Model& model, const ProjectIndex& index, bool finished)
{
    json points = json::array();
    for (const PatternPoint* p : index.points) {
        points.push_back(p->x);
        points.push_back(p->y);
    }
    json cornerPoints = json::array();
    json cornerCopies = json::array();
    json joined = json::array();
    json faceParts = json::array();
    json unfolded = json::array();
    std::unordered_map<const UnfoldedPart*, std::int64_t> partAt;
    for (const auto& part : model.parts) partAt.emplace(part.get(), static_cast<std::int64_t>(partAt.size()));
    for (const auto& object : model.objects) {
        for (const Face* f : object->faces) {
            faceParts.push_back(indexOr(partAt, f->part));
            unfolded.push_back(f->unfolded);
            for (const HalfEdge* h : f->outerLoop.halfEdges) {
                cornerPoints.push_back(indexOr(index.point, h->point));
                cornerCopies.push_back(indexOr(index.copy, h->cornerCopy));
                joined.push_back(h->foldPartner ? 1 : 0);
            }
        }
    }
    json parts = json::array();
    for (const auto& part : model.parts) parts.push_back(partJson(*part, index));
    return {{"points", std::move(points)},
            {"cornerCopyCount", index.copies.size()},
            {"cornerPoints", std::move(cornerPoints)},
            {"cornerCopyOf", std::move(cornerCopies)},
            {"joined", std::move(joined)},
            {"faceParts", std::move(faceParts)},
            {"faceUnfolded", std::move(unfolded)},
            {"parts", std::move(parts)},
            {"currentPart", indexOr(partAt, model.currentPart)},
            {"cornersSeparated", finished}};
}

json pagesSettingsJson(const PagesSettings& pages)
{
    return {{"paper", paperName(pages)},
            {"paperCode", static_cast<int>(pages.paper)},
            {"customSizeMm", json::array({pages.customWidthMm, pages.customHeightMm})},
            {"landscape", pages.landscape},
            {"marginMm", pages.marginMm},
            {"sizeMode", pages.sizeMode == ModelSizeMode::Scale ? "scale" : "finished-size"},
            {"finishedSizeMm", pages.finishedSizeMm},
            {"cmPerUnit", pages.cmPerUnit}};
}

json layoutJson(const PagesLayout& layout, const ProjectIndex& index)
{
    json pieces = json::array();
    for (const LaidOutPiece& piece : layout.pieces) {
        json faces = json::array();
        for (const Face* f : piece.faces) faces.push_back(indexOr(index.face, f));
        json flaps = json::array();
        for (const LayoutFlap& flap : piece.flaps) {
            json corners = json::array();
            for (const MmPoint& c : flap.corners) {
                corners.push_back(c.x);
                corners.push_back(c.y);
            }
            flaps.push_back({{"side", indexOr(index.corner, flap.side)},
                             {"corners", std::move(corners)},
                             {"fit", static_cast<int>(flap.fit)}});
        }
        pieces.push_back({{"part", piece.part},
                          {"faces", std::move(faces)},
                          {"page", piece.page},
                          {"rotationDeg", piece.rotationDeg},
                          {"offset", json::array({piece.offset.x, piece.offset.y})},
                          {"flaps", std::move(flaps)}});
    }
    std::vector<std::pair<std::int64_t, int>> split;
    for (const auto& [edge, number] : layout.splitNumbers) split.emplace_back(indexOr(index.edge, edge), number);
    std::sort(split.begin(), split.end());
    json splitJson = json::array();
    for (const auto& [edge, number] : split) splitJson.push_back(json::array({edge, number}));
    return {{"settings", pagesSettingsJson(layout.settings)},
            {"paperMm", json::array({layout.paper.width, layout.paper.height})},
            {"mmPerUnit", layout.mmPerUnit},
            {"flapHeightMm", layout.flapHeightMm},
            {"pageCount", layout.pageCount},
            {"pieces", std::move(pieces)},
            {"splitNumbers", std::move(splitJson)},
            {"partsSplit", layout.partsSplit},
            {"flapsMoved", layout.flapsMoved},
            {"flapsShortened", layout.flapsShortened},
            {"flapsOmitted", layout.flapsOmitted}};
}

json stateJson(const ProjectState& state)
{
    json out = {{"settings", state.settings.toText()},
                {"saveOnExit", state.settings.saveOnExit},
                {"partSearch", {{"enabled", state.partSearch.enabled},
                                {"timeLimitSeconds", state.partSearch.timeLimitSeconds},
                                {"seed", state.partSearch.seed},
                                {"maxRounds", state.partSearch.maxRounds}}},
                {"layoutMode", state.layoutMode == LayoutMode::Pages ? "pages" : "one-sheet"},
                {"pages", pagesSettingsJson(state.pagesSettings)},
                {"finished", state.finished},
                {"unfoldedFaces", state.unfoldedFaceCount},
                {"parts", state.partCount},
                {"requestedScale", state.requestedScale},
                {"displayedScale", state.displayedScale},
                {"showTexture", state.showTexture}};
    if (state.camera) {
        const ProjectCamera& c = *state.camera;
        out["camera"] = {{"orientation", json::array({c.orientation.x, c.orientation.y, c.orientation.z,
                                                      c.orientation.w})},
                         {"modelCentre", vec3Json(c.modelCentre)},
                         {"distance", c.distance}};
    }
    return out;
}

} // namespace

std::string projectJsonText(const ProjectSource& source)
{
    const ProjectIndex index = indexProject(source.model);
    json root = {{"format", kProjectFormatName},
                 {"version", kProjectFormatVersion},
                 {"state", stateJson(source.state)},
                 {"model", modelJson(source.model, index)},
                 {"unfolding", unfoldingJson(source.model, index, source.state.finished)}};
    if (source.layout) root["layout"] = layoutJson(*source.layout, index);
    return root.dump();
}

std::string projectFileBytes(const ProjectSource& source)
{
    return compressProjectText(projectJsonText(source));
}

} // namespace nettor
