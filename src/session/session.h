#pragma once
// One user's work on one model: the current model and its unfolding, the
// settings, the unfolding status and the record Start leaves, with one
// method for each thing the user can do. The window and nettor-cli call it;
// the views only observe it (through the listener) and draw. It holds no
// Qt; a process may hold as many sessions as it likes.
#include "unfold/manual_unfolding.h"
#include "formats/temp_cut_edge_file.h"
#include "formats/project_file.h"
#include "model/mesh.h"
#include "pattern/pages_layout.h"
#include "pattern/recorded_drawing.h"
#include "session/layout_history.h"
#include "session/model_reading.h"
#include "state/pages_settings.h"
#include "state/engine_state.h"
#include "state/settings.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace nettor {

class Canvas;
enum class Command : std::int32_t;
enum class OutputTarget;
enum class SavedOutput;

class Session : public EngineState {
public:
    std::unique_ptr<Model> model;      // the current model; none at start
    ViewSize modelViewSize;
    std::int32_t pickMode = -1;        // 0 Cut Edge, 1 First Face, 2 Connect Edge, -1 none yet
    std::int32_t rightDragMode = 0;    // 0 Rotation, 1 Zoom, 2 Move
    double requestedScale = 0.0;       // the scale typed into the panel
    bool showTexture = false;
    bool textureWindowOpen = false;
    double textureLineTransparency = 0.5; // lines of the textured pattern window
    bool textureShowSilhouette = true;    // cut and border edges there

    // ---- The layout of the finished pattern ----
    LayoutMode layoutMode = LayoutMode::OneSheet;
    PagesSettings pagesSettings;
    // The Pages layout of the current model's finished unfolding; it points
    // into the model, so it goes whenever the model does.
    std::optional<PagesLayout> pagesLayout;
    int selectedPiece = -1;          // of pagesLayout; -1 none
    const Edge* litEdge = nullptr;   // a cut hovered on the pages: lit on both sides
    // Counts the selections the pattern view should scroll to (a face
    // clicked in the 3D view): the view scrolls when it sees a new count.
    int selectionToReveal = 0;
    std::vector<char> misplaced;     // a flag for each piece of pagesLayout

    // ---- The project file (session_project.cpp) ----
    // The 3D view's camera: the window puts it here before a save and takes
    // it from here after an open.
    std::optional<ProjectCamera> camera;
    // The project the work was last saved to or opened from; empty for none.
    std::string projectPath;
    // Saves the whole work as a project; the user is told when it fails and
    // the old file stays. Clears the unsaved changes.
    bool saveProject(const std::string& path);
    // Makes the project's work current; when it cannot be read the user is
    // told what is wrong and the current work stays.
    bool openProject(const std::string& path);
    bool openProject(const std::string& path, ProjectContent project);
    // A recovery copy of the work (mode 0600); the changes stay unsaved.
    bool writeRecoveryCopy(const std::string& path, std::string& error) const;
    // The project as it would be saved, uncompressed.
    std::string projectJson() const;
    // Whether the user changed the work since it was opened or saved.
    bool unsavedChanges() const { return unsavedChanges_; }
    void markChanged() { unsavedChanges_ = true; }

    // Replaces the current model; the previous one is destroyed afterwards.
    void replaceModel(std::unique_ptr<Model> next);

    // ---- Models ----
    // Open: reads the file (a model, a cut-edge file or a project) and makes
    // the result current; false when nothing but the texture flags changed.
    bool openModel(const std::string& path);
    // The second half of openModel, for a file read elsewhere (readForOpen,
    // perhaps on another thread): what the reading told the user is shown
    // first, then the result is taken up as openModel does.
    bool openRead(ReadForOpen read);
    // The panel's Undo: only once the unfolding is finished, the model as it
    // was at Start becomes current again (see reloadBeforeUnfolding).
    bool undoToBeforeStart();
    // The model read back from the Start record becomes current, with no
    // face unfolded (modelReplaced, countsChanged, new document title). When it cannot be
    // read the user is told and the current model stays; returns false.
    bool reloadBeforeUnfolding();

    // ---- The Start record ----
    // The session's own record (see StartRecord), removed with the session.
    std::string startRecordPath() { return startRecord_.path(); }
    // Start: writes the current model's cut edges to the record. Only with a
    // model loaded and the unfolding not finished; returns whether the record
    // was written. Failures are not reported to the user.
    bool saveBeforeUnfolding();
    // Whether the last save succeeded for the model now current.
    bool startRecordSaved() const { return recordSaved_; }
    // Whether the panel's Undo can take the unfolding back: it is finished
    // and Start saved a record for the model now current.
    bool unfoldingUndoAvailable() const { return status.finished && recordSaved_; }
    // A different model became current: the record no longer belongs to it.
    void forgetStartRecord() { recordSaved_ = false; }
    // A fresh model read from the record, its saved cuts marked; null when
    // there is no record or it cannot be read (the user has been told why).
    std::unique_ptr<Model> readModelBeforeUnfolding() const;

    // ---- Texture ----
    // Loads the bitmap into the current model (see openTexturePath).
    // Whether it may be used is commandState's rule.
    // A file that is not a BMP (by its extension) may be a PNG, JPEG, TGA
    // or GIF image of any size (openTextureImage).
    bool openTexture(const std::string& path);
    bool openTextureImage(const std::string& path);

    // ---- Unfolding by hand ----
    // The pick mode buttons; First Face also closes the part grown so far
    // while the model is being unfolded (partClosed).
    void choosePickMode(std::int32_t mode);
    void chooseFirstFaceMode();
    // The model is loaded and its unfolding not finished.
    bool modelBeingUnfolded() const;
    void firstFacePick(Face* face);
    // A left click on the 3D view: the pick of the mode (as onModelClick),
    // an unsaved change when it is one.
    void modelClick(std::int32_t pickMode, int pressX, int pressY, int x, int y, const ModelPicker& picker);
    void connectEdgePick(Edge* edge);
    void cutEdgePick(Edge* edge);
    void closeCurrentPart();
    void reevaluateCurrentPart();
    void undoLastAttach();
    // Makes the current model's unfolding start again (the model has just
    // become current).
    void takeUpModel();

    // ---- Document commands ----
    // Reverses every face of the current model, if there is one; then the
    // candidates are evaluated again.
    void invertFaces();
    // Undo the last edge pick (Ctrl+Z): takes back the last Connect Edge
    // step, then edgePickUndone.
    void undoLastEdgePick();
    // ZoomIn, ZoomOut, ScaleUp and ScaleDown ask the 2D view to change, each
    // only while the unfolding is finished. Other commands send nothing.
    void patternViewCommand(Command command);
    // Display Texture: toggles showTexture; then the candidates are
    // evaluated again.
    void toggleTexture();
    // Print Textures: whether the printed pattern (print, preview, PDF, SVG)
    // fills each face with its part of its material's image.
    void togglePrintTextures();
    // The settings dialog has been closed: with OK its values become the
    // current settings, and so does its search for fewer parts when given.
    // Either way settingsChanged, then the candidates are evaluated again.
    void settingsDialogClosed(bool accepted, const Settings& edited, const PartSearchSettings* partSearch = nullptr);
    // The overlap check was switched on or off.
    void setOverlapCheck(bool on);
    // Start: saves the Start record and asks for the automatic unfolding,
    // while the model is being unfolded.
    void start();
    // Refresh: the typed scale for the 2D view, once the unfolding is finished.
    void requestScale(double scale);
    // The current part's candidates are evaluated again, then the views are
    // told (candidatesReevaluated).
    void reevaluate();

    // ---- The layout: Pages at real size (session_layout.cpp) ----
    // Each change is one step of the layout history and ends with
    // layoutChanged; a change that cannot be made tells the user why and
    // changes nothing (false).
    //
    // Laying out many parts takes a while. That work is handed to the slow
    // work runner: it only reads the session, which stays as it is until the
    // work has returned, and it stops early once cancel is set. The runner
    // may run it on another thread (the window does, behind a busy
    // indicator); by default it runs here, never cancelled. A change whose
    // work was cancelled changes nothing and tells nothing.
    using SlowWork = std::function<void(const std::atomic<bool>& cancel)>;
    using SlowWorkRunner = std::function<void(const SlowWork& work)>;
    void setSlowWorkRunner(SlowWorkRunner runner) { slowWork_ = std::move(runner); }
    // The unfolding has just finished: in the Pages layout it is laid out
    // now (when it cannot be, the user is told and the one sheet is shown).
    // The history starts afresh.
    void layOutFinishedPattern();
    // The settings changed (the flaps): a Pages layout is made again.
    void layOutAgainForSettings();
    bool setLayoutMode(LayoutMode mode);
    // New Page Setup: checked first; in the Pages layout the finished
    // pattern is laid out again. A face too large for the paper at the
    // size asked for (here and on the way to the Pages layout) comes with
    // the offer of the largest finished size that fits; taken, the pages are
    // laid out at that size in the same step.
    bool setPagesSettings(const PagesSettings& next);
    // A piece to a page (from 1; beyond the last page gives a new page) with
    // its pattern origin at offset (mm on that page).
    bool movePiece(int piece, int page, MmPoint offset);
    // Turns a piece about its middle by degrees (90: a quarter turn).
    bool turnPiece(int piece, double degrees);
    // Lays out again the pieces the user has not moved; all of them too
    // (the Shift key) with all.
    bool repackPages(bool all);
    // Cut Edge on the pages: the piece is split at the fold, the smaller
    // part going to the first place with room. Connect Edge: the pieces on
    // both sides of a cut the layout made are joined where the side's lies.
    // A cut of the model itself joins the two parts of the unfolding
    // across it (joinPartsAt).
    bool splitPieceAt(const HalfEdge* side);
    bool joinPiecesAt(const HalfEdge* side);
    // The glue flap of a cut (either of its sides given): moved to the
    // other side, hidden, or shown on this side.
    bool flipFlap(const HalfEdge* side);
    bool hideFlap(const HalfEdge* side);
    bool showFlap(const HalfEdge* side);
    bool undoLayoutChange();
    bool redoLayoutChange();
    bool layoutUndoAvailable() const { return layoutHistory_.canUndo(); }
    bool layoutRedoAvailable() const { return layoutHistory_.canRedo(); }
    // The Pages layout is shown: the mode is Pages and there is a layout.
    bool pagesShown() const { return layoutMode == LayoutMode::Pages && pagesLayout.has_value(); }
    // Selects a piece of the Pages layout (-1: none); layoutSelectionChanged.
    void selectPiece(int piece);
    // Lights a cut of the Pages layout (null: none); layoutSelectionChanged.
    void lightEdge(const Edge* edge);
    int misplacedCount() const;

    // ---- The finished pattern between the two views (session_part_join.cpp) ----
    // Connect Edge on a cut of the model between two parts of the finished
    // unfolding: the other part's faces are placed again beside the side's,
    // whose piece stays where it lies on the pages; the cut becomes a fold
    // and loses its number and flap. One step of the layout history. When
    // faces would overlap the user is told and nothing changes.
    bool joinPartsAt(const HalfEdge* side);
    // The pointer rests on a side in the finished 3D view (null: on none):
    // its edge is lit on the pages, and in the 3D view. Null puts out only
    // a light the 3D view gave.
    void pointAtModelSide(const HalfEdge* side);
    // A click on the finished 3D view, on the face and the side under it
    // (either may be null): in Connect Edge mode a click on a cut between
    // two parts joins them, in Cut Edge mode one on a fold splits its piece;
    // any other click on a face selects its piece, which the pattern view
    // scrolls to.
    void finishedModelClick(Face* face, HalfEdge* side);
    // The faces of the selected piece, lit in the 3D view; empty for none.
    std::vector<const Face*> selectedFaces() const;
    static constexpr const char* kJoinOverlapMessage =
        "These parts cannot be joined there: their faces would overlap.";
    // The longest side of the finished model in mm on paper, in the layout
    // shown; 0 without a finished pattern.
    double finishedSizeMm() const;

    // ---- Outputs of the current model; nothing without one ----
    void writeEps(std::ostream& out);
    void writeObjExport(std::ostream& out) const;
    void writeCutEdgeFile(std::ostream& out, const std::string& relativeModelPath) const;
    void drawPattern(Canvas& dc, double unitsPerCmX, double unitsPerCmY, OutputTarget target, double originX,
                     double originY, int pageCount = 1);
    // The pattern recorded for the screen to play back (on two threads
    // when the model is large); empty without a model.
    RecordedDrawing recordPattern(double unitsPerCmX, double unitsPerCmY, double originX, double originY,
                                  const DrawingRecorder::Measure& measure) const;

private:
    // The one way a model read from a file becomes current.
    // A model read from a project is already taken up: restore puts its
    // unfolding's status back instead.
    void makeCurrent(std::unique_ptr<Model> next, const std::function<void()>& restore = {});
    ProjectState projectState() const;
    bool unsavedChanges_ = false;
    // The reading's warnings for the user go to the status bar.
    void reportReadWarnings();

    // The layout as it is now, for the history.
    LayoutSnapshot layoutSnapshot() const;
    void restoreLayout(LayoutSnapshot snapshot);
    void runSlowWork(const SlowWork& work);
    // A Pages layout of the finished unfolding with these page settings,
    // worked out by the slow work runner; the session is left as it is.
    PagesResult layOutWith(const PagesSettings& pages);
    // The result's layout; false when it has none (with its message given,
    // unless the work was cancelled). With takenSizeMm, a face too large
    // for the paper comes with the offer of the largest size that fits,
    // and that size is put there when the user takes it.
    bool takeLayout(PagesResult& result, std::optional<PagesLayout>& into, double* takenSizeMm = nullptr);
    // setPagesSettings, with the offer of a size that fits or without.
    bool applyPagesSettings(const PagesSettings& next, bool offerSize);
    // After every change of the layout: the misplaced pieces, the
    // selection, and the views told.
    void layoutChangeDone();
    // layoutChangeDone after a change the user made: the work is unsaved.
    void layoutEditDone();
    bool validPiece(int piece) const;
    // One flap change as a step of the history.
    bool flapStep(const HalfEdge* side, bool (*change)(PagesLayout&, const HalfEdge&));

    bool recordSaved_ = false;
    mutable StartRecord startRecord_;
    LayoutHistory layoutHistory_;
    // Parts taken out of the model by a join, while an undo may put them back.
    std::vector<std::unique_ptr<UnfoldedPart>> retiredParts_;
    bool edgeLitFromModel_ = false; // the lit edge is the one pointed at in the 3D view
    SlowWorkRunner slowWork_;
};

} // namespace nettor
