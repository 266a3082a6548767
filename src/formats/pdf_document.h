#pragma once
// A PDF document of A4 portrait pages drawn through the canvas interface:
// vector lines and polygons, and real text in the standard Helvetica font
// (which has Arial's metrics, see text_metrics.h). Device units have their
// origin at the top-left corner of the paper and y growing downwards; a pen
// of width 1 is the thinnest line the viewer or printer can draw, as a
// one-dot pen is on a printer. Dotted pens are dashed 0.14 cm on, 0.14 cm
// off. Texture images are written once each as image objects that every
// page draws where it fills a face; a JPEG file passes as it is.
#include "pattern/canvas.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

namespace nettor {

// The images the pages of one document draw, each once, numbered from 1 in
// the order of their first use.
class PdfImageTable {
public:
    int add(const TextureImage& image);
    const std::vector<const TextureImage*>& images() const { return images_; }

private:
    std::vector<const TextureImage*> images_;
    std::unordered_map<const TextureImage*, int> numbers_;
};

inline constexpr double kPdfUnitsPerCm = 600 * 0.39370078740157477; // 600 dots per inch

class PdfPage : public Canvas {
public:
    explicit PdfPage(double unitsPerCm);
    // A page of the given height; y runs down from its top. Without an
    // image table the page draws no images.
    PdfPage(double unitsPerCm, double pageHeightCm, PdfImageTable* images = nullptr);

    double unitsPerCmX() const override { return upc_; }
    double unitsPerCmY() const override { return upc_; }
    void selectPen(const Pen& pen) override;
    void selectBrush(const Brush& brush) override { brush_ = brush; }
    void selectFont(const Font& font) override { font_ = font; }
    Pen currentPen() const override { return pen_; }
    void polygon(const std::vector<DevicePoint>& points) override;
    void fillPolygon(const std::vector<DevicePoint>& points) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void textOut(int x, int y, const std::string& text) override;
    TextExtent textExtent(const std::string& text) const override;
    void setTransparentBackground() override {}
    void imageFill(const TextureImage& image, const std::vector<std::vector<DeviceSpot>>& outline,
                   const std::vector<ImageMapping>& mappings) override;
    void imageColourFill(const std::vector<std::vector<DeviceSpot>>& outline, Color colour) override;

    // The page's content stream.
    std::string content();
    // The numbers in the image table of the images the page draws, rising.
    const std::vector<int>& imagesUsed() const { return imagesUsed_; }

private:
    void flushPath();
    void strokeState();
    void polygonPath(const std::vector<DevicePoint>& points);
    void outlinePath(const std::vector<std::vector<DeviceSpot>>& outline);
    void fillColour();

    double upc_;
    Pen pen_ = Pen::stockBlack();
    Brush brush_ = Brush::stockWhite();
    Font font_;
    DevicePoint position_;
    std::string out_;
    bool pathOpen_ = false;
    DevicePoint pathEnd_;
    std::string strokeState_;          // the stroke settings last written
    std::optional<Pen> strokeStateOf_; // the pen they were made for
    std::optional<Color> fillOf_;      // the fill colour of fill_
    std::string fill_;                 // its "r g b rg" line
    PdfImageTable* images_ = nullptr;
    std::vector<int> imagesUsed_;
};

class PdfDocument {
public:
    explicit PdfDocument(double unitsPerCm = kPdfUnitsPerCm);
    // Pages of another size than A4 portrait.
    PdfDocument(double unitsPerCm, double pageWidthCm, double pageHeightCm)
        : upc_(unitsPerCm), pageWidthCm_(pageWidthCm), pageHeightCm_(pageHeightCm)
    {
    }
    // A new empty page at the end; valid until the next call.
    PdfPage& addPage();
    int pageCount() const { return static_cast<int>(pages_.size()); }
    void write(std::ostream& out);

private:
    double upc_;
    double pageWidthCm_, pageHeightCm_;
    std::vector<std::unique_ptr<PdfPage>> pages_;
    PdfImageTable images_;
};

// Text as a PDF literal string: Latin-1 bytes with (, ) and \ escaped;
// other characters become "?".
std::string pdfLiteral(const std::string& utf8);

} // namespace nettor
