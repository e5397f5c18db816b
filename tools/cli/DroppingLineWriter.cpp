#include "DroppingLineWriter.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <ostream>
#include <poll.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

// Shared with the thread, which may outlive the writer when a write never returns.
struct CDroppingLineWriter::State {
    int fd;
    std::mutex lock;
    std::condition_variable wake;
    std::deque<std::string> queue;
    uint64_t dropped = 0;       // in all
    uint64_t droppedUnsaid = 0; // since output last moved
    int writeError = 0;         // errno of a failed write; nothing is written after it
    bool stopping = false;      // write what is queued, then end
    bool abandoned = false;     // end at once
    bool ended = false;
    Clock::time_point lastWritten = Clock::now();
};

namespace {

// All of text, or false with errno set.
bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (n < 0 && errno != EINTR && errno != EAGAIN)
            return false;
    }
    return true;
}

} // namespace

CDroppingLineWriter::CDroppingLineWriter(int fd) : state(std::make_shared<State>()) {
    state->fd = fd;
    thread = std::thread(Run, state);
}

CDroppingLineWriter::~CDroppingLineWriter() {
    if (!finished) {
        {
            std::lock_guard<std::mutex> guard(state->lock);
            state->abandoned = true;
        }
        state->wake.notify_all();
        thread.detach();
    }
}

void CDroppingLineWriter::Post(std::string line) {
    {
        std::lock_guard<std::mutex> guard(state->lock);
        if (state->writeError != 0 || state->abandoned || state->queue.size() >= kMaxQueued) {
            ++state->dropped;
            ++state->droppedUnsaid;
            return;
        }
        state->queue.push_back(std::move(line) + "\n");
    }
    state->wake.notify_all();
}

void CDroppingLineWriter::Run(std::shared_ptr<State> s) {
    std::unique_lock<std::mutex> lock(s->lock);
    for (;;) {
        s->wake.wait(lock, [&] { return !s->queue.empty() || s->stopping || s->abandoned; });
        if (s->abandoned || s->queue.empty())
            break;
        const std::string line = s->queue.front();
        lock.unlock();
        // Wait for room in slices, so a stop is seen while the reader sleeps. A line is far
        // below PIPE_BUF, so with room reported the write goes through without blocking.
        pollfd room{s->fd, POLLOUT, 0};
        const int ready = ::poll(&room, 1, 50);
        const int pollError = ready < 0 && errno != EINTR ? errno : 0;
        const bool written = ready > 0 && WriteAll(s->fd, line);
        const int error = ready > 0 && !written ? errno : pollError;
        lock.lock();
        if (error != 0) {
            s->writeError = error;
            break;
        }
        if (!written)
            continue;
        s->queue.pop_front();
        s->lastWritten = Clock::now();
        if (s->droppedUnsaid > 0) {
            const std::string note = "calora-cli: monitor: " + std::to_string(s->droppedUnsaid) +
                                     " output lines dropped while the output was blocked\n";
            s->droppedUnsaid = 0;
            WriteAll(STDERR_FILENO, note);
        }
    }
    // Whatever is still queued never went out.
    s->dropped += s->queue.size();
    s->queue.clear();
    s->ended = true;
    lock.unlock();
    s->wake.notify_all();
}

bool CDroppingLineWriter::Finish(std::ostream& err, std::chrono::milliseconds stall) {
    std::unique_lock<std::mutex> lock(state->lock);
    state->stopping = true;
    state->wake.notify_all();
    // A reader that keeps taking lines gets them all; one that has stopped costs `stall`.
    const auto start = Clock::now();
    while (!state->ended && Clock::now() - std::max(start, state->lastWritten) < stall)
        state->wake.wait_for(lock, std::chrono::milliseconds(20));
    if (!state->ended) {
        state->abandoned = true;
        state->wake.notify_all();
        // The thread sees that within one poll slice, unless a write itself is stuck.
        state->wake.wait_for(lock, std::chrono::milliseconds(500), [&] { return state->ended; });
    }
    const bool ended = state->ended;
    const uint64_t dropped = state->dropped + state->queue.size();
    const int error = state->writeError;
    lock.unlock();
    if (ended)
        thread.join();
    else
        thread.detach(); // stuck in a write the reader never takes; the process ends anyway
    finished = true;

    if (error != 0)
        err << "calora-cli: monitor: cannot write the output: " << std::strerror(error) << "\n";
    if (dropped > 0)
        err << "calora-cli: monitor: " << dropped << " output lines dropped in all" << std::endl;
    return error == 0;
}
