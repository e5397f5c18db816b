// The master against simulated controllers that answer late or drop the connection: the
// answers taken must be the ones to the requests made.
#include "core/modbus/ModbusMaster.h"
#include "core/modbus/SerialCommPort.h"

#include "SimBus.h"

#include <gtest/gtest.h>

namespace {

sim::SimBusOptions Frozen() {
    sim::SimBusOptions options;
    options.timeScale = 0;
    options.wireTime = false;
    options.uniformPlants = true;
    return options;
}

} // namespace

TEST(SlowRtuController, ChunkedReadGetsEachBlockFromItsOwnAnswer) {
    sim::SimBus bus(Frozen());
    sim::Controller& controller = bus.AddController(1, TQ100);
    // Values that tell every register apart, so a block answered for another shows.
    for (uint16_t i = 0; i < 54; ++i)
        controller.SetRegister(i, static_cast<int16_t>(1000 + i));
    // Every answer comes 300 ms late, after the first 100 ms window of each request.
    bus.SetFault(1, sim::FaultKind::Slow, 1.0, 300);
    const std::string path = bus.StartPty();
    CModbusMaster master(std::make_unique<CSerialCommPort>(path, 19200, 0, 0, 8), 0);
    ASSERT_TRUE(master.IsOpen());

    int16_t registers[54] = {};
    ASSERT_EQ(master.ReadRegisters(1, registers, 54, 16, 100), 0);
    // Time stands still, so what the controller holds now is what each block had to carry.
    for (uint16_t i = 0; i < 54; ++i)
        EXPECT_EQ(registers[i], controller.Register(i)) << "register " << i;
    uint8_t coils[11] = {};
    ASSERT_EQ(master.ReadCoils(1, coils, 11, 11, 100), 0);
    for (uint16_t i = 0; i < 11; ++i)
        EXPECT_EQ(coils[i], controller.Coil(i) ? 1 : 0) << "coil " << i;
}

TEST(DroppingTcpController, RequestsMeetingADropAreSentAgainAndReadTrueValues) {
    sim::SimBus bus(Frozen());
    for (uint8_t a = 1; a <= 2; ++a) {
        sim::Controller& controller = bus.AddController(a, a == 1 ? TQ100 : TQ102_TQ402);
        for (uint16_t i = 0; i < 43; ++i)
            controller.SetRegister(i, static_cast<int16_t>(100 * a + i));
        controller.SetCoil(2, a == 1);
        // One request in five closes the connection instead of being answered.
        bus.SetFault(a, sim::FaultKind::DropConnection, 0.2);
    }
    CModbusMaster master("127.0.0.1", bus.StartTcp());
    ASSERT_TRUE(master.IsOpen());

    // A monitoring read: registers in three chunks, then the coils.
    constexpr int kReads = 60;
    int good = 0;
    for (int k = 0; k < kReads; ++k) {
        const uint8_t a = static_cast<uint8_t>(1 + k % 2);
        const uint16_t n = bus.At(a).CoilCount();
        int16_t registers[43] = {};
        uint8_t coils[11] = {};
        try {
            if (master.ReadRegisters(a, registers, 43, 16, 200) != 0 ||
                master.ReadCoils(a, coils, n, n, 200) != 0)
                continue;
        } catch (CModbusMaster::tErrorCom) {
            continue;
        }
        ++good;
        for (uint16_t i = 0; i < 43; ++i)
            ASSERT_EQ(registers[i], bus.At(a).Register(i)) << "register " << i << " read " << k;
        for (uint16_t i = 0; i < n; ++i)
            ASSERT_EQ(coils[i], bus.At(a).Coil(i) ? 1 : 0) << "coil " << i << " read " << k;
    }
    EXPECT_GE(good, kReads * 95 / 100);

    // Writes go again as well; the controller acts only on the one it answers.
    for (int16_t v = 0; v < 10; ++v) {
        int16_t echo = -1;
        ASSERT_EQ(master.Request(1, 6, 1, static_cast<uint16_t>(50 + v), &echo, true, 200), 0);
        EXPECT_EQ(echo, 50 + v);
        EXPECT_EQ(bus.At(1).Register(1), 50 + v);
    }
    EXPECT_GT(bus.RequestCount(3) + bus.RequestCount(1), uint64_t(kReads * 4))
        << "no drop met: the scenario proves nothing";
}
