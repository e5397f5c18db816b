#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <thread>

// Writes lines to a file descriptor from its own thread, so whoever posts them never waits
// on the reader: a pipe nobody reads, a terminal on hold. Lines that find the queue full are
// dropped and counted; when output moves again the count is said on standard error.
class CDroppingLineWriter {
public:
    static constexpr size_t kMaxQueued = 64;

    // The thread starts here and inherits the caller's signal mask.
    explicit CDroppingLineWriter(int fd);
    ~CDroppingLineWriter();

    CDroppingLineWriter(const CDroppingLineWriter&) = delete;
    CDroppingLineWriter& operator=(const CDroppingLineWriter&) = delete;

    // Queues one line (without its line end); never blocks on the descriptor.
    void Post(std::string line);

    // Lets the queued lines go out while they move, giving up once nothing was written for
    // `stall`; says on err what was dropped or why the output failed. False when a write
    // failed (the reader went away, a full disk); dropping for a slow reader is no failure.
    bool Finish(std::ostream& err, std::chrono::milliseconds stall);

private:
    struct State;
    static void Run(std::shared_ptr<State> state);

    std::shared_ptr<State> state;
    std::thread thread;
    bool finished = false;
};
