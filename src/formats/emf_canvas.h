#pragma once
// A canvas that records the drawing as an Enhanced Metafile, the picture
// format office programs paste and place: a header with the picture frame
// and the reference device, then pens, brushes, fonts, polygons, polylines,
// move/line-to and text, and an end-of-file record.
//
// Device units are pixels of the reference device, a screen of the given
// resolution. Pens, brushes and fonts (the stock ones included) are created
// once per distinct value on first use and deleted when the metafile is
// finished. Text is measured
// with the Arial approximation of text_metrics.h, the advance of every
// character is written with the text, and lines drawn with a null pen are
// left out (they draw nothing on any device).
#include "pattern/canvas.h"

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace nettor {

// A rectangle in hundredths of a millimetre, as metafile frames are given.
struct EmfFrame {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class EmfCanvas : public Canvas {
public:
    // A metafile of the frame, drawn for a screen of dpiX x dpiY dots per
    // inch. A resolution that is not positive counts as 96.
    EmfCanvas(EmfFrame frame, double dpiX = 96.0, double dpiY = 96.0);

    double unitsPerCmX() const override { return upcX_; }
    double unitsPerCmY() const override { return upcY_; }
    void selectPen(const Pen& pen) override;
    void selectBrush(const Brush& brush) override;
    void selectFont(const Font& font) override;
    Pen currentPen() const override { return pen_; }
    void polygon(const std::vector<DevicePoint>& points) override;
    void fillPolygon(const std::vector<DevicePoint>& points) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void textOut(int x, int y, const std::string& text) override;
    TextExtent textExtent(const std::string& text) const override;
    void setTransparentBackground() override;

    // Ends the metafile (deletes the objects, writes the end-of-file record,
    // completes the header) and returns its bytes. Later drawing is ignored.
    const std::vector<std::uint8_t>& finish();
    void write(std::ostream& out);

    // Size in pixels and in millimetres of the reference screen: a 20 x 15
    // inch screen of the canvas's resolution.
    int deviceWidthPx() const;
    int deviceHeightPx() const;

private:
    struct Bounds {
        int left = 0, top = 0, right = -1, bottom = -1;
        bool empty() const { return right < left; }
        void add(int x, int y, int grow);
        void add(const Bounds& other);
    };

    void begin(std::uint32_t type);
    void end();
    void u32(std::uint32_t v);
    void i32(std::int32_t v);
    void u16(std::uint16_t v);
    void u8(std::uint8_t v);
    void bounds(const Bounds& b);
    void put32At(std::size_t at, std::uint32_t v);

    void selectObject(std::uint32_t handle);
    std::uint32_t newHandle();
    void selectPenObject(const Pen& pen);
    void flushLines();
    void polygonRecord(const std::vector<DevicePoint>& points, int penWidth);

    EmfFrame frame_;
    double dpiX_, dpiY_, upcX_, upcY_;
    std::vector<std::uint8_t> bytes_;
    std::size_t recordStart_ = 0;
    std::uint32_t records_ = 0;
    Bounds picture_;
    bool finished_ = false;

    Pen pen_ = Pen::stockBlack();
    Brush brush_ = Brush::stockWhite();
    Font font_;
    bool fontChosen_ = false;
    std::uint32_t selectedPen_ = 0, selectedBrush_ = 0, selectedFont_ = 0;
    std::map<std::tuple<int, int, int, int, int>, std::uint32_t> pens_;
    std::map<std::tuple<int, int, int>, std::uint32_t> brushes_;
    std::map<std::tuple<std::string, int, int, int>, std::uint32_t> fonts_;
    std::vector<std::uint32_t> created_;
    std::uint32_t nextHandle_ = 1; // handle 0 stands for the metafile itself

    DevicePoint position_;
    std::vector<DevicePoint> pendingLine_; // a run of connected lines in the current pen
};

// The text as the UTF-16 code units a text record holds; a byte that does
// not continue a valid UTF-8 sequence becomes U+FFFD.
std::u16string emfText(const std::string& utf8);

} // namespace nettor
