#pragma once
// The values kept between runs in the group "Settings": "ModelWindowSize",
// "WindowPos" and "Config", and how they are taken up at start and made at
// exit. The storage itself belongs to the application.
#include "state/part_search_settings.h"
#include "state/settings.h"
#include "state/window_placement.h"

#include <optional>
#include <string>

namespace nettor {

struct StoredValues {
    std::optional<std::string> modelWindowSize;
    std::optional<std::string> windowPos;
    std::optional<std::string> config;
    std::optional<std::string> partSearch; // "PartSearch", the search for fewer parts
};

struct TakenUpValues {
    ViewSize modelViewSize;
    std::optional<WindowPlacement> placement; // nothing: keep the default placement
    bool configRead = false;
};

// The model view size (320 x 250 unless the value yields two numbers), the
// placement when "WindowPos" yields ten numbers, and "Config" read into the
// settings as their text form when it is present. A malformed "WindowPos"
// does not keep "Config" from being read: the defaults would otherwise be
// written over the user's stored settings at exit.
// "PartSearch" is read into partSearch, when given, the same way.
TakenUpValues takeUpStoredValues(const StoredValues& stored, Settings& settings,
                                 PartSearchSettings* partSearch = nullptr);

// What the frame writes when it closes: the placement and the model view
// size always, "Config" (and "PartSearch", when given) only when saveOnExit
// is set.
StoredValues valuesToStore(const WindowPlacement& placement, const ViewSize& modelViewSize,
                           const Settings& settings, const PartSearchSettings* partSearch = nullptr);

} // namespace nettor
