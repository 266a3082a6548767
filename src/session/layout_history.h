#pragma once
// The undo and redo history of the finished pattern's layout: each step
// keeps the layout as it was before (or, for redo, after) the change.
#include "pattern/pages_layout.h"
#include "state/pages_settings.h"
#include "unfold/unfolding_capture.h"

#include <cstddef>
#include <deque>
#include <optional>

namespace nettor {

struct LayoutSnapshot {
    LayoutMode mode = LayoutMode::OneSheet;
    PagesSettings settings;
    std::optional<PagesLayout> layout;
    // A step that changed the unfolding too (two parts joined across a cut
    // of the model) keeps the records it touched.
    std::optional<UnfoldingCapture> unfolding;
};

class LayoutHistory {
public:
    static constexpr std::size_t kSteps = 200; // the oldest steps go beyond this

    // A new change: `before` can be undone to; nothing can be redone.
    void record(LayoutSnapshot before)
    {
        undo_.push_back(std::move(before));
        if (undo_.size() > kSteps) undo_.pop_front();
        redo_.clear();
    }
    // Takes the last change back: `now` goes to the redo list, and the
    // layout before the change is returned.
    std::optional<LayoutSnapshot> undo(LayoutSnapshot now) { return swap(undo_, redo_, std::move(now)); }
    std::optional<LayoutSnapshot> redo(LayoutSnapshot now) { return swap(redo_, undo_, std::move(now)); }
    // The layout the next undo or redo would give; null for none.
    const LayoutSnapshot* nextUndo() const { return undo_.empty() ? nullptr : &undo_.back(); }
    const LayoutSnapshot* nextRedo() const { return redo_.empty() ? nullptr : &redo_.back(); }
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    std::size_t undoSteps() const { return undo_.size(); }
    void clear()
    {
        undo_.clear();
        redo_.clear();
    }

private:
    static std::optional<LayoutSnapshot> swap(std::deque<LayoutSnapshot>& from, std::deque<LayoutSnapshot>& to,
                                              LayoutSnapshot now)
    {
        if (from.empty()) return std::nullopt;
        LayoutSnapshot taken = std::move(from.back());
        from.pop_back();
        to.push_back(std::move(now));
        return taken;
    }

    std::deque<LayoutSnapshot> undo_, redo_;
};

} // namespace nettor
