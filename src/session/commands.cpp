#include "session/commands.h"

#include "model/face_texture.h"
#include "session/session.h"

namespace nettor {

CommandState commandState(Command command, const Session& state)
{
    const Model* model = state.model.get();
    const bool finished = state.status.finished.load();
    CommandState result;
    switch (command) {
    case Command::SaveEmf:
    case Command::SaveEps:
    case Command::SavePdf:
    case Command::CopyPattern:
    case Command::Print:
    case Command::PrintPreview:
    case Command::PrintSetup:
    case Command::ZoomIn:
    case Command::ZoomOut:
        result.enabled = finished;
        break;
    case Command::ScaleUp:
    case Command::ScaleDown:
        // On the pages the size is the finished size of Page Setup, chosen
        // on purpose; a step there would lay every part out afresh.
        result.enabled = finished && !state.pagesShown();
        break;
    case Command::UndoLastEdgePick:
        result.enabled = state.status.undoAvailable.load();
        break;
    case Command::InvertFaces:
        result.enabled = model && state.status.invertAllowed.load();
        break;
    case Command::OpenTexture:
        result.enabled = model && model->hasTexCoords;
        break;
    case Command::DisplayTexture:
        result.enabled = model && hasTextureImages(*model);
        result.checked = state.showTexture;
        break;
    case Command::SaveCutEdges:
    case Command::SaveProject:
    case Command::SaveProjectAs:
        result.enabled = model != nullptr;
        break;
    case Command::ExportObj:
        result.enabled = finished && model;
        break;
    case Command::PrintTextures:
        // Only a model whose materials have images has anything to print.
        result.enabled = model && hasMaterialImages(*model);
        result.checked = state.settings.printTextures != 0;
        break;
    case Command::TextureWindow:
        result.enabled = finished && model && hasTextureImages(*model);
        break;
    case Command::LayoutOneSheet:
        result.enabled = true;
        result.checked = state.layoutMode == LayoutMode::OneSheet;
        break;
    case Command::LayoutPages:
        result.enabled = true;
        result.checked = state.layoutMode == LayoutMode::Pages;
        break;
    case Command::RepackPages:
        result.enabled = finished && state.pagesShown();
        break;
    case Command::UndoLayoutChange:
        result.enabled = state.layoutUndoAvailable();
        break;
    case Command::RedoLayoutChange:
        result.enabled = state.layoutRedoAvailable();
        break;
    case Command::PageSetup:
    case Command::Open:
    case Command::Exit:
    case Command::ToggleToolbar:
    case Command::ToggleStatusBar:
    case Command::Setting:
    case Command::Help:
    case Command::About:
    case Command::NextPane:
    case Command::PreviousPane:
        result.enabled = true;
        break;
    }
    return result;
}

} // namespace nettor
