#include "cli/heap_warmup.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

namespace nettor::cli {

namespace {

// Below this a model's first touches cost too little to matter.
constexpr std::size_t kSmallFile = std::size_t{1} << 20;
// A model read from a text file takes up to about fifty times the file's
// size while it is unfolded and written out.
constexpr std::size_t kBytesPerFileByte = 40;
constexpr std::size_t kMost = std::size_t{1} << 30;
// Pages are supplied a few megabytes at a time, so that the job, which
// takes them from the lowest up, meets supplied pages early on.
constexpr std::size_t kStep = std::size_t{4} << 20;

} // namespace

std::size_t heapWarmupBytes(std::size_t fileBytes, std::size_t physicalBytes)
{
    if (fileBytes < kSmallFile) return 0;
    const std::size_t wanted = fileBytes > kMost / kBytesPerFileByte ? kMost : fileBytes * kBytesPerFileByte;
    return std::min({wanted, kMost, physicalBytes / 8});
}

std::size_t physicalMemory()
{
    const long pages = sysconf(_SC_PHYS_PAGES), page = sysconf(_SC_PAGESIZE);
    return pages > 0 && page > 0 ? static_cast<std::size_t>(pages) * static_cast<std::size_t>(page) : 0;
}

std::jthread warmHeap(std::size_t bytes)
{
    const long page = sysconf(_SC_PAGESIZE);
    if (bytes == 0 || page <= 0 || bytes > static_cast<std::size_t>(INT_MAX)) return {};
    // Large blocks come from the heap too, rather than each from pages of
    // its own, and the heap keeps what is freed at its top.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kMost));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(kMost));
    // A block of that size grows the heap by as much, and freed it stays
    // at the heap's top, where the next blocks are cut from.
    void* block = std::malloc(bytes);
    if (!block) return {};
    const auto mask = static_cast<std::uintptr_t>(page) - 1;
    char* from = reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(block) + mask) & ~mask);
    std::free(block);
    // The heap's top: a heap that could not grow in place (or an allocator
    // of another kind) leaves nothing here to supply.
    char* const end = static_cast<char*>(sbrk(0));
    if (end == reinterpret_cast<char*>(-1) || end <= from) return {};
    bytes = std::min(bytes, static_cast<std::size_t>(end - from));
    // Supplying a page leaves what it holds as it is, so blocks in use
    // meanwhile are safe. A system without the request refuses it, and the
    // pages come on first touch as before.
    return std::jthread([from, bytes](std::stop_token stop) {
        for (std::size_t at = 0; at < bytes && !stop.stop_requested(); at += kStep)
            if (madvise(from + at, std::min(kStep, bytes - at), MADV_POPULATE_WRITE) != 0) return;
    });
}

} // namespace nettor::cli
