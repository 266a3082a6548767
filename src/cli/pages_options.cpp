#include "cli/pages_options.h"

#include "formats/pages_outputs.h"

#include <iostream>

namespace nettor::cli {

namespace {

nlohmann::ordered_json point(MmPoint p) { return {p.x, p.y}; }

nlohmann::ordered_json placement(const PagesLayout& layout, const LaidOutPiece& piece)
{
    nlohmann::ordered_json out;
    out["page"] = piece.page;
    out["rotationDeg"] = piece.rotationDeg;
    out["offsetMm"] = point(piece.offset);
    nlohmann::ordered_json outline = nlohmann::ordered_json::array();
    for (const MmPoint& p : layout.outline(piece)) outline.push_back(point(p));
    out["outlineMm"] = outline;
    return out;
}

} // namespace

void addPagesOptions(CLI::App& command, PagesOptions& options)
{
    command.add_option("--layout", options.layout, "sheet: all parts on one sheet; pages: parts at real size on pages")
        ->check(CLI::IsMember({"sheet", "pages"}))
        ->capture_default_str();
    command.add_option("--paper", options.paper, "A4, A3, A5, Letter, Legal, Tabloid or WxH in mm (Pages layout)")
        ->capture_default_str();
    command.add_flag("--landscape", options.landscape, "lay the paper in landscape (Pages layout)");
    command.add_option("--margin", options.marginMm, "margin in mm (Pages layout)")->capture_default_str();
    auto* size = command.add_option("--size", options.sizeMm,
                                    "finished size in mm: the longest side of the model's box (Pages layout)")
                     ->capture_default_str();
    auto* scale = command.add_option("--scale", options.cmPerUnit, "cm of paper per model unit (Pages layout)");
    size->excludes(scale);
    scale->excludes(size);
}

std::optional<std::string> pagesSettingsFromOptions(const PagesOptions& options, PagesSettings& settings)
{
    settings = PagesSettings{};
    if (!parsePaperName(options.paper, settings))
        return "Unknown paper \"" + options.paper + "\": use A4, A3, A5, Letter, Legal, Tabloid or WxH in mm.";
    settings.landscape = options.landscape;
    settings.marginMm = options.marginMm;
    if (options.scaleGiven) {
        settings.sizeMode = ModelSizeMode::Scale;
        settings.cmPerUnit = options.cmPerUnit;
    } else {
        settings.finishedSizeMm = options.sizeMm;
    }
    return pagesSettingsProblem(settings);
}

void printPagesSummary(std::ostream& out, const PagesLayout& layout)
{
    out << "pages: " << layout.pageCount << "\n"
        << "parts split: " << layout.partsSplit << "\n"
        << "flaps moved: " << layout.flapsMoved << "\n"
        << "flaps shortened: " << layout.flapsShortened << "\n"
        << "flaps left out: " << layout.flapsOmitted << "\n";
}

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
        const nlohmann::ordered_json first = placement(layout, *pieces.front());
        for (const auto& item : first.items()) parts[i][item.key()] = item.value();
        if (pieces.size() < 2) continue;
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const LaidOutPiece* piece : pieces) {
            nlohmann::ordered_json entry;
            nlohmann::ordered_json faces = nlohmann::ordered_json::array();
            for (const Face* f : piece->faces) faces.push_back(f->index);
            entry["faces"] = faces;
            const nlohmann::ordered_json where = placement(layout, *piece);
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
                if (h && h->point) corners[k]["pageMm"] = point(piece->onPage(layout.local(*h->point)));
            }
        }
}

int writePagesExports(const PatternExports& exports, const PagesLayout& layout, const Settings& settings)
{
    std::vector<std::pair<std::string, std::string>> files;
    if (!exports.pdfPath.empty()) files.emplace_back(exports.pdfPath, pagesPdf(layout, settings));
    for (int page = 1; page <= layout.pageCount; ++page) {
        if (!exports.svgPath.empty())
            files.emplace_back(pageFilePath(exports.svgPath, page), pagesSvg(layout, settings, page));
        if (!exports.epsPath.empty())
            files.emplace_back(pageFilePath(exports.epsPath, page), pagesEps(layout, settings, page));
    }
    std::string message;
    if (!replaceFiles(files, message)) {
        std::cerr << message << std::endl;
        return 1;
    }
    return 0;
}

PatternExports exportsBesidePages(PatternExports exports)
{
    exports.pdfPath.clear();
    exports.svgPath.clear();
    exports.epsPath.clear();
    return exports;
}

} // namespace nettor::cli
