// The session's layout of the finished pattern: the mode, the Page Setup,
// and the pieces moved and turned on the pages, each change a step of the
// layout history.
#include "session/session.h"

#include "pattern/pages_flap_edit.h"
#include "pattern/pages_misplaced.h"
#include "pattern/pages_piece_split.h"
#include "pattern/pages_repack.h"
#include "pattern/pages_sheet.h"

#include <algorithm>
#include <cmath>

namespace nettor {

namespace {

// The page setup with the model at this finished size.
PagesSettings atFinishedSize(PagesSettings setup, double sizeMm)
{
    setup.sizeMode = ModelSizeMode::FinishedSize;
    setup.finishedSizeMm = sizeMm;
    return setup;
}

} // namespace

LayoutSnapshot Session::layoutSnapshot() const
{
    return {layoutMode, pagesSettings, pagesLayout, std::nullopt};
}

void Session::restoreLayout(LayoutSnapshot snapshot)
{
    if (snapshot.unfolding && model) {
        restoreUnfolding(*model, *snapshot.unfolding, retiredParts_);
        status.partCount = static_cast<std::int32_t>(model->parts.size());
        notify(ViewChange::CountsChanged);
        invalidateModelView();
    }
    layoutMode = snapshot.mode;
    pagesSettings = snapshot.settings;
    pagesLayout = std::move(snapshot.layout);
}

void Session::runSlowWork(const SlowWork& work)
{
    if (slowWork_) {
        slowWork_(work);
        return;
    }
    const std::atomic<bool> never{false};
    work(never);
}

PagesResult Session::layOutWith(const PagesSettings& pages)
{
    PagesResult result;
    if (!model || !status.finished) return result;
    const SlowWork work = [&](const std::atomic<bool>& cancel) {
        result = layOutPages({*model, settings, pages, &cancel});
        // Given up late: thrown away all the same.
        if (cancel.load()) {
            result.layout.reset();
            result.cancelled = true;
        }
    };
    runSlowWork(work);
    return result;
}

bool Session::takeLayout(PagesResult& result, std::optional<PagesLayout>& into, double* takenSizeMm)
{
    if (!result.layout) {
        if (result.cancelled || result.message.empty()) return false;
        if (takenSizeMm && result.largestFittingSizeMm > 0.0) {
            if (offerFinishedSize(result.message, result.largestFittingSizeMm))
                *takenSizeMm = result.largestFittingSizeMm;
        } else {
            message(result.message);
        }
        return false;
    }
    into = std::move(result.layout);
    return true;
}

void Session::layoutChangeDone()
{
    misplaced = pagesLayout ? misplacedPieces(*pagesLayout) : std::vector<char>{};
    if (!validPiece(selectedPiece)) selectedPiece = -1;
    if (!pagesLayout) litEdge = nullptr;
    notify(ViewChange::LayoutChanged);
}

void Session::layoutEditDone()
{
    // An edit of the user's: the work has changed since it was saved.
    if (model) markChanged();
    layoutChangeDone();
}

bool Session::validPiece(int piece) const
{
    return pagesLayout && piece >= 0 && piece < static_cast<int>(pagesLayout->pieces.size());
}

int Session::misplacedCount() const
{
    return static_cast<int>(std::count(misplaced.begin(), misplaced.end(), 1));
}

double Session::finishedSizeMm() const
{
    if (!model || !status.finished) return 0.0;
    // Paper mm per unit at a finished size of 1 mm is one over the longest side.
    PagesSettings unit;
    unit.sizeMode = ModelSizeMode::FinishedSize;
    unit.finishedSizeMm = 1.0;
    const double perUnit = pagesMmPerUnit(*model, unit);
    if (!(perUnit > 0.0)) return 0.0;
    const double mmPerUnit = pagesShown() ? pagesLayout->mmPerUnit : model->patternScale * 10.0;
    return mmPerUnit / perUnit;
}

void Session::layOutFinishedPattern()
{
    std::optional<PagesResult> laid;
    if (layoutMode == LayoutMode::Pages) laid = layOutWith(pagesSettings);
    layoutHistory_.clear();
    retiredParts_.clear(); // no step is left to put them back
    pagesLayout.reset();
    selectedPiece = -1;
    // A pattern that cannot be laid out on these pages (the user has been
    // told why) is shown on the one sheet.
    if (laid && !takeLayout(*laid, pagesLayout)) layoutMode = LayoutMode::OneSheet;
    layoutChangeDone();
}

void Session::layOutAgainForSettings()
{
    if (!pagesLayout || !status.finished) return;
    PagesResult laid = layOutWith(pagesSettings);
    std::optional<PagesLayout> made;
    if (!takeLayout(laid, made)) return; // the layout stays as it was
    layoutHistory_.record(layoutSnapshot());
    pagesLayout = std::move(made);
    layoutEditDone();
}

bool Session::setLayoutMode(LayoutMode mode)
{
    if (mode == layoutMode) return false;
    std::optional<PagesLayout> made;
    PagesSettings setup = pagesSettings;
    if (mode == LayoutMode::Pages && !pagesLayout && status.finished) {
        PagesResult laid = layOutWith(setup);
        double taken = 0.0;
        if (!takeLayout(laid, made, &taken)) {
            // The size offered, taken: the pages at that size, one step.
            if (!(taken > 0.0)) return false;
            setup = atFinishedSize(setup, taken);
            if (const auto problem = pagesSettingsProblem(setup)) {
                message(*problem);
                return false;
            }
            laid = layOutWith(setup);
            if (!takeLayout(laid, made)) return false;
        }
    }
    layoutHistory_.record(layoutSnapshot());
    layoutMode = mode;
    pagesSettings = setup;
    if (made) pagesLayout = std::move(made);
    layoutEditDone();
    return true;
}

bool Session::setPagesSettings(const PagesSettings& next)
{
    return applyPagesSettings(next, true);
}

bool Session::applyPagesSettings(const PagesSettings& next, bool offerSize)
{
    if (const auto problem = pagesSettingsProblem(next)) {
        message(*problem);
        return false;
    }
    if (next == pagesSettings) return false;
    std::optional<PagesLayout> made;
    if (layoutMode == LayoutMode::Pages && status.finished) {
        PagesResult laid = layOutWith(next);
        double taken = 0.0;
        if (!takeLayout(laid, made, offerSize ? &taken : nullptr))
            return taken > 0.0 && applyPagesSettings(atFinishedSize(next, taken), false);
    }
    layoutHistory_.record(layoutSnapshot());
    pagesSettings = next;
    // The layout of the old settings is no longer the pattern's; outside
    // the Pages layout it is made again when the user switches to it.
    pagesLayout = std::move(made);
    layoutEditDone();
    return true;
}

bool Session::movePiece(int piece, int page, MmPoint offset)
{
    if (!validPiece(piece) || page < 1 || !std::isfinite(offset.x) || !std::isfinite(offset.y)) return false;
    PagesLayout& layout = *pagesLayout;
    page = std::min(page, layout.pageCount + 1);
    if (page > kMaxPages) return false;
    LaidOutPiece& moved = layout.pieces[static_cast<std::size_t>(piece)];
    if (moved.page == page && moved.offset == offset) return false;
    layoutHistory_.record(layoutSnapshot());
    moved.page = page;
    moved.offset = offset;
    moved.movedByUser = true;
    // A page emptied at the end goes.
    int last = 1;
    for (const LaidOutPiece& p : layout.pieces) last = std::max(last, p.page);
    layout.pageCount = last;
    layoutEditDone();
    return true;
}

bool Session::turnPiece(int piece, double degrees)
{
    if (!validPiece(piece) || !std::isfinite(degrees)) return false;
    double turn = std::fmod(degrees, 360.0);
    if (turn == 0.0) return false;
    layoutHistory_.record(layoutSnapshot());
    LaidOutPiece& turned = pagesLayout->pieces[static_cast<std::size_t>(piece)];
    double rotation = std::fmod(turned.rotationDeg + turn, 360.0);
    if (rotation < 0.0) rotation += 360.0;
    turned.offset = offsetAfterTurn(*pagesLayout, turned, rotation);
    turned.rotationDeg = rotation;
    turned.movedByUser = true;
    layoutEditDone();
    return true;
}

bool Session::repackPages(bool all)
{
    if (!pagesLayout) return false;
    std::optional<PagesLayout> made;
    if (all) {
        PagesResult laid = layOutWith(pagesSettings);
        if (!takeLayout(laid, made)) return false;
    } else {
        // The pieces the user has not moved, laid out again on a copy.
        std::vector<char> fixed;
        for (const LaidOutPiece& p : pagesLayout->pieces) fixed.push_back(p.movedByUser ? 1 : 0);
        PagesLayout copy = *pagesLayout;
        bool repacked = false, cancelled = false;
        const SlowWork work = [&](const std::atomic<bool>& cancel) {
            repacked = repackAroundFixed(copy, fixed);
            cancelled = cancel.load();
        };
        runSlowWork(work);
        if (cancelled) return false;
        if (!repacked) {
            message("The pieces could not be laid out again on this paper.");
            return false;
        }
        made = std::move(copy);
    }
    layoutHistory_.record(layoutSnapshot());
    pagesLayout = std::move(made);
    layoutEditDone();
    return true;
}

bool Session::splitPieceAt(const HalfEdge* side)
{
    if (!pagesLayout || !side || !pagesLayout->joined(*side)) return false;
    LayoutSnapshot before = layoutSnapshot();
    PagesLayout& layout = *pagesLayout;
    if (!splitPieceAtFold(layout, *side)) {
        restoreLayout(std::move(before));
        return false;
    }
    // The smaller of the two pieces finds room; the other stays.
    const std::size_t added = layout.pieces.size() - 1;
    const std::size_t kept = static_cast<std::size_t>(pieceOfSide(layout, *side));
    const std::size_t loose = layout.pieces[added].faces.size() <= layout.pieces[kept].faces.size() ? added : kept;
    std::vector<char> fixed(layout.pieces.size(), 1);
    fixed[loose] = 0;
    repackAroundFixed(layout, fixed); // when there is no room it stays where it is
    layoutHistory_.record(std::move(before));
    layoutEditDone();
    return true;
}

bool Session::joinPiecesAt(const HalfEdge* side)
{
    if (!pagesLayout || !side) return false;
    if (!pagesLayout->splitNumbers.count(side->edge)) return joinPartsAt(side);
    LayoutSnapshot before = layoutSnapshot();
    const int removed = side->twin ? pieceOfSide(*pagesLayout, *side->twin) : -1;
    const int kept = pieceOfSide(*pagesLayout, *side);
    if (!joinPiecesAtCut(*pagesLayout, *side)) {
        restoreLayout(std::move(before));
        return false;
    }
    if (selectedPiece == removed) selectedPiece = kept;
    if (removed != kept && selectedPiece > removed) --selectedPiece;
    layoutHistory_.record(std::move(before));
    layoutEditDone();
    return true;
}

bool Session::flapStep(const HalfEdge* side, bool (*change)(PagesLayout&, const HalfEdge&))
{
    if (!pagesLayout || !side) return false;
    LayoutSnapshot before = layoutSnapshot();
    if (!change(*pagesLayout, *side)) {
        restoreLayout(std::move(before));
        return false;
    }
    layoutHistory_.record(std::move(before));
    layoutEditDone();
    return true;
}

bool Session::flipFlap(const HalfEdge* side)
{
    return flapStep(side, flipLayoutFlap);
}

bool Session::hideFlap(const HalfEdge* side)
{
    return flapStep(side, hideLayoutFlap);
}

bool Session::showFlap(const HalfEdge* side)
{
    return flapStep(side, showLayoutFlap);
}

bool Session::undoLayoutChange()
{
    const LayoutSnapshot* step = layoutHistory_.nextUndo();
    if (!step) return false;
    LayoutSnapshot now = layoutSnapshot();
    if (step->unfolding && model) now.unfolding = captureUnfoldingLike(*model, *step->unfolding);
    std::optional<LayoutSnapshot> previous = layoutHistory_.undo(std::move(now));
    if (!previous) return false;
    restoreLayout(std::move(*previous));
    layoutEditDone();
    return true;
}

bool Session::redoLayoutChange()
{
    const LayoutSnapshot* step = layoutHistory_.nextRedo();
    if (!step) return false;
    LayoutSnapshot now = layoutSnapshot();
    if (step->unfolding && model) now.unfolding = captureUnfoldingLike(*model, *step->unfolding);
    std::optional<LayoutSnapshot> next = layoutHistory_.redo(std::move(now));
    if (!next) return false;
    restoreLayout(std::move(*next));
    layoutEditDone();
    return true;
}

void Session::lightEdge(const Edge* edge)
{
    if (!pagesLayout) edge = nullptr;
    edgeLitFromModel_ = false;
    if (edge == litEdge) return;
    litEdge = edge;
    notify(ViewChange::LayoutSelectionChanged);
}

void Session::selectPiece(int piece)
{
    if (!validPiece(piece)) piece = -1;
    if (piece == selectedPiece) return;
    selectedPiece = piece;
    notify(ViewChange::LayoutSelectionChanged);
}

} // namespace nettor
