#pragma once
// The user's display and unfolding preferences, and their text form
// "a:b:c:..." as stored between runs.
#include <cstdint>
#include <string>

namespace nettor {

enum class FoldLineStyle : std::int32_t { Line = 0, Dot = 1, None = 2 };
enum class FlapSize : std::int32_t { Large = 0, Normal = 1, Small = 2 };

struct Settings {
    std::int32_t edgeColor = 1;
    std::int32_t showEdgeIds = 0;
    std::int32_t createFlaps = 1;
    std::int32_t reservedFlag = 0;
    std::int32_t edgeIdFontSize = 8;
    std::int32_t showInvertedFaces = 0;
    std::int32_t useOriginalFont = 0;
    std::int32_t omitFlatEdges = 1;
    std::int32_t colorMode = 1;
    std::int32_t valleyStyle = 1;   // FoldLineStyle
    std::int32_t ridgeStyle = 0;    // FoldLineStyle
    std::int32_t unfoldStrategy = 1;
    std::int32_t flapSize = 1;      // FlapSize
    std::uint8_t flapsBothSides = 0;
    std::int32_t saveOnExit = 1;    // not part of the text form
    // The printed pattern (print, PDF, SVG) fills each face with its part of
    // its material's image; without material images it changes nothing.
    // Not part of the text form.
    std::int32_t printTextures = 1;

    // "%i:%i:..." with the 14 stored fields in order.
    std::string toText() const;
    // Takes up to 14 integers in order; fields without one keep their value.
    // Afterwards a flapSize outside 0..2 becomes 1 and reservedFlag becomes 0.
    void readText(const std::string& text);
};

struct ViewSize {
    std::int32_t width = 320;
    std::int32_t height = 250;
    std::string toText() const;
    // "%i:%i"; anything that does not yield two integers gives 320 x 250.
    static ViewSize fromText(const std::string& text);
};

} // namespace nettor
