#pragma once
// A listener that records everything the core tells the user interface, and
// installs itself into the process-wide state for its lifetime.
#include "session/app_state.h"

#include <string>
#include <vector>

namespace nettor::test {

class RecordingListener : public UiListener {
public:
    RecordingListener() : previous_(appState().listener) { appState().listener = this; }
    ~RecordingListener() override { appState().listener = previous_; }

    void message(const std::string& text) override { messages.push_back(text); }
    void invalidateModelView() override { ++modelViewInvalidations; }
    void repaintPatternView() override { ++patternViewRepaints; }
    void closeTextureWindow() override
    {
        ++textureWindowCloses;
        appState().textureWindowOpen = false;
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
    UiListener* previous_;
};

// Puts the process-wide state back to its start-up values.
void resetAppState();

} // namespace nettor::test
