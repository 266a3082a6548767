#include "session/app_state.h"

namespace nettor {

Session& appState()
{
    static Session session;
    return session;
}

void notifyViews(ViewChange change)
{
    appState().notify(change);
}

void showMessage(const std::string& text)
{
    appState().message(text);
}

void invalidateModelView()
{
    appState().invalidateModelView();
}

void repaintPatternView()
{
    appState().repaintPatternView();
}

} // namespace nettor
