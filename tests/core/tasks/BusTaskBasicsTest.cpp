#include "core/tasks/BusTask.h"
#include "core/tasks/CommSettings.h"
#include "core/tasks/ParameterTransfer.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;

TEST(BusWord, PacksAddressBaudAndParityIntoTheirBits) {
    EXPECT_EQ(PackBusWord(7, 3, 2, 0, 0), 0x00230007u);
    EXPECT_EQ(PackBusWord(255, 0, 0, 0, 0), 0x000000FFu);
    const uint32_t word = PackBusWord(0xBEEF, 1, 2, 0, 0);
    EXPECT_EQ(BusWordAddress(word), 0xBEEF);
    EXPECT_EQ(BusWordBaudIndex(word), 1);
    EXPECT_EQ(BusWordParityIndex(word), 2);
    EXPECT_EQ(word >> 24, 0u);
}

TEST(BusWord, OutOfRangeIndicesDoNotSpillIntoOtherFields) {
    const uint32_t word = PackBusWord(1, 0x13, 0x11, 0, 0);
    EXPECT_EQ(BusWordAddress(word), 1);
    EXPECT_EQ(word >> 24, 0u);
}

TEST(FoundControllerLine, TcpShowsAddressIpAndPort) {
    CommSettings settings;
    settings.interface = kInterfaceTcp;
    settings.ip = "192.168.0.1";
    settings.ipPort = 405;
    EXPECT_EQ(DescribeFoundController(settings, PackBusWord(7, 3, 0, 0, 0)),
              "\r\nModbus7 192.168.0.1:405");
}

TEST(FoundControllerLine, SerialShowsTheLineOfTheWordNotOfTheSettings) {
    CommSettings settings;
    settings.interface = kInterfaceSerial;
    settings.port = "COM1:";
    settings.baudIndex = 3;
    settings.parityIndex = 0;
    EXPECT_EQ(DescribeFoundController(settings, PackBusWord(12, 2, 0, 0, 0)),
              "\r\nModbus12 COM1:9600N1 8Bits");
    EXPECT_EQ(DescribeFoundController(settings, PackBusWord(3, 0, 2, 0, 0)),
              "\r\nModbus3 COM1:2400O1 8Bits");
}

TEST(FoundControllerLine, WordZeroMeansNoLine) {
    CommSettings settings;
    EXPECT_EQ(DescribeFoundController(settings, 0), "");
}

TEST(BusTaskModes, TitleCancelledStringAndProgressRange) {
    auto check = [](int mode, int title, int cancelled, int top) {
        const BusTaskModeInfo info = GetBusTaskModeInfo(mode);
        EXPECT_EQ(info.titleId, title) << "mode " << mode;
        EXPECT_EQ(info.cancelledId, cancelled) << "mode " << mode;
        EXPECT_EQ(info.progressMax, top) << "mode " << mode;
    };
    check(1, 46, 50, 3060);
    check(2, 46, 50, 255);
    check(3, 54, 57, 100);
    for (int mode = 4; mode <= 11; ++mode)
        check(mode, 55, 56, 100);
}

TEST(ParameterGroups, EachBoxWritesItsRegistersInOrder) {
    EXPECT_EQ(ParameterGroup(5),
              (std::vector<uint32_t>{30, 31, 1, 2, 8, 36, 9, 10, 11, 12, 38, 33}));
    EXPECT_EQ(ParameterGroup(6), (std::vector<uint32_t>{5, 6, 22, 23, 34, 35, 25}));
    EXPECT_EQ(ParameterGroup(7), (std::vector<uint32_t>{16, 19, 20, 32, 37}));
    EXPECT_EQ(ParameterGroup(8), (std::vector<uint32_t>{26, 24, 39}));
    EXPECT_EQ(ParameterGroup(9), (std::vector<uint32_t>{28}));
    EXPECT_EQ(ParameterGroup(10), (std::vector<uint32_t>{29, 40}));
    EXPECT_EQ(ParameterGroup(11), (std::vector<uint32_t>{50, 51, 52, 53}));
    EXPECT_TRUE(ParameterGroup(3).empty());
    EXPECT_TRUE(ParameterGroup(12).empty());
}

// With no serial port configured there is no master: every mode ends at once with status 53.
class NoPortTest : public ::testing::TestWithParam<int> {};

TEST_P(NoPortTest, EndsAtOnceWithStatus53) {
    CommSettings settings;
    settings.address = 5;
    settings.port = "";
    CTQControllerModel model;
    CRecordingSink sink(&model);
    CBusTask task(GetParam(), settings, model, sink);
    ASSERT_TRUE(task.Start());
    ASSERT_TRUE(task.WaitFinished(5s));
    task.Join();
    EXPECT_FALSE(task.Succeeded());
    EXPECT_TRUE(task.StopRequested());
    const std::vector<int> ids = sink.StatusIds();
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(ids[0], 129);
    EXPECT_EQ(ids[1], 53);
    EXPECT_TRUE(sink.familyCommands.empty());
    EXPECT_EQ(settings.address, 5);
    // The worker stopped the running timer itself, so it also shows the ended state.
    EXPECT_EQ(sink.endedTitles, std::vector<int>{GetBusTaskModeInfo(GetParam()).titleId});
}

INSTANTIATE_TEST_SUITE_P(AllModes, NoPortTest, ::testing::Range(1, 12));

TEST(BusTask, ACancelledDialogKeepsItsWindowUntouchedAtTheEnd) {
    CommSettings settings;
    CTQControllerModel model;
    CRecordingSink sink(&model);
    sink.timerRunning = false; // the button handler stopped the timer already
    CBusTask task(kModeReadAll, settings, model, sink);
    ASSERT_TRUE(task.Start());
    ASSERT_TRUE(task.WaitFinished(5s));
    EXPECT_EQ(sink.timerStops, 1);
    EXPECT_TRUE(sink.endedTitles.empty());
}

TEST(BusTask, UnknownModeDoesNotStart) {
    CommSettings settings;
    CTQControllerModel model;
    CRecordingSink sink(&model);
    CBusTask zero(0, settings, model, sink);
    EXPECT_FALSE(zero.Start());
    EXPECT_TRUE(zero.StopRequested());
    EXPECT_FALSE(zero.IsRunning());
    EXPECT_TRUE(zero.WaitFinished(0ms));
    CBusTask twelve(12, settings, model, sink);
    EXPECT_FALSE(twelve.Start());
    EXPECT_TRUE(sink.statuses.empty());
}
