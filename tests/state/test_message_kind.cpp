// The look of the message boxes: failures warn, the bitmap reader's failures
// carry the caption "Error", and notices stay information.
#include "state/message_kind.h"

#include <gtest/gtest.h>

using namespace nettor;

TEST(MessageKind, NoticesAreInformationAndFailuresWarn)
{
    for (const char* notice : {"All faces are unfolded.", "Operation is suspended.",
                               "Specified face is already unfolded.", "No more zoom in."}) {
        EXPECT_EQ(messageStyle(notice).kind, MessageKind::Information) << notice;
        EXPECT_STREQ(messageStyle(notice).caption, "Nettor") << notice;
    }
    for (const char* failure : {"This file could not be read.", "File open ERROR", "Can't open Clipboard.",
                                "Please enter a number.", "The value is too small.",
                                "All faces are unfolded. "}) {
        EXPECT_EQ(messageStyle(failure).kind, MessageKind::Failure) << failure;
        EXPECT_STREQ(messageStyle(failure).caption, "Nettor") << failure;
    }
}

TEST(MessageKind, BitmapReaderFailuresCarryTheErrorCaption)
{
    for (const char* failure : {"Failed to open DIB file /tmp/a.bmp.\n", "Unknown DIB file format.",
                                "Image file conversion error.", "Out of memory."}) {
        EXPECT_EQ(messageStyle(failure).kind, MessageKind::Failure) << failure;
        EXPECT_STREQ(messageStyle(failure).caption, "Error") << failure;
    }
}
