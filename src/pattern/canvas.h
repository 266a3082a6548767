#pragma once
// The drawing surface the pattern is drawn on: a plain device context with
// pens, brushes, a rotatable font and integer device coordinates (x to the
// right, y downwards). The 2D view, printing, metafiles and the SVG writer
// each provide one. Surfaces that can hold images (PDF, SVG, the painter)
// also fill areas with a texture image.
#include <cstdint>
#include <string>
#include <vector>

namespace nettor {

struct TextureImage;

struct Color {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Color&) const = default;
};

inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kWhite{255, 255, 255};

// A device of d dots per inch has d * kInchesPerCm device units per cm.
inline constexpr double kInchesPerCm = 0.39370078740157477;

enum class PenStyle { Solid, Dot, Null };

struct Pen {
    PenStyle style = PenStyle::Solid;
    int width = 1;
    Color color = kBlack;
    bool stock = false; // one of the device's stock pens
    bool operator==(const Pen&) const = default;

    static Pen solid(int width, Color color) { return {PenStyle::Solid, width, color, false}; }
    static Pen dotted(int width, Color color) { return {PenStyle::Dot, width, color, false}; }
    static Pen null() { return {PenStyle::Null, 1, kBlack, false}; }
    static Pen stockBlack() { return {PenStyle::Solid, 1, kBlack, true}; }
    static Pen stockWhite() { return {PenStyle::Solid, 1, kWhite, true}; }
};

struct Brush {
    Color color = kWhite;
    bool stock = false;
    bool operator==(const Brush&) const = default;

    static Brush solid(Color color) { return {color, false}; }
    static Brush stockWhite() { return {kWhite, true}; }
    static Brush stockBlack() { return {kBlack, true}; }
};

struct Font {
    std::string faceName = "Arial";
    int height = 0;     // cell height in device units
    int escapement = 0; // tenths of a degree, counter-clockwise as seen on the device
    int weight = 400;
    bool operator==(const Font&) const = default;
};

struct TextExtent {
    int width = 0;
    int height = 0;
};

struct DevicePoint {
    int x = 0;
    int y = 0;
    bool operator==(const DevicePoint&) const = default;
};

// A device position with its fractions.
struct DeviceSpot {
    double x = 0.0;
    double y = 0.0;
    bool operator==(const DeviceSpot&) const = default;
};

// Where an image lands on the device: texture coordinate (u, v) (u to the
// right and v upwards over the image, 0 to 1 across it) goes to
// x = a u + c v + e, y = b u + d v + f.
struct ImageMapping {
    double a = 1.0, b = 0.0, c = 0.0, d = 1.0, e = 0.0, f = 0.0;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // Device units per centimetre of the surface, horizontally and vertically.
    virtual double unitsPerCmX() const = 0;
    virtual double unitsPerCmY() const = 0;

    // The pen, brush and font stay selected until the next call.
    virtual void selectPen(const Pen& pen) = 0;
    virtual void selectBrush(const Brush& brush) = 0;
    virtual void selectFont(const Font& font) = 0;
    virtual Pen currentPen() const = 0;

    // Filled with the brush and outlined with the pen.
    virtual void polygon(const std::vector<DevicePoint>& points) = 0;
    // Filled with the brush only.
    virtual void fillPolygon(const std::vector<DevicePoint>& points) = 0;
    virtual void moveTo(int x, int y) = 0;
    // A line from the current position, which then moves to (x, y).
    virtual void lineTo(int x, int y) = 0;

    // The text's top-left corner (before rotation by the font's escapement)
    // is at (x, y).
    virtual void textOut(int x, int y, const std::string& text) = 0;
    // Size of the text in the selected font, unrotated.
    virtual TextExtent textExtent(const std::string& text) const = 0;
    // Text is drawn without filling its cell.
    virtual void setTransparentBackground() = 0;

    // Fills the area inside the outline (the union of its polygons, each
    // turning the same way) with the image laid down by each mapping in
    // turn. The image must live until the surface's output is written. A
    // surface that cannot hold images draws nothing.
    virtual void imageFill(const TextureImage& /*image*/, const std::vector<std::vector<DeviceSpot>>& /*outline*/,
                           const std::vector<ImageMapping>& /*mappings*/)
    {
    }
    // Fills the area inside the outline with one colour of an image: for a
    // face that shows too little of its image to lay the image down. A
    // surface that cannot hold images draws nothing here either.
    virtual void imageColourFill(const std::vector<std::vector<DeviceSpot>>& /*outline*/, Color /*colour*/) {}
};

} // namespace nettor
