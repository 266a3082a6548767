#pragma once
// A face of the printed pattern filled with its part of its material's
// image: the mapping that carries each corner's texture coordinate to the
// corner's place, the outline the image is clipped to (the face, reaching
// past each side as far as that side asks), and the repeats of the image
// that cover the outline, as textures repeat on the model.
#include "model/mesh.h"
#include "pattern/canvas.h"

#include <optional>
#include <vector>

namespace nettor {

// How far the image reaches past a side: past a cut line, so that no white
// shows where the cut strays outwards; over a fold, so that no hair line of
// paper shows between two faces.
inline constexpr double kImageBleedMm = 1.0;
inline constexpr double kImageSeamMm = 0.1;
// The most repeats of the image one face is filled with.
inline constexpr int kMaxImageRepeats = 64;
// A face narrower than this many texels of its image, or whose image would
// be laid down larger than this on paper, is filled with the image's colour
// at its middle instead: it shows no more than that colour, and viewers and
// printers balk at images of such sizes.
inline constexpr double kMinFaceTexels = 1.0;
inline constexpr double kMaxImageSpanCm = 200.0;

struct MappedCorner {
    DeviceSpot at;
    double u = 0.0;
    double v = 0.0;
};

// The affine mapping that comes closest (least squares) to carrying each
// corner's texture coordinate to its place; exact for three corners. None
// for fewer than three corners, or when the texture coordinates or the
// places lie on one line.
std::optional<ImageMapping> fitImageMapping(const std::vector<MappedCorner>& corners);

// The polygon and, past each side i (from corner i to corner i + 1), a strip
// reach[i] device units wide, with the corners between two strips rounded
// over; every polygon of the result turns the way the polygon does, so that
// their union is what they enclose under the nonzero rule.
std::vector<std::vector<DeviceSpot>> reachingOutline(const std::vector<DeviceSpot>& polygon,
                                                     const std::vector<double>& reach);

// The mapping shifted by whole repeats of the image (texture coordinates
// u + i, v + j) as often as it takes to cover the outline; at most
// kMaxImageRepeats, those about the outline's middle.
std::vector<ImageMapping> imageRepeats(const ImageMapping& mapping,
                                       const std::vector<std::vector<DeviceSpot>>& outline);

// The image a face is printed with: its material's image; null when it has
// none or when a corner of its outer loop has no texture coordinate.
const TextureImage* printedImage(const Face& face);

// The colour of the image at texture coordinate (u, v), the image repeating.
Color imageColourAt(const TextureImage& image, double u, double v);

// Fills the face with its image, or with its colour (see kMinFaceTexels;
// also when the texture coordinates lie on one line): corners are the
// device places of its outer loop's corners in loop order, reach as for
// reachingOutline. False, and nothing drawn, when the face has no image to
// print.
bool fillFaceWithImage(Canvas& dc, const Face& face, const std::vector<DeviceSpot>& corners,
                       const std::vector<double>& reach);

} // namespace nettor
