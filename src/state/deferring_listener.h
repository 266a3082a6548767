#pragma once
// A listener that stands in front of the application's listener while a
// worker thread changes the model. Calls made on the thread that created it
// pass straight through; calls from any other thread (the worker) are kept,
// in order, and handed over by deliver() on the creating thread, once the
// worker has ended. So the worker never shows a message box or touches a
// window itself.
#include "state/ui_listener.h"

#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace nettor {

class DeferringListener : public UiListener {
public:
    explicit DeferringListener(UiListener* target);

    void message(const std::string& text) override;
    void invalidateModelView() override;
    void repaintPatternView() override;
    void closeTextureWindow() override;
    void setDocumentTitle(const std::string& title) override;
    void statusMessage(const std::string& text) override;

    // Passes the kept calls to the target, in the order they were made.
    void deliver();
    std::size_t pendingCount() const;
    UiListener* target() const { return target_; }

protected:
    void changed(ViewChange change) override;

private:
    // Runs the call now on the owning thread, otherwise keeps it.
    void route(std::function<void(UiListener&)> call);

    UiListener* target_;
    std::thread::id owner_;
    mutable std::mutex mutex_;
    std::vector<std::function<void(UiListener&)>> pending_;
};

} // namespace nettor
