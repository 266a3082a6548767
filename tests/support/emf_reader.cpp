#include "support/emf_reader.h"

#include "formats/emf_records.h"

#include <map>
#include <optional>
#include <sstream>

namespace nettor::test {

namespace {

using namespace emf;

struct Reader {
    const std::vector<std::uint8_t>& b;
    bool in(std::size_t at, std::size_t n) const { return at <= b.size() && b.size() - at >= n; }
    std::uint32_t u32(std::size_t at) const
    {
        return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
    }
    std::int32_t i32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }
    std::uint16_t u16(std::size_t at) const { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }
};

Color fromColorRef(std::uint32_t c)
{
    return {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
            static_cast<std::uint8_t>(c >> 16)};
}

struct PenObject {
    std::uint32_t style = PS_SOLID;
    int width = 1;
    Color color;
};
struct FontObject {
    int height = 0, escapement = 0;
    std::string face;
};
struct Object {
    enum Kind { Pen, Brush, Font } kind = Pen;
    PenObject pen;
    Color brush;
    FontObject font;
};

std::optional<Object> stockObject(std::uint32_t h)
{
    Object o;
    switch (h) {
    case WHITE_BRUSH: o.kind = Object::Brush; o.brush = kWhite; return o;
    case kStockObject | 4: o.kind = Object::Brush; o.brush = kBlack; return o;
    case NULL_BRUSH: o.kind = Object::Brush; o.brush = kWhite; return o;
    case WHITE_PEN: o.pen.color = kWhite; return o;
    case BLACK_PEN: o.pen.color = kBlack; return o;
    case NULL_PEN: o.pen.style = PS_NULL; return o;
    case SYSTEM_FONT: o.kind = Object::Font; o.font.face = "System"; return o;
    default: return std::nullopt;
    }
}

} // namespace

EmfPicture readEmf(const std::vector<std::uint8_t>& bytes)
{
    EmfPicture pic;
    Reader r{bytes};
    std::ostringstream error;
    auto fail = [&](std::size_t at, const std::string& what) {
        if (pic.error.empty()) {
            error << "record at " << at << ": " << what;
            pic.error = error.str();
        }
        return pic;
    };

    std::map<std::uint32_t, Object> objects;
    Object pen = *stockObject(BLACK_PEN), brush = *stockObject(WHITE_BRUSH), font = *stockObject(SYSTEM_FONT);
    std::uint32_t selected[3] = {BLACK_PEN, WHITE_BRUSH, SYSTEM_FONT};
    DevicePoint position;
    bool transparent = false;
    bool sawEof = false;

    // A drawing record's bounds must hold each of its points.
    auto checkBounds = [&](std::size_t at, const std::vector<DevicePoint>& points) {
        const int l = r.i32(at + 8), t = r.i32(at + 12), rt = r.i32(at + 16), bt = r.i32(at + 20);
        for (const DevicePoint& p : points)
            if (p.x < l || p.x > rt || p.y < t || p.y > bt) return false;
        return true;
    };

    std::size_t at = 0;
    while (at < bytes.size()) {
        if (sawEof) return fail(at, "data after the end-of-file record");
        if (!r.in(at, 8)) return fail(at, "truncated record header");
        const std::uint32_t type = r.u32(at), size = r.u32(at + 4);
        if (size < 8 || size % 4 != 0) return fail(at, "size not a multiple of 4 of at least 8");
        if (!r.in(at, size)) return fail(at, "record runs past the end of the file");
        pic.types.push_back(type);
        auto needSize = [&](std::uint32_t expected) { return size == expected; };

        if (pic.types.size() == 1) {
            if (type != EMR_HEADER || size < 88) return fail(at, "the first record is not a header");
            if (r.u32(at + 40) != kSignature) return fail(at, "no EMF signature");
            if (r.u32(at + 44) != kVersion) return fail(at, "unexpected version");
            for (int i = 0; i < 4; ++i) {
                pic.bounds[i] = r.i32(at + 8 + 4 * i);
                pic.frame[i] = r.i32(at + 24 + 4 * i);
            }
            pic.fileSize = r.u32(at + 48);
            pic.recordCount = r.u32(at + 52);
            pic.handleCount = r.u16(at + 56);
            if (r.u32(at + 60) != 0 || r.u32(at + 64) != 0) {
                const std::uint64_t end = std::uint64_t{r.u32(at + 64)} + 2ull * r.u32(at + 60);
                if (end > size) return fail(at, "description outside the header");
            }
            pic.devicePx[0] = r.i32(at + 72);
            pic.devicePx[1] = r.i32(at + 76);
            pic.deviceMm[0] = r.i32(at + 80);
            pic.deviceMm[1] = r.i32(at + 84);
            at += size;
            continue;
        }

        switch (type) {
        case EMR_HEADER: return fail(at, "a second header");
        case EMR_POLYGON:
        case EMR_POLYLINE: {
            if (size < 28) return fail(at, "short polygon");
            const std::uint32_t n = r.u32(at + 24);
            if (size != 28 + 8ull * n) return fail(at, "point count does not match the size");
            std::vector<DevicePoint> points;
            for (std::uint32_t i = 0; i < n; ++i)
                points.push_back({r.i32(at + 28 + 8 * i), r.i32(at + 32 + 8 * i)});
            if (!checkBounds(at, points)) return fail(at, "a point outside the record's bounds");
            if (type == EMR_POLYGON) {
                if (n < 2) return fail(at, "polygon of fewer than two points");
                pic.polygons.push_back({points, brush.brush, pen.pen.style != PS_NULL, pen.pen.color});
            } else {
                if (n < 2) return fail(at, "polyline of fewer than two points");
                for (std::uint32_t i = 1; i < n; ++i)
                    pic.lines.push_back({points[i - 1], points[i], pen.pen.style, pen.pen.width, pen.pen.color});
            }
            break;
        }
        case EMR_MOVETOEX:
            if (!needSize(16)) return fail(at, "move-to size");
            position = {r.i32(at + 8), r.i32(at + 12)};
            break;
        case EMR_LINETO:
            if (!needSize(16)) return fail(at, "line-to size");
            pic.lines.push_back({position, {r.i32(at + 8), r.i32(at + 12)}, pen.pen.style, pen.pen.width,
                                 pen.pen.color});
            position = {r.i32(at + 8), r.i32(at + 12)};
            break;
        case EMR_CREATEPEN:
        case EMR_CREATEBRUSHINDIRECT:
        case EMR_EXTCREATEFONTINDIRECTW: {
            if (type == EMR_CREATEPEN && !needSize(28)) return fail(at, "pen size");
            if (type == EMR_CREATEBRUSHINDIRECT && !needSize(24)) return fail(at, "brush size");
            if (type == EMR_EXTCREATEFONTINDIRECTW && size < 12 + kLogFontSize) return fail(at, "font size");
            const std::uint32_t h = r.u32(at + 8);
            if (h == 0 || h >= pic.handleCount) return fail(at, "handle outside the handle table");
            if (objects.count(h)) return fail(at, "handle created twice");
            Object o;
            if (type == EMR_CREATEPEN) {
                o.kind = Object::Pen;
                o.pen = {r.u32(at + 12), r.i32(at + 16), fromColorRef(r.u32(at + 24))};
                if (o.pen.style > PS_NULL) return fail(at, "unknown pen style");
            } else if (type == EMR_CREATEBRUSHINDIRECT) {
                o.kind = Object::Brush;
                if (r.u32(at + 12) != BS_SOLID) return fail(at, "not a solid brush");
                o.brush = fromColorRef(r.u32(at + 16));
            } else {
                o.kind = Object::Font;
                o.font.height = r.i32(at + 12);
                o.font.escapement = r.i32(at + 20);
                bool terminated = false;
                for (std::size_t i = 0; i < 32; ++i) {
                    const std::uint16_t c = r.u16(at + 40 + 2 * i);
                    if (c == 0) {
                        terminated = true;
                        break;
                    }
                    o.font.face += static_cast<char>(c < 0x80 ? c : '?');
                }
                if (!terminated) return fail(at, "face name without its terminating zero");
            }
            objects[h] = o;
            break;
        }
        case EMR_SELECTOBJECT: {
            if (!needSize(12)) return fail(at, "select size");
            const std::uint32_t h = r.u32(at + 8);
            std::optional<Object> o = stockObject(h);
            if (!o) {
                auto found = objects.find(h);
                if (found == objects.end()) return fail(at, "selects an object that does not exist");
                o = found->second;
            }
            if (o->kind == Object::Pen) { pen = *o; selected[0] = h; }
            if (o->kind == Object::Brush) { brush = *o; selected[1] = h; }
            if (o->kind == Object::Font) { font = *o; selected[2] = h; }
            break;
        }
        case EMR_DELETEOBJECT: {
            if (!needSize(12)) return fail(at, "delete size");
            const std::uint32_t h = r.u32(at + 8);
            if (!objects.erase(h)) return fail(at, "deletes an object that does not exist");
            for (std::uint32_t s : selected)
                if (s == h) return fail(at, "deletes a selected object");
            break;
        }
        case EMR_SETBKMODE:
        case EMR_SETTEXTALIGN:
        case EMR_SETTEXTCOLOR:
            if (!needSize(12)) return fail(at, "state record size");
            if (type == EMR_SETBKMODE) transparent = r.u32(at + 8) == TRANSPARENT;
            break;
        case EMR_EXTTEXTOUTW: {
            if (size < 76) return fail(at, "short text record");
            const std::uint32_t chars = r.u32(at + 44), offString = r.u32(at + 48), offDx = r.u32(at + 72);
            if (offString < 76 || offString + 2ull * chars > size) return fail(at, "text outside the record");
            if (offDx != 0 && (offDx < 76 || offDx + 4ull * chars > size)) return fail(at, "advances outside the record");
            EmfText t;
            t.reference = {r.i32(at + 36), r.i32(at + 40)};
            for (std::uint32_t i = 0; i < chars; ++i) t.text.push_back(static_cast<char16_t>(r.u16(at + offString + 2 * i)));
            if (offDx)
                for (std::uint32_t i = 0; i < chars; ++i) t.advances.push_back(r.i32(at + offDx + 4 * i));
            if (!checkBounds(at, {t.reference})) return fail(at, "text reference outside the record's bounds");
            t.fontHeight = font.font.height;
            t.escapement = font.font.escapement;
            t.faceName = font.font.face;
            t.transparent = transparent;
            pic.texts.push_back(t);
            break;
        }
        case EMR_EOF:
            if (!needSize(20) || r.u32(at + 16) != 20) return fail(at, "end-of-file record size");
            sawEof = true;
            break;
        default: return fail(at, "unexpected record type " + std::to_string(type));
        }
        at += size;
    }
    if (!sawEof) return fail(at, "no end-of-file record");
    if (pic.fileSize != bytes.size()) return fail(0, "header file size differs from the bytes");
    if (pic.recordCount != pic.types.size()) return fail(0, "header record count differs from the records");
    if (!objects.empty()) return fail(at, "objects left undeleted");
    return pic;
}

} // namespace nettor::test
