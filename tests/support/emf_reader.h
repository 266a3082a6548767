#pragma once
// Reads an Enhanced Metafile back for the tests: checks that every record
// is well formed (sizes, counts, object handles, bounds) and plays the
// drawing records back into lines, polygons and texts.
#include "pattern/canvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nettor::test {

struct EmfLine {
    DevicePoint from, to;
    std::uint32_t penStyle = 0;
    int penWidth = 0;
    Color color;
};

struct EmfPolygon {
    std::vector<DevicePoint> points;
    Color fill;
    bool outlined = false; // a pen other than the null pen was selected
    Color outline;
};

struct EmfText {
    DevicePoint reference;
    std::u16string text;
    std::vector<int> advances;
    int fontHeight = 0;
    int escapement = 0;
    std::string faceName;
    bool transparent = false;
};

struct EmfPicture {
    std::string error; // empty when every record is well formed
    std::vector<std::uint32_t> types;
    int bounds[4] = {0, 0, -1, -1};
    int frame[4] = {0, 0, 0, 0};
    int devicePx[2] = {0, 0};
    int deviceMm[2] = {0, 0};
    std::uint32_t fileSize = 0;
    std::uint32_t recordCount = 0;
    std::uint16_t handleCount = 0;

    std::vector<EmfLine> lines;
    std::vector<EmfPolygon> polygons;
    std::vector<EmfText> texts;

    bool ok() const { return error.empty(); }
};

EmfPicture readEmf(const std::vector<std::uint8_t>& bytes);

} // namespace nettor::test
