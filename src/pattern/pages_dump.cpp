#include "pattern/pages_dump.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <utility>
#include <vector>

namespace nettor {

namespace {

std::string exactNumber(double value)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

std::string exactPoint(MmPoint p)
{
    return exactNumber(p.x) + "," + exactNumber(p.y);
}

// A side named by its face and its place in the face's loop.
std::string sideName(const HalfEdge* side)
{
    if (!side || !side->loop || !side->loop->face) return "-";
    const auto& sides = side->loop->halfEdges;
    const auto at = std::find(sides.begin(), sides.end(), side) - sides.begin();
    return std::to_string(side->loop->face->index) + "." + std::to_string(at);
}

} // namespace

std::string pagesLayoutDump(const PagesLayout& layout)
{
    std::ostringstream out;
    const PagesSettings& s = layout.settings;
    out << "paper " << static_cast<int>(s.paper) << ' ' << exactNumber(s.customWidthMm) << ' '
        << exactNumber(s.customHeightMm) << ' ' << s.landscape << " margin " << exactNumber(s.marginMm)
        << " size " << static_cast<int>(s.sizeMode) << ' ' << exactNumber(s.finishedSizeMm) << ' '
        << exactNumber(s.cmPerUnit) << '\n';
    out << "mmPerUnit " << exactNumber(layout.mmPerUnit) << " flap " << exactNumber(layout.flapHeightMm)
        << " pages " << layout.pageCount << '\n';
    for (const LaidOutPiece& piece : layout.pieces) {
        out << "piece " << piece.part << " page " << piece.page << " turn " << exactNumber(piece.rotationDeg)
            << " at " << exactPoint(piece.offset) << " moved " << piece.movedByUser << " faces";
        for (const Face* f : piece.faces) out << ' ' << f->index;
        out << '\n';
        for (const LayoutFlap& flap : piece.flaps) {
            out << " flap " << sideName(flap.side) << ' ' << static_cast<int>(flap.fit);
            for (MmPoint c : flap.corners) out << ' ' << exactPoint(c);
            out << '\n';
        }
    }
    std::vector<std::pair<std::string, int>> splits;
    for (const auto& [edge, number] : layout.splitNumbers)
        splits.push_back({sideName(edge ? edge->halfEdge1 : nullptr), number});
    std::sort(splits.begin(), splits.end());
    out << "splits";
    for (const auto& split : splits) out << ' ' << split.first << '=' << split.second;
    out << '\n';
    return out.str();
}

} // namespace nettor
