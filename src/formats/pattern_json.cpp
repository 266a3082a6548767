#include "formats/pattern_json.h"

#include "model/mesh.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace nettor {

namespace {

const char* edgeStateJsonName(EdgeState state)
{
    switch (state) {
    case EdgeState::Untouched: return "Untouched";
    case EdgeState::Fold: return "Fold";
    case EdgeState::Cut: return "Cut";
    case EdgeState::Blocked: return "Blocked";
    case EdgeState::Candidate: return "Candidate";
    case EdgeState::Border: return "Border";
    case EdgeState::MarkedCut: return "MarkedCut";
    }
    return "Unknown";
}

nlohmann::ordered_json unfoldingJsonValue(const Model& model, double displayedScale)
{
    using json = nlohmann::ordered_json;
    json out;
    out["unitScale"] = model.unitScale;
    out["patternScale"] = model.patternScale;
    out["displayedScale"] = displayedScale;
    out["sheetWidth"] = model.sheetWidth;
    out["sheetHeight"] = model.sheetHeight;

    json parts = json::array();
    for (const auto& part : model.parts) {
        json faces = json::array();
        for (const Face* f : part->faces) faces.push_back(f->index);
        parts.push_back({{"id", part->id}, {"offset", {part->offsetX, part->offsetY}}, {"faces", faces}});
    }
    out["parts"] = parts;

    json faces = json::array();
    for (std::int32_t i = 0; i < model.faceCount; ++i) faces.push_back(nullptr);
    for (const auto& object : model.objects) {
        for (const Face* f : object->faces) {
            json corners = json::array();
            for (const HalfEdge* h : f->outerLoop.halfEdges) {
                const Vec3& p = h->origin->position;
                json corner = {{"vertex", h->origin->id}, {"position", {p.x, p.y, p.z}}};
                corner["point"] = h->point ? json{h->point->x, h->point->y} : json(nullptr);
                corners.push_back(corner);
            }
            json face = {{"part", f->part ? json(f->part->id) : json(nullptr)}, {"corners", corners}};
            if (f->index >= 0 && f->index < model.faceCount)
                faces[static_cast<std::size_t>(f->index)] = face;
        }
    }
    out["faces"] = faces;

    json edges = json::array();
    for (const auto& object : model.objects) {
        for (const Edge* e : object->edges) {
            json adjacent = json::array();
            adjacent.push_back(e->halfEdge1->loop->face->index);
            if (e->halfEdge2) adjacent.push_back(e->halfEdge2->loop->face->index);
            edges.push_back({{"state", edgeStateJsonName(e->state)},
                             {"edgeId", e->edgeId},
                             {"foldAngle", e->foldAngle},
                             {"isRidge", e->isRidge != 0},
                             {"length", e->length},
                             {"faces", adjacent}});
        }
    }
    out["edges"] = edges;
    return out;
}

nlohmann::ordered_json mmPointJson(MmPoint p) { return {p.x, p.y}; }

nlohmann::ordered_json piecePlacementJson(const PagesLayout& layout, const LaidOutPiece& piece)
{
    nlohmann::ordered_json out;
    out["page"] = piece.page;
    out["rotationDeg"] = piece.rotationDeg;
    out["offsetMm"] = mmPointJson(piece.offset);
    nlohmann::ordered_json outline = nlohmann::ordered_json::array();
    for (const MmPoint& p : layout.outline(piece)) outline.push_back(mmPointJson(p));
    out["outlineMm"] = outline;
    return out;
}


// Adds "layout" at the top level, "page", "rotationDeg", "offsetMm" and
// "outlineMm" to each part (and "pieces" for a part split in several), and
// "pageMm" to each face corner.
void addPagesJson(nlohmann::ordered_json& out, const PagesLayout& layout, const Model& model)
{
    out["layout"] = {{"mode", "pages"},
                     {"paperMm", {layout.paper.width, layout.paper.height}},
                     {"marginMm", layout.settings.marginMm},
                     {"mmPerUnit", layout.mmPerUnit},
                     {"pages", layout.pageCount}};

    std::vector<std::vector<const LaidOutPiece*>> piecesOfPart(model.parts.size());
    std::vector<const LaidOutPiece*> pieceOfFace(static_cast<std::size_t>(std::max(model.faceCount, 0)), nullptr);
    for (const LaidOutPiece& piece : layout.pieces) {
        piecesOfPart[static_cast<std::size_t>(piece.part)].push_back(&piece);
        for (const Face* f : piece.faces) pieceOfFace[static_cast<std::size_t>(f->index)] = &piece;
    }
    auto& parts = out["parts"];
    for (std::size_t i = 0; i < parts.size() && i < piecesOfPart.size(); ++i) {
        const auto& pieces = piecesOfPart[i];
        if (pieces.empty()) continue;
        const nlohmann::ordered_json first = piecePlacementJson(layout, *pieces.front());
        for (const auto& item : first.items()) parts[i][item.key()] = item.value();
        if (pieces.size() < 2) continue;
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const LaidOutPiece* piece : pieces) {
            nlohmann::ordered_json entry;
            nlohmann::ordered_json faces = nlohmann::ordered_json::array();
            for (const Face* f : piece->faces) faces.push_back(f->index);
            entry["faces"] = faces;
            const nlohmann::ordered_json where = piecePlacementJson(layout, *piece);
            for (const auto& item : where.items()) entry[item.key()] = item.value();
            list.push_back(entry);
        }
        parts[i]["pieces"] = list;
    }

    auto& faces = out["faces"];
    for (const auto& object : model.objects)
        for (const Face* f : object->faces) {
            if (f->index < 0 || static_cast<std::size_t>(f->index) >= faces.size()) continue;
            const LaidOutPiece* piece = pieceOfFace[static_cast<std::size_t>(f->index)];
            auto& face = faces[static_cast<std::size_t>(f->index)];
            if (!piece || face.is_null()) continue;
            face["page"] = piece->page;
            auto& corners = face["corners"];
            for (std::size_t k = 0; k < f->outerLoop.halfEdges.size() && k < corners.size(); ++k) {
                const HalfEdge* h = f->outerLoop.halfEdges[k];
                if (h && h->point) corners[k]["pageMm"] = mmPointJson(piece->onPage(layout.local(*h->point)));
            }
        }
}

} // namespace

std::string unfoldingJson(const Model& model, double displayedScale, const PagesLayout* pages)
{
    nlohmann::ordered_json json = unfoldingJsonValue(model, displayedScale);
    if (pages) addPagesJson(json, *pages, model);
    return json.dump(1) + "\n";
}

} // namespace nettor
