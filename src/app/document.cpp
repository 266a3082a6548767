#include "app/document.h"

#include "state/app_state.h"
#include "formats/open_command.h"

#include <QMessageBox>
#include <QMetaObject>
#include <QThread>

CUnfurler00Doc::CUnfurler00Doc(QObject* parent) : QObject(parent)
{
    previousListener_ = nettor::appState().listener;
    nettor::appState().listener = this;
}

CUnfurler00Doc::~CUnfurler00Doc()
{
    if (nettor::appState().listener == this) nettor::appState().listener = previousListener_;
}

bool CUnfurler00Doc::openPath(const QString& path)
{
    return nettor::openModelPath(path.toStdString());
}

void CUnfurler00Doc::hint(int number)
{
    emit updateHint(number);
}

void CUnfurler00Doc::message(const std::string& text)
{
    const QString qtext = QString::fromStdString(text);
    if (sink_) {
        sink_(qtext);
        return;
    }
    QMessageBox::information(dialogParent_, QStringLiteral("Nettor"), qtext);
}

void CUnfurler00Doc::invalidateModelView()
{
    emit modelViewInvalidated();
}

void CUnfurler00Doc::repaintPatternView()
{
    // May come from the worker thread: queue it to the user-interface thread.
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this] { emit patternViewRepaintRequested(); },
                                  Qt::QueuedConnection);
        return;
    }
    emit patternViewRepaintRequested();
}

void CUnfurler00Doc::closeTextureWindow()
{
    emit textureWindowCloseRequested();
    nettor::appState().textureWindowOpen = false;
}

void CUnfurler00Doc::setDocumentTitle(const std::string& title)
{
    title_ = QString::fromStdString(title);
    emit titleChanged(title_);
}
