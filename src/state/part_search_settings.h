#pragma once
// The optional search for an unfolding with fewer parts: whether automatic
// unfolding runs it, how long it may take and where its random choices
// start. Kept apart from Settings, whose stored text form stays as it is.
#include <cstdint>
#include <string>

namespace nettor {

struct PartSearchSettings {
    bool enabled = false;           // off: automatic unfolding is the greedy growth alone
    double timeLimitSeconds = 10.0; // the search stops after the round that ends this late
    std::uint32_t seed = 1;         // the same seed and round budget give the same result
    int maxRounds = 0;              // a round budget in place of the time limit; 0 for none

    // "enabled:seconds:seed", stored between runs beside the settings.
    std::string toText() const;
    // Takes up to three fields in order; a field that is missing or not a
    // number, or a time limit outside 0 to 86400 seconds, keeps its value.
    void readText(const std::string& text);
};

} // namespace nettor
