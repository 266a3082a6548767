#pragma once
// A listener that records everything a session tells the user interface,
// and listens to that session for its lifetime; without a session it is a
// reporter to hand to a reader.
#include "session/session.h"

#include <string>
#include <vector>

namespace nettor::test {

class RecordingListener : public UiListener {
public:
    RecordingListener() = default;
    explicit RecordingListener(Session& session) : session_(&session), previous_(session.listener)
    {
        session.listener = this;
    }
    ~RecordingListener() override
    {
        if (session_) session_->listener = previous_;
    }
    RecordingListener(const RecordingListener&) = delete;
    RecordingListener& operator=(const RecordingListener&) = delete;

    void message(const std::string& text) override { messages.push_back(text); }
    void invalidateModelView() override { ++modelViewInvalidations; }
    void repaintPatternView() override { ++patternViewRepaints; }
    void closeTextureWindow() override
    {
        ++textureWindowCloses;
        if (session_) session_->textureWindowOpen = false;
    }
    void setDocumentTitle(const std::string& t) override { titles.push_back(t); }
    void statusMessage(const std::string& t) override { statusMessages.push_back(t); }

    std::vector<int> hints; // each change as the number of its ViewChange
    std::vector<std::string> messages;
    std::vector<std::string> titles;
    std::vector<std::string> statusMessages;
    int modelViewInvalidations = 0;
    int patternViewRepaints = 0;
    int textureWindowCloses = 0;

protected:
    void changed(ViewChange change) override { hints.push_back(static_cast<int>(change)); }

private:
    Session* session_ = nullptr;
    UiListener* previous_ = nullptr;
};

// Puts a session back to its start-up values, its listener kept.
void resetSession(Session& session);

} // namespace nettor::test
