#include "cli/pages_options.h"

#include "formats/pages_outputs.h"

#include <iostream>

namespace nettor::cli {


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

void addPrintTexturesOption(CLI::App& command, bool& printTextures)
{
    auto* on = command.add_flag_callback(
        "--print-textures", [&printTextures] { printTextures = true; },
        "fill each face of the PDF and SVG with its part of its material's image (the default)");
    auto* off = command.add_flag_callback("--no-print-textures", [&printTextures] { printTextures = false; },
                                          "leave the faces of the PDF and SVG plain");
    on->excludes(off);
    off->excludes(on);
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

ExportFiles pagesExportFiles(const PatternExports& exports, const PagesLayout& layout, const Settings& settings)
{
    ExportFiles files;
    if (!exports.pdfPath.empty()) files.emplace_back(exports.pdfPath, pagesPdf(layout, settings));
    for (int page = 1; page <= layout.pageCount; ++page) {
        if (!exports.svgPath.empty())
            files.emplace_back(pageFilePath(exports.svgPath, page), pagesSvg(layout, settings, page));
        if (!exports.epsPath.empty())
            files.emplace_back(pageFilePath(exports.epsPath, page), pagesEps(layout, settings, page));
    }
    return files;
}

int writeExportFiles(const ExportFiles& files)
{
    std::string message;
    if (!replaceFiles(files, message)) {
        std::cerr << message << std::endl;
        return 1;
    }
    return 0;
}

int writePagesExports(const PatternExports& exports, const PagesLayout& layout, const Settings& settings)
{
    return writeExportFiles(pagesExportFiles(exports, layout, settings));
}

PatternExports exportsBesidePages(PatternExports exports)
{
    exports.pdfPath.clear();
    exports.svgPath.clear();
    exports.epsPath.clear();
    return exports;
}

} // namespace nettor::cli
