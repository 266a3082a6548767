#pragma once
// The application's one session: the window and nettor-cli reach it here.
// Nothing below src/session may use it; engine functions take what they read.
#include "session/session.h"

#include <string>

namespace nettor {

using AppState = Session;

Session& appState();

// Convenience: forward to the application session's listener, if any.
void notifyViews(ViewChange change);
void showMessage(const std::string& text);
void invalidateModelView();
void repaintPatternView();

} // namespace nettor
