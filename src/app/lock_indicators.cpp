#include "app/lock_indicators.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>

namespace {

QLabel* indicatorPane(QStatusBar* bar, const QString& text, const QString& name)
{
    auto* pane = new QLabel(bar);
    pane->setObjectName(name);
    pane->setAlignment(Qt::AlignCenter);
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    // As wide as its text, whether it shows or not.
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(text) + 10);
    pane->setAccessibleName(text);
    bar->addPermanentWidget(pane);
    return pane;
}

} // namespace

LockIndicators::LockIndicators(QStatusBar* bar) : QObject(bar)
{
    caps_ = indicatorPane(bar, QStringLiteral("CAP"), QStringLiteral("capsIndicator"));
    num_ = indicatorPane(bar, QStringLiteral("NUM"), QStringLiteral("numIndicator"));
    scroll_ = indicatorPane(bar, QStringLiteral("SCRL"), QStringLiteral("scrollIndicator"));
    poll_ = new QTimer(this);
    poll_->setInterval(500);
    connect(poll_, &QTimer::timeout, this, &LockIndicators::refresh);
    poll_->start();
    qApp->installEventFilter(this);
    refresh();
}

void LockIndicators::show(const LockKeyState& state)
{
    caps_->setText(state.capsLock ? QStringLiteral("CAP") : QString());
    num_->setText(state.numLock ? QStringLiteral("NUM") : QString());
    scroll_->setText(state.scrollLock ? QStringLiteral("SCRL") : QString());
}

void LockIndicators::refresh()
{
    LockKeyState state;
    if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>())
        readX11LockState(x11->display(), &state);
    show(state);
}

bool LockIndicators::eventFilter(QObject* watched, QEvent* event)
{
    // Once per key, when the server has taken the lock's change.
    if (event->type() == QEvent::KeyRelease && watched->isWindowType())
        QTimer::singleShot(0, this, &LockIndicators::refresh);
    return QObject::eventFilter(watched, event);
}
