#include "state/deferring_listener.h"

#include <utility>

namespace nettor {

DeferringListener::DeferringListener(UiListener* target)
    : target_(target), owner_(std::this_thread::get_id())
{
}

void DeferringListener::route(std::function<void(UiListener&)> call)
{
    if (std::this_thread::get_id() == owner_) {
        if (target_) call(*target_);
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.push_back(std::move(call));
}

void DeferringListener::changed(ViewChange change)
{
    route([change](UiListener& l) { notify(l, change); });
}

void DeferringListener::message(const std::string& text)
{
    route([text](UiListener& l) { l.message(text); });
}

void DeferringListener::invalidateModelView()
{
    route([](UiListener& l) { l.invalidateModelView(); });
}

void DeferringListener::repaintPatternView()
{
    route([](UiListener& l) { l.repaintPatternView(); });
}

void DeferringListener::closeTextureWindow()
{
    route([](UiListener& l) { l.closeTextureWindow(); });
}

void DeferringListener::setDocumentTitle(const std::string& title)
{
    route([title](UiListener& l) { l.setDocumentTitle(title); });
}

void DeferringListener::statusMessage(const std::string& text)
{
    route([text](UiListener& l) { l.statusMessage(text); });
}

void DeferringListener::deliver()
{
    std::vector<std::function<void(UiListener&)>> calls;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        calls.swap(pending_);
    }
    if (!target_) return;
    for (auto& call : calls) call(*target_);
}

std::size_t DeferringListener::pendingCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return pending_.size();
}

} // namespace nettor
