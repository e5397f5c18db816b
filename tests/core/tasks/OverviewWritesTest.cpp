// Writes of the controllers overview against simulated controllers over Modbus TCP.
#include "core/tasks/OverviewPanels.h"

#include "SimBus.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Frame {
    uint8_t address;
    uint8_t function;
    uint16_t start;
    uint16_t value;
    bool operator==(const Frame&) const = default;
};

class CRecordingProgress : public IWriteProgress {
public:
    std::vector<std::string> calls;
    void Begin(int total) override { calls.push_back("begin " + std::to_string(total)); }
    void Position(int index) override { calls.push_back("at " + std::to_string(index)); }
    void End() override { calls.push_back("end"); }
};

struct OverviewWrites : ::testing::Test {
    sim::SimBus bus{sim::SimBusOptions{.timeScale = 0.0}};
    std::unique_ptr<CModbusMaster> master;
    std::unique_ptr<COverviewPanels> panels;

    // Controllers 1..4 polled once with these decimals in register 32.
    void SetUp() override {
        const int16_t decimals[4] = {1, 0, 2, 7}; // 7 counts as 3
        std::vector<CPanelRecord> records;
        for (uint8_t a = 1; a <= 4; ++a) {
            bus.AddController(a, TQ100).SetRegister(32, decimals[a - 1]);
            records.push_back({"Zone " + std::to_string(a), a, "ºC", "ºC", "ºC", "ºC", "%"});
        }
        master = std::make_unique<CModbusMaster>("127.0.0.1", bus.StartTcp(0));
        panels = std::make_unique<COverviewPanels>(records);
        for (uint8_t a = 1; a <= 4; ++a) {
            short registers[43] = {};
            unsigned char coils[11] = {};
            ASSERT_EQ(0, master->ReadRegisters(a, registers, 43, 16, 200));
            panels->OnData(a, registers, coils);
        }
        bus.ClearRequestLog();
    }

    std::vector<Frame> Frames() const {
        std::vector<Frame> frames;
        for (const sim::RequestRecord& r : bus.RequestLog())
            frames.push_back({r.address, r.function, r.start, r.quantity});
        return frames;
    }
};

} // namespace

TEST_F(OverviewWrites, ASetPointToAllIsRescaledPerControllerAndRefusalsAreNamed) {
    CRecordingProgress progress;
    const WriteOutcome outcome =
        panels->WriteRegister(*master, true, true, 1, 1, 1500, 200, &progress);

    // 150.0 from one decimal: 150 with none, 15000 with two, 32767 (limited) with three.
    // Each write is read back; the last two lie beyond the set-point limit and are answered
    // with an exception, which fails them.
    const std::vector<Frame> expected{{1, 6, 1, 1500}, {1, 3, 1, 1},     {2, 6, 1, 150},
                                      {2, 3, 1, 1},    {3, 6, 1, 15000}, {4, 6, 1, 32767}};
    EXPECT_EQ(expected, Frames());
    EXPECT_EQ((std::vector<int>{0, 1}), outcome.written);
    EXPECT_EQ((std::vector<int>{2, 3}), outcome.failed);
    EXPECT_EQ((std::vector<std::string>{"begin 4", "at 0", "at 1", "at 2", "at 3", "end"}),
              progress.calls);
    EXPECT_EQ(150, panels->Snapshot(1).registers[1]);
    EXPECT_EQ(150, panels->Snapshot(1).registers[4]); // the read-back shows as upper SP
    EXPECT_EQ(200, panels->Snapshot(2).registers[1]);
    EXPECT_EQ("X:\nZone 3, Zone 4",
              WriteFailureMessage("X", {panels->Record(2).name, panels->Record(3).name}));

    // A negative value rescales toward zero: -5.0 from one decimal is -5 with none.
    bus.ClearRequestLog();
    panels->WriteRegister(*master, true, true, 1, 2, -50, 200, nullptr);
    EXPECT_EQ((Frame{2, 6, 2, static_cast<uint16_t>(-5)}), Frames()[1]);

    // From the controller whose register 32 reads 7, shown with three decimals: 1.500 is
    // 15, 1, 150 and 1500 in the others' units.
    bus.ClearRequestLog();
    panels->WriteRegister(*master, true, true, 4, 2, 1500, 200, nullptr);
    const std::vector<Frame> fromThree{
        {1, 6, 2, 15}, {2, 6, 2, 1}, {3, 6, 2, 150}, {4, 6, 2, 1500}};
    EXPECT_EQ(fromThree, Frames());
}

TEST_F(OverviewWrites, AWriteToOneTouchesOnlyItAndAnExceptionAnswerFailsIt) {
    WriteOutcome outcome = panels->WriteRegister(*master, false, false, 2, 3, 500, 200, nullptr);
    EXPECT_EQ(std::vector<Frame>{(Frame{2, 6, 3, 500})}, Frames());
    EXPECT_EQ(std::vector<int>{1}, outcome.written);
    EXPECT_EQ(500, panels->Snapshot(1).registers[3]);

    bus.SetFault(2, sim::FaultKind::Exception);
    outcome = panels->WriteRegister(*master, false, false, 2, 3, 700, 200, nullptr);
    EXPECT_EQ(std::vector<int>{1}, outcome.failed);
    EXPECT_EQ(500, panels->Snapshot(1).registers[3]);
    outcome = panels->WriteCoil(*master, false, 2, 5, true, 200, nullptr);
    EXPECT_EQ(std::vector<int>{1}, outcome.failed);
    EXPECT_EQ(0, panels->Snapshot(1).coils[5]);

    bus.ClearAllFaults();
    bus.ClearRequestLog();
    outcome = panels->WriteCoil(*master, false, 2, 5, true, 200, nullptr);
    EXPECT_EQ(std::vector<Frame>{(Frame{2, 5, 5, 0xFF00})}, Frames());
    EXPECT_EQ(1, panels->Snapshot(1).coils[5]);
    EXPECT_TRUE(bus.At(2).Coil(5));
    EXPECT_FALSE(panels->WriteCoil(*master, false, 9, 5, true, 200, nullptr).attempted);
}

TEST_F(OverviewWrites, ACoilToAllReachesEveryControllerInListOrder) {
    bus.SetFault(3, sim::FaultKind::Exception);
    const WriteOutcome outcome = panels->WriteCoil(*master, true, 1, 4, true, 200, nullptr);
    const std::vector<Frame> expected{
        {1, 5, 4, 0xFF00}, {2, 5, 4, 0xFF00}, {3, 5, 4, 0xFF00}, {4, 5, 4, 0xFF00}};
    EXPECT_EQ(expected, Frames());
    EXPECT_EQ((std::vector<int>{0, 1, 3}), outcome.written);
    EXPECT_EQ(std::vector<int>{2}, outcome.failed);
    EXPECT_EQ(1, panels->Snapshot(3).coils[4]);
    EXPECT_EQ(0, panels->Snapshot(2).coils[4]);
}

TEST(OverviewMessages, TwelveFailuresBreakTheLineBeforeEveryFifthName) {
    std::vector<std::string> names;
    for (char c = 'A'; c < 'A' + 12; ++c)
        names.push_back(std::string(1, c));
    EXPECT_EQ("F:\nA, B, C, D, E,\nF, G, H, I, J,\nK, L", WriteFailureMessage("F", names));
    EXPECT_EQ("F", WriteFailureMessage("F", {}));
}
