#include "ui/framework/UiThread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <utility>

void PostToUi(QObject* context, std::function<void()> fn) {
    if (!context || !fn)
        return;
    QMetaObject::invokeMethod(context, std::move(fn), Qt::QueuedConnection);
}

bool CallOnUiBlocking(QObject* context, const std::function<void()>& fn) {
    if (!context || !fn)
        return false;
    if (QThread::currentThread() == context->thread()) {
        fn();
        return true;
    }
    // If the context dies before serving the call, Qt releases the waiting thread without
    // running it; `ran` then stays false.
    bool ran = false;
    QMetaObject::invokeMethod(
        context,
        [&] {
            fn();
            ran = true;
        },
        Qt::BlockingQueuedConnection);
    return ran;
}

void WaitServingEvents(const std::function<bool()>& done) {
    if (done())
        return;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(5);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void WaitForStop(QWidget* window, const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    WaitServingEvents([&] { return done() || clock.elapsed() >= kStoppingStateMs; });
    if (done())
        return;
    QPointer<QWidget> shown = window;
    const bool wasEnabled = shown && shown->isEnabled();
    if (shown)
        shown->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    WaitServingEvents(done);
    QApplication::restoreOverrideCursor();
    if (shown && wasEnabled)
        shown->setEnabled(true);
}
