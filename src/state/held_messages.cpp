#include "state/held_messages.h"

#include "state/engine_state.h"

namespace nettor {

HeldMessages::HeldMessages(EngineState& engine) : engine_(engine), target_(engine.listener)
{
    engine_.listener = this;
}

HeldMessages::~HeldMessages()
{
    release();
}

void HeldMessages::release()
{
    if (standing_) {
        standing_ = false;
        if (engine_.listener == this) engine_.listener = target_;
    }
    // A message box may run events that send more: take them one at a time.
    while (!held_.empty()) {
        const std::string text = held_.front();
        held_.erase(held_.begin());
        if (target_) target_->message(text);
    }
}

void HeldMessages::message(const std::string& text)
{
    if (standing_) held_.push_back(text);
    else if (target_) target_->message(text);
}

void HeldMessages::changed(ViewChange change)
{
    if (target_) notify(*target_, change);
}

void HeldMessages::invalidateModelView()
{
    if (target_) target_->invalidateModelView();
}

void HeldMessages::repaintPatternView()
{
    if (target_) target_->repaintPatternView();
}

void HeldMessages::closeTextureWindow()
{
    if (target_) target_->closeTextureWindow();
}

void HeldMessages::setDocumentTitle(const std::string& title)
{
    if (target_) target_->setDocumentTitle(title);
}

void HeldMessages::statusMessage(const std::string& text)
{
    if (target_) target_->statusMessage(text);
}

} // namespace nettor
