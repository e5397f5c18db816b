// Read and write procedures against simulated controllers over Modbus TCP.
#include "core/tasks/BusTask.h"
#include "core/tasks/CommSettings.h"
#include "core/tasks/ParameterTransfer.h"
#include "support/RecordingSink.h"

#include "SimBus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

using namespace std::chrono_literals;

namespace {

sim::SimBusOptions Still() {
    sim::SimBusOptions options;
    options.timeScale = 0; // the process stays where it is, so register 0 does not move
    return options;
}

struct SimTransfer : ::testing::Test {
    sim::SimBus bus{Still()};
    CommSettings settings;
    CTQControllerModel model;
    CRecordingSink sink{&model};
    bool succeeded = false;

    SimTransfer() {
        settings.interface = kInterfaceTcp;
        settings.port = "COM1:"; // the interface menu always leaves a port behind
        settings.ip = "127.0.0.1";
        settings.ipPort = bus.StartTcp();
        settings.address = 7;
    }

    void Run(int mode) {
        CBusTask task(mode, settings, model, sink);
        ASSERT_TRUE(task.Start());
        ASSERT_TRUE(task.WaitFinished(30s));
        task.Join();
        succeeded = task.Succeeded();
    }

    // Quantities of the register reads, family probe first.
    std::vector<std::pair<uint16_t, uint16_t>> Reads() const {
        std::vector<std::pair<uint16_t, uint16_t>> reads;
        for (const sim::RequestRecord& r : bus.RequestLog())
            if (r.function == 3)
                reads.emplace_back(r.start, r.quantity);
        return reads;
    }

    std::vector<uint16_t> WrittenRegisters() const {
        std::vector<uint16_t> written;
        for (const sim::RequestRecord& r : bus.RequestLog())
            if (r.function == 6)
                written.push_back(r.start);
        return written;
    }

    using Reqs = std::vector<std::pair<uint16_t, uint16_t>>;
};

} // namespace

TEST_F(SimTransfer, ReadAllOfATQ100SwitchesFamilyAndReads54RegistersInFourRequests) {
    sim::Controller& controller = bus.AddController(7, TQ100);
    controller.SetRegister(1, 345);
    controller.SetRegister(46, 12);
    controller.SetRegister(53, 777);
    Run(kModeReadAll);
    EXPECT_TRUE(succeeded);
    EXPECT_EQ(sink.familyCommands, std::vector<int>{kCmdFamilyTQ100});
    EXPECT_EQ(model.GetFamily(), TQ100);
    EXPECT_EQ(Reads(), (Reqs{{56, 1}, {0, 16}, {16, 16}, {32, 16}, {48, 6}}));
    EXPECT_EQ(model.GetValue(1), 345);
    EXPECT_EQ(model.GetValue(46), 12);
    EXPECT_EQ(model.GetValue(53), 777);
    EXPECT_EQ(model.GetValue(41), controller.Register(41));
    const uint32_t word = PackBusWord(7, settings.baudIndex, settings.parityIndex, 0, 0);
    EXPECT_EQ(sink.statuses.front().id, 129);
    EXPECT_EQ(sink.statuses.front().word, word);
    EXPECT_EQ(sink.StatusIds(), (std::vector<int>{129, 54, 58}));
    EXPECT_EQ(sink.progress, (std::vector<int>{10, 40, 100}));
    EXPECT_EQ(sink.endedTitles, std::vector<int>{54});
}

TEST_F(SimTransfer, ReadAllOfAZI102ReadsOnly43RegistersInThreeRequests) {
    model.SetFamily(nullptr, TQ100);
    sim::Controller& controller = bus.AddController(7, TQ102_TQ402);
    controller.SetRegister(30, 555);
    Run(kModeReadAll);
    EXPECT_TRUE(succeeded);
    EXPECT_EQ(sink.familyCommands, std::vector<int>{kCmdFamilyTQ102_TQ402});
    EXPECT_EQ(model.GetFamily(), TQ102_TQ402);
    EXPECT_EQ(model.GetCount(), 43u);
    EXPECT_EQ(Reads(), (Reqs{{56, 1}, {0, 16}, {16, 16}, {32, 11}}));
    EXPECT_EQ(model.GetValue(30), 555);
}

TEST_F(SimTransfer, ExceptionAnswersMeanZI102AndARefusedReadEndsWith59) {
    bus.AddController(7, TQ100);
    bus.SetFault(7, sim::FaultKind::Exception, 1.0, 2);
    model.SetValue(1, 432);
    Run(kModeReadAll);
    EXPECT_FALSE(succeeded);
    EXPECT_EQ(sink.familyCommands, std::vector<int>{kCmdFamilyTQ102_TQ402});
    EXPECT_EQ(sink.LastStatus().id, 59);
    EXPECT_EQ(model.GetValue(1), 432);
}

TEST_F(SimTransfer, ASilentControllerEndsTheReadWith52) {
    CShortTimeoutModel quick(10);
    CRecordingSink quickSink(&quick);
    bus.AddController(7, TQ100);
    bus.SetFault(7, sim::FaultKind::Silent);
    CBusTask task(kModeReadAll, settings, quick, quickSink);
    ASSERT_TRUE(task.Start());
    ASSERT_TRUE(task.WaitFinished(30s));
    EXPECT_EQ(quickSink.StatusIds(), (std::vector<int>{129, 52}));
    EXPECT_TRUE(quickSink.familyCommands.empty());
}

TEST_F(SimTransfer, WriteAllOnATQ100NeverWritesTheRetransmissionPortLine) {
    sim::Controller& controller = bus.AddController(7, TQ100);
    model.SetFamily(nullptr, TQ100);
    ASSERT_TRUE(model.SetValue(41, 12)); // as after a read of a 1.2 controller
    ASSERT_TRUE(model.SetValue(1, 456));
    ASSERT_TRUE(model.SetValue(46, 9));
    ASSERT_TRUE(model.SetValue(52, -50));
    controller.SetRegister(46, 3);
    Run(kModeWriteAll);
    EXPECT_TRUE(succeeded) << "questions: " << sink.questions.size();
    EXPECT_EQ(sink.familyCommands, std::vector<int>{kCmdFamilyTQ100});
    const std::vector<uint16_t> written = WrittenRegisters();
    std::vector<uint16_t> expected;
    for (uint16_t i = 0; i < 54; ++i)
        if (model.IsAvailable(i) && (i < 46 || i > 49))
            expected.push_back(i);
    EXPECT_EQ(written, expected);
    for (uint16_t i = 46; i <= 49; ++i)
        EXPECT_EQ(std::count(written.begin(), written.end(), i), 0) << i;
    EXPECT_EQ(controller.Register(1), 456);
    EXPECT_EQ(controller.Register(52), -50);
    EXPECT_EQ(controller.Register(46), 3);
    EXPECT_EQ(sink.LastStatus().id, 61);
    EXPECT_EQ(sink.progress.back(), 100);
}

TEST_F(SimTransfer, WriteAllOnAZI102StopsAtItsOwn43Registers) {
    bus.AddController(7, TQ102_TQ402);
    model.SetFamily(nullptr, TQ100);
    Run(kModeWriteAll);
    EXPECT_TRUE(succeeded);
    EXPECT_EQ(model.GetFamily(), TQ102_TQ402);
    for (uint16_t r : WrittenRegisters())
        EXPECT_LT(r, 43);
}

TEST_F(SimTransfer, RetransmissionGroupWritesItsFourRegisters) {
    sim::Controller& controller = bus.AddController(7, TQ100);
    model.SetFamily(nullptr, TQ100);
    ASSERT_TRUE(model.SetValue(53, 999));
    Run(11);
    EXPECT_TRUE(succeeded);
    EXPECT_TRUE(sink.familyCommands.empty()); // box writes do not probe the family
    EXPECT_EQ(WrittenRegisters(), (std::vector<uint16_t>{50, 51, 52, 53}));
    EXPECT_EQ(controller.Register(53), 999);
}

TEST_F(SimTransfer, RampGroupBeforeAnyReadWritesNothingAndEndsWith61) {
    bus.AddController(7, TQ102_TQ402);
    Run(10);
    EXPECT_TRUE(succeeded);
    EXPECT_TRUE(WrittenRegisters().empty());
    EXPECT_EQ(sink.LastStatus().id, 61);
    EXPECT_EQ(sink.progress, (std::vector<int>{0, 50, 100}));
}

TEST_F(SimTransfer, RefusedWriteIgnoredLeavesTheModelValue) {
    bus.AddController(7, TQ102_TQ402);
    bus.SetFault(7, sim::FaultKind::Exception, 1.0, 3);
    sink.answers = {BoxAnswer::Ignore};
    ASSERT_TRUE(model.SetValue(28, 2));
    Run(9);
    EXPECT_EQ(sink.questions, std::vector<std::string>{"<62> <81>"});
    EXPECT_EQ(model.GetValue(28), 2);
    EXPECT_EQ(sink.LastStatus().id, 61);
}

namespace {

struct PageRecorder : IWriteOneSink {
    void ShowMessage(int stringId, Icon icon) override { messages.emplace_back(stringId, icon); }
    void ReloadPage() override { ++reloads; }
    std::vector<std::pair<int, Icon>> messages;
    int reloads = 0;
};

} // namespace

TEST_F(SimTransfer, WriteOneStoresTheEchoAndReloadsThePage) {
    sim::Controller& controller = bus.AddController(7, TQ102_TQ402);
    PageRecorder page;
    WriteOneParameter(model, settings, page, 5, 321);
    EXPECT_EQ(controller.Register(5), 321);
    EXPECT_EQ(model.GetValue(5), 321);
    EXPECT_EQ(page.reloads, 1);
    ASSERT_EQ(page.messages.size(), 1u);
    EXPECT_EQ(page.messages[0].first, 112);
    EXPECT_EQ(page.messages[0].second, IWriteOneSink::Icon::Information);
}

TEST_F(SimTransfer, WriteOneRefusedShows110AndKeepsTheModel) {
    bus.AddController(7, TQ102_TQ402);
    bus.SetFault(7, sim::FaultKind::Exception, 1.0, 3);
    PageRecorder page;
    const int16_t before = model.GetValue(5);
    WriteOneParameter(model, settings, page, 5, 321);
    EXPECT_EQ(model.GetValue(5), before);
    EXPECT_EQ(page.reloads, 0);
    ASSERT_EQ(page.messages.size(), 1u);
    EXPECT_EQ(page.messages[0].first, 110);
}

TEST_F(SimTransfer, WriteOneWithoutMasterOrOpenPortShowsTheErrorFirst) {
    PageRecorder page;
    CommSettings none = settings;
    none.interface = kInterfaceSerial; // a serial line without a port name: no master
    none.port = "";
    WriteOneParameter(model, none, page, 5, 1);
    CommSettings closed = settings;
    closed.interface = kInterfaceSerial;
    closed.port = "/nonexistent/ttyCalora";
    WriteOneParameter(model, closed, page, 5, 1);
    ASSERT_EQ(page.messages.size(), 2u);
    EXPECT_EQ(page.messages[0].first, 47);
    EXPECT_EQ(page.messages[1].first, 53);
    EXPECT_EQ(page.messages[1].second, IWriteOneSink::Icon::Error);
    EXPECT_EQ(page.reloads, 0);
    EXPECT_TRUE(bus.RequestLog().empty());
}
