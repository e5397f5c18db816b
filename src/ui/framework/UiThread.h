#pragma once

#include <functional>

class QObject;
class QWidget;

// Workers never touch a window: they hand work to the user-interface thread.

// Runs `fn` later on `context`'s thread; dropped if `context` is destroyed first. Safe from
// any thread.
void PostToUi(QObject* context, std::function<void()> fn);

// Runs `fn` on `context`'s thread and waits until it has run, for a worker that needs an
// answer (a question box). Called on that thread itself it runs at once. Returns false when
// `context` was destroyed before `fn` could run. The waited-on thread must keep serving
// events: never wait for such a worker with a plain join, use WaitServingEvents.
bool CallOnUiBlocking(QObject* context, const std::function<void()>& fn);

// Waits until `done()` is true while serving posted calls and timers (not user input), so a
// worker blocked in CallOnUiBlocking can finish. `done` is polled every few milliseconds.
void WaitServingEvents(const std::function<bool()>& done);

// WaitServingEvents for a worker that was asked to stop. Should that take more than
// kStoppingStateMs, `window` shows its stopping state until the end: the wait cursor, and
// its controls disabled, so clicks meanwhile are visibly not taken.
inline constexpr int kStoppingStateMs = 500;
void WaitForStop(QWidget* window, const std::function<bool()>& done);
