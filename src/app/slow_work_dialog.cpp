#include "app/slow_work_dialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>

#include <atomic>
#include <chrono>
#include <thread>

namespace {
// Work that ends within this long shows no dialog.
constexpr auto kQuietWait = std::chrono::milliseconds(150);
} // namespace

void runSlowWorkBehindDialog(QWidget* parent, const nettor::Session::SlowWork& work)
{
    std::atomic<bool> cancel{false};
    std::atomic<bool> ended{false};
    QEventLoop loop;
    std::thread worker([&] {
        work(cancel);
        ended.store(true, std::memory_order_release);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    const auto until = std::chrono::steady_clock::now() + kQuietWait;
    while (!ended.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (!ended.load(std::memory_order_acquire)) {
        // The window the user was working in gets the keyboard back once the
        // dialog has gone (without a window manager nobody else gives it).
        const QPointer<QWidget> active = QApplication::activeWindow();
        QProgressDialog dialog(QObject::tr("Laying out the pages."), QObject::tr("Cancel"), 0, 0, parent);
        dialog.setWindowTitle(QObject::tr("In Progress"));
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setMinimumDuration(0);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&] {
            cancel.store(true);
            dialog.setLabelText(QObject::tr("Stopping."));
        });
        dialog.show();
        // The quit the worker sends once it has ended ends this loop, also
        // when it was sent before the loop ran.
        if (!ended.load(std::memory_order_acquire)) loop.exec();
        dialog.hide();
        if (active && active->isVisible()) {
            active->activateWindow();
            QApplication::setActiveWindow(active);
        }
    }
    worker.join();
}
