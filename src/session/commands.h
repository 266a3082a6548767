#pragma once
// The program's commands, numbered as the menu, the tool bar and the
// accelerators share them, and the rule that decides when each is enabled.
#include <cstdint>

namespace nettor {

class Session;

enum class Command : std::int32_t {
    Open = 32779,
    OpenTexture = 32794,
    SaveEmf = 32778,
    SaveEps = 32789,
    SaveCutEdges = 32790,
    ExportObj = 32798,
    SavePdf = 32799,
    Print = 57607,
    PrintPreview = 57609,
    PrintSetup = 57606,
    Exit = 57665,
    InvertFaces = 32788,
    UndoLastEdgePick = 57643,
    CopyPattern = 57634,
    ToggleToolbar = 59392,
    ToggleStatusBar = 59393,
    ZoomIn = 32774,
    ZoomOut = 32775,
    ScaleUp = 32776,
    ScaleDown = 32777,
    DisplayTexture = 32795,
    TextureWindow = 32791,
    Setting = 32773,
    Help = 32782,
    About = 57664,
    NextPane = 57680,
    PreviousPane = 57681,
    // The layout of the finished pattern.
    LayoutOneSheet = 32810,
    LayoutPages = 32811,
    PageSetup = 32812,
    RepackPages = 32813,
    UndoLayoutChange = 32814,
    RedoLayoutChange = 32815,
    // The project file of the whole work.
    SaveProject = 32816,
    SaveProjectAs = 32817,
    // The printed pattern's faces filled with their materials' images.
    PrintTextures = 32818,
};

struct CommandState {
    bool enabled = false;
    bool checked = false; // DisplayTexture, PrintTextures, and the layout's radio items
};

// Whether the command may run now, from the current model and the
// unfolding flags. The tool bar and status bar toggles are checked by the
// window itself and are reported as enabled and unchecked here.
CommandState commandState(Command command, const Session& session);

} // namespace nettor
