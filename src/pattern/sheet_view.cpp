#include "pattern/sheet_view.h"

#include "model/mesh.h"

#include <algorithm>
#include <cmath>

namespace nettor {

namespace {

constexpr double kEnlarge = 1.25;
constexpr double kReduce = 0.8;
constexpr double kCm = 1.5; // the margin every output adds to the sheet

const char* const kNoMoreZoomIn = "No more zoom in.";
const char* const kNoMoreZoomOut = "No more zoom up.";

int truncated(double value)
{
    if (!(value > 0.0)) return 0;
    if (value >= 1e9) return 1000000000;
    return static_cast<int>(value);
}

// The pattern, drawn at this zoom and scale, may still grow by `factor`.
bool mayEnlarge(const SheetView& v, const Model& m, double zoom, double scale)
{
    return v.width * 10.0 >= m.sheetWidth * zoom * scale * kEnlarge &&
           v.height * 10.0 >= m.sheetHeight * zoom * scale * kEnlarge;
}

bool mayReduce(const SheetView& v, const Model& m, double zoom, double scale)
{
    return !(v.width * 0.05 > m.sheetWidth * zoom * scale * kReduce ||
             v.height * 0.05 > m.sheetHeight * zoom * scale * kReduce);
}

} // namespace

double fitZoom(int width, int height, double margin)
{
    const double byWidth = (width - 2.0 * margin) / kSheetPictureWidth;
    const double byHeight = (height - 2.0 * margin) / kSheetPictureHeight;
    const double zoom = std::min(byWidth, byHeight);
    return std::isfinite(zoom) ? std::max(zoom, kMinimumZoom) : kMinimumZoom;
}

void resetSheetView(SheetView& view)
{
    view.scrollWidth = view.width;
    view.scrollHeight = view.height;
    view.zoom = fitZoom(view.width, view.height, view.margin);
}

void updateScrollSize(SheetView& v, const Model& m)
{
    v.scrollWidth = std::max({v.width, truncated((m.sheetWidth * m.patternScale + kCm) * v.zoom + v.margin),
                              truncated(2.0 * v.margin + kSheetPictureWidth * v.zoom)});
    v.scrollHeight = std::max({v.height, truncated((m.sheetHeight * m.patternScale + kCm) * v.zoom + v.margin),
                               truncated(2.0 * v.margin + kSheetPictureHeight * v.zoom)});
}

std::string zoomIn(SheetView& v, const Model& m)
{
    const double next = v.zoom * kEnlarge;
    if (!mayEnlarge(v, m, v.zoom, m.patternScale) || !std::isfinite(next) || next > 1e6) return kNoMoreZoomIn;
    v.zoom = next;
    updateScrollSize(v, m);
    return {};
}

std::string zoomOut(SheetView& v, const Model& m)
{
    const double next = v.zoom * kReduce;
    if (!mayReduce(v, m, v.zoom, m.patternScale) || next < kMinimumZoom) return kNoMoreZoomOut;
    v.zoom = next;
    updateScrollSize(v, m);
    return {};
}

std::string scaleUp(SheetView& v, Model& m, double& displayedScale)
{
    if (!mayEnlarge(v, m, v.zoom, m.patternScale)) return kNoMoreZoomIn;
    m.patternScale *= kEnlarge;
    displayedScale = m.patternScale * m.unitScale;
    updateScrollSize(v, m);
    return {};
}

std::string scaleDown(SheetView& v, Model& m, double& displayedScale)
{
    if (!mayReduce(v, m, v.zoom, m.patternScale)) return kNoMoreZoomOut;
    m.patternScale *= kReduce;
    displayedScale = m.patternScale * m.unitScale;
    updateScrollSize(v, m);
    return {};
}

std::string applyRequestedScale(SheetView& v, Model& m, double requestedScale, double& displayedScale)
{
    const double s = requestedScale / m.unitScale;
    const double w = s * m.sheetWidth * v.zoom;
    const double h = s * m.sheetHeight * v.zoom;
    // A scale that is not a positive number is as unusable as a tiny one.
    if (!std::isfinite(s) || !(s > 0.0) || w < v.width * 0.05 || h < v.height * 0.05)
        return "The value is too small.";
    if (w > v.width * 10.0 || h > v.height * 10.0) return "The value is too large.";
    m.patternScale = s;
    displayedScale = requestedScale;
    updateScrollSize(v, m);
    return {};
}

} // namespace nettor
