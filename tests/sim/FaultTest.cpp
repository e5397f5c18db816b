// Every fault kind against the real master and its real transports.
#include "SimTestSupport.h"

#include "core/modbus/ModbusMaster.h"
#include "core/modbus/TcpCommPort.h"

#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace {

using Master = CModbusMaster;
using sim::FaultKind;

class Faults : public ::testing::Test {
protected:
    sim::SimBus bus{simtest::Frozen()};
    void SetUp() override {
        bus.AddController(1, TQ100);
        bus.AddController(2, TQ102_TQ402);
    }
    std::unique_ptr<Master> Tcp() {
        auto master = std::make_unique<Master>("127.0.0.1", bus.StartTcp(0));
        EXPECT_TRUE(master->IsOpen());
        return master;
    }
    std::unique_ptr<Master> Rtu() {
        auto master = std::make_unique<Master>(bus.StartPty(), 19200, 0, 0, 8);
        EXPECT_TRUE(master->IsOpen());
        return master;
    }
    // The error a request throws, or comOk when it returned.
    static Master::tErrorCom Thrown(Master& master, uint8_t address, bool retry, int waitMs,
                                    int* result = nullptr, int16_t* value = nullptr) {
        int16_t scratch = 0;
        try {
            const int r = master.Request(address, 3, 1, 1, value ? value : &scratch, retry, waitMs);
            if (result)
                *result = r;
            return Master::comOk;
        } catch (Master::tErrorCom e) {
            return e;
        }
    }
    size_t Requests(uint8_t address) {
        size_t n = 0;
        for (const auto& r : bus.RequestLog())
            n += r.address == address ? 1 : 0;
        return n;
    }
};

TEST_F(Faults, NoFaultReadsTheSetpointOverBothTransports) {
    int16_t value = 0;
    auto tcp = Tcp();
    EXPECT_EQ(Thrown(*tcp, 1, true, 50, nullptr, &value), Master::comOk);
    EXPECT_EQ(value, 200);
    auto rtu = Rtu();
    value = 0;
    EXPECT_EQ(Thrown(*rtu, 2, true, 1000, nullptr, &value), Master::comOk);
    EXPECT_EQ(value, 200);
}

TEST_F(Faults, SilentControllerGivesNoResponseAfterFiveAttempts) {
    bus.SetFault(1, FaultKind::Silent);
    auto rtu = Rtu();
    EXPECT_EQ(Thrown(*rtu, 1, true, 20), Master::comNoResponse);
    EXPECT_EQ(Requests(1), 5u);
    // Its neighbour is unaffected.
    EXPECT_EQ(Thrown(*rtu, 2, true, 1000), Master::comOk);
}

TEST_F(Faults, SilentOverTcpIsNoResponseToo) {
    bus.SetFault(1, FaultKind::Silent);
    auto tcp = Tcp();
    EXPECT_EQ(Thrown(*tcp, 1, false, 10), Master::comNoResponse);
    EXPECT_EQ(Requests(1), 1u);
}

TEST_F(Faults, ShortAnswerIsAShortFrame) {
    bus.SetFault(1, FaultKind::ShortAnswer);
    auto rtu = Rtu();
    EXPECT_EQ(Thrown(*rtu, 1, true, 500), Master::comShortFrame);
    EXPECT_EQ(Requests(1), 5u);
    auto tcp = Tcp();
    EXPECT_EQ(Thrown(*tcp, 1, false, 10), Master::comShortFrame);
}

TEST_F(Faults, BadCrcIsACrcErrorOverRtu) {
    bus.SetFault(2, FaultKind::BadCrc);
    auto rtu = Rtu();
    EXPECT_EQ(Thrown(*rtu, 2, true, 1000), Master::comCrcError);
    EXPECT_EQ(Requests(2), 5u);
    // TCP carries no CRC: the answer stands.
    auto tcp = Tcp();
    int16_t value = 0;
    EXPECT_EQ(Thrown(*tcp, 2, false, 10, nullptr, &value), Master::comOk);
    EXPECT_EQ(value, 200);
}

TEST_F(Faults, ExceptionIsReturnedAsTwoAfterOneAttempt) {
    bus.SetFault(1, FaultKind::Exception, 1.0, 4);
    auto tcp = Tcp();
    int result = -1;
    EXPECT_EQ(Thrown(*tcp, 1, true, 10, &result), Master::comOk);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(Requests(1), 1u);
    const auto log = bus.RequestLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().fault, FaultKind::Exception);
}

TEST_F(Faults, WrongAddressIsAMismatch) {
    bus.SetFault(1, FaultKind::WrongAddress);
    auto rtu = Rtu();
    EXPECT_EQ(Thrown(*rtu, 1, true, 1000), Master::comMismatch);
    auto tcp = Tcp();
    EXPECT_EQ(Thrown(*tcp, 1, false, 10), Master::comMismatch);
}

TEST_F(Faults, SlowAnswerBeyondTheWaitIsNoResponseOverRtu) {
    bus.SetFault(1, FaultKind::Slow, 1.0, 400);
    auto rtu = Rtu();
    EXPECT_EQ(Thrown(*rtu, 1, false, 50), Master::comNoResponse);
    // Within the wait it is an ordinary answer.
    bus.ClearFaults(1);
    bus.SetFault(1, FaultKind::Slow, 1.0, 50);
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // the late answer lands
    int16_t value = 0;
    EXPECT_EQ(Thrown(*rtu, 1, true, 2000, nullptr, &value), Master::comOk);
    EXPECT_EQ(value, 200);
}

TEST_F(Faults, LateTcpAnswerIsNotTakenForTheNextOne) {
    bus.At(1).SetRegister(2, 111);
    bus.SetFault(1, FaultKind::Slow, 1.0, 1500);
    auto tcp = Tcp();
    EXPECT_EQ(Thrown(*tcp, 1, false, 10), Master::comNoResponse);
    bus.ClearFaults(1);
    // The answer to the first request (register 1 = 200) is still on its way.
    int16_t value = 0;
    ASSERT_NO_THROW(tcp->Request(1, 3, 2, 1, &value, true, 10));
    EXPECT_EQ(value, 111);
}

TEST_F(Faults, WrongMbapIdentifierEndsInAPortErrorAfterBoundedRepeats) {
    bus.SetFault(2, FaultKind::WrongMbapId);
    auto tcp = Tcp();
    EXPECT_EQ(Thrown(*tcp, 2, true, 10), Master::comPortError);
    EXPECT_EQ(Requests(2), size_t(CTcpCommPort::kMaxIdRepeats) + 1);
}

TEST_F(Faults, AConnectionDroppedEveryTimeIsAPortErrorAfterTheAttempts) {
    bus.SetFault(1, FaultKind::DropConnection);
    auto tcp = Tcp();
    EXPECT_EQ(Thrown(*tcp, 1, true, 10), Master::comPortError);
    // Each of the master's five attempts went out once, on a new connection.
    EXPECT_EQ(Requests(1), 5u);
    // Without retries the request goes out once.
    EXPECT_EQ(Thrown(*tcp, 1, false, 10), Master::comPortError);
    EXPECT_EQ(Requests(1), 6u);
}

TEST_F(Faults, DropOnTheSerialLineIsSilence) {
    bus.SetFault(1, FaultKind::DropConnection);
    auto rtu = Rtu();
    EXPECT_EQ(Thrown(*rtu, 1, false, 20), Master::comNoResponse);
}

TEST_F(Faults, SilentWritesAreNotApplied) {
    bus.SetFault(1, FaultKind::Silent);
    const sim::Reply reply = bus.Serve(sim::Link::Tcp, simtest::Request(1, 6, 1, 321), nullptr);
    EXPECT_FALSE(reply.send);
    EXPECT_EQ(bus.At(1).Register(1), 200);
}

TEST(FaultRates, DrawsAreRepeatableWithASeedAndFollowTheRate) {
    auto pattern = [](uint64_t seed) {
        sim::SimBusOptions options = simtest::Frozen();
        options.seed = seed;
        sim::SimBus bus(options);
        bus.AddController(5, TQ100);
        bus.SetFault(5, FaultKind::Silent, 0.3);
        bus.SetFault(5, FaultKind::Exception, 0.5, 6);
        std::string out;
        for (int i = 0; i < 400; ++i) {
            const sim::Reply r = bus.Serve(sim::Link::Tcp, simtest::Request(5, 3, 0, 1), nullptr);
            out += !r.send ? 's' : r.fault == FaultKind::Exception ? 'e' : '.';
        }
        return out;
    };
    const std::string a = pattern(11);
    EXPECT_EQ(a, pattern(11));
    EXPECT_NE(a, pattern(12));
    const auto silent = std::count(a.begin(), a.end(), 's');
    const auto exceptions = std::count(a.begin(), a.end(), 'e');
    // 30 % silent; half of the rest answer with an exception.
    EXPECT_NEAR(silent, 120, 40);
    EXPECT_NEAR(exceptions, 140, 40);
}

TEST(FaultRates, RateZeroNeverFires) {
    sim::SimBus bus(simtest::Frozen());
    bus.AddController(5, TQ100);
    bus.SetFault(5, FaultKind::Silent, 0.0);
    for (int i = 0; i < 100; ++i)
        EXPECT_TRUE(bus.Serve(sim::Link::Tcp, simtest::Request(5, 3, 0, 1), nullptr).send);
}

} // namespace
