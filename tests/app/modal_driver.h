#pragma once
// Lets a test answer a modal dialog the way a user would: the handler runs
// on the dialog once it is up, from a timer, while the command that opened
// it waits in exec().
#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Runs handle(dialog) for the next modal widget that is not `except`.
// Gives up after five seconds (the test then fails on what it expected).
inline void onNextModal(std::function<void(QWidget*)> handle, QWidget* except = nullptr)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    const QDeadlineTimer deadline(5000);
    QPointer<QWidget> skip(except);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, handle, deadline, skip, except] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool isNew = modal && (except == nullptr || modal != skip.data());
        if (isNew && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            handle(modal);
        } else if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}
