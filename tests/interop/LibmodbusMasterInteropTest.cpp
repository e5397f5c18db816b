// Our master against a libmodbus slave, over RTU (a pseudo-terminal pair) and over TCP.
#include "LibmodbusSlave.h"
#include "PtyLink.h"

#include "core/modbus/ModbusMaster.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <thread>

namespace {

using Master = CModbusMaster;
constexpr int kWait = 200;

enum class Link { Rtu, Tcp };

class LibmodbusSlaveInterop : public ::testing::TestWithParam<Link> {
protected:
    void SetUp() override {
        if (GetParam() == Link::Rtu) {
            pty = std::make_unique<CPtyLink>();
            ASSERT_TRUE(pty->Ok());
            slave = CLibmodbusSlave::Rtu(pty->PathA(), 1);
            ASSERT_TRUE(slave);
            master = std::make_unique<Master>(pty->PathB(), 19200, 0, 0, 8);
        } else {
            slave = CLibmodbusSlave::Tcp();
            ASSERT_TRUE(slave);
            master = std::make_unique<Master>("127.0.0.1", slave->Port());
        }
        ASSERT_TRUE(master->IsOpen());
        for (int i = 0; i < CLibmodbusSlave::kRegisters; ++i)
            slave->SetRegister(i, static_cast<uint16_t>(i * 37 - 500));
    }
    void TearDown() override {
        master.reset();
        slave.reset();
        pty.reset();
    }

    std::unique_ptr<CPtyLink> pty;
    std::unique_ptr<CLibmodbusSlave> slave;
    std::unique_ptr<Master> master;
};

TEST_P(LibmodbusSlaveInterop, ReadsFortyThreeRegistersInThreeRequests) {
    std::array<int16_t, 44> regs;
    regs.fill(0x5A5A);
    ASSERT_EQ(master->ReadRegisters(1, regs.data(), 43, 16, kWait), Master::comOk);
    for (int i = 0; i < 43; ++i)
        EXPECT_EQ(regs[i], static_cast<int16_t>(i * 37 - 500)) << "register " << i;
    EXPECT_EQ(regs[43], 0x5A5A) << "nothing stored past the count";
    EXPECT_EQ(slave->Served(), 3);
}

TEST_P(LibmodbusSlaveInterop, ReadsElevenCoilsInOneRequest) {
    const std::array<int, 11> pattern = {1, 0, 1, 1, 0, 0, 1, 0, 1, 1, 1};
    for (int i = 0; i < 11; ++i)
        slave->SetCoil(i, pattern[i] != 0);
    slave->SetCoil(11, true); // read in the same data byte's neighbourhood, never stored
    std::array<uint8_t, 12> coils;
    coils.fill(0xAA);
    ASSERT_EQ(master->ReadCoils(1, coils.data(), 11, 11, kWait), Master::comOk);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(coils[i], pattern[i]) << "coil " << i;
    EXPECT_EQ(coils[11], 0xAA);
    EXPECT_EQ(slave->Served(), 1);
}

TEST_P(LibmodbusSlaveInterop, WritesNegativeRegisterAndReturnsEcho) {
    int16_t echo = 0;
    ASSERT_EQ(master->Request(1, 6, 7, static_cast<uint16_t>(-1234), &echo, true, kWait),
              Master::comOk);
    EXPECT_EQ(echo, -1234);
    EXPECT_EQ(slave->Register(7), static_cast<uint16_t>(-1234));
}

TEST_P(LibmodbusSlaveInterop, RequestFrameHoldsTheEchoedWrite) {
    ModbusFrame frame{};
    ASSERT_EQ(master->RequestFrame(1, 6, 30, 1350, &frame, true, kWait), Master::comOk);
    ASSERT_GE(frame.count, 6u);
    EXPECT_EQ(frame.data[0], 1);
    EXPECT_EQ(frame.data[1], 6);
    EXPECT_EQ(frame.data[2] * 256 + frame.data[3], 30);
    EXPECT_EQ(frame.data[4] * 256 + frame.data[5], 1350);
    EXPECT_EQ(slave->Register(30), 1350);
}

TEST_P(LibmodbusSlaveInterop, SwitchesCoilOnAndOff) {
    int16_t echo = 0;
    ASSERT_EQ(master->Request(1, 5, 4, 0x00FF, &echo, true, kWait), Master::comOk);
    EXPECT_EQ(static_cast<uint16_t>(echo), 0xFF00);
    EXPECT_TRUE(slave->Coil(4));
    ASSERT_EQ(master->Request(1, 5, 4, 0, &echo, true, kWait), Master::comOk);
    EXPECT_EQ(echo, 0);
    EXPECT_FALSE(slave->Coil(4));
}

TEST_P(LibmodbusSlaveInterop, IllegalAddressIsAnExceptionAfterOneRequest) {
    int16_t value = 77;
    EXPECT_EQ(master->Request(1, 3, 100, 1, &value, true, kWait), Master::comException);
    EXPECT_EQ(slave->Served(), 1) << "an exception answer is never retried";
    EXPECT_EQ(value, 77);
}

TEST_P(LibmodbusSlaveInterop, ChunkedReadStopsAtTheChunkPastTheMap) {
    // 60 registers: chunks 0, 16 and 32 are answered, 48..63 is refused.
    std::array<int16_t, 70> regs{};
    EXPECT_EQ(master->ReadRegisters(1, regs.data(), 70, 16, kWait), Master::comException);
    EXPECT_EQ(slave->Served(), 4);
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(regs[i], static_cast<int16_t>(i * 37 - 500)) << "register " << i;
    EXPECT_EQ(regs[48], 0);
}

TEST_P(LibmodbusSlaveInterop, CoilPastTheMapIsAnException) {
    int16_t echo = 0;
    EXPECT_EQ(master->Request(1, 5, 40, 0x00FF, &echo, true, kWait), Master::comException);
}

INSTANTIATE_TEST_SUITE_P(Links, LibmodbusSlaveInterop, ::testing::Values(Link::Rtu, Link::Tcp),
                         [](const auto& info) {
                             return std::string(info.param == Link::Rtu ? "Rtu" : "Tcp");
                         });

TEST(LibmodbusSlaveInteropRtu, OtherAddressGetsNoAnswer) {
    CPtyLink pty;
    ASSERT_TRUE(pty.Ok());
    auto slave = CLibmodbusSlave::Rtu(pty.PathA(), 1);
    ASSERT_TRUE(slave);
    slave->SetRegister(0, static_cast<uint16_t>(-500));
    Master master(pty.PathB(), 19200, 0, 0, 8);
    ASSERT_TRUE(master.IsOpen());
    int16_t value = 0;
    const auto start = std::chrono::steady_clock::now();
    try {
        master.Request(2, 3, 0, 1, &value, false, kWait);
        FAIL() << "address 2 is not on the line";
    } catch (Master::tErrorCom code) {
        EXPECT_EQ(code, Master::comNoResponse);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(slave->Served(), 0);
    // libmodbus takes the frame after a foreign request for that slave's answer and drops it,
    // so the slave that is there answers on the retry.
    EXPECT_EQ(master.Request(1, 3, 0, 1, &value, true, kWait), Master::comOk);
    EXPECT_EQ(value, -500);
}

} // namespace
