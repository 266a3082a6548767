#pragma once
// The settings of the Pages layout: the paper the parts are laid out on,
// its orientation and margin, and how big the finished model is.
#include <optional>
#include <string>

namespace nettor {

// Which layout the finished pattern is drawn in: the one sheet fitted to
// one page, or real-size pages.
enum class LayoutMode { OneSheet, Pages };

enum class PaperSize { A5, A4, A3, Letter, Legal, Tabloid, Custom };

enum class ModelSizeMode {
    FinishedSize, // the longest side of the model's bounding box, in mm
    Scale,        // cm of paper per model unit as read from the file
};

struct PagesSettings {
    PaperSize paper = PaperSize::A4;
    double customWidthMm = 210.0; // for PaperSize::Custom, portrait
    double customHeightMm = 297.0;
    bool landscape = false;
    double marginMm = 10.0;
    ModelSizeMode sizeMode = ModelSizeMode::FinishedSize;
    double finishedSizeMm = 200.0;
    double cmPerUnit = 1.0;
    bool operator==(const PagesSettings&) const = default;
};

inline constexpr double kMinPaperMm = 10.0;
inline constexpr double kMaxPaperMm = 2000.0;
inline constexpr double kMaxFinishedSizeMm = 1.0e6; // a kilometre of paper craft is absurd
inline constexpr double kPagesGapMm = 2.0;          // between the outlines of two parts
inline constexpr int kMaxPages = 10000;

struct PaperMm {
    double width = 0.0;
    double height = 0.0;
};

// The paper as it lies: width and height in mm after the orientation.
PaperMm paperMm(const PagesSettings& settings);

// A problem with the settings in words for the user, or nothing when they
// can be laid out: sizes that are zero, negative, not finite or absurd; a
// paper under 10 mm or over 2 m; a margin that leaves no printable area.
std::optional<std::string> pagesSettingsProblem(const PagesSettings& settings);

// "A4", "a3", "Letter", ... or "WxH" in mm ("300x400", "297.5X420"): sets
// the paper of settings. False (and settings unchanged) for anything else.
bool parsePaperName(const std::string& text, PagesSettings& settings);

// The paper's name as the command line takes it ("A4", or "300x400").
std::string paperName(const PagesSettings& settings);

} // namespace nettor
