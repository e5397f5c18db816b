#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace sim {

// Ends every wait of a server at once: sleeps return early, and the descriptor turns
// readable so that poll() loops wake up.
class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    void Trigger();
    bool Triggered() const { return stopped.load(); }
    // Sleeps until the deadline; false when stopped first.
    bool SleepUntil(std::chrono::steady_clock::time_point deadline);
    // Readable once triggered; never read, so it stays readable.
    int Descriptor() const { return fds[0]; }

private:
    std::atomic<bool> stopped{false};
    std::mutex lock;
    std::condition_variable wake;
    int fds[2] = {-1, -1};
};

} // namespace sim
