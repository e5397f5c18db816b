#include "StopSignal.h"

#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace sim {

StopSignal::StopSignal() {
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("cannot create a pipe");
}

StopSignal::~StopSignal() {
    close(fds[0]);
    close(fds[1]);
}

void StopSignal::Trigger() {
    {
        std::lock_guard<std::mutex> guard(lock);
        if (stopped.exchange(true))
            return;
    }
    wake.notify_all();
    const char byte = 1;
    [[maybe_unused]] ssize_t n = write(fds[1], &byte, 1);
}

bool StopSignal::SleepUntil(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock<std::mutex> guard(lock);
    return !wake.wait_until(guard, deadline, [this] { return stopped.load(); });
}

} // namespace sim
