// Answers a real controller cannot be made to give: short frames on every read, an echo the
// model refuses, a port that closes.
#include "core/tasks/BusTask.h"
#include "core/tasks/CommSettings.h"
#include "core/tasks/ParameterTransfer.h"
#include "support/AnswerFunctionPort.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

using Log = std::shared_ptr<std::vector<CAnswerFunctionPort::Exchange>>;

std::vector<uint8_t> RegisterAnswer(const std::vector<uint8_t>& request, int16_t value) {
    return WithCrc({request[0], 3, 2, static_cast<uint8_t>(static_cast<uint16_t>(value) >> 8),
                    static_cast<uint8_t>(value & 0xFF)});
}

std::vector<uint8_t> EchoOf(const std::vector<uint8_t>& request, uint16_t value) {
    return WithCrc({request[0], 6, request[2], request[3], static_cast<uint8_t>(value >> 8),
                    static_cast<uint8_t>(value & 0xFF)});
}

struct Fixture : ::testing::Test {
    CommSettings settings;
    CShortTimeoutModel model{200};
    CRecordingSink sink{&model};
    Log log = std::make_shared<std::vector<CAnswerFunctionPort::Exchange>>();

    Fixture() {
        settings.port = "COM1:";
        settings.address = 9;
    }

    void Run(int mode, CAnswerFunctionPort::Script script) {
        CBusTask task(mode, settings, model, sink);
        task.SetMasterFactory(ScriptedMasterFactory(std::move(script), log));
        ASSERT_TRUE(task.Start());
        ASSERT_TRUE(task.WaitFinished(10s));
        task.Join();
        succeeded = task.Succeeded();
    }

    std::vector<std::vector<uint8_t>> Writes() const {
        std::vector<std::vector<uint8_t>> writes;
        for (const auto& e : *log)
            if (e.request[1] == 6)
                writes.push_back(e.request);
        return writes;
    }

    bool succeeded = false;
};

using ShortFrames = Fixture;
using WriteAnswers = Fixture;

} // namespace

TEST_F(ShortFrames, ReadIsRetriedWithGrowingTimeoutsThenEndsWith52) {
    model.SetValue(1, 321);
    Run(kModeReadAll, [](const std::vector<uint8_t>& request) -> std::vector<uint8_t> {
        if (RequestRegister(request) == 56)
            return RegisterAnswer(request, 1);
        return {request[0], 3}; // two bytes: a short frame
    });
    EXPECT_EQ(sink.familyCommands, std::vector<int>{kCmdFamilyTQ102_TQ402});
    ASSERT_FALSE(log->empty());
    EXPECT_EQ(log->front().waitMs, 500); // family detection uses the starting time-out
    // Each read makes five attempts of its own; the first attempt carries the procedure's wait.
    std::vector<int> firstWaits;
    int reads = 0;
    for (const auto& e : *log) {
        if (RequestRegister(e.request) == 56)
            continue;
        if (reads++ % 5 == 0)
            firstWaits.push_back(e.waitMs);
    }
    EXPECT_EQ(firstWaits, (std::vector<int>{500, 1500, 2500, 3500, 4500, 5500}));
    EXPECT_EQ(reads, 30);
    EXPECT_EQ(sink.LastStatus().id, 52);
    EXPECT_FALSE(succeeded);
    EXPECT_EQ(model.GetValue(1), 321); // a failed read leaves the image alone
}

TEST_F(ShortFrames, TimeoutStartsFromTheModelsBaseTimeout) {
    CShortTimeoutModel quick(20);
    CRecordingSink quickSink(&quick);
    CBusTask task(kModeReadAll, settings, quick, quickSink);
    task.SetMasterFactory(ScriptedMasterFactory(
        [](const std::vector<uint8_t>& request) { return RegisterAnswer(request, 0); }, log));
    ASSERT_TRUE(task.Start());
    ASSERT_TRUE(task.WaitFinished(10s));
    ASSERT_FALSE(log->empty());
    EXPECT_EQ(log->front().waitMs, 2 * 20 + 100);
}

TEST_F(ShortFrames, WriteRetriesTheSameRegisterWithALongerWait) {
    model.SetValue(41, 12); // version 1.2: the ramp registers are available
    int shortAnswers = 5;   // one whole failed write (five attempts)
    Run(10, [&](const std::vector<uint8_t>& request) -> std::vector<uint8_t> {
        if (shortAnswers-- > 0)
            return {request[0]};
        return EchoOf(request, RequestValue(request));
    });
    const auto writes = Writes();
    ASSERT_EQ(writes.size(), 7u); // five short, then 29 again, then 40
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(RequestRegister(writes[i]), 29);
    EXPECT_EQ(RequestRegister(writes[6]), 40);
    EXPECT_EQ((*log)[0].waitMs, 500);
    EXPECT_EQ((*log)[5].waitMs, 1500);
    EXPECT_EQ(sink.LastStatus().id, 61);
    EXPECT_TRUE(succeeded);
}

TEST_F(WriteAnswers, EchoOutsideTheRangeAsksWith63AndAbortEndsWith56) {
    model.SetValue(5, 111);
    model.SetValue(6, 222);
    sink.answers = {BoxAnswer::Abort};
    Run(6, [](const std::vector<uint8_t>& request) {
        if (RequestRegister(request) == 6)
            return EchoOf(request, 12000); // above 9999
        return EchoOf(request, RequestValue(request));
    });
    ASSERT_EQ(sink.questions.size(), 1u);
    EXPECT_EQ(sink.questions[0], "<63> ( <37> = 12000 )");
    EXPECT_EQ(sink.LastStatus().id, 56);
    EXPECT_FALSE(succeeded);
    EXPECT_EQ(model.GetValue(5), 111);
    EXPECT_EQ(model.GetValue(6), 222);
    const auto writes = Writes();
    ASSERT_EQ(writes.size(), 2u); // nothing after the abort
}

TEST_F(WriteAnswers, EchoDifferentFromTheValueSentIsStored) {
    model.SetValue(16, 5);
    Run(7, [](const std::vector<uint8_t>& request) {
        if (RequestRegister(request) == 16)
            return EchoOf(request, 7);
        return EchoOf(request, RequestValue(request));
    });
    EXPECT_TRUE(succeeded);
    EXPECT_EQ(model.GetValue(16), 7);
    EXPECT_EQ(sink.LastStatus().id, 61);
}

TEST_F(WriteAnswers, ExceptionAsksWith62RetryRepeatsIgnoreMovesOn) {
    sink.answers = {BoxAnswer::Retry, BoxAnswer::Ignore};
    model.SetValue(26, 3);
    Run(8, [](const std::vector<uint8_t>& request) -> std::vector<uint8_t> {
        if (RequestRegister(request) == 26)
            return WithCrc({request[0], 0x86, 2});
        return EchoOf(request, RequestValue(request));
    });
    ASSERT_EQ(sink.questions.size(), 2u);
    EXPECT_EQ(sink.questions[0], "<62> <83>");
    const auto writes = Writes();
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(RequestRegister(writes[0]), 26);
    EXPECT_EQ(RequestRegister(writes[1]), 26);
    EXPECT_EQ(RequestRegister(writes[2]), 24);
    EXPECT_EQ(RequestRegister(writes[3]), 39);
    EXPECT_TRUE(succeeded); // ignored registers do not make the box write fail
    EXPECT_EQ(sink.LastStatus().id, 61);
    EXPECT_EQ(model.GetValue(26), 3);
}

TEST_F(WriteAnswers, ProgressFollowsThePositionInTheList) {
    Run(7,
        [](const std::vector<uint8_t>& request) { return EchoOf(request, RequestValue(request)); });
    EXPECT_EQ(sink.progress, (std::vector<int>{0, 20, 40, 60, 80, 100}));
    std::vector<int> expected{129, 55, 55, 55, 55, 55, 61};
    EXPECT_EQ(sink.StatusIds(), expected);
    EXPECT_EQ(sink.statuses[1].word, PackBusWord(9, 3, 0, 0, 0));
}

TEST_F(WriteAnswers, APortThatIsNotOpenIsReportedAs53BeforeAnyRequest) {
    CBusTask task(kModeReadAll, settings, model, sink);
    task.SetMasterFactory([this](const CommSettings&) {
        auto port = std::make_unique<CAnswerFunctionPort>(
            [](const std::vector<uint8_t>& r) { return RegisterAnswer(r, 0); }, log);
        port->Close();
        return std::make_unique<CModbusMaster>(std::move(port), 0);
    });
    ASSERT_TRUE(task.Start());
    ASSERT_TRUE(task.WaitFinished(5s));
    EXPECT_TRUE(log->empty());
    EXPECT_EQ(sink.StatusIds(), (std::vector<int>{129, 53}));
}

TEST_F(WriteAnswers, CancelBeforeTheNextRegisterStopsTheWrite) {
    CBusTask* running = nullptr;
    CBusTask task(5, settings, model, sink);
    running = &task;
    task.SetMasterFactory(ScriptedMasterFactory(
        [&](const std::vector<uint8_t>& request) {
            if (RequestRegister(request) == 1)
                running->Cancel(); // the user presses Cancel while register 1 is written
            return EchoOf(request, RequestValue(request));
        },
        log));
    ASSERT_TRUE(task.Start());
    ASSERT_TRUE(task.WaitFinished(5s));
    task.Join();
    const auto writes = Writes();
    ASSERT_EQ(writes.size(), 3u); // 30, 31, 1
    EXPECT_FALSE(task.Succeeded());
    EXPECT_NE(sink.LastStatus().id, 61);
}

TEST_F(WriteAnswers, DestroyingARunningTaskStopsItsWorker) {
    std::atomic<int> probes{0};
    {
        CBusTask task(kModeScanAddress, settings, model, sink);
        task.SetMasterFactory(ScriptedMasterFactory(
            [&](const std::vector<uint8_t>&) {
                ++probes;
                std::this_thread::sleep_for(5ms); // a silent slave costs its wait
                return std::vector<uint8_t>{};
            },
            log));
        ASSERT_TRUE(task.Start());
        EXPECT_FALSE(task.Start()); // one worker per task
        while (probes < 2)
            std::this_thread::sleep_for(1ms);
        EXPECT_TRUE(task.IsRunning());
    }
    EXPECT_LT(probes.load(), 255);
    EXPECT_EQ(settings.address, 9);
}
