// The live page's poll worker against a simulated controller over Modbus TCP loopback.
#include "core/tasks/LivePoll.h"
#include "core/modbus/ModbusMaster.h"
#include "languages/StringIds.h"

#include "SimBus.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

class CRecordingPollSink : public ILivePollSink {
public:
    void PollStarted() override {
        std::lock_guard<std::mutex> guard(lock);
        ++started;
    }
    void PollDone(const LivePollResult& result) override {
        std::lock_guard<std::mutex> guard(lock);
        results.push_back(result);
    }
    BoxAnswer AskPollError(int stringId) override {
        std::lock_guard<std::mutex> guard(lock);
        asked.push_back(stringId);
        return answer;
    }
    void PollingAborted() override { aborted = true; }

    std::mutex lock;
    int started = 0;
    std::vector<LivePollResult> results;
    std::vector<int> asked;
    BoxAnswer answer = BoxAnswer::Ignore;
    std::atomic<bool> aborted{false};
};

struct LivePollSim : ::testing::Test {
    sim::SimBus bus{[] {
        sim::SimBusOptions o;
        o.timeScale = 0;
        return o;
    }()};
    CRecordingPollSink sink;
    std::unique_ptr<CModbusMaster> master;

    LivePollSim() {
        bus.AddController(3, TQ100);
        bus.AddController(4, TQ102_TQ402);
        master = std::make_unique<CModbusMaster>("127.0.0.1", bus.StartTcp());
    }
    // (function, start, quantity) of every request, oldest first.
    std::vector<std::array<int, 3>> Frames() {
        std::vector<std::array<int, 3>> frames;
        for (const sim::RequestRecord& r : bus.RequestLog())
            frames.push_back({r.function, r.start, r.quantity});
        return frames;
    }
};

} // namespace

TEST_F(LivePollSim, APollReadsTheImageThenTheFamilysCoils) {
    bus.At(3).SetCoil(8, true); // digital input
    bus.At(3).SetRegister(1, 1234);
    CLivePoll tq100(*master, 3, TQ100, 200, sink);
    ASSERT_TRUE(tq100.PollOnce());
    const std::vector<std::array<int, 3>> tq100Frames = {
        {3, 0, 16}, {3, 16, 16}, {3, 32, 11}, {1, 0, 11}};
    EXPECT_EQ(tq100Frames, Frames());
    ASSERT_EQ(1u, sink.results.size());
    EXPECT_EQ(0, sink.results[0].error);
    EXPECT_EQ(1234, sink.results[0].registers[1]);
    EXPECT_EQ(1, sink.results[0].status[8]);

    bus.ClearRequestLog();
    CLivePoll zi(*master, 4, TQ102_TQ402, 200, sink);
    ASSERT_TRUE(zi.PollOnce());
    EXPECT_EQ(10, Frames().back()[2]);
    EXPECT_TRUE(sink.asked.empty());
}

TEST_F(LivePollSim, FifteenExceptionsAskOnceAndLeaveNoStaleStatus) {
    bus.At(3).SetCoil(8, true);
    CLivePoll poll(*master, 3, TQ100, 200, sink);
    ASSERT_TRUE(poll.PollOnce());
    ASSERT_EQ(1, sink.results[0].status[8]);
    bus.SetFault(3, sim::FaultKind::Exception);
    bus.ClearRequestLog();
    ASSERT_TRUE(poll.PollOnce()); // answered Ignore
    EXPECT_EQ(15u, Frames().size());
    EXPECT_EQ(std::vector<int>{IDS_MSG_READ_EXCEPTION}, sink.asked);
    ASSERT_EQ(2u, sink.results.size());
    EXPECT_EQ(1, sink.results[1].error);
    EXPECT_EQ(0, sink.results[1].status[8]) << "status bytes are cleared before every read";

    sink.answer = BoxAnswer::Abort;
    EXPECT_FALSE(poll.PollOnce());
    EXPECT_EQ(2u, sink.results.size()) << "Abort hands over nothing";
}

TEST_F(LivePollSim, ALostConnectionAsksTheCommunicationBox) {
    bus.SetFault(3, sim::FaultKind::DropConnection);
    CLivePoll poll(*master, 3, TQ100, 200, sink);
    EXPECT_TRUE(poll.PollOnce());
    EXPECT_EQ(std::vector<int>{IDS_MSG_POLL_COMM_ERROR}, sink.asked);
    EXPECT_TRUE(sink.results.empty());
}

TEST_F(LivePollSim, TheWorkerPollsEveryPeriodUntilStoppedOrAborted) {
    CLivePoll poll(*master, 3, TQ100, 200, sink);
    const auto begin = std::chrono::steady_clock::now();
    poll.Start();
    while (sink.started < 3 && std::chrono::steady_clock::now() - begin < 5s)
        std::this_thread::sleep_for(5ms);
    poll.Stop();
    while (!poll.Finished())
        std::this_thread::sleep_for(5ms);
    poll.Join();
    EXPECT_GE(std::chrono::steady_clock::now() - begin, 3 * 250ms);
    EXPECT_FALSE(sink.aborted);
    const size_t requests = bus.RequestLog().size();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(requests, bus.RequestLog().size()) << "no poll after Stop";

    bus.SetFault(3, sim::FaultKind::Exception);
    sink.answer = BoxAnswer::Abort;
    CLivePoll aborting(*master, 3, TQ100, 200, sink);
    aborting.Start();
    while (!aborting.Finished())
        std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(sink.aborted);
    bus.ClearRequestLog();
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(bus.RequestLog().empty()) << "no poll after Abort";
}
