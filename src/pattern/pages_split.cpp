#include "pattern/pages_split.h"

#include <algorithm>
#include <cmath>
#include <queue>

namespace nettor {

namespace {

constexpr double kStepDeg = 180.0 / DirectionSpread::kDirections;

struct Unit {
    double c, s;
};

const std::array<Unit, DirectionSpread::kDirections>& units()
{
    static const auto table = [] {
        std::array<Unit, DirectionSpread::kDirections> t{};
        for (int k = 0; k < DirectionSpread::kDirections; ++k) {
            const double r = k * kStepDeg * kPagesPi / 180.0;
            t[static_cast<std::size_t>(k)] = {std::cos(r), std::sin(r)};
        }
        return t;
    }();
    return table;
}

void addFace(DirectionSpread& spread, const Face& face, double mmPerUnit)
{
    for (const HalfEdge* h : face.outerLoop.halfEdges)
        if (h && h->point) spread.add({h->point->x * mmPerUnit, h->point->y * mmPerUnit});
}

bool placed(const Face& face)
{
    for (const HalfEdge* h : face.outerLoop.halfEdges)
        if (!h || !h->point) return false;
    return !face.outerLoop.halfEdges.empty();
}

// The faces across a side joined by a fold within the part.
const Face* foldNeighbour(const HalfEdge& side)
{
    const HalfEdge* other = side.foldPartner;
    if (!other || !other->loop || !other->loop->face) return nullptr;
    const Face* face = other->loop->face;
    return face->part == side.loop->face->part ? face : nullptr;
}

// Cutting a long or sharp fold costs more than a short or flat one.
double keepWeight(const Edge& edge)
{
    const double sharpness = edge.foldAngle >= 0.0 ? (180.0 - edge.foldAngle) / 180.0 : 0.0;
    return edge.length * (0.2 + sharpness);
}

// Whether the points fit the box in some turn: the spread of their convex
// hull, which is the spread of the points.
int fittingDirectionOf(const std::vector<MmPoint>& points, const SplitBox& box)
{
    DirectionSpread spread;
    for (const MmPoint& p : convexHull(points)) spread.add(p);
    return spread.fittingDirection(box.width, box.height);
}

void appendCorners(std::vector<MmPoint>& out, const Face& face, double mmPerUnit)
{
    for (const HalfEdge* h : face.outerLoop.halfEdges)
        out.push_back({h->point->x * mmPerUnit, h->point->y * mmPerUnit});
}

// Pieces of one part: the piece of each face, by the part's placement
// order, and the sum of the pieces' squared areas.
struct SplitTrial {
    std::vector<int> pieceOf;
    int pieces = 0;
    double spread = 0.0;
};

// One part cut into pieces grown round a seed, nearest faces first, as long
// as the piece fits the box in some turn. Each piece is the largest of
// those grown from faces at the rim of what is left (the faces furthest
// along eight directions), so that the rest stays in one piece rather than
// in branches round a hole.
class RimSplitter {
public:
    RimSplitter(const std::vector<const Face*>& faces, const std::vector<std::vector<int>>& neighbours,
                const std::vector<double>& areas, const SplitBox& box)
        : faces_(faces), neighbours_(neighbours), areas_(areas), box_(box), centres_(faces.size())
    {
        for (std::size_t i = 0; i < faces.size(); ++i) {
            double cx = 0, cy = 0, count = 0;
            for (const HalfEdge* h : faces[i]->outerLoop.halfEdges) {
                cx += h->point->x * box.mmPerUnit;
                cy += h->point->y * box.mmPerUnit;
                ++count;
            }
            centres_[i] = {cx / count, cy / count};
        }
    }

    SplitTrial run(const std::atomic<bool>* cancel) const
    {
        const std::size_t n = faces_.size();
        SplitTrial trial;
        trial.pieceOf.assign(n, -1);
        std::size_t left = n;
        std::vector<int> grown, best;
        std::vector<int> mark(n, 0);
        int stamp = 0;
        while (left > 0) {
            if (cancel && cancel->load()) return {};
            // Seeds: the faces left furthest along eight directions.
            std::array<int, 8> seeds;
            seeds.fill(-1);
            std::array<double, 8> reach;
            reach.fill(-1e300);
            for (std::size_t i = 0; i < n; ++i) {
                if (trial.pieceOf[i] != -1) continue;
                for (int d = 0; d < 8; ++d) {
                    const double a = d * kPagesPi / 4;
                    const double v = centres_[i].x * std::cos(a) + centres_[i].y * std::sin(a);
                    if (v > reach[static_cast<std::size_t>(d)] + 1e-9) {
                        reach[static_cast<std::size_t>(d)] = v;
                        seeds[static_cast<std::size_t>(d)] = static_cast<int>(i);
                    }
                }
            }
            double bestArea = -1.0;
            for (std::size_t d = 0; d < seeds.size(); ++d) {
                const int seed = seeds[d];
                if (seed < 0 || std::find(seeds.begin(), seeds.begin() + static_cast<std::ptrdiff_t>(d), seed) !=
                                    seeds.begin() + static_cast<std::ptrdiff_t>(d))
                    continue;
                double area = 0.0;
                grow(seed, trial.pieceOf, mark, ++stamp, grown, area);
                if (area > bestArea + 1e-9) {
                    bestArea = area;
                    best.swap(grown);
                }
            }
            const int id = trial.pieces++;
            for (const int f : best) trial.pieceOf[static_cast<std::size_t>(f)] = id;
            left -= best.size();
            trial.spread += bestArea * bestArea;
        }
        return trial;
    }

private:
    void grow(int seed, const std::vector<int>& pieceOf, std::vector<int>& mark, int stamp, std::vector<int>& out,
              double& area) const
    {
        out.clear();
        DirectionSpread spread;
        using Entry = std::pair<double, int>; // minus the distance, face
        std::priority_queue<Entry> frontier;
        const MmPoint c = centres_[static_cast<std::size_t>(seed)];
        auto take = [&](int f) {
            mark[static_cast<std::size_t>(f)] = stamp;
            out.push_back(f);
            area += areas_[static_cast<std::size_t>(f)];
            for (const HalfEdge* h : faces_[static_cast<std::size_t>(f)]->outerLoop.halfEdges)
                spread.add({h->point->x * box_.mmPerUnit, h->point->y * box_.mmPerUnit});
            for (const int g : neighbours_[static_cast<std::size_t>(f)])
                if (pieceOf[static_cast<std::size_t>(g)] == -1 && mark[static_cast<std::size_t>(g)] != stamp) {
                    const MmPoint q = centres_[static_cast<std::size_t>(g)];
                    frontier.emplace(-std::hypot(q.x - c.x, q.y - c.y), g);
                }
        };
        take(seed);
        while (!frontier.empty()) {
            const int f = frontier.top().second;
            frontier.pop();
            if (mark[static_cast<std::size_t>(f)] == stamp || mark[static_cast<std::size_t>(f)] == -stamp) continue;
            DirectionSpread trial = spread;
            for (const HalfEdge* h : faces_[static_cast<std::size_t>(f)]->outerLoop.halfEdges)
                trial.add({h->point->x * box_.mmPerUnit, h->point->y * box_.mmPerUnit});
            if (trial.fittingDirection(box_.width, box_.height) < 0) {
                mark[static_cast<std::size_t>(f)] = -stamp; // refused by this piece
                continue;
            }
            take(f);
        }
    }

    const std::vector<const Face*>& faces_;
    const std::vector<std::vector<int>>& neighbours_;
    const std::vector<double>& areas_;
    SplitBox box_;
    std::vector<MmPoint> centres_;
};

// One part cut into pieces grown round the first face not yet taken, in
// the part's placement order: nearest faces first, and among equally near
// ones across the folds that are dearest to cut, as long as the piece fits
// the box in some turn.
SplitTrial splitInPlacementOrder(const std::vector<const Face*>& faces,
                                          const std::vector<std::vector<int>>& neighbours,
                                          const std::vector<double>& areas, const SplitBox& box, bool lastFirst)
{
    const std::size_t n = faces.size();
    SplitTrial trial;
    trial.pieceOf.assign(n, -1);
    std::vector<int> refusedBy(n, -1);
    std::vector<MmPoint> centres(n);
    for (std::size_t i = 0; i < n; ++i) {
        double cx = 0, cy = 0, count = 0;
        for (const HalfEdge* h : faces[i]->outerLoop.halfEdges) {
            cx += h->point->x;
            cy += h->point->y;
            ++count;
        }
        centres[i] = {cx / count, cy / count};
    }
    // The fold between two neighbouring faces.
    auto foldTo = [&](std::size_t f, int g) -> const Edge* {
        for (const HalfEdge* h : faces[f]->outerLoop.halfEdges)
            if (h->foldPartner && h->foldPartner->loop && h->foldPartner->loop->face == faces[static_cast<std::size_t>(g)])
                return h->edge;
        return nullptr;
    };
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t seed = lastFirst ? n - 1 - k : k;
        if (trial.pieceOf[seed] != -1) continue;
        const int id = trial.pieces++;
        DirectionSpread spread;
        using Entry = std::pair<double, int>; // weight, minus the face
        std::priority_queue<Entry> frontier;
        const MmPoint c = centres[seed];
        double area = 0.0;
        auto take = [&](std::size_t f) {
            trial.pieceOf[f] = id;
            area += areas[f];
            addFace(spread, *faces[f], box.mmPerUnit);
            for (const int g : neighbours[f]) {
                if (trial.pieceOf[static_cast<std::size_t>(g)] != -1) continue;
                const Edge* e = foldTo(f, g);
                const MmPoint q = centres[static_cast<std::size_t>(g)];
                frontier.emplace(0.5 * (e ? keepWeight(*e) : 0.0) - std::hypot(q.x - c.x, q.y - c.y), -g);
            }
        };
        take(seed);
        while (!frontier.empty()) {
            const auto f = static_cast<std::size_t>(-frontier.top().second);
            frontier.pop();
            if (trial.pieceOf[f] != -1 || refusedBy[f] == id) continue;
            DirectionSpread grown = spread;
            addFace(grown, *faces[f], box.mmPerUnit);
            if (grown.fittingDirection(box.width, box.height) < 0) {
                refusedBy[f] = id;
                continue;
            }
            take(f);
        }
        trial.spread += area * area;
    }
    return trial;
}

} // namespace

DirectionSpread::DirectionSpread()
{
    lo_.fill(1e300);
    hi_.fill(-1e300);
}

void DirectionSpread::add(MmPoint p)
{
    const auto& u = units();
    for (std::size_t k = 0; k < u.size(); ++k) {
        const double d = p.x * u[k].c + p.y * u[k].s;
        if (d < lo_[k]) lo_[k] = d;
        if (d > hi_[k]) hi_[k] = d;
    }
}

int DirectionSpread::fittingDirection(double width, double height) const
{
    constexpr int half = kDirections / 2;
    for (int k = 0; k < kDirections; ++k) {
        const double along = extent(k), across = extent((k + half) % kDirections);
        if ((along <= width && across <= height) || (along <= height && across <= width)) return k;
    }
    return -1;
}

double DirectionSpread::turnFor(int direction)
{
    const double turn = -direction * kStepDeg;
    return turn < 0.0 ? turn + 180.0 : turn;
}

const Face* faceTooLarge(const Model& model, const SplitBox& box)
{
    for (const auto& part : model.parts) {
        if (!part) continue;
        for (const Face* face : part->faces) {
            if (!face || !placed(*face)) continue;
            // A face no wider than the box's shorter side fits it any way.
            double widest = 0.0;
            const auto& loop = face->outerLoop.halfEdges;
            for (std::size_t i = 0; i < loop.size(); ++i)
                for (std::size_t j = i + 1; j < loop.size(); ++j)
                    widest = std::max(widest, std::hypot(loop[i]->point->x - loop[j]->point->x,
                                                         loop[i]->point->y - loop[j]->point->y));
            if (widest * box.mmPerUnit < std::min(box.width, box.height) * (1.0 - 1e-9)) continue;
            DirectionSpread spread;
            addFace(spread, *face, box.mmPerUnit);
            if (spread.fittingDirection(box.width, box.height) < 0) return face;
        }
    }
    return nullptr;
}

std::vector<PieceFaces> splitToFit(const Model& model, const SplitBox& box, SplitStrategy strategy,
                                   const std::atomic<bool>* cancel, bool& cancelled)
{
    cancelled = false;
    std::vector<PieceFaces> pieces;
    std::vector<int> localOf(static_cast<std::size_t>(std::max(model.faceCount, 0)), -1);

    for (std::size_t p = 0; p < model.parts.size(); ++p) {
        if (cancel && cancel->load()) {
            cancelled = true;
            return {};
        }
        const UnfoldedPart* part = model.parts[p].get();
        if (!part) continue;
        std::vector<const Face*> faces;
        for (const Face* f : part->faces)
            if (f && placed(*f) && f->index >= 0 && f->index < model.faceCount) faces.push_back(f);
        if (faces.empty()) continue;

        std::vector<MmPoint> corners;
        for (const Face* f : faces) appendCorners(corners, *f, box.mmPerUnit);
        const std::vector<MmPoint> hull = convexHull(corners);
        {
            DirectionSpread whole;
            for (const MmPoint& q : hull) whole.add(q);
            const int direction = whole.fittingDirection(box.width, box.height);
            if (direction >= 0) {
                pieces.push_back({static_cast<int>(p), faces, DirectionSpread::turnFor(direction)});
                continue;
            }
        }

        // The part's faces, their neighbours across folds and their areas.
        for (std::size_t i = 0; i < faces.size(); ++i) localOf[static_cast<std::size_t>(faces[i]->index)] = static_cast<int>(i);
        std::vector<std::vector<int>> neighbours(faces.size());
        std::vector<double> areas(faces.size());
        std::vector<MmPoint> polygon;
        for (std::size_t i = 0; i < faces.size(); ++i) {
            for (const HalfEdge* h : faces[i]->outerLoop.halfEdges) {
                const Face* n = foldNeighbour(*h);
                if (n && n->index >= 0 && n->index < model.faceCount && localOf[static_cast<std::size_t>(n->index)] >= 0)
                    neighbours[i].push_back(localOf[static_cast<std::size_t>(n->index)]);
            }
            polygon.clear();
            appendCorners(polygon, *faces[i], box.mmPerUnit);
            areas[i] = std::abs(doubleArea(polygon)) / 2.0;
        }

        SplitTrial best = strategy == SplitStrategy::FromTheRim
                              ? RimSplitter(faces, neighbours, areas, box).run(cancel)
                              : splitInPlacementOrder(faces, neighbours, areas, box,
                                                      strategy == SplitStrategy::FromTheLastPlaced);
        if (cancel && cancel->load()) {
            cancelled = true;
            return {};
        }
        // Small pieces join a neighbouring piece when together they still
        // fit: the tiles' rests are often cut off from their row.
        std::vector<std::vector<int>> members(static_cast<std::size_t>(best.pieces));
        std::vector<double> pieceArea(static_cast<std::size_t>(best.pieces), 0.0);
        for (std::size_t i = 0; i < faces.size(); ++i) {
            members[static_cast<std::size_t>(best.pieceOf[i])].push_back(static_cast<int>(i));
            pieceArea[static_cast<std::size_t>(best.pieceOf[i])] += areas[i];
        }
        std::vector<int> bySize(members.size());
        for (std::size_t i = 0; i < bySize.size(); ++i) bySize[i] = static_cast<int>(i);
        std::stable_sort(bySize.begin(), bySize.end(), [&](int a, int b) {
            return pieceArea[static_cast<std::size_t>(a)] < pieceArea[static_cast<std::size_t>(b)];
        });
        const double boxArea = box.width * box.height;
        for (const int small : bySize) {
            auto& from = members[static_cast<std::size_t>(small)];
            if (from.empty() || pieceArea[static_cast<std::size_t>(small)] > 0.5 * boxArea) continue;
            std::vector<int> across;
            for (const int f : from)
                for (const int g : neighbours[static_cast<std::size_t>(f)]) {
                    const int q = best.pieceOf[static_cast<std::size_t>(g)];
                    if (q != small && std::find(across.begin(), across.end(), q) == across.end()) across.push_back(q);
                }
            std::sort(across.begin(), across.end());
            for (const int q : across) {
                if (cancel && cancel->load()) {
                    cancelled = true;
                    return {};
                }
                std::vector<MmPoint> points;
                for (const int f : from) appendCorners(points, *faces[static_cast<std::size_t>(f)], box.mmPerUnit);
                for (const int f : members[static_cast<std::size_t>(q)])
                    appendCorners(points, *faces[static_cast<std::size_t>(f)], box.mmPerUnit);
                const int direction = fittingDirectionOf(points, box);
                if (direction < 0) continue;
                auto& into = members[static_cast<std::size_t>(q)];
                for (const int f : from) best.pieceOf[static_cast<std::size_t>(f)] = q;
                into.insert(into.end(), from.begin(), from.end());
                from.clear();
                pieceArea[static_cast<std::size_t>(q)] += pieceArea[static_cast<std::size_t>(small)];
                break;
            }
        }
        for (std::size_t q = 0; q < members.size(); ++q) {
            if (members[q].empty()) continue;
            std::sort(members[q].begin(), members[q].end());
            PieceFaces piece{static_cast<int>(p), {}, 0.0};
            std::vector<MmPoint> points;
            for (const int f : members[q]) {
                piece.faces.push_back(faces[static_cast<std::size_t>(f)]);
                appendCorners(points, *faces[static_cast<std::size_t>(f)], box.mmPerUnit);
            }
            piece.fitTurn = DirectionSpread::turnFor(std::max(fittingDirectionOf(points, box), 0));
            pieces.push_back(std::move(piece));
        }
        for (const Face* f : faces) localOf[static_cast<std::size_t>(f->index)] = -1;
    }
    return pieces;
}

} // namespace nettor
