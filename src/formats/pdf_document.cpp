#include "formats/pdf_document.h"

#include "formats/emf_canvas.h"
#include "formats/image_embedding.h"
#include "pattern/page_grid.h"
#include "pattern/text_metrics.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cmath>
#include <locale>

namespace nettor {

namespace {

constexpr double kPointsPerCm = 72 / 2.54;
constexpr double kDotDashCm = 0.14;
constexpr double kPi = 3.14159265358979323846;

// Numbers as PDF wants them: plain decimals with a point, whatever the
// locale, at most four decimals, no exponent.
void appendNum(std::string& out, double v)
{
    if (!std::isfinite(v)) v = 0;
    if (v > 1e9) v = 1e9;
    if (v < -1e9) v = -1e9;
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 4);
    if (ec != std::errc()) {
        out += '0';
        return;
    }
    // Four decimals at most: trailing zeros and a bare point go.
    char* last = end;
    if (std::find(buffer, end, '.') != end) {
        while (last[-1] == '0') --last;
        if (last[-1] == '.') --last;
    }
    if (last - buffer == 2 && buffer[0] == '-' && buffer[1] == '0') {
        out += '0';
        return;
    }
    out.append(buffer, last);
}

std::string pdfNum(double v)
{
    std::string s;
    appendNum(s, v);
    return s;
}

void appendInt(std::string& out, int v)
{
    char buffer[16];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    out.append(buffer, ec == std::errc() ? end : buffer);
}

// "x y" of a device point.
void appendPoint(std::string& out, int x, int y)
{
    appendInt(out, x);
    out += ' ';
    appendInt(out, y);
}

std::string pdfRgb(Color c)
{
    return pdfNum(c.r / 255.0) + " " + pdfNum(c.g / 255.0) + " " + pdfNum(c.b / 255.0);
}

// An image object: a JPEG file as it is, else the pixels in a zlib stream.
std::string pdfImageObject(const TextureImage& image)
{
    std::string data, filter, colours = "/DeviceRGB";
    if (const std::optional<int> components = passableJpeg(image)) {
        data = image.encoded;
        filter = "/DCTDecode";
        if (*components == 1) colours = "/DeviceGray";
    } else {
        data = zlibStream(rgbRowsTopFirst(image));
        filter = "/FlateDecode";
    }
    return "<< /Type /XObject /Subtype /Image /Width " + std::to_string(image.width) + " /Height " +
           std::to_string(image.height) + " /ColorSpace " + colours + " /BitsPerComponent 8 /Filter " + filter +
           " /Interpolate true /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

} // namespace

std::string pdfLiteral(const std::string& utf8)
{
    // Printable ASCII, as edge numbers are, stands for itself.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return c >= 0x20 && c < 0x7f; })) {
        std::string out = "(";
        for (const char c : utf8) {
            if (c == '(' || c == ')' || c == '\\') out += '\\';
            out += c;
        }
        return out + ")";
    }
    std::string out = "(";
    for (char16_t u : emfText(utf8)) {
        const char c = u < 0x100 ? static_cast<char>(u) : '?';
        if (c == '(' || c == ')' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            out += '?';
            continue;
        }
        out += c;
    }
    return out + ")";
}

int PdfImageTable::add(const TextureImage& image)
{
    const auto [at, added] = numbers_.emplace(&image, static_cast<int>(images_.size()) + 1);
    if (added) images_.push_back(&image);
    return at->second;
}

PdfPage::PdfPage(double unitsPerCm) : PdfPage(unitsPerCm, kPageHeightCm) {}

PdfPage::PdfPage(double unitsPerCm, double pageHeightCm, PdfImageTable* images)
    : upc_(unitsPerCm > 0 && std::isfinite(unitsPerCm) ? unitsPerCm : kPdfUnitsPerCm), images_(images)
{
    // Device units, y down from the top of the page.
    const double s = kPointsPerCm / upc_;
    out_ = pdfNum(s) + " 0 0 " + pdfNum(-s) + " 0 " + pdfNum(pageHeightCm * kPointsPerCm) + " cm\n" + "1 J 1 j\n";
}

void PdfPage::selectPen(const Pen& pen)
{
    if (!(pen == pen_)) flushPath();
    pen_ = pen;
}

void PdfPage::strokeState()
{
    // The same pen gives the same settings.
    if (strokeStateOf_ && *strokeStateOf_ == pen_) return;
    strokeStateOf_ = pen_;
    std::string state = pdfRgb(pen_.color) + " RG " + (pen_.width <= 1 ? std::string("0") : pdfNum(pen_.width)) + " w ";
    if (pen_.style == PenStyle::Dot) {
        const std::string dash = pdfNum(kDotDashCm * upc_);
        state += "[" + dash + " " + dash + "] 0 d 0 J";
    } else {
        state += "[] 0 d 1 J";
    }
    if (state != strokeState_) {
        out_ += state;
        out_ += '\n';
        strokeState_ = std::move(state);
    }
}

void PdfPage::polygonPath(const std::vector<DevicePoint>& points)
{
    for (std::size_t i = 0; i < points.size(); ++i) {
        appendPoint(out_, points[i].x, points[i].y);
        out_ += i ? " l\n" : " m\n";
    }
    out_ += "h ";
}

void PdfPage::polygon(const std::vector<DevicePoint>& points)
{
    flushPath();
    if (points.size() < 2) return;
    fillColour();
    if (pen_.style == PenStyle::Null) {
        polygonPath(points);
        out_ += "f\n";
        return;
    }
    strokeState();
    polygonPath(points);
    out_ += "B\n";
}

void PdfPage::fillPolygon(const std::vector<DevicePoint>& points)
{
    flushPath();
    if (points.size() < 2) return;
    fillColour();
    polygonPath(points);
    out_ += "f\n";
}

void PdfPage::moveTo(int x, int y) { position_ = {x, y}; }

void PdfPage::lineTo(int x, int y)
{
    if (pen_.style != PenStyle::Null) {
        if (!pathOpen_) {
            strokeState();
            pathOpen_ = true;
            appendPoint(out_, position_.x, position_.y);
            out_ += " m\n";
        } else if (!(pathEnd_ == position_)) {
            appendPoint(out_, position_.x, position_.y);
            out_ += " m\n";
        }
        appendPoint(out_, x, y);
        out_ += " l\n";
        pathEnd_ = {x, y};
    }
    position_ = {x, y};
}

void PdfPage::flushPath()
{
    if (!pathOpen_) return;
    out_ += "S\n";
    pathOpen_ = false;
}

void PdfPage::textOut(int x, int y, const std::string& text)
{
    flushPath();
    if (text.empty() || font_.height <= 0) return;
    const double em = arialEmForCellHeight(font_.height);
    const double ascent = arialAscentForCellHeight(font_.height);
    // Counter-clockwise on the device (y down): the reading direction and
    // the glyphs' up direction, in device units.
    const double e = font_.escapement * 0.1 * kPi / 180;
    const double dx = std::cos(e), dy = -std::sin(e);
    const double ux = dy, uy = -dx; // up: the reading direction turned a quarter back
    const double bx = x - ux * ascent, by = y - uy * ascent; // baseline start
    out_ += "0 0 0 rg\nBT /F1 1 Tf ";
    for (const double v : {dx * em, dy * em, ux * em, uy * em, bx, by}) {
        appendNum(out_, v);
        out_ += ' ';
    }
    out_ += "Tm ";
    out_ += pdfLiteral(text);
    out_ += " Tj ET\n";
}

TextExtent PdfPage::textExtent(const std::string& text) const
{
    return {static_cast<int>(std::lround(arialTextWidth(text, font_.height))), font_.height};
}

void PdfPage::outlinePath(const std::vector<std::vector<DeviceSpot>>& outline)
{
    for (const auto& polygon : outline) {
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            appendNum(out_, polygon[i].x);
            out_ += ' ';
            appendNum(out_, polygon[i].y);
            out_ += i ? " l\n" : " m\n";
        }
        out_ += "h\n";
    }
}

void PdfPage::imageColourFill(const std::vector<std::vector<DeviceSpot>>& outline, Color colour)
{
    if (!images_ || outline.empty()) return;
    flushPath();
    out_ += "q " + pdfRgb(colour) + " rg\n";
    outlinePath(outline);
    out_ += "f Q\n";
}

void PdfPage::imageFill(const TextureImage& image, const std::vector<std::vector<DeviceSpot>>& outline,
                        const std::vector<ImageMapping>& mappings)
{
    if (!images_ || outline.empty() || mappings.empty()) return;
    flushPath();
    const int number = images_->add(image);
    const auto used = std::lower_bound(imagesUsed_.begin(), imagesUsed_.end(), number);
    if (used == imagesUsed_.end() || *used != number) imagesUsed_.insert(used, number);
    // The colours set outside stay as they are: the fill changes none.
    out_ += "q\n";
    outlinePath(outline);
    out_ += "W n\n";
    const std::string name = " cm /Im" + std::to_string(number) + " Do Q\n";
    for (const ImageMapping& m : mappings) {
        out_ += "q ";
        for (const double v : {m.a, m.b, m.c, m.d, m.e, m.f}) {
            appendNum(out_, v);
            out_ += ' ';
        }
        out_.pop_back();
        out_ += name;
    }
    out_ += "Q\n";
}

void PdfPage::fillColour()
{
    if (!fillOf_ || !(*fillOf_ == brush_.color)) {
        fillOf_ = brush_.color;
        fill_ = pdfRgb(brush_.color) + " rg\n";
    }
    out_ += fill_;
}

std::string PdfPage::content()
{
    flushPath();
    return out_;
}

PdfDocument::PdfDocument(double unitsPerCm) : PdfDocument(unitsPerCm, kPageWidthCm, kPageHeightCm) {}

PdfPage& PdfDocument::addPage()
{
    pages_.push_back(std::make_unique<PdfPage>(upc_, pageHeightCm_, &images_));
    return *pages_.back();
}

void PdfDocument::write(std::ostream& target)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    std::vector<std::size_t> offsets;
    auto object = [&](const std::string& body) {
        offsets.push_back(static_cast<std::size_t>(out.tellp()));
        out << offsets.size() << " 0 obj\n" << body << "\nendobj\n";
    };
    out << "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    const int pages = pageCount() > 0 ? pageCount() : 1;
    // 1 catalog, 2 page tree, 3 font, then a page and its content per page.
    object("<< /Type /Catalog /Pages 2 0 R >>");
    std::string kids;
    for (int i = 0; i < pages; ++i) kids += std::to_string(4 + 2 * i) + " 0 R ";
    object("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>");
    object("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    const std::string mediaBox = "[0 0 " + pdfNum(pageWidthCm_ * kPointsPerCm) + " " +
                                 pdfNum(pageHeightCm_ * kPointsPerCm) + "]";
    // The images follow the pages.
    const int firstImage = 4 + 2 * pages;
    for (int i = 0; i < pages; ++i) {
        const std::string content = i < pageCount() ? pages_[static_cast<std::size_t>(i)]->content() : "";
        std::string images;
        if (i < pageCount())
            for (const int number : pages_[static_cast<std::size_t>(i)]->imagesUsed())
                images += " /Im" + std::to_string(number) + " " + std::to_string(firstImage + number - 1) + " 0 R";
        const std::string xObjects = images.empty() ? "" : " /XObject <<" + images + " >>";
        object("<< /Type /Page /Parent 2 0 R /MediaBox " + mediaBox + " /Resources << /Font << /F1 3 0 R >>" +
               xObjects + " >> /Contents " + std::to_string(5 + 2 * i) + " 0 R >>");
        object("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream");
    }
    for (const TextureImage* image : images_.images()) object(pdfImageObject(*image));
    const auto xref = static_cast<std::size_t>(out.tellp());
    out << "xref\n0 " << offsets.size() + 1 << "\n0000000000 65535 f \n";
    for (std::size_t o : offsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", o);
        out << line;
    }
    out << "trailer\n<< /Size " << offsets.size() + 1 << " /Root 1 0 R >>\nstartxref\n" << xref << "\n%%EOF\n";
    target << out.str();
}

} // namespace nettor
