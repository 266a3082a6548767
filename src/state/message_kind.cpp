#include "state/message_kind.h"

#include <array>
#include <string_view>

namespace nettor {

namespace {

constexpr std::array<std::string_view, 6> kNotices = {
    "All faces are unfolded.",
    "Operation is suspended.",
    "Specified face is already unfolded.",
    "Push [Start Face] button and specify the first face.",
    "No more zoom in.",
    "No more zoom up.",
};

// The bitmap reader's failures; the first is followed by the file's path.
constexpr std::array<std::string_view, 4> kErrorCaptioned = {
    "Failed to open DIB file ",
    "Unknown DIB file format.",
    "Image file conversion error.",
    "Out of memory.",
};

} // namespace

MessageStyle messageStyle(const std::string& text)
{
    for (std::string_view notice : kNotices)
        if (text == notice) return {MessageKind::Information, "Nettor"};
    for (std::string_view start : kErrorCaptioned)
        if (std::string_view(text).substr(0, start.size()) == start) return {MessageKind::Failure, "Error"};
    return {};
}

} // namespace nettor
