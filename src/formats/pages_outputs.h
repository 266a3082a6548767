#pragma once
// The outputs of the Pages layout at true size: a PDF with one page per
// sheet, and an SVG or EPS file per sheet. SVG files keep the faces, flaps,
// valley folds, ridge folds, cut lines and numbers in Inkscape layers.
#include "pattern/pages_layout.h"
#include "state/settings.h"

#include <string>
#include <utility>
#include <vector>

namespace nettor {

std::string pagesPdf(const PagesLayout& layout, const Settings& settings);
std::string pagesSvg(const PagesLayout& layout, const Settings& settings, int page);
std::string pagesEps(const PagesLayout& layout, const Settings& settings, int page);

// The file of one page: "out.svg" gives "out-1.svg", "out-2.svg", ...
std::string pageFilePath(const std::string& path, int page);

// Writes each file to a fresh file beside it and renames it into place
// only when all of them were written, so that a failure leaves every old
// file as it was. On failure the message says which file failed.
bool replaceFiles(const std::vector<std::pair<std::string, std::string>>& files, std::string& message);

} // namespace nettor
