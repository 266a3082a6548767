#pragma once
// nettor-cli unfold in the Pages layout: its options, the layout run after
// the unfolding, the summary lines and the page files.
#include "cli/pattern_exports.h"
#include "pattern/pages_layout.h"

#include <CLI/CLI.hpp>

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace nettor::cli {

struct PagesOptions {
    std::string layout = "sheet"; // or "pages"
    std::string paper = "A4";
    bool landscape = false;
    double marginMm = 10.0;
    double sizeMm = 200.0;
    double cmPerUnit = 0.0;
    bool scaleGiven = false;

    bool pages() const { return layout == "pages"; }
};

// --layout, --paper, --landscape, --margin, --size and --scale.
void addPagesOptions(CLI::App& command, PagesOptions& options);

// --print-textures and --no-print-textures: whether the PDF and SVG fill
// each face with its part of its material's image (they do by default).
void addPrintTexturesOption(CLI::App& command, bool& printTextures);

// The settings the options ask for, or a message for the user.
std::optional<std::string> pagesSettingsFromOptions(const PagesOptions& options, PagesSettings& settings);

// "pages: 3", "parts split: 1", "flaps moved: 2", ...
void printPagesSummary(std::ostream& out, const PagesLayout& layout);

// The PDF, the SVG files and the EPS files of the layout; the other
// exports are left to writePatternExports. Returns 0 when all were written.
int writePagesExports(const PatternExports& exports, const PagesLayout& layout, const Settings& settings);
// The same in two steps: the files with their bytes, then written all or
// none (1, with the message on standard error, when they cannot be).
using ExportFiles = std::vector<std::pair<std::string, std::string>>;
ExportFiles pagesExportFiles(const PatternExports& exports, const PagesLayout& layout, const Settings& settings);
int writeExportFiles(const ExportFiles& files);

// The exports writePatternExports still writes in the Pages layout.
PatternExports exportsBesidePages(PatternExports exports);

} // namespace nettor::cli
