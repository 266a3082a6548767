#pragma once
// How the core tells the user interface what to do. The application installs
// a listener that forwards hints to the views and shows message boxes; the
// command-line tool prints messages; tests record everything.
#include <string>

namespace nettor {

class UiListener {
public:
    virtual ~UiListener() = default;
    // A numbered view-update hint for all views of the document.
    virtual void hint(int number) = 0;
    // A message box with this text; returns when the user has closed it.
    virtual void message(const std::string& text) = 0;
    // The 3D model view should be redrawn.
    virtual void invalidateModelView() {}
    // The 2D pattern view should be repainted (also from the worker thread).
    virtual void repaintPatternView() {}
    // The textured pattern window, if open, should be destroyed.
    virtual void closeTextureWindow() {}
    // The document's title changed (the base name of the model file).
    virtual void setDocumentTitle(const std::string& /*title*/) {}
};

} // namespace nettor
