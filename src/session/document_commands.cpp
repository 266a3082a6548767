#include "session/document_commands.h"

#include "session/app_state.h"

namespace nettor {

void invertFacesCommand()
{
    AppState& state = appState();
    if (state.model) state.model->invertFaces();
    sendHint(20);
}

void undoLastEdgePickCommand()
{
    sendHint(15);
}

void patternViewCommand(Command command)
{
    if (!appState().status.finished) return;
    switch (command) {
    case Command::ZoomIn: sendHint(13); break;
    case Command::ZoomOut: sendHint(14); break;
    case Command::ScaleUp: sendHint(11); break;
    case Command::ScaleDown: sendHint(12); break;
    default: break;
    }
}

void displayTextureCommand()
{
    AppState& state = appState();
    state.showTexture = !state.showTexture;
    sendHint(20);
}

void settingsDialogClosed(bool accepted, const Settings& edited, const PartSearchSettings* partSearch)
{
    if (accepted) {
        if (partSearch) appState().partSearch = *partSearch;
        Settings& current = appState().settings;
        current = edited;
        current.flapsBothSides = edited.flapsBothSides ? 1 : 0;
    }
    sendHint(5);
    sendHint(20);
}

} // namespace nettor
