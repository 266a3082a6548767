#pragma once
// The picture of the textured pattern window: the arranged pattern in window
// pixels with the window centre as origin (y up), each face with its texture
// coordinates, glue flap outlines behind the faces and lines in front.
#include "model/mesh.h"
#include "state/settings.h"

#include <vector>

namespace nettor {

// Options of the picture that live for the whole process.
struct TexturedPatternOptions {
    double lineTransparency = 0.5; // 0 solid black lines, 1 invisible
    bool showSilhouette = true;    // cut and border edges
};

struct TexturedCorner {
    double x = 0.0;
    double y = 0.0;
    bool hasTexCoord = false;
    double u = 0.0;
    double v = 0.0;
};

struct TexturedSegment {
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
};

struct TexturedPicture {
    std::vector<TexturedSegment> flapLines;          // drawn at depth -0.01
    std::vector<std::vector<TexturedCorner>> faces;  // drawn at depth 0
    std::vector<const TextureImage*> faceImages;     // each face's image (or none), by faces
    std::vector<TexturedSegment> lines;              // drawn at depth +0.01
    double lineAlpha = 0.5;                          // 1 - lineTransparency
};

inline constexpr double kFlapLineDepth = -0.01;
inline constexpr double kEdgeLineDepth = 0.01;

// Pixels per normalised unit: textureScale / unitScale.
double texturedPixelsPerUnit(const Model& model);

// Builds the picture of the finished pattern; the model is only read. With
// textureInverted set the picture is mirrored left to right; the sheet is
// centred on the origin.
TexturedPicture buildTexturedPattern(const Model& model, const Settings& settings,
                                     const TexturedPatternOptions& options);

// The scale a freshly opened window starts with: the sheet's height fills 500
// pixels. Models without a sheet keep their scale.
void resetTextureScale(Model& model);

// A right drag by (dx, dy) pixels scales the picture by 1 + 0.01 (dx + dy);
// a change that would make the sheet shorter than 10 pixels (or turn it
// over) is refused. Returns whether the scale changed.
bool dragTextureScale(Model& model, int dx, int dy);

} // namespace nettor
