#include "app/document.h"

#include "app/model_opening.h"

#include "session/app_state.h"
#include "state/message_kind.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QMetaObject>
#include <QThread>

Document::Document(QObject* parent) : QObject(parent), opening_(new ModelOpening(this))
{
    previousListener_ = nettor::appState().listener;
    nettor::appState().listener = this;
}

Document::~Document()
{
    if (nettor::appState().listener == this) nettor::appState().listener = previousListener_;
}

bool Document::openPath(const QString& path)
{
    return opening_->open(path, messageParent());
}

void Document::changed(nettor::ViewChange change)
{
    emit updateHint(static_cast<int>(change));
}

void Document::message(const std::string& text)
{
    messageBox(text, {});
}

bool Document::offerFinishedSize(const std::string& text, double sizeMm)
{
    return messageBox(text, tr("Use %1 mm").arg(sizeMm, 0, 'f', 1));
}

bool Document::messageBox(const std::string& text, const QString& offer)
{
    const QString qtext = QString::fromStdString(text);
    if (sink_) {
        sink_(qtext);
        return false;
    }
    const nettor::MessageStyle style = nettor::messageStyle(text);
    QMessageBox box(style.kind == nettor::MessageKind::Information ? QMessageBox::Information : QMessageBox::Warning,
                    QString::fromLatin1(style.caption), qtext, offer.isEmpty() ? QMessageBox::Ok : QMessageBox::Cancel,
                    messageParent());
    box.setObjectName(QStringLiteral("messageBox"));
    QPushButton* taken = nullptr;
    if (!offer.isEmpty()) {
        taken = box.addButton(offer, QMessageBox::AcceptRole);
        taken->setObjectName(QStringLiteral("offer"));
        box.setDefaultButton(taken);
    }
    box.exec();
    return taken && box.clickedButton() == taken;
}

QWidget* Document::messageParent() const
{
    // Over the window the user is working in: a dialog, the textured
    // pattern window, or else the main window.
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (commandWindow_) return commandWindow_;
    if (QWidget* active = QApplication::activeWindow()) return active;
    return dialogParent_;
}

Document::MessagesOver::MessagesOver(Document* document, QWidget* window) : document_(document)
{
    if (!document_) return;
    previous_ = document_->commandWindow_;
    document_->commandWindow_ = window;
}

Document::MessagesOver::~MessagesOver()
{
    if (document_) document_->commandWindow_ = previous_;
}

void Document::invalidateModelView()
{
    emit modelViewInvalidated();
}

void Document::repaintPatternView()
{
    // May come from the worker thread: queue it to the user-interface thread.
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this] { emit patternViewRepaintRequested(); },
                                  Qt::QueuedConnection);
        return;
    }
    emit patternViewRepaintRequested();
}

void Document::closeTextureWindow()
{
    emit textureWindowCloseRequested();
    nettor::appState().textureWindowOpen = false;
}

void Document::statusMessage(const std::string& text)
{
    emit statusMessageShown(QString::fromStdString(text));
}

void Document::setDocumentTitle(const std::string& title)
{
    title_ = QString::fromStdString(title);
    emit titleChanged(title_);
}
