#include "scene/pick_index.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace nettor {

namespace {

constexpr std::uint32_t kLeafFaces = 8;

// The inverse of a column-major 4 x 4 matrix; false when it has none.
bool invert(const std::array<double, 16>& m, std::array<double, 16>& out)
{
    std::array<double, 16> inv{};
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
             m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
             m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
             m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
              m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
             m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
             m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
             m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
              m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
             m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
              m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
              m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
             m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
              m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
    const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (!(std::fabs(det) > 0.0) || !std::isfinite(det)) return false;
    for (std::size_t i = 0; i < 16; ++i) out[i] = inv[i] / det;
    return true;
}

std::array<double, 16> multiply(const std::array<double, 16>& a, const std::array<double, 16>& b)
{
    std::array<double, 16> out{};
    for (std::size_t c = 0; c < 4; ++c)
        for (std::size_t r = 0; r < 4; ++r) {
            double sum = 0.0;
            for (std::size_t k = 0; k < 4; ++k) sum += a[k * 4 + r] * b[c * 4 + k];
            out[c * 4 + r] = sum;
        }
    return out;
}

// The line of sight through a window point: a point on it and its
// direction, in model coordinates.
struct Sight {
    std::array<double, 3> origin;
    std::array<double, 3> direction;
};

bool sightThrough(const ViewSnapshot& view, const Point2& k, Sight& sight)
{
    std::array<double, 16> inverse;
    if (view.viewport[2] <= 0 || view.viewport[3] <= 0 || !invert(multiply(view.projection, view.modelview), inverse))
        return false;
    const double nx = 2.0 * (k.x - view.viewport[0]) / view.viewport[2] - 1.0;
    const double ny = 2.0 * (k.y - view.viewport[1]) / view.viewport[3] - 1.0;
    std::array<double, 3> ends[2];
    for (int e = 0; e < 2; ++e) {
        const double clip[4] = {nx, ny, e ? 1.0 : -1.0, 1.0};
        double q[4];
        for (std::size_t r = 0; r < 4; ++r)
            q[r] = inverse[r] * clip[0] + inverse[4 + r] * clip[1] + inverse[8 + r] * clip[2] + inverse[12 + r] * clip[3];
        if (!(std::fabs(q[3]) > 1e-300) || !std::isfinite(q[3])) return false;
        ends[e] = {q[0] / q[3], q[1] / q[3], q[2] / q[3]};
    }
    sight.origin = ends[0];
    for (std::size_t a = 0; a < 3; ++a) sight.direction[a] = ends[1][a] - ends[0][a];
    return std::isfinite(sight.direction[0]) && std::isfinite(sight.direction[1]) && std::isfinite(sight.direction[2]);
}

// Whether the whole line (both ways) passes through the box.
bool crosses(const Sight& s, const std::array<double, 3>& low, const std::array<double, 3>& high)
{
    double from = -std::numeric_limits<double>::infinity();
    double to = std::numeric_limits<double>::infinity();
    for (std::size_t a = 0; a < 3; ++a) {
        const double d = s.direction[a];
        if (d == 0.0) {
            if (s.origin[a] < low[a] || s.origin[a] > high[a]) return false;
            continue;
        }
        double t1 = (low[a] - s.origin[a]) / d;
        double t2 = (high[a] - s.origin[a]) / d;
        if (t1 > t2) std::swap(t1, t2);
        from = std::max(from, t1);
        to = std::min(to, t2);
        if (from > to) return false;
    }
    return true;
}

} // namespace

namespace {

// The bits of v (10 of them) spread to every third place.
std::uint32_t spread(std::uint32_t v)
{
    v = (v | (v << 16)) & 0x030000FFu;
    v = (v | (v << 8)) & 0x0300F00Fu;
    v = (v | (v << 4)) & 0x030C30C3u;
    v = (v | (v << 2)) & 0x09249249u;
    return v;
}

} // namespace

FacePickIndex::FacePickIndex(const Model& model) : model_(&model)
{
    std::vector<Face*> faces;
    std::vector<Box> boxes;
    std::size_t count = 0;
    for (const auto& object : model.objects) count += object->faces.size();
    faces.reserve(count);
    boxes.reserve(count);
    for (const auto& object : model.objects)
        for (Face* face : object->faces) {
            Box box{{face->centroid.x, face->centroid.y, face->centroid.z},
                    {face->centroid.x, face->centroid.y, face->centroid.z}};
            for (const HalfEdge* h : face->outerLoop.halfEdges) {
                const double p[3] = {h->origin->position.x, h->origin->position.y, h->origin->position.z};
                for (std::size_t a = 0; a < 3; ++a) {
                    box.low[a] = std::min(box.low[a], p[a]);
                    box.high[a] = std::max(box.high[a], p[a]);
                }
            }
            // A little wider than the face, against the rounding of the
            // line of sight.
            for (std::size_t a = 0; a < 3; ++a) {
                const double slack = 1e-9 * (1.0 + std::fabs(box.low[a]) + std::fabs(box.high[a]));
                box.low[a] -= slack;
                box.high[a] += slack;
            }
            faces.push_back(face);
            boxes.push_back(box);
        }
    if (faces.empty()) return;
    // The faces along a space-filling curve through their boxes' middles:
    // neighbours in that order lie near one another.
    std::array<double, 3> low = boxes[0].low, high = boxes[0].high;
    for (const Box& b : boxes)
        for (std::size_t a = 0; a < 3; ++a) {
            low[a] = std::min(low[a], b.low[a]);
            high[a] = std::max(high[a], b.high[a]);
        }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> keyed(faces.size());
    for (std::size_t i = 0; i < faces.size(); ++i) {
        std::uint32_t code = 0;
        for (std::size_t a = 0; a < 3; ++a) {
            const double extent = high[a] - low[a];
            const double middle = (boxes[i].low[a] + boxes[i].high[a]) / 2.0;
            const double t = extent > 0.0 ? (middle - low[a]) / extent : 0.0;
            const auto cell = static_cast<std::uint32_t>(std::clamp(t, 0.0, 1.0) * 1023.0);
            code |= spread(cell) << (2 - a);
        }
        keyed[i] = {code, static_cast<std::uint32_t>(i)};
    }
    std::sort(keyed.begin(), keyed.end());
    order_.reserve(faces.size());
    faces_.reserve(faces.size());
    std::vector<Box> sorted;
    sorted.reserve(faces.size());
    for (const auto& [code, i] : keyed) {
        order_.push_back(i);
        faces_.push_back(faces[i]);
        sorted.push_back(boxes[i]);
    }
    nodes_.reserve(2 * faces.size() / kLeafFaces + 2);
    nodes_.emplace_back();
    build(0, 0, static_cast<std::uint32_t>(faces_.size()), sorted);
}

void FacePickIndex::build(std::uint32_t slot, std::uint32_t first, std::uint32_t count, const std::vector<Box>& boxes)
{
    if (count <= kLeafFaces) {
        Box box = boxes[first];
        for (std::uint32_t i = first + 1; i < first + count; ++i)
            for (std::size_t a = 0; a < 3; ++a) {
                box.low[a] = std::min(box.low[a], boxes[i].low[a]);
                box.high[a] = std::max(box.high[a], boxes[i].high[a]);
            }
        nodes_[slot] = {box, first, count};
        return;
    }
    // The two halves side by side, the box around both.
    const auto children = static_cast<std::uint32_t>(nodes_.size());
    nodes_.emplace_back();
    nodes_.emplace_back();
    const std::uint32_t half = count / 2;
    build(children, first, half, boxes);
    build(children + 1, first + half, count - half, boxes);
    Box box = nodes_[children].box;
    const Box& other = nodes_[children + 1].box;
    for (std::size_t a = 0; a < 3; ++a) {
        box.low[a] = std::min(box.low[a], other.low[a]);
        box.high[a] = std::max(box.high[a], other.high[a]);
    }
    nodes_[slot] = {box, children, 0};
}

Face* FacePickIndex::pickFace(const ViewSnapshot& view, int x, int y) const
{
    const Point2 k = clickPoint(view, x, y);
    Sight sight;
    if (!sightThrough(view, k, sight)) return nettor::pickFace(*model_, view, x, y);
    Face* kept = nullptr;
    std::uint32_t keptOrder = 0;
    double keptDepth = 0.0;
    std::vector<Point2> corners;
    std::vector<std::uint32_t> stack;
    if (!nodes_.empty()) stack.push_back(0);
    while (!stack.empty()) {
        const Node& node = nodes_[stack.back()];
        stack.pop_back();
        if (!crosses(sight, node.box.low, node.box.high)) continue;
        if (node.count == 0) {
            stack.push_back(node.first);
            stack.push_back(node.first + 1);
            continue;
        }
        for (std::uint32_t i = node.first; i < node.first + node.count; ++i) {
            double depth = 0.0;
            if (!faceHoldsClick(*faces_[i], view, k, corners, depth)) continue;
            if (!kept || depth < keptDepth || (depth == keptDepth && order_[i] < keptOrder)) {
                kept = faces_[i];
                keptDepth = depth;
                keptOrder = order_[i];
            }
        }
    }
    return kept;
}

Edge* FacePickIndex::pickEdge(const ViewSnapshot& view, int x, int y) const
{
    const Face* face = pickFace(view, x, y);
    return face ? nearestEdgeOfFace(*face, view, clickPoint(view, x, y)) : nullptr;
}

} // namespace nettor
