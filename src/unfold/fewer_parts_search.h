#pragma once
// The search for a cut tree that unfolds the remaining faces into fewer
// parts than growing one part at a time.
#include "state/part_search_settings.h"
#include "unfold/cut_tree_mesh.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace nettor {

struct PartSearchResult {
    std::vector<char> folds; // per link of the mesh: joined across it
    int partCount = 0;       // parts of that forest (faces taking part only)
    int rounds = 0;          // fresh starts completed, over all threads
};

// Runs the search on two threads until the time limit, the round budget,
// cancel (when set) or the fewest parts possible (one per connected group).
// Without overlapCheck every forest is acceptable. bestPartCount, when
// given, follows the best count found so far plus partsBefore (the parts
// the model has already). The result depends on the seed and on the rounds
// each thread completed only.
PartSearchResult searchFewerParts(const CutTreeMesh& mesh, const PartSearchSettings& settings,
                                  bool overlapCheck, const std::atomic<bool>* cancel,
                                  std::atomic<std::int32_t>* bestPartCount, int partsBefore = 0);

} // namespace nettor
