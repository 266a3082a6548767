#pragma once
// What the unfolding engine reads and writes besides the model: the
// settings, the overlap check, the unfolding's status (with its cancel flag)
// and the listener that receives messages and view requests. Every engine
// entry point takes one; a session owns one for its model.
#include "state/part_search_settings.h"
#include "state/settings.h"
#include "state/ui_listener.h"
#include "state/unfold_status.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace nettor {

struct EngineState {
    UnfoldStatus status;
    Settings settings;
    PartSearchSettings partSearch;       // the search for fewer parts
    std::atomic<std::int32_t> overlapCheck{1};
    double displayedScale = 0.0;         // cm on paper per model unit, as shown
    UiListener* listener = nullptr;      // not owned; none: nothing is told
    // finishUnfolding leaves arranging the parts on the one sheet, and the
    // scale fitted to it, to the caller (arrangeSheet), who may do it beside
    // other work that reads the finished pattern, the Pages layout say.
    bool arrangeSheetLater = false;

    // Forward to the listener, if any.
    void notify(ViewChange change) const;
    void message(const std::string& text) const;
    // The message with the offer of a finished size; false without a listener.
    bool offerFinishedSize(const std::string& text, double sizeMm) const;
    void invalidateModelView() const;
    void repaintPatternView() const;
};

// A message to the listener, if there is one: for readers that take only
// where their messages go.
void tell(UiListener* listener, const std::string& text);

} // namespace nettor
