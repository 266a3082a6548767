// The heap warmed ahead of a big job: blocks handed out afterwards lie on
// pages the system has already supplied, and the sizes asked for stay
// within bounds.
#include "cli/heap_warmup.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// How many of the whole pages inside the block are supplied.
std::size_t suppliedPages(const void* block, std::size_t bytes, std::size_t& pages)
{
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto first = (reinterpret_cast<std::uintptr_t>(block) + page - 1) / page * page;
    const auto last = (reinterpret_cast<std::uintptr_t>(block) + bytes) / page * page;
    pages = last > first ? (last - first) / page : 0;
    std::vector<unsigned char> resident(pages);
    if (pages == 0 || mincore(reinterpret_cast<void*>(first), last - first, resident.data()) != 0) return 0;
    std::size_t supplied = 0;
    for (unsigned char r : resident) supplied += r & 1;
    return supplied;
}

} // namespace

TEST(HeapWarmup, LaterBlocksFindTheirPagesSuppliedAndSizesStayWithinBounds)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers bring a heap of their own";
#else
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    {
        std::jthread warming = nettor::cli::warmHeap(64 * kMiB);
        ASSERT_TRUE(warming.joinable());
        warming.join();
    }
    // Blocks of many sizes, none written to: their pages are there already.
    std::vector<void*> blocks;
    std::size_t pages = 0, supplied = 0;
    for (std::size_t size = 3000; size < 8 * kMiB; size = size * 3 / 2 + 17) {
        void* block = std::malloc(size);
        ASSERT_NE(block, nullptr);
        std::size_t whole = 0;
        supplied += suppliedPages(block, size, whole);
        pages += whole;
        blocks.push_back(block);
    }
    for (void* block : blocks) std::free(block);
    EXPECT_GT(pages, 2000u);
    EXPECT_EQ(supplied, pages);
#endif

    // Nothing for a small file; a multiple of a big one, within an eighth
    // of the machine's memory and a gigabyte.
    const std::size_t memory = std::size_t{16} << 30;
    EXPECT_EQ(nettor::cli::heapWarmupBytes(200'000, memory), 0u);
    EXPECT_GE(nettor::cli::heapWarmupBytes(3'000'000, memory), 30 * std::size_t{3'000'000});
    EXPECT_EQ(nettor::cli::heapWarmupBytes(3'000'000, 64 * (std::size_t{1} << 20)), 8u << 20);
    EXPECT_EQ(nettor::cli::heapWarmupBytes(std::size_t{1} << 40, memory), std::size_t{1} << 30);
}
