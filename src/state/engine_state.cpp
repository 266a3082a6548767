#include "state/engine_state.h"

namespace nettor {

void EngineState::notify(ViewChange change) const
{
    if (listener) nettor::notify(*listener, change);
}

void EngineState::message(const std::string& text) const
{
    if (listener) listener->message(text);
}

bool EngineState::offerFinishedSize(const std::string& text, double sizeMm) const
{
    return listener && listener->offerFinishedSize(text, sizeMm);
}

void EngineState::invalidateModelView() const
{
    if (listener) listener->invalidateModelView();
}

void EngineState::repaintPatternView() const
{
    if (listener) listener->repaintPatternView();
}

void tell(UiListener* listener, const std::string& text)
{
    if (listener) listener->message(text);
}

} // namespace nettor
