#include "state/settings.h"

#include <cstdio>

namespace nettor {

std::string Settings::toText() const
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, "%i:%i:%i:%i:%i:%i:%i:%i:%i:%i:%i:%i:%i:%i", edgeColor,
                  showEdgeIds, createFlaps, reservedFlag, edgeIdFontSize, showInvertedFaces,
                  useOriginalFont, omitFlatEdges, colorMode, valleyStyle, ridgeStyle,
                  unfoldStrategy, flapSize, flapsBothSides ? 1 : 0);
    return buffer;
}

void Settings::readText(const std::string& text)
{
    int v[14];
    const int got = std::sscanf(text.c_str(), "%i:%i:%i:%i:%i:%i:%i:%i:%i:%i:%i:%i:%i:%i", &v[0],
                                &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9],
                                &v[10], &v[11], &v[12], &v[13]);
    std::int32_t* fields[13] = {&edgeColor,       &showEdgeIds,   &createFlaps, &reservedFlag,
                                &edgeIdFontSize,  &showInvertedFaces, &useOriginalFont,
                                &omitFlatEdges,   &colorMode,     &valleyStyle, &ridgeStyle,
                                &unfoldStrategy,  &flapSize};
    for (int i = 0; i < got && i < 13; ++i) *fields[i] = v[i];
    if (got >= 14) flapsBothSides = static_cast<std::uint8_t>(v[13]);
    if (flapSize < 0 || flapSize > 2) flapSize = 1;
    reservedFlag = 0;
}

std::string ViewSize::toText() const
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%i:%i", width, height);
    return buffer;
}

ViewSize ViewSize::fromText(const std::string& text)
{
    ViewSize size;
    int w, h;
    if (std::sscanf(text.c_str(), "%i:%i", &w, &h) == 2) {
        size.width = w;
        size.height = h;
    }
    return size;
}

} // namespace nettor
