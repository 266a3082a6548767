#include "state/engine_state.h"

namespace nettor {

void EngineState::hint(int number) const
{
    if (listener) listener->hint(number);
}

void EngineState::message(const std::string& text) const
{
    if (listener) listener->message(text);
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
