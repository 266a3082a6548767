#include "app/command_actions.h"

using nettor::Command;

const std::vector<CommandSpec>& commandSpecs()
{
    static const std::vector<CommandSpec> specs = [] {
        const auto keys = [](std::initializer_list<QKeySequence> k) { return QList<QKeySequence>(k); };
        return std::vector<CommandSpec>{
            {Command::Open, "actionOpen", "&Open...\tCtrl+O", "Open",
             keys({QKeySequence(Qt::CTRL | Qt::Key_O)}), "Open a model file or a cut-edge file"},
            {Command::OpenTexture, "actionOpenTexture", "Open &Texture image", "Open Texture",
             {}, "Load a bitmap as the texture of the model"},
            {Command::SaveEmf, "actionSaveEmf", "&Save unfolded pattern as EMF...", "Save EMF",
             keys({QKeySequence(Qt::CTRL | Qt::Key_S)}), "Save the unfolded pattern as an Enhanced Metafile"},
            {Command::SaveEps, "actionSaveEps", "Save unfolded pattern as &EPS...", "Save EPS",
             keys({QKeySequence(Qt::CTRL | Qt::Key_E)}), "Save the unfolded pattern as Encapsulated PostScript"},
            {Command::SaveCutEdges, "actionSaveCutEdges", "Save \"edges to cut\" &info", "Save edges to cut",
             {}, "Save the model's file name and the edges to cut"},
            {Command::ExportObj, "actionExportObj", "Export as OB&J with pattern texture coordinates...",
             "Export OBJ", {}, "Save the model as OBJ with the pattern positions as texture coordinates"},
            {Command::SavePdf, "actionSavePdf", "Save unfolded pattern as P&DF...", "Save PDF",
             {}, "Save the pages that Print would print as a PDF file"},
            {Command::Print, "actionPrint", "&Print...\tCtrl+P", "Print",
             keys({QKeySequence(Qt::CTRL | Qt::Key_P)}), "Print the unfolded pattern"},
            {Command::PrintPreview, "actionPrintPreview", "Print pre&view", "Print preview", {},
             "Show the printed pages"},
            {Command::PrintSetup, "actionPrintSetup", "P&rint Setup...", "Print Setup", {},
             "Choose the printer and its options"},
            {Command::Exit, "actionExit", "E&xit", "Exit", {}, "Quit Nettor"},
            {Command::InvertFaces, "actionInvertFaces", "&Invert faces", "Invert faces", {},
             "Turn every face of the model the other way round"},
            {Command::UndoLastEdgePick, "actionUndoLastEdgePick", "&Undo the last edge pick\tCtrl+Z",
             "Undo the last edge pick",
             keys({QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}),
             "Take back the last edge connected by hand"},
            {Command::CopyPattern, "actionCopyPattern", "&Copy the unfolded pattern to Clipboard\tCtrl+C",
             "Copy",
             keys({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}),
             "Copy the unfolded pattern to the clipboard"},
            {Command::ToggleToolbar, "actionToggleToolbar", "&Toolbar", "Toolbar", {},
             "Show or hide the tool bar", true},
            {Command::ToggleStatusBar, "actionToggleStatusBar", "&Status bar", "Status bar", {},
             "Show or hide the status bar", true},
            {Command::ZoomIn, "actionZoomIn", "Zoom &In", "Zoom In", {}, "Enlarge the view of the pattern"},
            {Command::ZoomOut, "actionZoomOut", "Zoom &Out", "Zoom Out", {}, "Reduce the view of the pattern"},
            {Command::ScaleUp, "actionScaleUp", "Scale &Up", "Scale Up", {},
             "Make the pattern larger on paper"},
            {Command::ScaleDown, "actionScaleDown", "Scale &Down", "Scale Down", {},
             "Make the pattern smaller on paper"},
            {Command::DisplayTexture, "actionDisplayTexture", "&Display Texture", "Display Texture", {},
             "Show the texture image on the model", true},
            {Command::TextureWindow, "actionTextureWindow", "Open the &textured unfolded pattern window",
             "Textured pattern", {}, "Show the pattern with the texture in its own window"},
            {Command::Setting, "actionSetting", "&Setting...", "Setting", {},
             "Change how the model and the pattern are shown and unfolded"},
            {Command::Help, "actionHelp", "&Help...", "Help", {}, "Open the user's manual"},
            {Command::About, "actionAbout", "&About Nettor...", "About",
             {}, "Show the program's name and version"},
            {Command::NextPane, "actionNextPane", "Next pane", "Next pane",
             keys({QKeySequence(Qt::Key_F6)}), "Move to the next pane"},
            {Command::PreviousPane, "actionPreviousPane", "Previous pane", "Previous pane",
             keys({QKeySequence(Qt::SHIFT | Qt::Key_F6)}), "Move to the previous pane"},
        };
    }();
    return specs;
}
