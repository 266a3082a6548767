#pragma once
// The heap made ready ahead of a big job. A process that builds a large
// model and its unfolding touches most of its memory for the first time
// while it works, and every first touch of a page stops the thread that
// makes it while the system finds and clears the page. Here the heap is
// grown at once by about what the job will need, and a second thread has
// the system supply its pages meanwhile, so that the job finds them there.
// Process-wide: only the program's entry point calls it.
#include <cstddef>
#include <thread>

namespace nettor::cli {

// What warming the heap for a model file of this size asks for: nothing for
// small files, else a multiple of the size within a share of the machine's
// memory.
std::size_t heapWarmupBytes(std::size_t fileBytes, std::size_t physicalBytes);
// The machine's memory in bytes; 0 when unknown.
std::size_t physicalMemory();

// Lets the heap take `bytes` from the system in one step and keep what is
// freed, and starts a thread that has those pages supplied ahead of use,
// the lowest first, as the heap hands them out. Dropping the thread stops
// it between steps. Nothing when bytes is 0.
std::jthread warmHeap(std::size_t bytes);

} // namespace nettor::cli
