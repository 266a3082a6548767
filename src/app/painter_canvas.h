#pragma once
// A canvas that draws with a QPainter: the 2D pattern view on screen, and the
// printer, print preview and PDF output. Device units are the painter's
// logical units (pixels on a widget or image, dots on a printer, or whatever
// the painter's transform makes them).
//
// It behaves as a plain device context does:
// - a pen of width 0 or 1 is one device unit wide; a dotted pen is 3 units
//   on and 3 off in its width; a null pen draws nothing;
// - polygons are filled with the brush and outlined with the pen;
// - a font's height is the cell height (ascent plus descent) in device
//   units, and text is placed by the top-left corner of its cell, turned
//   counter-clockwise by the escapement (tenths of a degree);
// - until setTransparentBackground() the text cell is filled white first;
//   text is always black;
// - an image fill draws the texture image with its mapping as the painter's
//   transform, clipped to the outline.
// The painter's state is saved on construction and restored on destruction.
#include "pattern/canvas.h"

#include <QFont>
#include <QImage>

#include <cstdint>
#include <unordered_map>

#include <cstddef>

class QPaintDevice;
class QPainter;

// The texture images a drawing fills faces with, each made a QImage once
// for all the pages of a job, so that a printer's engine sees the same
// image each time.
class CanvasImages {
public:
    const QImage& of(const nettor::TextureImage& image);

private:
    std::unordered_map<std::uint64_t, QImage> images_; // by the images' serials
};

class PainterCanvas : public nettor::Canvas {
public:
    PainterCanvas(QPainter& painter, double unitsPerCmX, double unitsPerCmY);
    ~PainterCanvas() override;
    PainterCanvas(const PainterCanvas&) = delete;
    PainterCanvas& operator=(const PainterCanvas&) = delete;

    double unitsPerCmX() const override { return unitsPerCmX_; }
    double unitsPerCmY() const override { return unitsPerCmY_; }
    void selectPen(const nettor::Pen& pen) override;
    void selectBrush(const nettor::Brush& brush) override;
    void selectFont(const nettor::Font& font) override;
    nettor::Pen currentPen() const override { return pen_; }
    void polygon(const std::vector<nettor::DevicePoint>& points) override;
    void fillPolygon(const std::vector<nettor::DevicePoint>& points) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void textOut(int x, int y, const std::string& text) override;
    nettor::TextExtent textExtent(const std::string& text) const override;
    void setTransparentBackground() override { transparent_ = true; }
    void imageFill(const nettor::TextureImage& image, const std::vector<std::vector<nettor::DeviceSpot>>& outline,
                   const std::vector<nettor::ImageMapping>& mappings) override;
    void imageColourFill(const std::vector<std::vector<nettor::DeviceSpot>>& outline, nettor::Color colour) override;

    // The images are taken from (and kept in) images, which outlives the
    // canvas, instead of the canvas's own.
    void shareImages(CanvasImages& images) { images_ = &images; }

    // Many at once, as the calls above draw them one by one: count / 2
    // lines, from ends[0] to ends[1], ends[2] to ends[3] and so on, in the
    // current pen; and polygons from an array of corners.
    void lines(const nettor::DevicePoint* ends, std::size_t count);
    void polygon(const nettor::DevicePoint* points, std::size_t count);
    void fillPolygon(const nettor::DevicePoint* points, std::size_t count);

    // No line is drawn thinner than this many device units (for paper and
    // high-resolution images, where one device unit is a hair line).
    void setMinimumLineWidth(int deviceUnits);
    // The minimum line width for a device of unitsPerCm: 0.035 cm.
    static int paperLineWidth(double unitsPerCm);

    // The Qt font that a canvas font becomes (cell height to pixel size).
    static QFont qtFont(const nettor::Font& font);
    // The size of the text in the font on the device, as textExtent gives it.
    static nettor::TextExtent textExtentOn(QPaintDevice* device, const QFont& font, const std::string& text);

private:
    QPainter& painter_;
    double unitsPerCmX_;
    double unitsPerCmY_;
    nettor::Pen pen_ = nettor::Pen::stockBlack();
    nettor::Brush brush_ = nettor::Brush::stockWhite();
    nettor::Font font_;
    QFont qfont_;
    nettor::DevicePoint position_;
    bool transparent_ = false;
    int minimumLineWidth_ = 0;
    CanvasImages ownImages_;
    CanvasImages* images_ = &ownImages_;
};
