#pragma once
// The textured pattern window: a top-level window of its own ("TextureWindow")
// with the textured pattern view, a BMP save and a settings dialog. There is
// at most one; while it exists textureWindowOpen is set.
#include <QMainWindow>
#include <QPointer>

class Document;
class TextureView;

class TextureWindow : public QMainWindow {
    Q_OBJECT
public:
    ~TextureWindow() override;

    // Opens the window, or raises the one that is open. The document's
    // request to close it (a new model, an undo reload) destroys it.
    static TextureWindow* showWindow(Document* document);
    // The open window, or null.
    static TextureWindow* current();

    TextureView* view() const { return view_; }

    // Writes the picture at the view's size as a bitmap file through
    // QSaveFile; "File open ERROR" when it cannot be written.
    bool saveBmpTo(const QString& path);

public slots:
    void saveAsBmp();
    void editSettings();

private:
    explicit TextureWindow(Document* document);
    TextureView* view_ = nullptr;
    QPointer<Document> document_;
};
