#include "session/model_reading.h"

#include "state/ui_listener.h"

namespace nettor {

namespace {

// Keeps what the cut-edge reader tells the user, for the session to show
// on its own thread.
class KeptMessages : public UiListener {
public:
    explicit KeptMessages(std::vector<std::string>& out) : out_(out) {}
    void message(const std::string& text) override { out_.push_back(text); }

private:
    std::vector<std::string>& out_;
};

} // namespace

ReadForOpen readForOpen(const std::string& path)
{
    ReadForOpen read;
    read.path = path;
    if (lowerExtension(path) == "nettor") {
        read.project = true;
        read.projectContent = readProjectFile(path);
        return read;
    }
    KeptMessages reporter(read.messages);
    read.loaded = loadModelFile(path, &reporter);
    return read;
}

} // namespace nettor
