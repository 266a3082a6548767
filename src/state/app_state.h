#pragma once
// The process-wide state of Nettor: the current model and every value that
// the document, the views, the unfolding engine and the worker thread share.
// There is exactly one, reached through appState().
#include "model/mesh.h"
#include "state/part_search_settings.h"
#include "state/settings.h"
#include "state/ui_listener.h"
#include "state/unfold_status.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace nettor {

struct AppState {
    std::unique_ptr<Model> model;      // the current model; none at start
    UnfoldStatus status;
    Settings settings;
    PartSearchSettings partSearch;     // the search for fewer parts
    ViewSize modelViewSize;
    std::int32_t pickMode = -1;        // 0 Cut Edge, 1 First Face, 2 Connect Edge, -1 none yet
    std::int32_t rightDragMode = 0;    // 0 Rotation, 1 Zoom, 2 Move
    std::atomic<std::int32_t> overlapCheck{1};
    double displayedScale = 0.0;       // cm on paper per model unit, as shown
    double requestedScale = 0.0;       // the scale typed into the panel
    bool showTexture = false;
    bool textureWindowOpen = false;
    double textureLineTransparency = 0.5; // lines of the textured pattern window
    bool textureShowSilhouette = true;    // cut and border edges there
    UiListener* listener = nullptr;    // not owned

    // Replaces the current model; the previous one is destroyed afterwards.
    void replaceModel(std::unique_ptr<Model> next);
};

AppState& appState();

// Convenience: forward to the installed listener, if any.
void sendHint(int number);
void showMessage(const std::string& text);
void invalidateModelView();
void repaintPatternView();

} // namespace nettor
