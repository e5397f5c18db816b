#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// A manual-reset event: once set it stays set until Reset. Waits end on the event or at a
// deadline, whichever comes first.
class CManualResetEvent {
public:
    void Set() {
        {
            std::lock_guard<std::mutex> guard(mutex);
            signalled = true;
        }
        cv.notify_all();
    }
    void Reset() {
        std::lock_guard<std::mutex> guard(mutex);
        signalled = false;
    }
    bool IsSet() const {
        std::lock_guard<std::mutex> guard(mutex);
        return signalled;
    }
    // True when the event is set, false when the time ran out first.
    bool WaitFor(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> guard(mutex);
        return cv.wait_for(guard, timeout, [this] { return signalled; });
    }
    bool WaitUntil(std::chrono::steady_clock::time_point deadline) {
        std::unique_lock<std::mutex> guard(mutex);
        return cv.wait_until(guard, deadline, [this] { return signalled; });
    }
    void Wait() {
        std::unique_lock<std::mutex> guard(mutex);
        cv.wait(guard, [this] { return signalled; });
    }

private:
    mutable std::mutex mutex;
    std::condition_variable cv;
    bool signalled = false;
};
