#include "state/pages_settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace nettor {

namespace {

struct NamedPaper {
    const char* name;
    PaperSize paper;
    double width, height; // portrait, mm
};

constexpr NamedPaper kPapers[] = {
    {"A5", PaperSize::A5, 148.0, 210.0},
    {"A4", PaperSize::A4, 210.0, 297.0},
    {"A3", PaperSize::A3, 297.0, 420.0},
    {"Letter", PaperSize::Letter, 215.9, 279.4},
    {"Legal", PaperSize::Legal, 215.9, 355.6},
    {"Tabloid", PaperSize::Tabloid, 279.4, 431.8},
};

std::string lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::optional<double> parseNumber(const std::string& text)
{
    if (text.empty()) return std::nullopt;
    double value = 0.0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::string mm(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g mm", value);
    return buffer;
}

} // namespace

PaperMm paperMm(const PagesSettings& settings)
{
    PaperMm p{settings.customWidthMm, settings.customHeightMm};
    for (const NamedPaper& named : kPapers)
        if (named.paper == settings.paper) p = {named.width, named.height};
    if (settings.landscape) std::swap(p.width, p.height);
    return p;
}

std::optional<std::string> pagesSettingsProblem(const PagesSettings& settings)
{
    const PaperMm paper = paperMm(settings);
    for (const double side : {paper.width, paper.height}) {
        if (!std::isfinite(side) || side <= 0.0)
            return "The paper size must be a positive number of millimetres.";
        if (side < kMinPaperMm) return "The paper is smaller than " + mm(kMinPaperMm) + ": " + mm(side) + ".";
        if (side > kMaxPaperMm) return "The paper is larger than 2 m: " + mm(side) + ".";
    }
    if (!std::isfinite(settings.marginMm) || settings.marginMm < 0.0)
        return "The margin must be zero or a positive number of millimetres.";
    if (2.0 * settings.marginMm >= std::min(paper.width, paper.height))
        return "A margin of " + mm(settings.marginMm) + " leaves no printable area on a paper of " +
               mm(paper.width) + " x " + mm(paper.height) + ".";
    if (settings.sizeMode == ModelSizeMode::FinishedSize) {
        if (!std::isfinite(settings.finishedSizeMm) || settings.finishedSizeMm <= 0.0)
            return "The finished size must be a positive number of millimetres.";
        if (settings.finishedSizeMm > kMaxFinishedSizeMm)
            return "The finished size of " + mm(settings.finishedSizeMm) + " is too large (at most " +
                   mm(kMaxFinishedSizeMm) + ").";
    } else {
        if (!std::isfinite(settings.cmPerUnit) || settings.cmPerUnit <= 0.0)
            return "The scale must be a positive number of centimetres per model unit.";
    }
    return std::nullopt;
}

bool parsePaperName(const std::string& text, PagesSettings& settings)
{
    const std::string name = lower(text);
    for (const NamedPaper& named : kPapers) {
        if (lower(named.name) == name) {
            settings.paper = named.paper;
            return true;
        }
    }
    const std::size_t x = name.find('x');
    if (x == std::string::npos) return false;
    const auto w = parseNumber(name.substr(0, x));
    const auto h = parseNumber(name.substr(x + 1));
    if (!w || !h) return false;
    settings.paper = PaperSize::Custom;
    settings.customWidthMm = *w;
    settings.customHeightMm = *h;
    return true;
}

std::string paperName(const PagesSettings& settings)
{
    for (const NamedPaper& named : kPapers)
        if (named.paper == settings.paper) return named.name;
    char buffer[80];
    std::snprintf(buffer, sizeof buffer, "%gx%g", settings.customWidthMm, settings.customHeightMm);
    return buffer;
}

} // namespace nettor
