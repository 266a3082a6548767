#pragma once
// The search for a cut tree that unfolds the remaining faces into fewer
// parts than growing one part at a time.
#include "state/part_search_settings.h"
#include "unfold/cut_tree_mesh.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace nettor {

struct PartSearchResult {
    std::vector<char> folds; // per link of the mesh: joined across it
    int partCount = 0;       // parts of that forest (faces taking part only)
    int rounds = 0;          // rounds completed: as a round budget, they repeat this result
};

// Runs the search on two threads, round by round, until the time limit (or,
// when settings.maxRounds is set, the round budget instead), cancel (when
// set), the fewest parts possible (one per connected group) or a long time
// without progress. Without overlapCheck every forest is acceptable.
// bestPartCount, when given, follows the best count found so far plus
// partsBefore (the parts the model has already). The result depends on the
// seed and the number of whole rounds only: a round cut short by the time
// limit or a cancel counts for nothing, and the first round always
// completes.
PartSearchResult searchFewerParts(const CutTreeMesh& mesh, const PartSearchSettings& settings,
                                  bool overlapCheck, const std::atomic<bool>* cancel,
                                  std::atomic<std::int32_t>* bestPartCount, int partsBefore = 0);

// What the window tells once the search has ended: the rounds it made and
// the seed, which repeat it as a round budget.
std::string partSearchSummary(int rounds, std::uint32_t seed);

} // namespace nettor
