#include "unfold/cut_tree_layout.h"

#include "unfold/overlap.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace nettor {

CutTreeLayout::CutTreeLayout(const CutTreeMesh& mesh, bool checkOverlap)
    : mesh_(mesh), checkOverlap_(checkOverlap)
{
    // Cells about two sides wide: a face meets few cells and a cell few faces.
    double sum = 0.0;
    int count = 0;
    for (int f = 0; f < mesh.faceCount(); ++f) {
        const int k = mesh.cornerCount(f);
        for (int i = 0; i < k; ++i) {
            const PatternPoint& a = mesh.shape[mesh.cornerStart[f] + i];
            const PatternPoint& b = mesh.shape[mesh.cornerStart[f] + (i + 1) % k];
            const double d = std::hypot(b.x - a.x, b.y - a.y);
            if (std::isfinite(d)) {
                sum += d;
                ++count;
            }
        }
    }
    if (count > 0 && sum > 0.0) cell_ = 2.0 * sum / count;
    grid_ = BoxGrid(cell_);
    stamp_.assign(mesh.faceCount(), 0);
    makeSingletons();
}

void CutTreeLayout::makeSingletons()
{
    const int n = mesh_.faceCount();
    journaling_ = false;
    journal_.clear();
    grid_.clear();
    pos_ = mesh_.shape;
    box_.resize(n);
    partOf_.resize(n);
    fold_.assign(mesh_.links.size(), 0);
    parts_.assign(n, Part{});
    freeParts_.clear();
    for (int f = 0; f < n; ++f) {
        box_[f] = boxOf(&pos_[mesh_.cornerStart[f]], f);
        partOf_[f] = f;
        parts_[f].faces = {f};
        parts_[f].alive = true;
        gridInsert(f, f);
    }
    partCount_ = n;
    spread_ = n;
}

void CutTreeLayout::copyFrom(const CutTreeLayout& other)
{
    if (&other == this) return;
    cell_ = other.cell_;
    pos_ = other.pos_;
    box_ = other.box_;
    partOf_ = other.partOf_;
    fold_ = other.fold_;
    parts_ = other.parts_;
    freeParts_ = other.freeParts_;
    partCount_ = other.partCount_;
    spread_ = other.spread_;
    grid_ = other.grid_;
    journaling_ = false;
    journal_.clear();
}

int CutTreeLayout::foldDegree(int face) const
{
    int d = 0;
    for (int k = mesh_.linkStart[face]; k < mesh_.linkStart[face + 1]; ++k) d += fold_[mesh_.faceLinks[k]];
    return d;
}

GridBox CutTreeLayout::boxOf(const PatternPoint* corners, int face) const
{
    return boxOfCorners({corners, static_cast<std::size_t>(mesh_.cornerCount(face))});
}

void CutTreeLayout::gridInsert(int part, int face)
{
    grid_.insert(static_cast<std::uint32_t>(face), box_[face], static_cast<std::uint32_t>(part));
    if (journaling_) journal_.push_back({Op::GridInsert, part, face, 0});
}

void CutTreeLayout::gridRemove(int part, int face)
{
    grid_.remove(static_cast<std::uint32_t>(face));
    if (journaling_) journal_.push_back({Op::GridRemove, part, face, 0});
}

void CutTreeLayout::setPos(int face, const PatternPoint* corners, const GridBox& box)
{
    PatternPoint* at = &pos_[mesh_.cornerStart[face]];
    const int k = mesh_.cornerCount(face);
    if (journaling_) {
        journal_.push_back({Op::SetPos, face, static_cast<int>(savedPos_.size()), static_cast<int>(savedBox_.size())});
        savedPos_.insert(savedPos_.end(), at, at + k);
        savedBox_.push_back(box_[face]);
    }
    std::copy(corners, corners + k, at);
    box_[face] = box;
}

void CutTreeLayout::setPartOf(int face, int part)
{
    if (journaling_) journal_.push_back({Op::SetPartOf, face, partOf_[face], 0});
    partOf_[face] = part;
}

void CutTreeLayout::setFold(int link, char value)
{
    if (journaling_) journal_.push_back({Op::SetFold, link, fold_[link], 0});
    fold_[link] = value;
}

void CutTreeLayout::resize(int part, int before, int after)
{
    (void)part;
    spread_ += std::sqrt(static_cast<double>(after)) - std::sqrt(static_cast<double>(before));
    if (before == 0 && after > 0) ++partCount_;
    if (before > 0 && after == 0) --partCount_;
}

int CutTreeLayout::createPart()
{
    int p;
    bool fresh = false;
    if (!freeParts_.empty()) {
        p = freeParts_.back();
        freeParts_.pop_back();
    } else {
        p = static_cast<int>(parts_.size());
        parts_.emplace_back();
        fresh = true;
    }
    parts_[p].alive = true;
    parts_[p].faces.clear();
    if (journaling_) journal_.push_back({Op::Create, p, fresh ? 1 : 0, 0});
    return p;
}

void CutTreeLayout::appendFaces(int part, const std::vector<int>& faces)
{
    std::vector<int>& v = parts_[part].faces;
    const int before = static_cast<int>(v.size());
    if (journaling_) journal_.push_back({Op::Append, part, before, 0});
    v.insert(v.end(), faces.begin(), faces.end());
    resize(part, before, static_cast<int>(v.size()));
}

void CutTreeLayout::appendFace(int part, int face)
{
    std::vector<int>& v = parts_[part].faces;
    const int before = static_cast<int>(v.size());
    if (journaling_) journal_.push_back({Op::Append, part, before, 0});
    v.push_back(face);
    resize(part, before, before + 1);
}

void CutTreeLayout::clearPart(int part)
{
    std::vector<int>& v = parts_[part].faces;
    const int before = static_cast<int>(v.size());
    if (journaling_) {
        journal_.push_back({Op::Clear, part, static_cast<int>(savedFaces_.size()), 0});
        savedFaces_.push_back(v);
    }
    v.clear();
    parts_[part].alive = false;
    freeParts_.push_back(part);
    resize(part, before, 0);
}

void CutTreeLayout::removeFaceAt(int part, int index)
{
    std::vector<int>& v = parts_[part].faces;
    const int before = static_cast<int>(v.size());
    if (journaling_) journal_.push_back({Op::RemoveAt, part, index, v[index]});
    v[index] = v.back();
    v.pop_back();
    resize(part, before, before - 1);
}

void CutTreeLayout::beginTrial()
{
    journaling_ = true;
    journal_.clear();
    savedPos_.clear();
    savedBox_.clear();
    savedFaces_.clear();
    savedPartCount_ = partCount_;
    savedSpread_ = spread_;
}

void CutTreeLayout::endTrial()
{
    journaling_ = false;
    journal_.clear();
}

void CutTreeLayout::undoTrial()
{
    journaling_ = false;
    for (auto it = journal_.rbegin(); it != journal_.rend(); ++it) {
        const Entry& e = *it;
        switch (e.op) {
        case Op::GridInsert: gridRemove(e.a, e.b); break;
        case Op::GridRemove: gridInsert(e.a, e.b); break;
        case Op::SetPos: {
            const int k = mesh_.cornerCount(e.a);
            std::copy(savedPos_.begin() + e.b, savedPos_.begin() + e.b + k, pos_.begin() + mesh_.cornerStart[e.a]);
            box_[e.a] = savedBox_[e.c];
            break;
        }
        case Op::SetPartOf: partOf_[e.a] = e.b; break;
        case Op::SetFold: fold_[e.a] = static_cast<char>(e.b); break;
        case Op::Append: parts_[e.a].faces.resize(e.b); break;
        case Op::Clear:
            freeParts_.pop_back();
            parts_[e.a].faces = std::move(savedFaces_[e.b]);
            parts_[e.a].alive = true;
            break;
        case Op::RemoveAt: {
            std::vector<int>& v = parts_[e.a].faces;
            if (e.b == static_cast<int>(v.size())) {
                v.push_back(e.c);
            } else {
                v.push_back(v[e.b]);
                v[e.b] = e.c;
            }
            break;
        }
        case Op::Create:
            parts_[e.a].alive = false;
            parts_[e.a].faces.clear();
            if (e.b) parts_.pop_back();
            else freeParts_.push_back(e.a);
            break;
        }
    }
    journal_.clear();
    partCount_ = savedPartCount_;
    spread_ = savedSpread_;
}

bool CutTreeLayout::overlapsPart(int face, const PatternPoint* faceCorners, const GridBox& box, int part) const
{
    // The tolerance the overlap check gives the new face, where it would be
    // placed by the unfolding.
    const std::span<const PatternPoint> shape(faceCorners, static_cast<std::size_t>(mesh_.cornerCount(face)));
    const double tol = overlapTolerance(shape);
    return grid_.anyNear(static_cast<std::uint32_t>(part), box, [&](std::size_t q) {
        const GridBox& qb = box_[q];
        if (!(box.minX < qb.maxX - tol && qb.minX < box.maxX - tol && box.minY < qb.maxY - tol &&
              qb.minY < box.maxY - tol))
            return false;
        const int k = mesh_.cornerCount(static_cast<int>(q));
        return facesOverlap(shape, {corners(static_cast<int>(q)), static_cast<std::size_t>(k)}, tol);
    });
}

void CutTreeLayout::bfsOrder(int part, int start, std::vector<int>& out) const
{
    out.clear();
    const std::vector<int>& faces = parts_[part].faces;
    if (faces.size() <= 32) {
        out = faces;
        return;
    }
    ++stampValue_;
    out.push_back(start);
    stamp_[start] = stampValue_;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const int f = out[i];
        for (int k = mesh_.linkStart[f]; k < mesh_.linkStart[f + 1]; ++k) {
            const int l = mesh_.faceLinks[k];
            if (!fold_[l]) continue;
            const CutTreeMesh::Link& link = mesh_.links[l];
            const int g = link.face[0] == f ? link.face[1] : link.face[0];
            if (stamp_[g] == stampValue_) continue;
            stamp_[g] = stampValue_;
            out.push_back(g);
        }
    }
}

bool CutTreeLayout::tryJoin(int link)
{
    const CutTreeMesh::Link& l = mesh_.links[link];
    const int p0 = partOf_[l.face[0]], p1 = partOf_[l.face[1]];
    return tryJoin(link, partSize(p0) < partSize(p1) ? 0 : 1);
}

bool CutTreeLayout::tryJoin(int link, int movingSide)
{
    const CutTreeMesh::Link& l = mesh_.links[link];
    const int g = l.face[movingSide], f = l.face[1 - movingSide];
    const int pm = partOf_[g], pf = partOf_[f];
    if (pm == pf) return false;

    // The moving face's side runs opposite to the fixed face's side: its
    // first corner goes onto the fixed side's end and its second onto the
    // fixed side's start, as attachFace shares the points.
    const int kg = mesh_.cornerCount(g), kf = mesh_.cornerCount(f);
    const PatternPoint& pa = corners(g)[l.side[movingSide]];
    const PatternPoint& pb = corners(g)[(l.side[movingSide] + 1) % kg];
    const PatternPoint& qc = corners(f)[l.side[1 - movingSide]];
    const PatternPoint& qd = corners(f)[(l.side[1 - movingSide] + 1) % kf];
    const double ux = pb.x - pa.x, uy = pb.y - pa.y, wx = qc.x - qd.x, wy = qc.y - qd.y;
    const double lu = std::sqrt(ux * ux + uy * uy), lw = std::sqrt(wx * wx + wy * wy);
    if (!(lu > 0.0) || !(lw > 0.0) || !std::isfinite(lu * lw)) return false;
    const double c = (ux * wx + uy * wy) / (lu * lw), s = (ux * wy - uy * wx) / (lu * lw);
    const double ox = pa.x, oy = pa.y, tx = qd.x, ty = qd.y;

    bfsOrder(pm, g, order_);
    moved_.clear();
    movedBox_.clear();
    for (int h : order_) {
        const std::size_t at = moved_.size();
        const PatternPoint* src = corners(h);
        const int k = mesh_.cornerCount(h);
        for (int i = 0; i < k; ++i) {
            const double dx = src[i].x - ox, dy = src[i].y - oy;
            moved_.push_back({tx + c * dx - s * dy, ty + s * dx + c * dy});
        }
        const GridBox box = boxOf(&moved_[at], h);
        movedBox_.push_back(box);
        if (checkOverlap_ && overlapsPart(h, &moved_[at], box, pf)) return false;
    }

    std::size_t at = 0;
    for (std::size_t i = 0; i < order_.size(); ++i) {
        const int h = order_[i];
        gridRemove(pm, h);
        setPos(h, &moved_[at], movedBox_[i]);
        at += static_cast<std::size_t>(mesh_.cornerCount(h));
        setPartOf(h, pf);
        gridInsert(pf, h);
    }
    clearPart(pm);
    appendFaces(pf, order_);
    setFold(link, 1);
    return true;
}

void CutTreeLayout::detachLeaf(int face)
{
    const int p = partOf_[face];
    std::vector<int>& v = parts_[p].faces;
    if (v.size() <= 1) return;
    for (int k = mesh_.linkStart[face]; k < mesh_.linkStart[face + 1]; ++k)
        if (fold_[mesh_.faceLinks[k]]) setFold(mesh_.faceLinks[k], 0);
    const int index = static_cast<int>(std::find(v.begin(), v.end(), face) - v.begin());
    gridRemove(p, face);
    removeFaceAt(p, index);
    const int np = createPart();
    appendFace(np, face);
    setPartOf(face, np);
    gridInsert(np, face);
}

void CutTreeLayout::dissolve(int part)
{
    std::vector<int>& faces = dissolved_;
    faces = parts_[part].faces;
    if (faces.size() <= 1) return;
    for (int f : faces)
        for (int k = mesh_.linkStart[f]; k < mesh_.linkStart[f + 1]; ++k)
            if (fold_[mesh_.faceLinks[k]]) setFold(mesh_.faceLinks[k], 0);
    for (int f : faces) gridRemove(part, f);
    clearPart(part);
    for (int f : faces) {
        const int np = createPart();
        appendFace(np, f);
        setPartOf(f, np);
        gridInsert(np, f);
    }
}

} // namespace nettor
