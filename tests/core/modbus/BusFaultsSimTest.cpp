// The master against simulated controllers that answer late: RTU carries no transaction id,
// so only the transport's care keeps one request's answer from passing for another's.
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
    CTramaModbusAsincrona master(std::make_unique<CSerialCommPort>(path, 19200, 0, 0, 8), 0);
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
