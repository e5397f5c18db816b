#include "SimTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <thread>

namespace {

using sim::coil::kAlarm1;
using sim::coil::kAlarm2;
using sim::coil::kManual;
using sim::coil::kOutput;
using sim::coil::kOverRange;
using sim::coil::kSelfTune;
using sim::coil::kUnderRange;

class Process : public ::testing::Test {
protected:
    sim::SimBus bus{simtest::Frozen()};
    sim::Controller* tq = nullptr;
    void SetUp() override {
        tq = &bus.AddController(1, TQ100);
        tq->SetPlant({60.0, 600.0, 20.0});
        tq->SetTemperature(20.0);
    }
};

TEST_F(Process, PidBringsTheProcessValueToTheSetpoint) {
    EXPECT_EQ(tq->Register(reg::kProcessValue), 20);
    bus.Advance(60);
    const int early = tq->Register(reg::kProcessValue);
    EXPECT_GT(early, 25);
    EXPECT_LT(early, 200);
    EXPECT_GT(tq->Register(reg::kOutputPower), 0);
    bus.Advance(1500);
    EXPECT_NEAR(tq->Register(reg::kProcessValue), 200, 3);
    // Holding 200 against a 600-degree load takes about 30 % power.
    EXPECT_NEAR(tq->Register(reg::kOutputPower), 300, 40);

    tq->SetRegister(reg::kSetpoint, 120);
    bus.Advance(1500);
    EXPECT_NEAR(tq->Register(reg::kProcessValue), 120, 3);
}

TEST_F(Process, OutputLimitCapsThePower) {
    tq->SetRegister(reg::kOutputLimit, 250);
    bus.Advance(30);
    EXPECT_EQ(tq->Register(reg::kOutputPower), 250);
    bus.Advance(2000);
    // 25 % can hold only 20 + 150 degrees.
    EXPECT_NEAR(tq->Register(reg::kProcessValue), 170, 3);
}

TEST_F(Process, OnOffActionSwitchesAroundTheSetpoint) {
    tq->SetRegister(reg::kProportionalBand, 0);
    tq->SetRegister(reg::kHysteresis, 2);
    bus.Advance(600);
    int on = 0, off = 0, low = 9999, high = -9999;
    for (int i = 0; i < 600; ++i) {
        bus.Advance(0.5);
        const int pv = tq->Register(reg::kProcessValue);
        low = std::min(low, pv);
        high = std::max(high, pv);
        (tq->Coil(kOutput) ? on : off) += 1;
        const int power = tq->Register(reg::kOutputPower);
        EXPECT_TRUE(power == 0 || power == 1000) << power;
    }
    EXPECT_GT(on, 0);
    EXPECT_GT(off, 0);
    EXPECT_GE(high, 199);
    EXPECT_LE(low, 199);
    EXPECT_NEAR((low + high) / 2.0, 199, 6);
}

TEST_F(Process, ManualModeDrivesTheLoadWithTheWrittenOutput) {
    tq->SetCoil(kManual, true);
    tq->SetRegister(reg::kOutputPower, 500);
    bus.Advance(1200);
    EXPECT_NEAR(tq->Register(reg::kProcessValue), 320, 3);
    EXPECT_EQ(tq->Register(reg::kOutputPower), 500);
    tq->SetRegister(reg::kOutputPower, 0);
    bus.Advance(1200);
    EXPECT_NEAR(tq->Register(reg::kProcessValue), 20, 2);
    // Back to automatic: the controller takes the output over again.
    tq->SetCoil(kManual, false);
    bus.Advance(5);
    EXPECT_GT(tq->Register(reg::kOutputPower), 500);
}

TEST_F(Process, RelayOutputIsTimeProportionedOverTheCycleTime) {
    tq->SetCoil(kManual, true);
    tq->SetRegister(reg::kOutputPower, 300);
    tq->SetRegister(reg::kCycleTime, 10);
    int on = 0;
    for (int i = 0; i < 100; ++i) {
        bus.Advance(0.1);
        on += tq->Coil(kOutput) ? 1 : 0;
    }
    EXPECT_NEAR(on, 30, 2);
}

TEST_F(Process, SelfTuningRunsForAWhileThenClearsAndSetsNewTerms) {
    tq->SetRegister(reg::kProportionalBand, 999);
    bus.Serve(sim::Link::Tcp, simtest::Request(1, 5, kSelfTune, 0xFF00), nullptr);
    bus.Advance(1);
    EXPECT_TRUE(tq->Tuning());
    EXPECT_TRUE(tq->Coil(kSelfTune));
    bus.Advance(bus.Options().tuneSeconds);
    EXPECT_FALSE(tq->Tuning());
    EXPECT_FALSE(tq->Coil(kSelfTune));
    EXPECT_NE(tq->Register(reg::kProportionalBand), 999);
    EXPECT_GT(tq->Register(reg::kProportionalBand), 0);
}

TEST_F(Process, SelfTuningStopsWhenTheCoilIsClearedOrManualIsOn) {
    tq->SetCoil(kSelfTune, true);
    bus.Advance(1);
    ASSERT_TRUE(tq->Tuning());
    tq->SetCoil(kSelfTune, false);
    bus.Advance(1);
    EXPECT_FALSE(tq->Tuning());

    tq->SetCoil(kSelfTune, true);
    bus.Advance(1);
    tq->SetCoil(kManual, true);
    bus.Advance(1);
    EXPECT_FALSE(tq->Tuning());
    EXPECT_FALSE(tq->Coil(kSelfTune));
}

TEST_F(Process, AbsoluteAlarmsFollowTheProcessValueWithHysteresis) {
    tq->SetRegister(reg::kAlarm1Config, 1); // high
    tq->SetRegister(reg::kAlarm1Setpoint, 100);
    tq->SetRegister(reg::kAlarm1Hysteresis, 10);
    tq->SetRegister(reg::kAlarm2Config, 2); // low
    tq->SetRegister(reg::kAlarm2Setpoint, 50);
    bus.Advance(0.1);
    EXPECT_FALSE(tq->Coil(kAlarm1));
    EXPECT_TRUE(tq->Coil(kAlarm2));
    bus.Advance(1500);
    EXPECT_TRUE(tq->Coil(kAlarm1));
    EXPECT_FALSE(tq->Coil(kAlarm2));
    // Falling back to 95 stays inside the hysteresis; 85 clears the alarm.
    tq->SetTemperature(95);
    bus.Advance(0.1);
    EXPECT_TRUE(tq->Coil(kAlarm1));
    tq->SetTemperature(85);
    bus.Advance(0.1);
    EXPECT_FALSE(tq->Coil(kAlarm1));
}

TEST_F(Process, DeviationAlarmWatchesTheDistanceFromTheSetpoint) {
    tq->SetRegister(reg::kAlarm1Config, 6); // outside the band
    tq->SetRegister(reg::kAlarm1Setpoint, 20);
    bus.Advance(0.1);
    EXPECT_TRUE(tq->Coil(kAlarm1)); // 20 against 200
    bus.Advance(1500);
    EXPECT_FALSE(tq->Coil(kAlarm1));
}

TEST_F(Process, LeavingTheInputRangeRaisesOverAndUnderRange) {
    tq->SetRegister(reg::kInputType, 7); // T: 0-400 ºC
    tq->SetCoil(kManual, true);
    tq->SetRegister(reg::kOutputPower, 1000);
    bus.Advance(600);
    EXPECT_TRUE(tq->Coil(kOverRange));
    EXPECT_FALSE(tq->Coil(kUnderRange));
    tq->SetRegister(reg::kOutputPower, 0);
    bus.Advance(1200);
    EXPECT_FALSE(tq->Coil(kOverRange));
    // An analogue input spans the set point limits: 100..600 puts ambient below it.
    tq->SetRegister(reg::kInputType, 12);
    tq->SetRegister(reg::kSetpointLowerLimit, 100);
    bus.Advance(0.1);
    EXPECT_TRUE(tq->Coil(kUnderRange));
}

TEST_F(Process, DecimalPointAndUnitShapeTheProcessValue) {
    tq->SetTemperature(123.4);
    tq->SetRegister(reg::kDecimalPoint, 1);
    EXPECT_EQ(tq->Register(reg::kProcessValue), 1234);
    tq->SetRegister(reg::kDecimalPoint, 0);
    tq->SetRegister(reg::kUnit, 1);
    EXPECT_TRUE(tq->Coil(sim::coil::kFahrenheit));
    EXPECT_EQ(tq->Register(reg::kProcessValue), 254); // 123.4 ºC = 254.1 F
}

TEST_F(Process, RampMovesTheWorkingSetpointOverTheRampTime) {
    tq->SetRegister(reg::kRampConfig, 1);
    tq->SetRegister(reg::kRampTime, 2); // minutes
    bus.Advance(0.1);
    tq->SetRegister(reg::kSetpoint, 320);
    bus.Advance(60);
    EXPECT_TRUE(tq->Coil(sim::coil::kRamp));
    EXPECT_NEAR(tq->Register(reg::kDisplaySetpoint), 260, 2);
    bus.Advance(61);
    EXPECT_FALSE(tq->Coil(sim::coil::kRamp));
    EXPECT_EQ(tq->Register(reg::kDisplaySetpoint), 320);
}

TEST(ProcessSeed, SameSeedSameLoadsDifferentSeedOtherLoads) {
    auto run = [](uint64_t seed) {
        sim::SimBusOptions options = simtest::Frozen();
        options.uniformPlants = false;
        options.seed = seed;
        sim::SimBus bus(options);
        bus.AddDefaultControllers();
        std::vector<int> values;
        for (int step = 0; step < 5; ++step) {
            bus.Advance(30);
            for (uint8_t a : {1, 2, 40})
                values.push_back(bus.At(a).Register(reg::kProcessValue));
        }
        return values;
    };
    EXPECT_EQ(run(7), run(7));
    EXPECT_NE(run(7), run(8));
}

TEST(ProcessClock, TimeScaleMovesTheProcessWithoutAdvance) {
    sim::SimBusOptions options = simtest::Frozen();
    options.timeScale = 1000;
    sim::SimBus bus(options);
    sim::Controller& c = bus.AddController(1, TQ102_TQ402);
    c.SetTemperature(20);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (c.Register(reg::kProcessValue) < 100 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(c.Register(reg::kProcessValue), 100);
}

} // namespace
