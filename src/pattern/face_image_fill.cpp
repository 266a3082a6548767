#include "pattern/face_image_fill.h"

#include "model/face_texture.h"

#include <algorithm>
#include <cmath>

namespace nettor {

namespace {

constexpr double kArcStep = 3.14159265358979323846 / 8; // the rounded corners' steps

double signedArea2(const std::vector<DeviceSpot>& polygon)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const DeviceSpot& p = polygon[i];
        const DeviceSpot& q = polygon[(i + 1) % polygon.size()];
        sum += p.x * q.y - q.x * p.y;
    }
    return sum;
}

// The polygon turned the way sign (+1 or -1) asks.
std::vector<DeviceSpot> turnedAs(std::vector<DeviceSpot> polygon, double sign)
{
    if (signedArea2(polygon) * sign < 0.0) std::reverse(polygon.begin(), polygon.end());
    return polygon;
}

struct SideFrame {
    bool placed = false; // the side has a length
    double nx = 0.0, ny = 0.0; // its outward normal
};

} // namespace

std::optional<ImageMapping> fitImageMapping(const std::vector<MappedCorner>& corners)
{
    if (corners.size() < 3) return std::nullopt;
    const double n = static_cast<double>(corners.size());
    double mu = 0, mv = 0, mx = 0, my = 0;
    for (const MappedCorner& c : corners) {
        mu += c.u;
        mv += c.v;
        mx += c.at.x;
        my += c.at.y;
    }
    mu /= n, mv /= n, mx /= n, my /= n;
    // The normal equations about the means.
    double suu = 0, suv = 0, svv = 0, sux = 0, svx = 0, suy = 0, svy = 0;
    for (const MappedCorner& c : corners) {
        const double u = c.u - mu, v = c.v - mv, x = c.at.x - mx, y = c.at.y - my;
        suu += u * u;
        suv += u * v;
        svv += v * v;
        sux += u * x;
        svx += v * x;
        suy += u * y;
        svy += v * y;
    }
    const double det = suu * svv - suv * suv;
    if (!std::isfinite(det) || !(det > 1e-12 * suu * svv) || !(suu > 0.0) || !(svv > 0.0)) return std::nullopt;
    ImageMapping m;
    m.a = (sux * svv - svx * suv) / det;
    m.c = (svx * suu - sux * suv) / det;
    m.b = (suy * svv - svy * suv) / det;
    m.d = (svy * suu - suy * suv) / det;
    m.e = mx - m.a * mu - m.c * mv;
    m.f = my - m.b * mu - m.d * mv;
    // The places must span an area too, or the image cannot be laid down.
    const double area = m.a * m.d - m.b * m.c;
    const double scale = (m.a * m.a + m.b * m.b) * (m.c * m.c + m.d * m.d);
    if (!std::isfinite(area) || !(area * area > 1e-12 * scale)) return std::nullopt;
    return m;
}

std::vector<std::vector<DeviceSpot>> reachingOutline(const std::vector<DeviceSpot>& polygon,
                                                     const std::vector<double>& reach)
{
    std::vector<std::vector<DeviceSpot>> out;
    const std::size_t count = polygon.size();
    if (count < 3) return out;
    const double area2 = signedArea2(polygon);
    out.push_back(polygon);
    if (!(std::abs(area2) > 0.0) || !std::isfinite(area2)) return out;
    const double sign = area2 > 0.0 ? 1.0 : -1.0;
    auto reachOf = [&](std::size_t i) { return i < reach.size() && reach[i] > 0.0 ? reach[i] : 0.0; };

    std::vector<SideFrame> sides(count);
    for (std::size_t i = 0; i < count; ++i) {
        const DeviceSpot& a = polygon[i];
        const DeviceSpot& b = polygon[(i + 1) % count];
        const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
        if (!(length > 0.0) || !std::isfinite(length)) continue;
        sides[i] = {true, sign * dy / length, -sign * dx / length};
        const double r = reachOf(i);
        if (r > 0.0)
            out.push_back(turnedAs({a, {a.x + sides[i].nx * r, a.y + sides[i].ny * r},
                                    {b.x + sides[i].nx * r, b.y + sides[i].ny * r}, b},
                                   sign));
    }
    // Where two strips part at a corner that points outwards, a fan closes
    // the gap; at a corner that points inwards the strips overlap already.
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t j = (i + 1) % count;
        const double r1 = reachOf(i), r2 = reachOf(j);
        if (!sides[i].placed || !sides[j].placed || !(r1 > 0.0) || !(r2 > 0.0)) continue;
        const SideFrame& s1 = sides[i];
        const SideFrame& s2 = sides[j];
        const double cross = s1.nx * s2.ny - s1.ny * s2.nx;
        const double dot = s1.nx * s2.nx + s1.ny * s2.ny;
        const double turn = std::atan2(cross, dot);
        if (!(turn * sign > 1e-9)) continue;
        const DeviceSpot& corner = polygon[j];
        const int steps = std::max(1, static_cast<int>(std::ceil(std::abs(turn) / kArcStep)));
        const double start = std::atan2(s1.ny, s1.nx);
        std::vector<DeviceSpot> fan{corner};
        for (int k = 0; k <= steps; ++k) {
            const double t = static_cast<double>(k) / steps;
            const double angle = start + turn * t;
            const double r = r1 + (r2 - r1) * t;
            fan.push_back({corner.x + r * std::cos(angle), corner.y + r * std::sin(angle)});
        }
        out.push_back(turnedAs(std::move(fan), sign));
    }
    return out;
}

std::vector<ImageMapping> imageRepeats(const ImageMapping& m, const std::vector<std::vector<DeviceSpot>>& outline)
{
    std::vector<ImageMapping> out;
    const double det = m.a * m.d - m.b * m.c;
    if (!(std::abs(det) > 0.0) || !std::isfinite(det)) return out;
    double uMin = INFINITY, uMax = -INFINITY, vMin = INFINITY, vMax = -INFINITY;
    for (const auto& polygon : outline)
        for (const DeviceSpot& p : polygon) {
            const double x = p.x - m.e, y = p.y - m.f;
            const double u = (m.d * x - m.c * y) / det, v = (m.a * y - m.b * x) / det;
            uMin = std::min(uMin, u), uMax = std::max(uMax, u);
            vMin = std::min(vMin, v), vMax = std::max(vMax, v);
        }
    if (!std::isfinite(uMin) || !std::isfinite(uMax) || !std::isfinite(vMin) || !std::isfinite(vMax)) return out;
    // Repeats i with [i, i + 1] meeting [uMin, uMax], and the same for v;
    // within limits that keep far-off coordinates from overflowing.
    constexpr double kFar = 1e6;
    if (uMin < -kFar || uMax > kFar || vMin < -kFar || vMax > kFar) return out;
    auto range = [](double low, double high, int& first, int& last) {
        first = static_cast<int>(std::floor(low));
        last = std::max(first, static_cast<int>(std::ceil(high)) - 1);
    };
    int u0, u1, v0, v1;
    range(uMin, uMax, u0, u1);
    range(vMin, vMax, v0, v1);
    // Too many: those about the middle.
    const int side = static_cast<int>(std::sqrt(static_cast<double>(kMaxImageRepeats)));
    auto narrow = [side](int& first, int& last) {
        if (last - first + 1 <= side) return;
        const int middle = first + (last - first) / 2;
        first = middle - side / 2;
        last = first + side - 1;
    };
    if ((u1 - u0 + 1) * (v1 - v0 + 1) > kMaxImageRepeats) {
        narrow(u0, u1);
        narrow(v0, v1);
    }
    for (int j = v0; j <= v1; ++j)
        for (int i = u0; i <= u1; ++i) {
            ImageMapping shifted = m;
            shifted.e = m.e + m.a * i + m.c * j;
            shifted.f = m.f + m.b * i + m.d * j;
            out.push_back(shifted);
        }
    return out;
}

const TextureImage* printedImage(const Face& face)
{
    if (!face.object || !face.object->model) return nullptr;
    const TextureImage* image = materialImage(*face.object->model, face);
    if (!image || image->width <= 0 || image->height <= 0 ||
        image->pixels.size() < std::size_t(image->width) * std::size_t(image->height) * 3u)
        return nullptr;
    for (const HalfEdge* h : face.outerLoop.halfEdges)
        if (!h || !h->texCoord) return nullptr;
    return image;
}

Color imageColourAt(const TextureImage& image, double u, double v)
{
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() < std::size_t(image.width) * std::size_t(image.height) * 3u || !std::isfinite(u) ||
        !std::isfinite(v))
        return kWhite;
    auto texel = [](double t, int side) {
        const double wrapped = t - std::floor(t);
        return std::clamp(static_cast<int>(wrapped * side), 0, side - 1);
    };
    const std::size_t at =
        (std::size_t(texel(v, image.height)) * std::size_t(image.width) + std::size_t(texel(u, image.width))) * 3u;
    return {image.pixels[at], image.pixels[at + 1], image.pixels[at + 2]};
}

bool fillFaceWithImage(Canvas& dc, const Face& face, const std::vector<DeviceSpot>& corners,
                       const std::vector<double>& reach)
{
    const TextureImage* image = printedImage(face);
    if (!image || corners.size() != face.outerLoop.halfEdges.size()) return false;
    std::vector<MappedCorner> mapped;
    mapped.reserve(corners.size());
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const TexCoord& t = *face.outerLoop.halfEdges[i]->texCoord;
        mapped.push_back({corners[i], t.u, t.v});
    }
    const std::optional<ImageMapping> mapping = fitImageMapping(mapped);
    const auto outline = reachingOutline(corners, reach);

    // How many texels wide the face is (twice its area over its perimeter,
    // in texels), and how large the whole image would be on paper. Texture
    // coordinates on one line make a face of no width.
    double area2 = 0.0, perimeter = 0.0, uSum = 0.0, vSum = 0.0;
    for (std::size_t i = 0; i < mapped.size(); ++i) {
        const MappedCorner& p = mapped[i];
        const MappedCorner& q = mapped[(i + 1) % mapped.size()];
        area2 += (p.u * image->width) * (q.v * image->height) - (q.u * image->width) * (p.v * image->height);
        perimeter += std::hypot((q.u - p.u) * image->width, (q.v - p.v) * image->height);
        uSum += p.u;
        vSum += p.v;
    }
    const double texelsWide = perimeter > 0.0 ? std::abs(area2) / perimeter : 0.0;
    const double spanCm = mapping ? std::max(std::hypot(mapping->a, mapping->b) / dc.unitsPerCmX(),
                                             std::hypot(mapping->c, mapping->d) / dc.unitsPerCmY())
                                  : INFINITY;
    if (!(texelsWide >= kMinFaceTexels) || !(spanCm <= kMaxImageSpanCm)) {
        const double n = static_cast<double>(mapped.size());
        dc.imageColourFill(outline, imageColourAt(*image, uSum / n, vSum / n));
        return true;
    }
    const auto repeats = imageRepeats(*mapping, outline);
    if (repeats.empty()) return false;
    dc.imageFill(*image, outline, repeats);
    return true;
}

} // namespace nettor
