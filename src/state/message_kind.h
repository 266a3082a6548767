#pragma once
// How a message box looks: a notice that something happened, or a failure,
// and the caption it carries. The texts are the fixed ones the core shows.
#include <string>

namespace nettor {

enum class MessageKind { Information, Failure };

struct MessageStyle {
    MessageKind kind = MessageKind::Failure;
    const char* caption = "Nettor";
};

// The style of the box for this text: the bitmap reader's failures carry
// the caption "Error"; completion, cancel and view-limit notices are
// information; every other message reports a failure.
MessageStyle messageStyle(const std::string& text);

} // namespace nettor
