#pragma once
// One page of the Pages layout as an Enhanced Metafile at true size: the
// frame is the paper, for the clipboard and for .emf files.
#include "pattern/pages_layout.h"
#include "state/settings.h"

#include <cstdint>
#include <vector>

namespace nettor {

std::vector<std::uint8_t> pageMetafile(const PagesLayout& layout, const Settings& settings, int page,
                                       double dpiX = 96.0, double dpiY = 96.0);

} // namespace nettor
