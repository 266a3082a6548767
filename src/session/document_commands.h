#pragma once
// The document's commands that change shared state and tell the views
// through hints: invert faces, undo the last edge pick, zoom and scale of the
// pattern, display texture and the end of the settings dialog.
#include "session/commands.h"

namespace nettor {

struct PartSearchSettings;
struct Settings;

// Reverses every face of the current model, if there is one; then hint 20.
void invertFacesCommand();
// Hint 15: the 3D view undoes the last Connect Edge pick.
void undoLastEdgePickCommand();
// ZoomIn 13, ZoomOut 14, ScaleUp 11, ScaleDown 12, each only while the
// unfolding is finished. Other commands send nothing.
void patternViewCommand(Command command);
// Toggles showTexture; then hint 20.
void displayTextureCommand();
// The settings dialog has been closed: with OK its values become the
// current settings, and so does its search for fewer parts when given.
// Either way hint 5 and then hint 20.
void settingsDialogClosed(bool accepted, const Settings& edited, const PartSearchSettings* partSearch = nullptr);

} // namespace nettor
