#include "formats/reading_cancel.h"

namespace nettor {

namespace {

thread_local const std::atomic<bool>* currentFlag = nullptr;

} // namespace

ReadingCancelScope::ReadingCancelScope(const std::atomic<bool>& flag) : previous_(currentFlag)
{
    currentFlag = &flag;
}

ReadingCancelScope::~ReadingCancelScope()
{
    currentFlag = previous_;
}

bool readingCancelled()
{
    return currentFlag && currentFlag->load(std::memory_order_relaxed);
}

} // namespace nettor
