#pragma once
// How a session tells the user interface what changed. Each change has a
// name and a method of its own; the views act on the changes they know, in
// the order the window connects them (3D view, information panel, 2D view,
// the unfolding runner, then the window's command states). The application's
// document shows messages as message boxes; nettor-cli prints them; tests
// record everything.
//
// The changes and the view-update hint each stands for:
//   2  unfoldingRequested  Start: the automatic unfolding runs now
//   3  countsChanged       a face placed (unless quiet), a model opened, the
//                          right-drag mode changed: the panel's counters
//   4  partClosed          First Face: the part grown so far was closed
//   5  settingsChanged     the settings dialog was closed: the 2D view repaints
//   10 unfoldingFinished   completion (unless quiet): scale shown, 2D view redrawn
//   11 scaleUpRequested    Scale Up: the 2D view rescales the pattern
//   12 scaleDownRequested  Scale Down
//   13 zoomInRequested     Zoom In: the 2D view zooms
//   14 zoomOutRequested    Zoom Out
//   15 edgePickUndone      Undo the last edge pick has taken back the step
//   16 modelReplaced       a model became current and was taken up
//   17 partGrew            a placement (unless quiet) or an undo: the 2D view
//                          draws the growing part
//   18 partShrank          undo: the 2D view clears itself
//   19 scaleRequested      Refresh: the 2D view applies the typed scale
//   20 candidatesReevaluated  invert faces, texture, settings, overlap check:
//                          the current part's candidates were evaluated
//                          again; the 3D view redraws at once
//   21 layoutChanged       the layout of the finished pattern changed: its
//                          mode, its Page Setup, or a piece moved or turned
//   22 layoutSelectionChanged  another piece of the Pages layout is selected,
//                          or another cut is lit
#include <cstdint>
#include <string>

namespace nettor {

enum class ViewChange : std::int32_t {
    UnfoldingRequested = 2,
    CountsChanged = 3,
    PartClosed = 4,
    SettingsChanged = 5,
    UnfoldingFinished = 10,
    ScaleUpRequested = 11,
    ScaleDownRequested = 12,
    ZoomInRequested = 13,
    ZoomOutRequested = 14,
    EdgePickUndone = 15,
    ModelReplaced = 16,
    PartGrew = 17,
    PartShrank = 18,
    ScaleRequested = 19,
    CandidatesReevaluated = 20,
    LayoutChanged = 21,
    LayoutSelectionChanged = 22,
};

class UiListener {
public:
    virtual ~UiListener() = default;

    // ---- What changed; see the table above ----
    virtual void unfoldingRequested() { changed(ViewChange::UnfoldingRequested); }
    virtual void countsChanged() { changed(ViewChange::CountsChanged); }
    virtual void partClosed() { changed(ViewChange::PartClosed); }
    virtual void settingsChanged() { changed(ViewChange::SettingsChanged); }
    virtual void unfoldingFinished() { changed(ViewChange::UnfoldingFinished); }
    virtual void scaleUpRequested() { changed(ViewChange::ScaleUpRequested); }
    virtual void scaleDownRequested() { changed(ViewChange::ScaleDownRequested); }
    virtual void zoomInRequested() { changed(ViewChange::ZoomInRequested); }
    virtual void zoomOutRequested() { changed(ViewChange::ZoomOutRequested); }
    virtual void edgePickUndone() { changed(ViewChange::EdgePickUndone); }
    virtual void modelReplaced() { changed(ViewChange::ModelReplaced); }
    virtual void partGrew() { changed(ViewChange::PartGrew); }
    virtual void partShrank() { changed(ViewChange::PartShrank); }
    virtual void scaleRequested() { changed(ViewChange::ScaleRequested); }
    virtual void candidatesReevaluated() { changed(ViewChange::CandidatesReevaluated); }
    virtual void layoutChanged() { changed(ViewChange::LayoutChanged); }
    virtual void layoutSelectionChanged() { changed(ViewChange::LayoutSelectionChanged); }

    // A message box with this text; returns when the user has closed it.
    virtual void message(const std::string& text) = 0;
    // The same message, offering a finished size (mm) at which the request
    // can be met instead; true when the user takes it. A listener that
    // cannot ask only shows the message.
    virtual bool offerFinishedSize(const std::string& text, double /*sizeMm*/)
    {
        message(text);
        return false;
    }
    // The 3D model view should be redrawn.
    virtual void invalidateModelView() {}
    // The 2D pattern view should be repainted (also from the worker thread).
    virtual void repaintPatternView() {}
    // The textured pattern window, if open, should be destroyed.
    virtual void closeTextureWindow() {}
    // The document's title changed (the base name of the model file).
    virtual void setDocumentTitle(const std::string& /*title*/) {}
    // A warning for the status bar, where it shows for a while (an image a
    // model names could not be read).
    virtual void statusMessage(const std::string& /*text*/) {}

protected:
    // Every change of the table above, for listeners that treat them alike
    // (the window passes each on to all views in turn).
    virtual void changed(ViewChange /*change*/) {}
};

// Calls the listener's method for the change.
void notify(UiListener& listener, ViewChange change);

} // namespace nettor
