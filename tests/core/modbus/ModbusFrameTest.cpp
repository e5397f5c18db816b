// Request frames, the CRC and the checks an answer goes through, in their order.
#include "core/modbus/ModbusMaster.h"
#include "support/ScriptedPort.h"

#include <gtest/gtest.h>

using Master = CModbusMaster;

namespace {

std::vector<uint8_t> Frame(uint8_t address, uint8_t function, uint16_t reg, uint16_t value) {
    uint8_t frame[8];
    BuildRequestFrame(frame, address, function, reg, value);
    return {frame, frame + 8};
}

struct Checker {
    explicit Checker(int mode) : master(ScriptedMaster(std::make_shared<ScriptedLink>(), mode)) {}
    Master::tErrorCom operator()(const std::vector<uint8_t>& request,
                                 const std::vector<uint8_t>& response, int16_t* value) const {
        return master->CheckResponse(request.data(), response.data(),
                                     static_cast<uint32_t>(response.size()), value);
    }
    std::unique_ptr<Master> master;
};

} // namespace

TEST(Crc16, ModbusCheckValues) {
    const uint8_t probe[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x01};
    EXPECT_EQ(Crc16(probe, 6), 0x0A84);
    const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(Crc16(check, 9), 0x4B37); // CRC-16/MODBUS check value
    EXPECT_EQ(Crc16(check, 0), 0xFFFF);
}

TEST(BuildRequest, ReadHoldingRegisterProbe) {
    EXPECT_EQ(Frame(1, 3, 0, 1),
              (std::vector<uint8_t>{0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A}));
}

TEST(BuildRequest, RegisterAndValueHighByteFirst) {
    const auto frame = Frame(0x11, 6, 0x1234, 0xABCD);
    EXPECT_EQ(std::vector<uint8_t>(frame.begin(), frame.begin() + 6),
              (std::vector<uint8_t>{0x11, 0x06, 0x12, 0x34, 0xAB, 0xCD}));
    EXPECT_EQ(frame, WithCrc({0x11, 0x06, 0x12, 0x34, 0xAB, 0xCD}));
}

TEST(BuildRequest, CoilWriteSwapsTheValueBytes) {
    const auto on = Frame(1, 5, 4, 0x00FF);
    EXPECT_EQ(on[4], 0xFF);
    EXPECT_EQ(on[5], 0x00);
    EXPECT_EQ(on, WithCrc({0x01, 0x05, 0x00, 0x04, 0xFF, 0x00}));
    const auto off = Frame(1, 5, 4, 0);
    EXPECT_EQ(off, WithCrc({0x01, 0x05, 0x00, 0x04, 0x00, 0x00}));
    const auto other = Frame(1, 5, 4, 0x1234);
    EXPECT_EQ(other[4], 0x34);
    EXPECT_EQ(other[5], 0x12);
}

TEST(CheckResponse, LengthComesFirst) {
    Checker serial(0), tcp(1);
    const auto request = Frame(1, 3, 0, 1);
    int16_t value = 0;
    EXPECT_EQ(serial(request, {}, &value), Master::comNoResponse);
    EXPECT_EQ(tcp(request, {}, &value), Master::comNoResponse);
    // Even an exception byte or a null destination does not matter before the length.
    EXPECT_EQ(serial(request, {0x01}, nullptr), Master::comShortFrame);
    EXPECT_EQ(serial(request, {0x01, 0x83}, &value), Master::comShortFrame);
    EXPECT_EQ(serial(request, {0x01, 0x83, 0x02}, &value), Master::comShortFrame);
    EXPECT_EQ(tcp(request, {0x01}, &value), Master::comShortFrame);
    EXPECT_EQ(tcp(request, {0x01, 0x83}, &value), Master::comShortFrame);
    // Three bytes are enough over TCP.
    EXPECT_EQ(tcp(request, {0x01, 0x83, 0x02}, &value), Master::comException);
}

TEST(CheckResponse, CrcBeforeExceptionAndAddress) {
    Checker serial(0);
    const auto request = Frame(1, 3, 0, 1);
    int16_t value = 0;
    auto exception = WithCrc({0x01, 0x83, 0x02});
    exception[3] ^= 0x01;
    EXPECT_EQ(serial(request, exception, &value), Master::comCrcError);
    auto otherSlave = WithCrc({0x07, 0x03, 0x02, 0x00, 0x05});
    otherSlave.back() ^= 0x80;
    EXPECT_EQ(serial(request, otherSlave, &value), Master::comCrcError);
    // Four bytes: address, function and a CRC over the two.
    EXPECT_EQ(serial(request, {0x01, 0x03, 0x00, 0x00}, &value), Master::comCrcError);
}

TEST(CheckResponse, ExceptionOnlyFromTheAddressAndFunctionAsked) {
    Checker serial(0), tcp(1);
    const auto request = Frame(1, 3, 0, 1);
    int16_t value = 77;
    EXPECT_EQ(serial(request, WithCrc({0x01, 0x83, 0x02}), &value), Master::comException);
    EXPECT_EQ(tcp(request, {0x01, 0x83, 0x02}, nullptr), Master::comException);
    // A late exception of another slave, or one for another function, answers nothing asked.
    EXPECT_EQ(serial(request, WithCrc({0x09, 0x83, 0x02}), &value), Master::comMismatch);
    EXPECT_EQ(serial(request, WithCrc({0x01, 0x86, 0x02}), nullptr), Master::comMismatch);
    EXPECT_EQ(tcp(request, {0x05, 0x83, 0x01}, nullptr), Master::comMismatch);
    EXPECT_EQ(value, 77);
}

TEST(CheckResponse, AnswerToAnotherRequestOfTheSameSlaveIsAMismatch) {
    Checker serial(0), tcp(1);
    int16_t value = 77;
    // Sixteen registers for a read of six; one coil byte for a read of eleven coils.
    std::vector<uint8_t> sixteen{0x01, 0x03, 0x20};
    sixteen.resize(3 + 32, 0x11);
    EXPECT_EQ(serial(Frame(1, 3, 48, 6), WithCrc(sixteen), &value), Master::comMismatch);
    EXPECT_EQ(tcp(Frame(1, 3, 48, 6), sixteen, &value), Master::comMismatch);
    EXPECT_EQ(serial(Frame(1, 1, 0, 11), WithCrc({0x01, 0x01, 0x01, 0x05}), &value),
              Master::comMismatch);
    // Echoes of a write to register 4 and to coil 5, for a write to register 3 and coil 4.
    EXPECT_EQ(serial(Frame(1, 6, 3, 77), WithCrc({0x01, 0x06, 0x00, 0x04, 0x00, 0x4D}), &value),
              Master::comMismatch);
    EXPECT_EQ(tcp(Frame(1, 5, 4, 0x00FF), {0x01, 0x05, 0x00, 0x05, 0xFF, 0x00}, &value),
              Master::comMismatch);
    EXPECT_EQ(value, 77);
    // The echoed value is the caller's to judge.
    EXPECT_EQ(serial(Frame(1, 6, 3, 77), WithCrc({0x01, 0x06, 0x00, 0x03, 0x00, 0x4C}), &value),
              Master::comOk);
    EXPECT_EQ(value, 76);
}

TEST(CheckResponse, MismatchBeforeDestination) {
    Checker serial(0);
    const auto request = Frame(1, 3, 0, 1);
    int16_t value = 77;
    EXPECT_EQ(serial(request, WithCrc({0x02, 0x03, 0x02, 0x00, 0x05}), &value),
              Master::comMismatch);
    EXPECT_EQ(serial(request, WithCrc({0x01, 0x04, 0x02, 0x00, 0x05}), nullptr),
              Master::comMismatch);
    EXPECT_EQ(value, 77);
    EXPECT_EQ(serial(request, WithCrc({0x01, 0x03, 0x02, 0x00, 0x05}), nullptr),
              Master::comNoDestination);
}

TEST(CheckResponse, StoresTheValueByFunction) {
    Checker serial(0);
    int16_t value = 0;
    EXPECT_EQ(serial(Frame(1, 3, 0, 1), WithCrc({0x01, 0x03, 0x02, 0x01, 0x2C}), &value),
              Master::comOk);
    EXPECT_EQ(value, 300);
    EXPECT_EQ(serial(Frame(1, 3, 0, 1), WithCrc({0x01, 0x03, 0x02, 0xFF, 0xFE}), &value),
              Master::comOk);
    EXPECT_EQ(value, -2);
    EXPECT_EQ(serial(Frame(1, 6, 7, 0x0102), WithCrc({0x01, 0x06, 0x00, 0x07, 0x01, 0x02}), &value),
              Master::comOk);
    EXPECT_EQ(value, 0x0102);
    EXPECT_EQ(serial(Frame(1, 5, 4, 0x00FF), WithCrc({0x01, 0x05, 0x00, 0x04, 0xFF, 0x00}), &value),
              Master::comOk);
    EXPECT_EQ(static_cast<uint16_t>(value), 0xFF00);
    EXPECT_EQ(serial(Frame(1, 1, 0, 11), WithCrc({0x01, 0x01, 0x02, 0x05, 0x04}), &value),
              Master::comOk);
    EXPECT_EQ(value, 0x0500);
    // A function the master has no value rule for stores nothing.
    value = 55;
    EXPECT_EQ(serial(Frame(1, 0x10, 0, 1), WithCrc({0x01, 0x10, 0x00, 0x00, 0x00, 0x01}), &value),
              Master::comOk);
    EXPECT_EQ(value, 55);
}

TEST(CheckResponse, TcpAcceptsAnyTrailingBytes) {
    Checker tcp(1);
    int16_t value = 0;
    // Over TCP the last two bytes are data, not a CRC to test.
    EXPECT_EQ(tcp(Frame(1, 3, 0, 1), {0x01, 0x03, 0x02, 0x00, 0x2A, 0x00, 0x00}, &value),
              Master::comOk);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(tcp(Frame(1, 3, 0, 1), {0x01, 0x03, 0x02, 0x00, 0x2B}, &value), Master::comOk);
    EXPECT_EQ(value, 43);
}

TEST(CheckResponse, TooShortForItsValueIsShort) {
    Checker serial(0), tcp(1);
    int16_t value = 99;
    // Well-formed frames that end before the value they should carry.
    EXPECT_EQ(serial(Frame(1, 3, 0, 1), WithCrc({0x01, 0x03, 0x02, 0x00}), &value),
              Master::comShortFrame);
    EXPECT_EQ(serial(Frame(1, 6, 0, 1), WithCrc({0x01, 0x06, 0x00, 0x00, 0x00}), &value),
              Master::comShortFrame);
    EXPECT_EQ(serial(Frame(1, 1, 0, 8), WithCrc({0x01, 0x01, 0x01}), &value),
              Master::comShortFrame);
    EXPECT_EQ(tcp(Frame(1, 3, 0, 1), {0x01, 0x03, 0x02}, &value), Master::comShortFrame);
    EXPECT_EQ(value, 99);
}

TEST(FindRtuAnswer, SkipsNoiseAndOtherSlavesUpToTheAnswer) {
    const auto request = Frame(1, 3, 0, 2);
    const auto answer = WithCrc({0x01, 0x03, 0x04, 0x00, 0x01, 0x00, 0x02});
    auto bytes = std::vector<uint8_t>{0x00, 0x01}; // turnaround noise, even our address
    const auto other = WithCrc({0x02, 0x03, 0x02, 0x00, 0x09}); // another slave's answer
    bytes.insert(bytes.end(), other.begin(), other.end());
    bytes.insert(bytes.end(), answer.begin(), answer.end());
    const auto found = FindRtuAnswer(request.data(), bytes);
    EXPECT_EQ(std::vector<uint8_t>(found.begin(), found.end()), answer);
    // Not yet whole, a spoiled CRC, or the length of another quantity: no answer.
    bytes.pop_back();
    EXPECT_TRUE(FindRtuAnswer(request.data(), bytes).empty());
    auto spoiled = answer;
    spoiled[4] ^= 1;
    EXPECT_TRUE(FindRtuAnswer(request.data(), spoiled).empty());
    EXPECT_TRUE(FindRtuAnswer(Frame(1, 3, 0, 1).data(), answer).empty());
    const auto exception = WithCrc({0x01, 0x83, 0x02});
    const auto seen = FindRtuAnswer(request.data(), exception);
    EXPECT_EQ(seen.size(), exception.size());
}
