#include "app/document.h"

#include "session/app_state.h"

#include <QMessageBox>
#include <QMetaObject>
#include <QThread>

Document::Document(QObject* parent) : QObject(parent)
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
    return nettor::appState().openModel(path.toStdString());
}

void Document::changed(nettor::ViewChange change)
{
    emit updateHint(static_cast<int>(change));
}

void Document::message(const std::string& text)
{
    const QString qtext = QString::fromStdString(text);
    if (sink_) {
        sink_(qtext);
        return;
    }
    QMessageBox::information(dialogParent_, QStringLiteral("Nettor"), qtext);
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

void Document::setDocumentTitle(const std::string& title)
{
    title_ = QString::fromStdString(title);
    emit titleChanged(title_);
}
