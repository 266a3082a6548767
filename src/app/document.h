#pragma once
// The document: the Qt face of the application's session. It listens to
// the session, turns each named change into a signal that every view
// receives, and shows the session's messages as message boxes: a warning
// for a failure, information for a notice.
#include "state/ui_listener.h"

#include <QObject>
#include <QString>

#include <functional>

class ModelOpening;
class QWidget;

class Document : public QObject, public nettor::UiListener {
    Q_OBJECT
public:
    explicit Document(QObject* parent = nullptr);
    ~Document() override;

    // The Open command after its dialog; true when a new model is current.
    // The file is read on a worker thread (see ModelOpening).
    bool openPath(const QString& path);
    ModelOpening* opening() const { return opening_; }

    // The base name of the current model's file, empty when there is none.
    QString title() const { return title_; }

    // Where message boxes are shown; tests replace it to record the texts.
    void setMessageSink(std::function<void(const QString&)> sink) { sink_ = std::move(sink); }
    void setDialogParent(QWidget* parent) { dialogParent_ = parent; }
    // The window a message box sits over: an open dialog, else the window
    // whose command is running (see MessagesOver), else the active window,
    // else the dialog parent.
    QWidget* messageParent() const;

    // While it lives, the messages of a command of another top-level window
    // (the textured pattern window) sit over that window.
    class MessagesOver {
    public:
        MessagesOver(Document* document, QWidget* window);
        ~MessagesOver();
        MessagesOver(const MessagesOver&) = delete;
        MessagesOver& operator=(const MessagesOver&) = delete;

    private:
        Document* document_;
        QWidget* previous_ = nullptr;
    };

    // nettor::UiListener
    void message(const std::string& text) override;
    bool offerFinishedSize(const std::string& text, double sizeMm) override;
    void invalidateModelView() override;
    void repaintPatternView() override;
    void closeTextureWindow() override;
    void setDocumentTitle(const std::string& title) override;
    void statusMessage(const std::string& text) override;

signals:
    // A change for all views, as the number of its nettor::ViewChange; each
    // view acts on the changes it knows.
    void updateHint(int number);
    void titleChanged(const QString& title);
    void modelViewInvalidated();
    void patternViewRepaintRequested();
    void textureWindowCloseRequested();
    void statusMessageShown(const QString& text);

protected:
    void changed(nettor::ViewChange change) override;

private:
    // The message in a box; with an offer, a button of that text beside
    // Cancel, and whether the user clicked it.
    bool messageBox(const std::string& text, const QString& offer);

    ModelOpening* opening_ = nullptr;
    QString title_;
    QWidget* dialogParent_ = nullptr;
    QWidget* commandWindow_ = nullptr;
    std::function<void(const QString&)> sink_;
    nettor::UiListener* previousListener_ = nullptr;
};
