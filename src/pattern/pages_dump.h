#pragma once
// A canonical text of a Pages layout: its settings and every piece's page,
// turn, offset, faces and flaps, with numbers written exactly. Two layouts
// of the same model are the same exactly when their texts are.
#include "pattern/pages_layout.h"

#include <string>

namespace nettor {

std::string pagesLayoutDump(const PagesLayout& layout);

} // namespace nettor
