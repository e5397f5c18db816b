// The serial side over a pseudo-terminal: line settings, wire time, framing, reopening.
#include "SimTestSupport.h"

#include "SerialServer.h"
#include "core/modbus/ModbusMaster.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>

namespace {

using Master = CModbusMaster;

// Master parity codes: 0 none, 1 odd, 2 even.
constexpr uint8_t kNone = 0, kOdd = 1, kEven = 2;
constexpr int kSilence = 150;

// An answer ends the wait early, so the wait is generous; silence costs the whole wait.
bool Answers(Master& master, uint8_t address, int waitMs = 1000) {
    int16_t value = 0;
    try {
        return master.Request(address, 3, 0, 1, &value, false, waitMs) == 0;
    } catch (Master::tErrorCom) {
        return false;
    }
}

class SerialLine : public ::testing::Test {
protected:
    sim::SimBus bus{simtest::Frozen()};
    std::string path;
    void SetUp() override {
        bus.AddController(1, TQ100, 19200, sim::Parity::None);
        bus.AddController(2, TQ102_TQ402, 19200, sim::Parity::Odd);
        bus.AddController(3, TQ100, 9600, sim::Parity::None);
        bus.AddController(4, TQ102_TQ402, 19200, sim::Parity::Even);
        path = bus.StartPty();
    }
};

TEST_F(SerialLine, OddParityIsToldApartFromNone) {
    Master none(path, 19200, kNone, 0, 8);
    ASSERT_TRUE(none.IsOpen());
    EXPECT_TRUE(Answers(none, 1));
    EXPECT_FALSE(Answers(none, 2, kSilence));
    ASSERT_TRUE(none.SetLineParameters(19200, kOdd, 0, 8));
    EXPECT_TRUE(Answers(none, 2));
    EXPECT_FALSE(Answers(none, 1, kSilence));
}

TEST_F(SerialLine, RateMustMatch) {
    Master master(path, 9600, kNone, 0, 8);
    ASSERT_TRUE(master.IsOpen());
    EXPECT_TRUE(Answers(master, 3));
    EXPECT_FALSE(Answers(master, 1, kSilence));
    ASSERT_TRUE(master.SetLineParameters(19200, kNone, 0, 8));
    EXPECT_FALSE(Answers(master, 3, kSilence));
    EXPECT_TRUE(Answers(master, 1));
}

// The terminal does not show even parity: none and even reach the same controllers.
TEST_F(SerialLine, EvenAndNoneLookAlikeOnAPseudoTerminal) {
    Master master(path, 19200, kNone, 0, 8);
    ASSERT_TRUE(master.IsOpen());
    EXPECT_TRUE(Answers(master, 4));
    ASSERT_TRUE(master.SetLineParameters(19200, kOdd, 0, 8));
    EXPECT_FALSE(Answers(master, 4, kSilence));
    master.SetLineParameters(19200, kEven, 0, 8);
    EXPECT_TRUE(Answers(master, 4));
    EXPECT_TRUE(Answers(master, 1));
}

TEST_F(SerialLine, UnheardRequestsAreNotLogged) {
    Master master(path, 19200, kNone, 0, 8);
    ASSERT_TRUE(master.IsOpen());
    EXPECT_FALSE(Answers(master, 2, kSilence));
    EXPECT_EQ(bus.RequestCount(3), 0u);
}

TEST_F(SerialLine, MasterCanOpenTheTerminalAgainAndAgain) {
    for (int i = 0; i < 5; ++i) {
        Master master(path, 19200, kNone, 0, 8);
        ASSERT_TRUE(master.IsOpen()) << "open " << i;
        EXPECT_TRUE(Answers(master, 1));
    }
}

TEST_F(SerialLine, ReopeningAtTheSameParityWorks) {
    for (uint8_t parity : {kOdd, kOdd, kEven, kEven, kNone}) {
        Master master(path, 19200, parity, 0, 8);
        ASSERT_TRUE(master.IsOpen()) << "parity " << int(parity);
        EXPECT_TRUE(Answers(master, parity == kOdd ? 2 : 4));
    }
}

TEST_F(SerialLine, ChunkedReadsArriveAsTheirRequests) {
    Master master(path, 19200, kNone, 0, 8);
    ASSERT_TRUE(master.IsOpen());
    int16_t image[43] = {};
    ASSERT_EQ(master.ReadRegisters(1, image, 43, 16, 1000), 0);
    EXPECT_EQ(image[1], 200);
    EXPECT_EQ(image[41], 12);
    const auto log = bus.RequestLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].start, 0);
    EXPECT_EQ(log[0].quantity, 16);
    EXPECT_EQ(log[1].start, 16);
    EXPECT_EQ(log[1].quantity, 16);
    EXPECT_EQ(log[2].start, 32);
    EXPECT_EQ(log[2].quantity, 11);
    for (const auto& r : log)
        EXPECT_EQ(r.link, sim::Link::Serial);
}

TEST(SerialWire, CharacterTimeCountsTheParityBit) {
    EXPECT_DOUBLE_EQ(sim::CharacterTime({9600, sim::Parity::None}), 10.0 / 9600);
    EXPECT_DOUBLE_EQ(sim::CharacterTime({9600, sim::Parity::Odd}), 11.0 / 9600);
}

// A lower bound only: the answer cannot come before the line could have carried it.
TEST(SerialWire, AnswersWaitForTheWireTimeAtTheLineRate) {
    sim::SimBusOptions options = simtest::Frozen(true);
    sim::SimBus bus(options);
    bus.AddController(1, TQ100, 2400, sim::Parity::None);
    Master master(bus.StartPty(), 2400, kNone, 0, 8);
    ASSERT_TRUE(master.IsOpen());
    int16_t image[16] = {};
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(master.ReadRegisters(1, image, 16, 16, 2000), 0);
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // 8 request bytes, 3.5 characters of gap, 37 answer bytes at 10 bits each.
    EXPECT_GE(elapsed, (8 + 3.5 + 37) * 10.0 / 2400);
    EXPECT_EQ(image[1], 200);
}

// Raw bytes on the terminal: noise, split frames, bad CRCs.
class RawTerminal : public ::testing::Test {
protected:
    sim::SimBus bus{simtest::Frozen()};
    int fd = -1;
    void SetUp() override {
        bus.AddController(1, TQ100);
        fd = open(bus.StartPty().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        termios t{};
        tcgetattr(fd, &t);
        cfmakeraw(&t);
        cfsetspeed(&t, B19200);
        tcsetattr(fd, TCSANOW, &t);
    }
    void TearDown() override { close(fd); }
    void Write(std::vector<uint8_t> bytes) {
        ASSERT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    std::vector<uint8_t> Read(size_t count, int timeoutMs) {
        std::vector<uint8_t> bytes;
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
            uint8_t b[256];
            const ssize_t n = read(fd, b, sizeof b);
            if (n > 0)
                bytes.insert(bytes.end(), b, b + n);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return bytes;
    }
    static std::vector<uint8_t> Rtu(std::vector<uint8_t> frame) {
        AppendCrc(frame);
        return frame;
    }
};

TEST_F(RawTerminal, NoiseIsIgnoredAndTheNextFrameAnswered) {
    Write({0x55, 0xAA, 0x01, 0x02, 0x03});
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    Write(Rtu(simtest::Request(1, 3, 1, 1)));
    const auto answer = Read(7, 2000);
    ASSERT_EQ(answer.size(), 7u);
    EXPECT_TRUE(CrcMatches(answer));
    EXPECT_EQ(answer[3] << 8 | answer[4], 200);
}

TEST_F(RawTerminal, BadCrcGetsNoAnswer) {
    auto frame = Rtu(simtest::Request(1, 3, 1, 1));
    frame.back() ^= 0x01;
    Write(frame);
    EXPECT_TRUE(Read(1, 300).empty());
    EXPECT_EQ(bus.RequestCount(3), 0u);
}

TEST_F(RawTerminal, AFrameInPiecesIsJoined) {
    const auto frame = Rtu(simtest::Request(1, 3, 0, 2));
    Write({frame.begin(), frame.begin() + 3});
    Write({frame.begin() + 3, frame.end()});
    EXPECT_EQ(Read(9, 2000).size(), 9u);
}

TEST_F(RawTerminal, UnknownFunctionWithAGoodCrcGetsExceptionOne) {
    Write(Rtu({1, 0x2B, 0x0E, 0x01, 0x00}));
    const auto answer = Read(5, 2000);
    ASSERT_EQ(answer.size(), 5u);
    EXPECT_EQ(answer[1], 0x2B | 0x80);
    EXPECT_EQ(answer[2], sim::kIllegalFunction);
}

TEST(SerialLink, LinkIsMadeAndRemoved) {
    const std::string link = testing::TempDir() + "/calora-sim-link-test";
    unlink(link.c_str());
    {
        sim::SimBus bus(simtest::Frozen());
        bus.AddController(1, TQ100);
        const std::string path = bus.StartPty(link);
        char target[256] = {};
        ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(path, target);
        Master master(link, 19200, kNone, 0, 8);
        EXPECT_TRUE(master.IsOpen());
        EXPECT_TRUE(Answers(master, 1));
    }
    struct stat st {};
    EXPECT_NE(lstat(link.c_str(), &st), 0);
}

TEST(SerialLink, ARegularFileIsNotReplaced) {
    const std::string file = testing::TempDir() + "/calora-sim-not-a-link";
    FILE* f = fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    fclose(f);
    sim::SimBus bus(simtest::Frozen());
    EXPECT_THROW(bus.StartPty(file), std::runtime_error);
    struct stat st {};
    EXPECT_EQ(lstat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    unlink(file.c_str());
}

} // namespace
