#include "state/stored_settings.h"

namespace nettor {

TakenUpValues takeUpStoredValues(const StoredValues& stored, Settings& settings, PartSearchSettings* partSearch)
{
    TakenUpValues taken;
    if (stored.modelWindowSize) taken.modelViewSize = ViewSize::fromText(*stored.modelWindowSize);
    if (stored.windowPos) taken.placement = WindowPlacement::fromText(*stored.windowPos);
    if (stored.config) {
        settings.readText(*stored.config);
        taken.configRead = true;
    }
    if (partSearch && stored.partSearch) partSearch->readText(*stored.partSearch);
    settings.reservedFlag = 0;
    return taken;
}

StoredValues valuesToStore(const WindowPlacement& placement, const ViewSize& modelViewSize,
                           const Settings& settings, const PartSearchSettings* partSearch)
{
    StoredValues values;
    values.windowPos = placement.toText();
    values.modelWindowSize = modelViewSize.toText();
    if (settings.saveOnExit) {
        values.config = settings.toText();
        if (partSearch) values.partSearch = partSearch->toText();
    }
    return values;
}

} // namespace nettor
