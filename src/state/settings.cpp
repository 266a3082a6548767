#include "state/settings.h"

#include "state/colon_integers.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

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
    std::int64_t v[14];
    const int got = readColonIntegers(text, v, 14);
    std::int32_t* fields[13] = {&edgeColor,       &showEdgeIds,   &createFlaps, &reservedFlag,
                                &edgeIdFontSize,  &showInvertedFaces, &useOriginalFont,
                                &omitFlatEdges,   &colorMode,     &valleyStyle, &ridgeStyle,
                                &unfoldStrategy,  &flapSize};
    for (int i = 0; i < got && i < 13; ++i) *fields[i] = static_cast<std::int32_t>(v[i]);
    // A flag held in one byte: any value but 0 sets it.
    if (got >= 14) flapsBothSides = v[13] != 0 ? 1 : 0;
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
    std::int64_t v[2];
    if (readColonIntegers(text, v, 2) == 2) {
        size.width = static_cast<std::int32_t>(v[0]);
        size.height = static_cast<std::int32_t>(v[1]);
    }
    return size;
}

} // namespace nettor
