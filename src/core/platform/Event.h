#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <sys/eventfd.h>
#include <unistd.h>

// A manual-reset event: once set it stays set until Reset. Waits end on the event or at a
// deadline, whichever comes first. A wait on a descriptor (a transport's poll) can end on the
// event too: WakeFd is readable while the event is set.
class CManualResetEvent {
public:
    CManualResetEvent() = default;
    ~CManualResetEvent() {
        if (wakeFd >= 0)
            ::close(wakeFd);
    }
    CManualResetEvent(const CManualResetEvent&) = delete;
    CManualResetEvent& operator=(const CManualResetEvent&) = delete;

    void Set() {
        {
            std::lock_guard<std::mutex> guard(mutex);
            if (!signalled && wakeFd >= 0) {
                const uint64_t one = 1;
                [[maybe_unused]] const ssize_t n = ::write(wakeFd, &one, sizeof one);
            }
            signalled = true;
        }
        cv.notify_all();
    }
    void Reset() {
        std::lock_guard<std::mutex> guard(mutex);
        if (signalled && wakeFd >= 0) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = ::read(wakeFd, &count, sizeof count);
        }
        signalled = false;
    }
    bool IsSet() const {
        std::lock_guard<std::mutex> guard(mutex);
        return signalled;
    }
    // A descriptor for poll(): readable while the event is set; -1 when none could be made.
    // Made on first use and owned by the event.
    int WakeFd() {
        std::lock_guard<std::mutex> guard(mutex);
        if (wakeFd < 0) {
            wakeFd = ::eventfd(signalled ? 1 : 0, EFD_CLOEXEC | EFD_NONBLOCK);
        }
        return wakeFd;
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
    int wakeFd = -1;
};
