#pragma once
// Stands in front of an engine's listener while one operation runs on the
// user-interface thread. What changed, and what should be redrawn, passes
// straight through; messages are kept until release(), so that a message
// box about the operation's outcome comes up over views that already show
// that outcome, and not over the picture from before it.
#include "state/ui_listener.h"

#include <string>
#include <vector>

namespace nettor {

struct EngineState;

class HeldMessages : public UiListener {
public:
    explicit HeldMessages(EngineState& engine);
    // Stands aside; messages still kept are shown then.
    ~HeldMessages() override;
    HeldMessages(const HeldMessages&) = delete;
    HeldMessages& operator=(const HeldMessages&) = delete;

    // Stands aside and passes on the kept messages, in order.
    void release();

    void message(const std::string& text) override;
    void invalidateModelView() override;
    void repaintPatternView() override;
    void closeTextureWindow() override;
    void setDocumentTitle(const std::string& title) override;
    void statusMessage(const std::string& text) override;

protected:
    void changed(ViewChange change) override;

private:
    EngineState& engine_;
    UiListener* target_;
    bool standing_ = true;
    std::vector<std::string> held_;
};

} // namespace nettor
