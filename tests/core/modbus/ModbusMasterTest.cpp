// Attempts, waits, chunked reads and the master's lock, over a scripted transport.
#include "core/modbus/ModbusMaster.h"
#include "support/ScriptedPort.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

using Master = CModbusMaster;

namespace {

// Runs the call and returns the code it threw, or -1 when it returned.
template <typename Call> int ThrownCode(Call call) {
    try {
        call();
    } catch (Master::tErrorCom code) {
        return code;
    }
    return -1;
}

bool OtherThreadCanLock(Master& master) {
    return std::async(std::launch::async,
                      [&] {
                          std::unique_lock<std::recursive_mutex> lock(master.Lock(),
                                                                      std::try_to_lock);
                          return lock.owns_lock();
                      })
        .get();
}

std::vector<uint8_t> RegisterAnswer(uint8_t address, uint16_t start, uint16_t n) {
    std::vector<uint8_t> bytes{address, 0x03, static_cast<uint8_t>(2 * n)};
    for (uint16_t k = 0; k < n; ++k) {
        const uint16_t value = static_cast<uint16_t>(1000 + start + k);
        bytes.push_back(static_cast<uint8_t>(value >> 8));
        bytes.push_back(static_cast<uint8_t>(value & 0xFF));
    }
    return WithCrc(bytes);
}

std::pair<uint16_t, uint16_t> StartAndQuantity(const std::vector<uint8_t>& request) {
    return {static_cast<uint16_t>(request[2] << 8 | request[3]),
            static_cast<uint16_t>(request[4] << 8 | request[5])};
}

} // namespace

TEST(Request, ReturnsTheValueOfAGoodAnswer) {
    auto link = std::make_shared<ScriptedLink>();
    link->Answer(WithCrc({0x01, 0x03, 0x02, 0x00, 0x64}));
    auto master = ScriptedMaster(link);
    int16_t value = 0;
    EXPECT_EQ(master->Request(1, 3, 56, 1, &value, true, 200), 0);
    EXPECT_EQ(value, 100);
    ASSERT_EQ(link->requests.size(), 1u);
    EXPECT_EQ(link->requests[0], WithCrc({0x01, 0x03, 0x00, 0x38, 0x00, 0x01}));
    EXPECT_EQ(link->capacities[0], 256u);
    EXPECT_EQ(link->waits[0], 200);
}

TEST(Request, SilenceWithRetriesMakesFiveAttemptsWithGrowingWaits) {
    auto link = std::make_shared<ScriptedLink>();
    auto master = ScriptedMaster(link);
    int16_t value = 0;
    EXPECT_EQ(ThrownCode([&] { master->Request(1, 3, 0, 1, &value, true, 200); }),
              Master::comNoResponse);
    EXPECT_EQ(link->waits, (std::vector<int>{200, 300, 400, 500, 600}));
    EXPECT_EQ(link->capacities, std::vector<uint32_t>(5, 256u));
}

TEST(Request, WithoutRetryOneAttempt) {
    auto link = std::make_shared<ScriptedLink>();
    auto master = ScriptedMaster(link);
    int16_t value = 0;
    EXPECT_EQ(ThrownCode([&] { master->Request(1, 3, 0, 1, &value, false, 200); }),
              Master::comNoResponse);
    EXPECT_EQ(link->waits, (std::vector<int>{200}));
}

TEST(Request, ShortAnswersGrowTheWaitOthersDoNot) {
    auto link = std::make_shared<ScriptedLink>();
    link->Answer({0x01, 0x03});                            // short: +100
    link->Answer(WithCrc({0x02, 0x03, 0x02, 0x00, 0x01})); // mismatch: same wait
    auto badCrc = WithCrc({0x01, 0x03, 0x02, 0x00, 0x01});
    badCrc[5] ^= 0xFF;
    link->Answer(badCrc);                                  // CRC: same wait
    link->Silence();                                       // none: +100
    link->Answer(WithCrc({0x01, 0x03, 0x02, 0x00, 0x01})); // good
    auto master = ScriptedMaster(link);
    int16_t value = 0;
    EXPECT_EQ(master->Request(1, 3, 0, 1, &value, true, 200), 0);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(link->waits, (std::vector<int>{200, 300, 300, 300, 400}));
}

TEST(Request, ThrowsTheLastCodeNotTheFirst) {
    auto link = std::make_shared<ScriptedLink>();
    for (int i = 0; i < 4; ++i)
        link->Answer({0x01});
    link->Answer(WithCrc({0x02, 0x03, 0x02, 0x00, 0x01}));
    auto master = ScriptedMaster(link);
    int16_t value = 0;
    EXPECT_EQ(ThrownCode([&] { master->Request(1, 3, 0, 1, &value, true, 200); }),
              Master::comMismatch);
    EXPECT_EQ(link->requests.size(), 5u);
}

TEST(Request, NoDestinationRetriesThenThrowsSeven) {
    auto link = std::make_shared<ScriptedLink>();
    for (int i = 0; i < 5; ++i)
        link->Answer(WithCrc({0x01, 0x06, 0x00, 0x01, 0x00, 0x02}));
    auto master = ScriptedMaster(link);
    EXPECT_EQ(ThrownCode([&] { master->Request(1, 6, 1, 2, nullptr, true, 200); }),
              Master::comNoDestination);
    EXPECT_EQ(link->waits, std::vector<int>(5, 200));
}

TEST(Request, ExceptionAnswerReturnsTwoAfterOneAttempt) {
    auto link = std::make_shared<ScriptedLink>();
    link->Answer(WithCrc({0x05, 0x83, 0x02})); // another address: a mismatch, tried again
    link->Answer(WithCrc({0x01, 0x83, 0x02}));
    auto master = ScriptedMaster(link);
    int16_t value = 0;
    EXPECT_EQ(master->Request(1, 3, 0, 1, &value, true, 200), 2);
    EXPECT_EQ(link->requests.size(), 2u);
}

TEST(Request, TransportFailureThrowsFiveAtOnce) {
    auto link = std::make_shared<ScriptedLink>();
    link->Silence();
    link->Fail();
    link->Answer(WithCrc({0x01, 0x03, 0x02, 0x00, 0x01}));
    auto master = ScriptedMaster(link);
    int16_t value = 0;
    EXPECT_EQ(ThrownCode([&] { master->Request(1, 3, 0, 1, &value, true, 200); }),
              Master::comPortError);
    EXPECT_EQ(link->requests.size(), 2u);
}

TEST(Request, CoilWriteSendsFfZero) {
    auto link = std::make_shared<ScriptedLink>();
    link->Answer(WithCrc({0x03, 0x05, 0x00, 0x05, 0xFF, 0x00}));
    auto master = ScriptedMaster(link);
    int16_t value = 0;
    EXPECT_EQ(master->Request(3, 5, 5, 0x00FF, &value, false, 200), 0);
    EXPECT_EQ(link->requests[0], WithCrc({0x03, 0x05, 0x00, 0x05, 0xFF, 0x00}));
}

TEST(RequestFrame, SilenceGrowsTheWaitBySeconds) {
    auto link = std::make_shared<ScriptedLink>();
    auto master = ScriptedMaster(link);
    ModbusFrame frame;
    EXPECT_EQ(ThrownCode([&] { master->RequestFrame(1, 6, 3, 10, &frame, true, 200); }),
              Master::comNoResponse);
    EXPECT_EQ(link->waits, (std::vector<int>{200, 1200, 2200, 3200, 4200}));
}

TEST(RequestFrame, HandsBackTheEchoAndItsLength) {
    auto link = std::make_shared<ScriptedLink>();
    link->Answer({0x01});
    const auto echo = WithCrc({0x01, 0x06, 0x00, 0x03, 0x00, 0x0A});
    link->Answer(echo);
    auto master = ScriptedMaster(link);
    ModbusFrame frame;
    EXPECT_EQ(master->RequestFrame(1, 6, 3, 10, &frame, true, 200), 0);
    ASSERT_EQ(frame.count, 8u);
    EXPECT_EQ(std::vector<uint8_t>(frame.data, frame.data + 8), echo);
    EXPECT_EQ(link->waits, (std::vector<int>{200, 1200}));
    EXPECT_EQ(link->capacities, (std::vector<uint32_t>{256, 256}));
}

TEST(RequestFrame, NeverReportsMissingDestination) {
    auto link = std::make_shared<ScriptedLink>();
    link->Answer(WithCrc({0x01, 0x06, 0x00, 0x03, 0x00, 0x0A}));
    auto master = ScriptedMaster(link);
    EXPECT_EQ(master->RequestFrame(1, 6, 3, 10, nullptr, false, 200), 0);
}

TEST(ReadRegisters, CountZeroSendsNothing) {
    auto link = std::make_shared<ScriptedLink>();
    auto master = ScriptedMaster(link);
    int16_t dest[1] = {5};
    EXPECT_EQ(master->ReadRegisters(1, dest, 0, 16, 200), 0);
    EXPECT_TRUE(link->requests.empty());
    EXPECT_EQ(dest[0], 5);
}

TEST(ReadRegisters, NoDestinationSendsNothing) {
    auto link = std::make_shared<ScriptedLink>();
    auto master = ScriptedMaster(link);
    EXPECT_EQ(ThrownCode([&] { master->ReadRegisters(1, nullptr, 4, 4, 200); }),
              Master::comNoDestination);
    EXPECT_EQ(ThrownCode([&] { master->ReadCoils(1, nullptr, 4, 4, 200); }),
              Master::comNoDestination);
    EXPECT_TRUE(link->requests.empty());
}

TEST(ReadRegisters, ChunkZeroReadsAllInOneRequest) {
    auto link = std::make_shared<ScriptedLink>();
    link->Answer(RegisterAnswer(1, 0, 5));
    auto master = ScriptedMaster(link);
    int16_t dest[5] = {};
    EXPECT_EQ(master->ReadRegisters(1, dest, 5, 0, 200), 0);
    ASSERT_EQ(link->requests.size(), 1u);
    EXPECT_EQ(StartAndQuantity(link->requests[0]), std::make_pair(uint16_t{0}, uint16_t{5}));
    EXPECT_EQ(dest[4], 1004);
}

TEST(ReadRegisters, FortyThreeInChunksOfSixteen) {
    auto link = std::make_shared<ScriptedLink>();
    link->Answer(RegisterAnswer(1, 0, 16));
    link->Answer(RegisterAnswer(1, 16, 16));
    link->Answer(RegisterAnswer(1, 32, 11));
    auto master = ScriptedMaster(link);
    int16_t dest[44];
    std::fill(std::begin(dest), std::end(dest), int16_t{-1});
    EXPECT_EQ(master->ReadRegisters(1, dest, 43, 16, 200), 0);
    ASSERT_EQ(link->requests.size(), 3u);
    EXPECT_EQ(StartAndQuantity(link->requests[0]), std::make_pair(uint16_t{0}, uint16_t{16}));
    EXPECT_EQ(StartAndQuantity(link->requests[1]), std::make_pair(uint16_t{16}, uint16_t{16}));
    EXPECT_EQ(StartAndQuantity(link->requests[2]), std::make_pair(uint16_t{32}, uint16_t{11}));
    for (int k = 0; k < 43; ++k)
        EXPECT_EQ(dest[k], 1000 + k) << k;
    EXPECT_EQ(dest[43], -1);
}

TEST(ReadRegisters, AByteCountOtherThanTheQuantityAskedIsRefused) {
    auto link = std::make_shared<ScriptedLink>();
    link->Answer(WithCrc({0x01, 0x03, 0x09, 0x00, 0x07, 0x00, 0x08}));
    link->Answer(WithCrc({0x01, 0x03, 0x04, 0x00, 0x07, 0x00, 0x08}));
    auto master = ScriptedMaster(link);
    int16_t dest[2] = {};
    EXPECT_EQ(master->ReadRegisters(1, dest, 2, 16, 200), 0);
    EXPECT_EQ(link->requests.size(), 2u);
    EXPECT_EQ(dest[0], 7);
    EXPECT_EQ(dest[1], 8);
}

TEST(ReadRegisters, ExceptionStopsAndKeepsEarlierChunks) {
    auto link = std::make_shared<ScriptedLink>();
    link->Answer(RegisterAnswer(1, 0, 16));
    link->Answer(WithCrc({0x01, 0x83, 0x02}));
    auto master = ScriptedMaster(link);
    int16_t dest[43] = {};
    EXPECT_EQ(master->ReadRegisters(1, dest, 43, 16, 200), 2);
    EXPECT_EQ(link->requests.size(), 2u);
    EXPECT_EQ(dest[15], 1015);
    EXPECT_EQ(dest[16], 0);
}

TEST(ReadRegisters, FailurePassesThroughWithSecondWaits) {
    auto link = std::make_shared<ScriptedLink>();
    auto master = ScriptedMaster(link);
    int16_t dest[16] = {};
    EXPECT_EQ(ThrownCode([&] { master->ReadRegisters(1, dest, 16, 16, 200); }),
              Master::comNoResponse);
    EXPECT_EQ(link->waits, (std::vector<int>{200, 1200, 2200, 3200, 4200}));
}

TEST(ReadRegisters, AnswerWithAnotherQuantityIsAMismatch) {
    auto link = std::make_shared<ScriptedLink>();
    for (int i = 0; i < 5; ++i)
        link->Answer(RegisterAnswer(1, 0, 2)); // asked for 4
    auto master = ScriptedMaster(link);
    int16_t dest[4] = {};
    EXPECT_EQ(ThrownCode([&] { master->ReadRegisters(1, dest, 4, 4, 200); }), Master::comMismatch);
    EXPECT_EQ(dest[0], 0);
}

TEST(ReadCoils, ElevenCoilsUnpackLeastSignificantFirst) {
    auto link = std::make_shared<ScriptedLink>();
    link->Answer(WithCrc({0x01, 0x01, 0x02, 0b10100101, 0b11111110}));
    auto master = ScriptedMaster(link);
    uint8_t dest[16];
    std::fill(std::begin(dest), std::end(dest), uint8_t{0xEE});
    EXPECT_EQ(master->ReadCoils(1, dest, 11, 11, 200), 0);
    ASSERT_EQ(link->requests.size(), 1u);
    EXPECT_EQ(StartAndQuantity(link->requests[0]), std::make_pair(uint16_t{0}, uint16_t{11}));
    const uint8_t expected[11] = {1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 1};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(dest[i], expected[i]) << i;
    for (int i = 11; i < 16; ++i)
        EXPECT_EQ(dest[i], 0xEE) << i;
}

TEST(ReadCoils, ChunksStartAtTheCoilNumber) {
    auto link = std::make_shared<ScriptedLink>();
    link->Answer(WithCrc({0x01, 0x01, 0x01, 0x01}));
    link->Answer(WithCrc({0x01, 0x01, 0x01, 0x02}));
    auto master = ScriptedMaster(link);
    uint8_t dest[6] = {};
    EXPECT_EQ(master->ReadCoils(1, dest, 6, 3, 200), 0);
    ASSERT_EQ(link->requests.size(), 2u);
    EXPECT_EQ(StartAndQuantity(link->requests[1]), std::make_pair(uint16_t{3}, uint16_t{3}));
    EXPECT_EQ(std::vector<uint8_t>(dest, dest + 6), (std::vector<uint8_t>{1, 0, 0, 0, 1, 0}));
}

TEST(MasterLock, ReleasedOnEveryThrow) {
    auto link = std::make_shared<ScriptedLink>();
    auto master = ScriptedMaster(link);
    int16_t value = 0;
    EXPECT_EQ(ThrownCode([&] { master->Request(1, 3, 0, 1, &value, false, 200); }),
              Master::comNoResponse);
    EXPECT_TRUE(OtherThreadCanLock(*master));
    link->Fail();
    EXPECT_EQ(ThrownCode([&] { master->Request(1, 3, 0, 1, &value, true, 200); }),
              Master::comPortError);
    EXPECT_TRUE(OtherThreadCanLock(*master));
    int16_t dest[43];
    link->Answer(RegisterAnswer(1, 0, 16));
    link->Fail();
    EXPECT_EQ(ThrownCode([&] { master->ReadRegisters(1, dest, 43, 16, 200); }),
              Master::comPortError);
    EXPECT_TRUE(OtherThreadCanLock(*master));
}

TEST(MasterLock, HeldAcrossAllChunks) {
    auto link = std::make_shared<ScriptedLink>();
    link->Answer(RegisterAnswer(1, 0, 16));
    link->Answer(RegisterAnswer(1, 16, 16));
    link->Answer(RegisterAnswer(1, 32, 11));
    auto master = ScriptedMaster(link);
    std::vector<bool> othersGotIn;
    link->onTransact = [&] { othersGotIn.push_back(OtherThreadCanLock(*master)); };
    int16_t dest[43];
    EXPECT_EQ(master->ReadRegisters(1, dest, 43, 16, 200), 0);
    EXPECT_EQ(othersGotIn, std::vector<bool>(3, false));
    EXPECT_TRUE(OtherThreadCanLock(*master));
}

TEST(MasterLock, CallersMayHoldItAcrossTransactions) {
    auto link = std::make_shared<ScriptedLink>();
    link->Answer(WithCrc({0x01, 0x06, 0x00, 0x01, 0x00, 0x02}));
    link->Answer(WithCrc({0x02, 0x06, 0x00, 0x01, 0x00, 0x02}));
    auto master = ScriptedMaster(link);
    std::lock_guard<std::recursive_mutex> hold(master->Lock());
    int16_t value = 0;
    EXPECT_EQ(master->Request(1, 6, 1, 2, &value, false, 200), 0);
    EXPECT_EQ(master->Request(2, 6, 1, 2, &value, false, 200), 0);
    EXPECT_FALSE(OtherThreadCanLock(*master));
}

TEST(Master, LineParametersOnlyOnASerialPort) {
    auto link = std::make_shared<ScriptedLink>();
    auto tcp = ScriptedMaster(link, 1);
    EXPECT_FALSE(tcp->SetLineParameters(9600, 0, 0, 8));
    EXPECT_TRUE(link->requests.empty());
    EXPECT_FALSE(ScriptedMaster(link, 0)->SetLineParameters(9600, 0, 0, 8));
}

TEST(Master, DestructionClosesTheTransport) {
    auto link = std::make_shared<ScriptedLink>();
    auto master = ScriptedMaster(link);
    EXPECT_TRUE(master->IsOpen());
    master.reset();
    EXPECT_TRUE(link->closed);
}
