// Bus scans against simulated controllers: Modbus TCP for the address scan, a
// pseudo-terminal for the scan over the line settings.
#include "core/tasks/BusTask.h"
#include "core/tasks/CommSettings.h"
#include "support/RecordingSink.h"

#include "SimBus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

sim::SimBusOptions Options(bool wireTime = true) {
    sim::SimBusOptions options;
    options.timeScale = 0;
    options.wireTime = wireTime;
    return options;
}

// A model whose wait a test can change while a scan runs.
class CAdjustableModel : public CTQControllerModel {
public:
    explicit CAdjustableModel(int16_t wait) : wait(wait) {}
    int16_t GetBaseTimeout() const override { return wait.load(); }
    std::atomic<int16_t> wait;
};

// Counts probes and can raise the model's wait once a given line is reached.
class CScanSink : public CRecordingSink {
public:
    using CRecordingSink::CRecordingSink;
    void PostStatus(int stringId, uint32_t word) override {
        CRecordingSink::PostStatus(stringId, word);
        if (stringId == 46) {
            ++probes;
            if (slowModel && BusWordBaudIndex(word) == slowBaud &&
                BusWordParityIndex(word) == slowParity)
                slowModel->wait = 200;
        }
    }
    std::atomic<int> probes{0};
    CAdjustableModel* slowModel = nullptr;
    uint16_t slowBaud = 0;
    uint16_t slowParity = 0;
};

// Settings for the simulated bus on the loopback: TCP/IP, with the port name
// CreateMaster wants.
CommSettings TcpSettings(uint16_t port) {
    CommSettings settings;
    settings.interface = kInterfaceTcp;
    settings.port = "COM1:";
    settings.ip = "127.0.0.1";
    settings.ipPort = port;
    settings.address = 3;
    return settings;
}

std::vector<uint32_t> WordsOf(const CRecordingSink& sink, int id) {
    std::lock_guard<std::mutex> guard(sink.mutex);
    std::vector<uint32_t> words;
    for (const auto& s : sink.statuses)
        if (s.id == id)
            words.push_back(s.word);
    return words;
}

} // namespace

TEST(AddressScan, OverTcpFindsTheControllerAndReportsItsLine) {
    sim::SimBus bus(Options());
    bus.AddController(7, TQ100);
    CommSettings settings = TcpSettings(bus.StartTcp());
    settings.address = 1;
    CShortTimeoutModel model(50);
    CRecordingSink sink(&model);
    CBusTask task(kModeScanAddress, settings, model, sink);
    ASSERT_TRUE(task.Start());
    ASSERT_TRUE(task.WaitFinished(60s));
    task.Join();

    EXPECT_TRUE(task.Succeeded());
    EXPECT_EQ(settings.address, 7);
    const uint32_t word = PackBusWord(7, settings.baudIndex, settings.parityIndex, 0, 0);
    EXPECT_EQ(sink.LastStatus().id, 51);
    EXPECT_EQ(sink.LastStatus().word, word);
    EXPECT_EQ(WordsOf(sink, 46).size(), 7u);
    EXPECT_EQ(sink.statuses.front().id, 129);
    EXPECT_EQ(sink.statuses.front().word, 0u);
    EXPECT_EQ(sink.progress, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 255}));
    EXPECT_EQ(DescribeFoundController(settings, sink.LastStatus().word),
              "\r\nModbus7 127.0.0.1:" + std::to_string(settings.ipPort));
    EXPECT_TRUE(sink.familyCommands.empty());
}

TEST(AddressScan, AControllerAnsweringWithAnExceptionCountsAsFound) {
    sim::SimBus bus(Options());
    bus.AddController(2, TQ102_TQ402);
    bus.SetFault(2, sim::FaultKind::Exception, 1.0, 2);
    CommSettings settings = TcpSettings(bus.StartTcp());
    CShortTimeoutModel model(50);
    CRecordingSink sink(&model);
    CBusTask task(kModeScanAddress, settings, model, sink);
    ASSERT_TRUE(task.Start());
    ASSERT_TRUE(task.WaitFinished(60s));
    EXPECT_TRUE(task.Succeeded());
    EXPECT_EQ(settings.address, 2);
}

TEST(AddressScan, OverTcpGoesOnAfterTheServerDropsTheConnection) {
    sim::SimBus bus(Options());
    bus.AddController(1, TQ100);
    bus.SetFault(1, sim::FaultKind::DropConnection, 1.0);
    bus.AddController(2, TQ102_TQ402);
    CommSettings settings = TcpSettings(bus.StartTcp());
    CShortTimeoutModel model(50);
    CRecordingSink sink(&model);
    CBusTask task(kModeScanAddress, settings, model, sink);
    ASSERT_TRUE(task.Start());
    ASSERT_TRUE(task.WaitFinished(60s));
    EXPECT_TRUE(task.Succeeded());
    EXPECT_EQ(settings.address, 2);
}

TEST(AddressScan, CancelKeepsTheOldSettings) {
    sim::SimBus bus(Options());
    bus.AddController(200, TQ100); // far beyond where the scan gets before the cancel
    CommSettings settings = TcpSettings(bus.StartTcp());
    settings.address = 33;
    CShortTimeoutModel model(20);
    CScanSink sink(&model);
    CBusTask task(kModeScanAddress, settings, model, sink);
    ASSERT_TRUE(task.Start());
    for (int i = 0; i < 500 && sink.probes < 3; ++i)
        std::this_thread::sleep_for(10ms);
    {
        std::lock_guard<std::mutex> guard(sink.mutex);
        sink.timerRunning = false; // the button handler stops the timer before it cancels
    }
    task.Cancel();
    ASSERT_TRUE(task.WaitFinished(10s));
    task.Join();
    EXPECT_FALSE(task.Succeeded());
    EXPECT_EQ(settings.address, 33);
    const std::vector<int> ids = sink.StatusIds();
    EXPECT_EQ(std::count(ids.begin(), ids.end(), 51), 0);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), 52), 0);
    EXPECT_LT(sink.probes.load(), 200);
    EXPECT_TRUE(sink.endedTitles.empty());
}

// Over a serial line: a silent TCP slave costs a second per probe, a serial one only the wait.
TEST(AddressScan, NobodyOnTheBusEndsWith52AfterAddress255) {
    sim::SimBus bus(Options(false));
    CommSettings settings;
    settings.interface = kInterfaceSerial;
    settings.port = bus.StartPty();
    settings.address = 4;
    CShortTimeoutModel model(2);
    CRecordingSink sink(&model);
    CBusTask task(kModeScanAddress, settings, model, sink);
    ASSERT_TRUE(task.Start());
    ASSERT_TRUE(task.WaitFinished(120s));
    EXPECT_FALSE(task.Succeeded());
    EXPECT_EQ(sink.LastStatus().id, 52);
    const auto probes = WordsOf(sink, 46);
    ASSERT_EQ(probes.size(), 255u);
    EXPECT_EQ(BusWordAddress(probes.back()), 255);
    EXPECT_EQ(sink.progress.back(), 254);
    EXPECT_EQ(settings.address, 4);
}

TEST(LineScan, FindsAControllerAt2400OddOnTheTwelfthPass) {
    sim::SimBus bus(Options(false));
    bus.AddController(3, TQ100, 2400, sim::Parity::Odd);
    CommSettings settings;
    settings.interface = kInterfaceSerial;
    settings.port = bus.StartPty();
    settings.address = 9;
    settings.baudIndex = 3;
    settings.parityIndex = 0;
    // Silent lines cost little; the wait is raised once the right line is being probed.
    CAdjustableModel model(4);
    CScanSink sink(&model);
    sink.slowModel = &model;
    sink.slowBaud = 0;
    sink.slowParity = 2;
    CBusTask task(kModeScanLine, settings, model, sink);
    ASSERT_TRUE(task.Start());
    ASSERT_TRUE(task.WaitFinished(240s));
    task.Join();

    ASSERT_TRUE(task.Succeeded());
    EXPECT_EQ(settings.address, 3);
    EXPECT_EQ(settings.baudIndex, 0);
    EXPECT_EQ(settings.parityIndex, 2);
    EXPECT_EQ(sink.LastStatus().id, 51);
    EXPECT_EQ(sink.LastStatus().word, PackBusWord(3, 0, 2, 0, 0));
    // Eleven full passes, then addresses 1 to 3 of the twelfth.
    const auto probes = WordsOf(sink, 46);
    ASSERT_EQ(probes.size(), 11u * 255 + 3);
    const uint16_t bauds[] = {3, 2, 1, 0};
    for (int pass = 0; pass < 12; ++pass) {
        const uint32_t first = probes[pass * 255];
        EXPECT_EQ(BusWordAddress(first), 1) << pass;
        EXPECT_EQ(BusWordBaudIndex(first), bauds[pass % 4]) << pass;
        EXPECT_EQ(BusWordParityIndex(first), pass / 4) << pass;
    }
    EXPECT_EQ(sink.progress[sink.progress.size() - 2], 11 * 255 + 2);
    EXPECT_EQ(sink.progress.back(), 3060);
}

TEST(LineScan, AControllerAtAddress1With19200NoParityIsTheFirstProbe) {
    sim::SimBus bus(Options(false));
    bus.AddController(1, TQ102_TQ402);
    CommSettings settings;
    settings.interface = kInterfaceSerial;
    settings.port = bus.StartPty();
    settings.baudIndex = 1; // the scan starts from 19200 whatever was set
    settings.parityIndex = 2;
    CTQControllerModel model;
    CRecordingSink sink(&model);
    CBusTask task(kModeScanLine, settings, model, sink);
    ASSERT_TRUE(task.Start());
    ASSERT_TRUE(task.WaitFinished(30s));
    ASSERT_TRUE(task.Succeeded());
    EXPECT_EQ(WordsOf(sink, 46).size(), 1u);
    EXPECT_EQ(settings.address, 1);
    EXPECT_EQ(settings.baudIndex, 3);
    EXPECT_EQ(settings.parityIndex, 0);
    EXPECT_EQ(DescribeFoundController(settings, sink.LastStatus().word),
              "\r\nModbus1 " + settings.port + "19200N1 8Bits");
}

namespace {

// A loopback port nobody listens on: bound, then released.
uint16_t ClosedLoopbackPort() {
    sim::SimBus bus(Options());
    const uint16_t port = bus.StartTcp();
    bus.Stop();
    return port;
}

} // namespace

TEST(AddressScan, DeadTcpAddressEndsAtOnceWith53) {
    CommSettings settings = TcpSettings(ClosedLoopbackPort());
    CShortTimeoutModel model(50);
    CRecordingSink sink(&model);
    CBusTask task(kModeScanAddress, settings, model, sink);
    ASSERT_TRUE(task.Start());
    ASSERT_TRUE(task.WaitFinished(5s));
    task.Join();
    EXPECT_FALSE(task.Succeeded());
    EXPECT_EQ(sink.StatusIds(), (std::vector<int>{129, 53}));
    EXPECT_EQ(settings.address, 3);
}

TEST(AddressScan, CancelOverASilentTcpBusEndsWithinOneProbe) {
    sim::SimBus bus(Options());
    bus.AddController(200, TQ100);
    bus.SetFault(200, sim::FaultKind::Silent);
    CommSettings settings = TcpSettings(bus.StartTcp());
    CShortTimeoutModel model(50);
    CScanSink sink(&model);
    CBusTask task(kModeScanAddress, settings, model, sink);
    ASSERT_TRUE(task.Start());
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (sink.probes.load() < 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    ASSERT_GE(sink.probes.load(), 2);
    task.Cancel();
    // One probe costs the wait plus the 1 s answer window at most.
    EXPECT_TRUE(task.WaitFinished(3s));
    task.Join();
    EXPECT_FALSE(task.Succeeded());
    EXPECT_EQ(settings.address, 3);
}
