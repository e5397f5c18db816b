#include "core/tasks/LivePoll.h"

#include "core/modbus/ModbusMaster.h"
#include "languages/StringIds.h"

#include <chrono>
#include <mutex>

namespace {
// Repeats a read while the controller answers with an exception, kTries times in all.
template <class Read> int ReadWithTries(Read read) {
    int result = read();
    for (int tries = 1; result == CModbusMaster::comException && tries < CLivePoll::kTries; ++tries)
        result = read();
    return result;
}
} // namespace

CLivePoll::CLivePoll(CModbusMaster& master, uint8_t address, ModelFamily family, int waitMs,
                     ILivePollSink& sink)
    : master(master), address(address), coilCount(CoilCount(family)), waitMs(waitMs), sink(sink) {}

CLivePoll::~CLivePoll() {
    Stop();
    Join();
}

int CLivePoll::CoilCount(ModelFamily family) {
    return family == TQ100 ? 11 : 10;
}

void CLivePoll::Start() {
    if (worker.joinable())
        return;
    stopEvent.Reset();
    // A stop ends the wait of the read in flight instead of sitting out its retries.
    master.SetStopEvent(&stopEvent);
    finished = false;
    worker = std::thread([this] { Run(); });
}

void CLivePoll::Join() {
    if (!worker.joinable())
        return;
    worker.join();
    master.SetStopEvent(nullptr);
}

void CLivePoll::Run() {
    bool aborted = false;
    // The first poll too waits one period, as a timer started on activation would.
    while (!stopEvent.WaitFor(std::chrono::milliseconds(kPeriodMs))) {
        if (!PollOnce()) {
            aborted = true;
            break;
        }
    }
    // Once a stop was asked the page is ending the session itself: no notice.
    const bool notify = aborted && !stopEvent.IsSet();
    finished = true;
    if (notify)
        sink.PollingAborted();
}

BoxAnswer CLivePoll::Ask(int stringId) {
    if (stopEvent.IsSet())
        return BoxAnswer::Abort;
    return sink.AskPollError(stringId);
}

bool CLivePoll::PollOnce() {
    sink.PollStarted();
    int result = 0;
    bool thrown = false;
    {
        // A poll's frames stay together; a write from the page waits for the lock.
        std::lock_guard<std::recursive_mutex> lock(master.Lock());
        // A family with fewer coils must not show a byte left from an earlier read.
        buffers.status.fill(0);
        try {
            result = ReadWithTries([&] {
                return master.ReadRegisters(address, buffers.registers.data(),
                                            LivePollResult::kRegisterCount, kChunk, waitMs);
            });
            if (result != CModbusMaster::comException) {
                result = ReadWithTries([&] {
                    return master.ReadCoils(address, buffers.status.data(),
                                            static_cast<uint16_t>(coilCount),
                                            static_cast<uint16_t>(coilCount), waitMs);
                });
            }
        } catch (CModbusMaster::tErrorCom) {
            thrown = true;
        }
    }
    // A read given up for a stop is no failure of the controller: nothing to show or ask.
    if (stopEvent.IsSet())
        return false;
    if (thrown)
        return Ask(IDS_MSG_POLL_COMM_ERROR) != BoxAnswer::Abort;
    if (result == CModbusMaster::comException && Ask(IDS_MSG_READ_EXCEPTION) == BoxAnswer::Abort)
        return false;
    buffers.error = result != 0 ? 1 : 0;
    sink.PollDone(buffers);
    return true;
}
