#include "state/app_state.h"

namespace nettor {

AppState& appState()
{
    static AppState state;
    return state;
}

void AppState::replaceModel(std::unique_ptr<Model> next)
{
    std::unique_ptr<Model> previous = std::move(model);
    model = std::move(next);
    previous.reset();
}

void sendHint(int number)
{
    if (UiListener* l = appState().listener) l->hint(number);
}

void showMessage(const std::string& text)
{
    if (UiListener* l = appState().listener) l->message(text);
}

void invalidateModelView()
{
    if (UiListener* l = appState().listener) l->invalidateModelView();
}

void repaintPatternView()
{
    if (UiListener* l = appState().listener) l->repaintPatternView();
}

} // namespace nettor
