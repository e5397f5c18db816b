#include "SimTestSupport.h"

#include <gtest/gtest.h>

using simtest::Request;

namespace {

// Answer frame (address + PDU) of one request served over TCP.
std::vector<uint8_t> Ask(sim::SimBus& bus, const std::vector<uint8_t>& request) {
    return bus.Serve(sim::Link::Tcp, request, nullptr).frame;
}

uint8_t ExceptionOf(const std::vector<uint8_t>& answer) {
    return answer.size() == 3 && (answer[1] & 0x80) ? answer[2] : 0;
}

class RegisterMap : public ::testing::Test {
protected:
    sim::SimBus bus{simtest::Frozen()};
    void SetUp() override {
        bus.AddController(1, TQ100);
        bus.AddController(2, TQ102_TQ402);
    }
};

TEST_F(RegisterMap, Tq100AnswersItsFiftyFourRegistersAndTheFamilyRegister) {
    const auto all = Ask(bus, Request(1, 3, 0, 54));
    ASSERT_EQ(all.size(), 3u + 108u);
    EXPECT_EQ(all[2], 108);
    // Set point default 200 at register 1; retransmission upper limit 600 at register 53.
    EXPECT_EQ(all[3 + 2] << 8 | all[3 + 3], 200);
    EXPECT_EQ(all[3 + 106] << 8 | all[3 + 107], 600);
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(1, 3, 0, 55))), sim::kIllegalAddress);
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(1, 3, 54, 1))), sim::kIllegalAddress);
    const auto family = Ask(bus, Request(1, 3, 56, 1));
    ASSERT_EQ(family.size(), 5u);
    EXPECT_EQ(family[3] << 8 | family[4], 0);
    // A block that runs past the map into the family register is refused as a whole.
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(1, 3, 53, 4))), sim::kIllegalAddress);
}

TEST_F(RegisterMap, Zi102HasFortyThreeRegistersAndANonZeroFamilyRegister) {
    EXPECT_EQ(Ask(bus, Request(2, 3, 0, 43)).size(), 3u + 86u);
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(2, 3, 43, 1))), sim::kIllegalAddress);
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(2, 3, 32, 16))), sim::kIllegalAddress);
    const auto family = Ask(bus, Request(2, 3, 56, 1));
    ASSERT_EQ(family.size(), 5u);
    EXPECT_NE(family[3] << 8 | family[4], 0);
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(2, 6, 46, 1))), sim::kIllegalAddress);
}

TEST_F(RegisterMap, VersionsAreInTenths) {
    EXPECT_EQ(bus.At(1).Register(reg::kSoftwareVersion), 12);
    EXPECT_GT(bus.At(2).Register(reg::kHardwareVersion), 0);
    const auto answer = Ask(bus, Request(2, 3, 41, 2));
    ASSERT_EQ(answer.size(), 7u);
    EXPECT_EQ(answer[3] << 8 | answer[4], 12);
}

TEST_F(RegisterMap, WritesFollowTheModelRanges) {
    const auto echo = Ask(bus, Request(1, 6, 1, uint16_t(-9999)));
    EXPECT_EQ(echo, Request(1, 6, 1, uint16_t(-9999)));
    EXPECT_EQ(bus.At(1).Register(1), -9999);
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(1, 6, 1, 10000))), sim::kIllegalValue);
    EXPECT_EQ(bus.At(1).Register(1), -9999);
    // Reserved registers take only 0.
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(1, 6, 13, 1))), sim::kIllegalValue);
    EXPECT_EQ(Ask(bus, Request(1, 6, 13, 0)), Request(1, 6, 13, 0));
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(1, 6, 56, 1))), sim::kIllegalAddress);
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(1, 6, 54, 1))), sim::kIllegalAddress);
    EXPECT_EQ(Ask(bus, Request(1, 6, 53, 700)), Request(1, 6, 53, 700));
}

TEST_F(RegisterMap, CoilCountsFollowTheFamily) {
    const auto tq = Ask(bus, Request(1, 1, 0, 11));
    ASSERT_EQ(tq.size(), 5u);
    EXPECT_EQ(tq[2], 2);
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(1, 1, 0, 12))), sim::kIllegalAddress);
    EXPECT_EQ(Ask(bus, Request(2, 1, 0, 10)).size(), 5u);
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(2, 1, 0, 11))), sim::kIllegalAddress);
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(2, 1, 10, 1))), sim::kIllegalAddress);
}

TEST_F(RegisterMap, CoilsArePackedLeastSignificantFirst) {
    sim::Controller& c = bus.At(1);
    c.SetCoil(sim::coil::kAlarm1, true);       // bit 2
    c.SetCoil(sim::coil::kManual, true);       // bit 5
    c.SetCoil(sim::coil::kDigitalInput, true); // second byte, bit 0
    const auto answer = Ask(bus, Request(1, 1, 0, 11));
    ASSERT_EQ(answer.size(), 5u);
    EXPECT_EQ(answer[3], 0x24);
    EXPECT_EQ(answer[4] & 0x01, 0x01);
    // Unused bits of the last byte are zero.
    const auto part = Ask(bus, Request(1, 1, 2, 4));
    ASSERT_EQ(part.size(), 4u);
    EXPECT_EQ(part[3], 0x09);
}

TEST_F(RegisterMap, OnlySelfTuneAndManualCoilsAreWritable) {
    EXPECT_EQ(Ask(bus, Request(1, 5, 5, 0xFF00)), Request(1, 5, 5, 0xFF00));
    EXPECT_TRUE(bus.At(1).Coil(sim::coil::kManual));
    EXPECT_EQ(Ask(bus, Request(1, 5, 5, 0x0000)), Request(1, 5, 5, 0x0000));
    EXPECT_FALSE(bus.At(1).Coil(sim::coil::kManual));
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(1, 5, 5, 0x00FF))), sim::kIllegalValue);
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(1, 5, 0, 0xFF00))), sim::kIllegalAddress);
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(1, 5, 11, 0xFF00))), sim::kIllegalAddress);
}

TEST_F(RegisterMap, OtherFunctionsAndBadQuantitiesAreRefused) {
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(1, 4, 0, 1))), sim::kIllegalFunction);
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(1, 16, 0, 1))), sim::kIllegalFunction);
    EXPECT_EQ(ExceptionOf(Ask(bus, {1, 0x2B, 0x0E, 1, 0})), sim::kIllegalFunction);
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(1, 3, 0, 0))), sim::kIllegalValue);
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(1, 3, 0, 126))), sim::kIllegalValue);
    EXPECT_EQ(ExceptionOf(Ask(bus, Request(1, 1, 0, 0))), sim::kIllegalValue);
    // A truncated request is answered, not read past its end.
    EXPECT_EQ(ExceptionOf(Ask(bus, {1, 3, 0})), sim::kIllegalValue);
}

TEST_F(RegisterMap, AbsentAddressesStaySilentAndBroadcastWritesReachEveryone) {
    EXPECT_FALSE(bus.Serve(sim::Link::Tcp, Request(9, 3, 0, 1), nullptr).send);
    const sim::Reply broadcast = bus.Serve(sim::Link::Tcp, Request(0, 6, 2, 150), nullptr);
    EXPECT_FALSE(broadcast.send);
    EXPECT_EQ(bus.At(1).Register(2), 150);
    EXPECT_EQ(bus.At(2).Register(2), 150);
    // Broadcast reads make no sense and are ignored.
    bus.ClearRequestLog();
    EXPECT_FALSE(bus.Serve(sim::Link::Tcp, Request(0, 3, 0, 1), nullptr).send);
    EXPECT_EQ(bus.RequestCount(3), 0u);
}

TEST_F(RegisterMap, RequestsAreLoggedWithFunctionStartAndQuantity) {
    Ask(bus, Request(1, 3, 16, 16));
    Ask(bus, Request(2, 1, 0, 10));
    Ask(bus, Request(2, 3, 50, 1));
    const auto log = bus.RequestLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].address, 1);
    EXPECT_EQ(log[0].function, 3);
    EXPECT_EQ(log[0].start, 16);
    EXPECT_EQ(log[0].quantity, 16);
    EXPECT_EQ(log[1].function, 1);
    EXPECT_EQ(log[1].quantity, 10);
    EXPECT_EQ(log[2].exception, sim::kIllegalAddress);
    EXPECT_EQ(bus.RequestCount(3), 2u);
    EXPECT_EQ(bus.RequestCount(1), 1u);
}

TEST_F(RegisterMap, AddressesMustBeFreeAndValid) {
    EXPECT_THROW(bus.AddController(1, TQ100), std::invalid_argument);
    EXPECT_THROW(bus.AddController(0, TQ100), std::invalid_argument);
    EXPECT_THROW(bus.AddController(248, TQ100), std::invalid_argument);
    EXPECT_THROW(bus.At(3), std::out_of_range);
    bus.AddDefaultControllers();
    EXPECT_EQ(bus.Addresses().size(), 72u);
    EXPECT_EQ(bus.At(71).Family(), TQ100);
    EXPECT_EQ(bus.At(72).Family(), TQ102_TQ402);
    EXPECT_EQ(bus.At(72).Line().baud, 19200u);
}

} // namespace
