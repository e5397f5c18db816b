#pragma once

#include "core/model/TQControllerModel.h"
#include "core/platform/Event.h"
#include "core/tasks/BusTask.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>

class CModbusMaster;

// One poll of the live page: the 43 registers and the status coils (one byte each, cleared
// before every read). error is non-zero when the last read ended without data.
struct LivePollResult {
    static constexpr int kRegisterCount = 43;
    static constexpr int kStatusCount = 11;
    int error = 1;
    std::array<int16_t, kRegisterCount> registers{};
    std::array<uint8_t, kStatusCount> status{};
};

// What the live page's poll worker tells its page. Called on the worker thread; the page
// implements it by posting to the user-interface thread.
class ILivePollSink {
public:
    virtual ~ILivePollSink() = default;
    // A poll begins. Posted, never blocks.
    virtual void PollStarted() = 0;
    // A poll read the controller (or got exception answers only). Posted, never blocks.
    virtual void PollDone(const LivePollResult& result) = 0;
    // The Abort / Retry / Ignore box with string `stringId` and the error icon; blocks until
    // answered. Retry and Ignore both go on polling.
    virtual BoxAnswer AskPollError(int stringId) = 0;
    // The user chose Abort: the worker has stopped for good. Not called once a stop was
    // asked. Posted, never blocks.
    virtual void PollingAborted() = 0;
};

// Polls one controller off the user-interface thread: a poll every kPeriodMs counted from the
// end of the previous one, one at a time, its frames kept together under the master's lock.
class CLivePoll {
public:
    static constexpr int kPeriodMs = 250;
    static constexpr int kTries = 15; // reads repeated while the answer is an exception
    static constexpr int kChunk = 16;

    CLivePoll(CModbusMaster& master, uint8_t address, ModelFamily family, int waitMs,
              ILivePollSink& sink);
    // Stops and joins; the caller must not be the thread the sink blocks on (see Stop).
    ~CLivePoll();

    CLivePoll(const CLivePoll&) = delete;
    CLivePoll& operator=(const CLivePoll&) = delete;

    // Status coils of a family: 11 for TQ100, 10 for ZI102-VA402.
    static int CoilCount(ModelFamily family);

    // Hands the master the stop event until Join.
    void Start();
    // Asks the worker to end: the transaction under way is given up (the master's wait ends
    // on the stop event), nothing more is asked or reported.
    void Stop() { stopEvent.Set(); }
    bool StopRequested() const { return stopEvent.IsSet(); }
    // The worker has ended (stopped or aborted) or was never started.
    bool Finished() const { return finished.load(); }
    // Joins a finished worker. A user-interface thread waits for Finished while serving its
    // events first, since the worker may be waiting for a box.
    void Join();

    // One poll on the calling thread; false when the user chose Abort or a stop was asked.
    bool PollOnce();

private:
    void Run();
    // The box, unless the worker is stopping (then Abort without asking).
    BoxAnswer Ask(int stringId);

    CModbusMaster& master;
    uint8_t address;
    int coilCount;
    int waitMs;
    ILivePollSink& sink;
    LivePollResult buffers; // registers of a failed read stay from the last one, as read
    CManualResetEvent stopEvent;
    std::atomic<bool> finished{true};
    std::thread worker;
};
