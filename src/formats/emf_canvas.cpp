#include "formats/emf_canvas.h"

#include "formats/emf_records.h"
#include "pattern/text_metrics.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace nettor {

using namespace emf;

namespace {

constexpr double kCmPerInch = 2.54;
constexpr int kScreenInchesX = 20;
constexpr int kScreenInchesY = 15;

std::uint32_t colorRef(Color c)
{
    return static_cast<std::uint32_t>(c.r) | static_cast<std::uint32_t>(c.g) << 8 |
           static_cast<std::uint32_t>(c.b) << 16;
}

int clampToInt(double v)
{
    if (!(v == v)) return 0;
    if (v >= INT_MAX) return INT_MAX;
    if (v <= INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

int saturatingAdd(int a, int b)
{
    const long long s = static_cast<long long>(a) + b;
    return static_cast<int>(std::clamp<long long>(s, INT_MIN, INT_MAX));
}

} // namespace

std::u16string emfText(const std::string& utf8)
{
    std::u16string out;
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        std::uint32_t code = 0xFFFD;
        std::size_t length = 1;
        const std::size_t extra = c < 0x80                ? 0
                                  : c >= 0xC2 && c < 0xE0 ? 1
                                  : c >= 0xE0 && c < 0xF0 ? 2
                                  : c >= 0xF0 && c < 0xF5 ? 3
                                                          : 4; // 4: not a lead byte
        if (extra == 0) {
            code = c;
        } else if (extra < 4 && i + extra < n) {
            std::uint32_t v = c & (0x7Fu >> (extra + 1));
            bool valid = true;
            for (std::size_t k = 1; k <= extra && valid; ++k) {
                valid = (s[i + k] & 0xC0) == 0x80;
                v = v << 6 | (s[i + k] & 0x3Fu);
            }
            const bool overlong = (extra == 2 && v < 0x800) || (extra == 3 && v < 0x10000);
            if (valid) {
                length = 1 + extra;
                if (!overlong && v <= 0x10FFFF && !(v >= 0xD800 && v < 0xE000)) code = v;
            }
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
        i += length;
    }
    return out;
}

void EmfCanvas::Bounds::add(int x, int y, int grow)
{
    const int l = saturatingAdd(x, -grow), t = saturatingAdd(y, -grow);
    const int r = saturatingAdd(x, grow), b = saturatingAdd(y, grow);
    if (empty()) {
        left = l;
        top = t;
        right = r;
        bottom = b;
        return;
    }
    left = std::min(left, l);
    top = std::min(top, t);
    right = std::max(right, r);
    bottom = std::max(bottom, b);
}

void EmfCanvas::Bounds::add(const Bounds& other)
{
    if (other.empty()) return;
    add(other.left, other.top, 0);
    add(other.right, other.bottom, 0);
}

EmfCanvas::EmfCanvas(EmfFrame frame, double dpiX, double dpiY)
    : frame_(frame),
      dpiX_(dpiX > 0 && std::isfinite(dpiX) ? dpiX : 96.0),
      dpiY_(dpiY > 0 && std::isfinite(dpiY) ? dpiY : 96.0),
      upcX_(dpiX_ * kInchesPerCm),
      upcY_(dpiY_ * kInchesPerCm)
{
    selectedPen_ = BLACK_PEN;
    selectedBrush_ = WHITE_BRUSH;
    selectedFont_ = SYSTEM_FONT;

    begin(EMR_HEADER);
    bounds(Bounds{});               // completed by finish()
    i32(frame_.left);
    i32(frame_.top);
    i32(frame_.right);
    i32(frame_.bottom);
    u32(kSignature);
    u32(kVersion);
    u32(0);                         // file size, completed by finish()
    u32(0);                         // record count, completed by finish()
    u16(0);                         // handle count, completed by finish()
    u16(0);                         // reserved
    u32(0);                         // no description
    u32(0);
    u32(0);                         // no palette
    i32(deviceWidthPx());
    i32(deviceHeightPx());
    i32(kScreenInchesX * 254 / 10); // millimetres
    i32(kScreenInchesY * 254 / 10);
    u32(0);                         // no pixel format
    u32(0);
    u32(0);                         // not OpenGL
    i32(kScreenInchesX * 25400);    // micrometres
    i32(kScreenInchesY * 25400);
    end();

    begin(EMR_SETTEXTALIGN);
    u32(0); // reference point at the top left of the text
    end();
    begin(EMR_SETTEXTCOLOR);
    u32(colorRef(kBlack));
    end();
}

int EmfCanvas::deviceWidthPx() const { return clampToInt(std::lround(dpiX_ * kScreenInchesX)); }
int EmfCanvas::deviceHeightPx() const { return clampToInt(std::lround(dpiY_ * kScreenInchesY)); }

void EmfCanvas::begin(std::uint32_t type)
{
    recordStart_ = bytes_.size();
    u32(type);
    u32(0); // size, set by end()
}

void EmfCanvas::end()
{
    while ((bytes_.size() - recordStart_) % 4) bytes_.push_back(0);
    put32At(recordStart_ + 4, static_cast<std::uint32_t>(bytes_.size() - recordStart_));
    ++records_;
}

void EmfCanvas::u32(std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void EmfCanvas::i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }

void EmfCanvas::u16(std::uint16_t v)
{
    bytes_.push_back(static_cast<std::uint8_t>(v));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
}

void EmfCanvas::u8(std::uint8_t v) { bytes_.push_back(v); }

void EmfCanvas::bounds(const Bounds& b)
{
    i32(b.left);
    i32(b.top);
    i32(b.right);
    i32(b.bottom);
}

void EmfCanvas::put32At(std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t EmfCanvas::newHandle()
{
    const std::uint32_t h = nextHandle_++;
    created_.push_back(h);
    return h;
}

void EmfCanvas::selectObject(std::uint32_t handle)
{
    begin(EMR_SELECTOBJECT);
    u32(handle);
    end();
}

void EmfCanvas::selectPen(const Pen& pen)
{
    if (finished_) return;
    if (!(pen == pen_)) flushLines();
    pen_ = pen;
}

void EmfCanvas::selectBrush(const Brush& brush)
{
    if (finished_) return;
    brush_ = brush;
}

void EmfCanvas::selectFont(const Font& font)
{
    if (finished_) return;
    font_ = font;
    fontChosen_ = true;
}

// Selects the object for a pen, creating it on first use. Stock pens and
// brushes are written as objects of their own too: not every reader knows
// the stock objects.
void EmfCanvas::selectPenObject(const Pen& pen)
{
    const std::uint32_t style = pen.style == PenStyle::Null  ? PS_NULL
                                : pen.style == PenStyle::Dot ? PS_DOT
                                                             : PS_SOLID;
    const int width = pen.style == PenStyle::Null ? 0 : std::max(pen.width, 0);
    const Color color = pen.style == PenStyle::Null ? kBlack : pen.color;
    const auto key = std::make_tuple(static_cast<int>(style), width, int{color.r}, int{color.g}, int{color.b});
    std::uint32_t handle = 0;
    auto found = pens_.find(key);
    if (found == pens_.end()) {
        handle = newHandle();
        begin(EMR_CREATEPEN);
        u32(handle);
        u32(style);
        i32(width);
        i32(0);
        u32(colorRef(color));
        end();
        pens_.emplace(key, handle);
    } else {
        handle = found->second;
    }
    if (handle != selectedPen_) {
        selectObject(handle);
        selectedPen_ = handle;
    }
}

void EmfCanvas::polygonRecord(const std::vector<DevicePoint>& points, int penWidth)
{
    std::uint32_t brush = 0;
    const auto key = std::make_tuple(int{brush_.color.r}, int{brush_.color.g}, int{brush_.color.b});
    auto found = brushes_.find(key);
    if (found == brushes_.end()) {
        brush = newHandle();
        begin(EMR_CREATEBRUSHINDIRECT);
        u32(brush);
        u32(BS_SOLID);
        u32(colorRef(brush_.color));
        u32(0);
        end();
        brushes_.emplace(key, brush);
    } else {
        brush = found->second;
    }
    if (brush != selectedBrush_) {
        selectObject(brush);
        selectedBrush_ = brush;
    }
    Bounds b;
    for (const DevicePoint& p : points) b.add(p.x, p.y, penWidth);
    begin(EMR_POLYGON);
    bounds(b);
    u32(static_cast<std::uint32_t>(points.size()));
    for (const DevicePoint& p : points) {
        i32(p.x);
        i32(p.y);
    }
    end();
    picture_.add(b);
}

void EmfCanvas::polygon(const std::vector<DevicePoint>& points)
{
    if (finished_ || points.size() < 2) return; // a device draws no polygon of fewer points
    flushLines();
    selectPenObject(pen_);
    polygonRecord(points, pen_.style == PenStyle::Null ? 0 : (std::max(pen_.width, 1) + 1) / 2);
}

void EmfCanvas::fillPolygon(const std::vector<DevicePoint>& points)
{
    if (finished_ || points.size() < 2) return;
    flushLines();
    selectPenObject(Pen::null());
    polygonRecord(points, 0);
}

void EmfCanvas::moveTo(int x, int y)
{
    if (finished_) return;
    position_ = {x, y};
}

void EmfCanvas::lineTo(int x, int y)
{
    if (finished_) return;
    const DevicePoint to{x, y};
    if (pen_.style != PenStyle::Null) {
        if (!pendingLine_.empty() && !(pendingLine_.back() == position_)) flushLines();
        if (pendingLine_.empty()) pendingLine_.push_back(position_);
        pendingLine_.push_back(to);
    }
    position_ = to;
}

// Writes the pending run of lines: one segment as move-to and line-to, a
// longer run as one polyline.
void EmfCanvas::flushLines()
{
    if (pendingLine_.size() < 2) {
        pendingLine_.clear();
        return;
    }
    selectPenObject(pen_);
    const int grow = (std::max(pen_.width, 1) + 1) / 2;
    Bounds b;
    for (const DevicePoint& p : pendingLine_) b.add(p.x, p.y, grow);
    if (pendingLine_.size() == 2) {
        begin(EMR_MOVETOEX);
        i32(pendingLine_[0].x);
        i32(pendingLine_[0].y);
        end();
        begin(EMR_LINETO);
        i32(pendingLine_[1].x);
        i32(pendingLine_[1].y);
        end();
    } else {
        begin(EMR_POLYLINE);
        bounds(b);
        u32(static_cast<std::uint32_t>(pendingLine_.size()));
        for (const DevicePoint& p : pendingLine_) {
            i32(p.x);
            i32(p.y);
        }
        end();
    }
    picture_.add(b);
    pendingLine_.clear();
}

void EmfCanvas::textOut(int x, int y, const std::string& text)
{
    if (finished_) return;
    flushLines();
    const std::u16string units = emfText(text);
    if (units.empty()) return;

    std::uint32_t handle = SYSTEM_FONT;
    if (fontChosen_) {
        const auto key = std::make_tuple(font_.faceName, font_.height, font_.escapement, font_.weight);
        auto found = fonts_.find(key);
        if (found == fonts_.end()) {
            handle = newHandle();
            begin(EMR_EXTCREATEFONTINDIRECTW);
            u32(handle);
            i32(font_.height);
            i32(0);                 // width
            i32(font_.escapement);
            i32(font_.escapement);  // orientation: the characters turn with the line
            i32(font_.weight);
            u8(0);                  // italic
            u8(0);                  // underline
            u8(0);                  // strike-out
            u8(ANSI_CHARSET);
            u8(0);                  // output precision
            u8(CLIP_LH_ANGLES);
            u8(0);                  // quality
            u8(0);                  // pitch and family
            const std::u16string face = emfText(font_.faceName);
            for (std::size_t i = 0; i < 32; ++i) u16(i < 31 && i < face.size() ? face[i] : 0);
            end();
            fonts_.emplace(key, handle);
        } else {
            handle = found->second;
        }
    }
    if (handle != selectedFont_) {
        selectObject(handle);
        selectedFont_ = handle;
    }

    // Advance of each code unit in the Arial approximation, rounded so that
    // the advances add up to the measured width.
    std::vector<int> advances;
    advances.reserve(units.size());
    double total = 0.0;
    int written = 0;
    for (char16_t u : units) {
        const std::string one(1, u < 0x80 ? static_cast<char>(u) : '0');
        total += arialTextWidth(one, font_.height);
        const int next = clampToInt(std::lround(total));
        advances.push_back(next - written);
        written = next;
    }

    // Bounds of the text cell turned by the escapement about (x, y).
    const double angle = font_.escapement * 0.1 * 3.14159265358979323846 / 180.0;
    const double ca = std::cos(angle), sa = std::sin(angle);
    const double w = written, h = font_.height;
    Bounds b;
    for (const auto& [u, v] : {std::pair{0.0, 0.0}, {w, 0.0}, {0.0, h}, {w, h}}) {
        // Counter-clockwise on a device whose y axis points down.
        b.add(clampToInt(std::floor(x + u * ca + v * sa)), clampToInt(std::floor(y - u * sa + v * ca)), 1);
    }

    const std::uint32_t fixed = 76;
    const std::uint32_t stringBytes = static_cast<std::uint32_t>(units.size() * 2);
    const std::uint32_t paddedString = (stringBytes + 3) / 4 * 4;
    begin(EMR_EXTTEXTOUTW);
    bounds(b);
    u32(GM_COMPATIBLE);
    const float exScale = static_cast<float>(1000.0 * kCmPerInch / dpiX_);
    const float eyScale = static_cast<float>(1000.0 * kCmPerInch / dpiY_);
    std::uint32_t bits = 0;
    static_assert(sizeof(float) == 4);
    std::copy_n(reinterpret_cast<const unsigned char*>(&exScale), 4, reinterpret_cast<unsigned char*>(&bits));
    u32(bits);
    std::copy_n(reinterpret_cast<const unsigned char*>(&eyScale), 4, reinterpret_cast<unsigned char*>(&bits));
    u32(bits);
    i32(x);
    i32(y);
    u32(static_cast<std::uint32_t>(units.size()));
    u32(fixed);                     // string offset from the record start
    u32(0);                         // options
    bounds(Bounds{});               // no clipping or opaquing rectangle
    u32(fixed + paddedString);      // advances offset
    for (char16_t u : units) u16(static_cast<std::uint16_t>(u));
    for (std::uint32_t i = stringBytes; i < paddedString; ++i) u8(0);
    for (int a : advances) i32(a);
    end();
    picture_.add(b);
}

TextExtent EmfCanvas::textExtent(const std::string& text) const
{
    return {clampToInt(std::lround(arialTextWidth(text, font_.height))), font_.height};
}

void EmfCanvas::setTransparentBackground()
{
    if (finished_) return;
    flushLines();
    begin(EMR_SETBKMODE);
    u32(TRANSPARENT);
    end();
}

const std::vector<std::uint8_t>& EmfCanvas::finish()
{
    if (finished_) return bytes_;
    flushLines();
    // Objects are deleted only while the device holds stock objects.
    if (!created_.empty()) {
        if (selectedPen_ != BLACK_PEN) selectObject(BLACK_PEN);
        if (selectedBrush_ != WHITE_BRUSH) selectObject(WHITE_BRUSH);
        if (selectedFont_ != SYSTEM_FONT) selectObject(SYSTEM_FONT);
        for (std::uint32_t h : created_) {
            begin(EMR_DELETEOBJECT);
            u32(h);
            end();
        }
    }
    begin(EMR_EOF);
    u32(0); // no palette
    u32(16);
    u32(20); // this record's size, repeated at its end
    end();
    finished_ = true;

    put32At(8, static_cast<std::uint32_t>(picture_.left));
    put32At(12, static_cast<std::uint32_t>(picture_.top));
    put32At(16, static_cast<std::uint32_t>(picture_.right));
    put32At(20, static_cast<std::uint32_t>(picture_.bottom));
    put32At(48, static_cast<std::uint32_t>(bytes_.size()));
    put32At(52, records_);
    const std::uint32_t handles = std::min<std::uint32_t>(nextHandle_, 0xFFFF);
    bytes_[56] = static_cast<std::uint8_t>(handles);
    bytes_[57] = static_cast<std::uint8_t>(handles >> 8);
    return bytes_;
}

void EmfCanvas::write(std::ostream& out)
{
    const auto& bytes = finish();
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace nettor
