// The TCP side: framing, several clients, clients that vanish, shutdown.
#include "SimTestSupport.h"

#include "core/modbus/ModbusMaster.h"

#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace {

using simtest::RawTcp;
using simtest::Request;

class TcpSide : public ::testing::Test {
protected:
    sim::SimBus bus{simtest::Frozen()};
    uint16_t port = 0;
    void SetUp() override {
        bus.AddController(1, TQ100);
        bus.AddController(2, TQ102_TQ402);
        port = bus.StartTcp(0);
        ASSERT_NE(port, 0);
    }
};

TEST_F(TcpSide, AnswerCarriesTheRequestIdentifierAndUnit) {
    RawTcp client(port);
    ASSERT_TRUE(client.Ok());
    ASSERT_TRUE(client.Send(RawTcp::Adu(0xBEEF, Request(2, 3, 56, 1))));
    const auto answer = client.Read(11);
    ASSERT_EQ(answer.size(), 11u);
    EXPECT_EQ(answer[0], 0xBE);
    EXPECT_EQ(answer[1], 0xEF);
    EXPECT_EQ(answer[2], 0);
    EXPECT_EQ(answer[3], 0);
    EXPECT_EQ(answer[5], 5);
    EXPECT_EQ(answer[6], 2);
    EXPECT_EQ(answer[7], 3);
    EXPECT_EQ(answer[9] << 8 | answer[10], 1);
}

TEST_F(TcpSide, FramesSplitOrJoinedAreServedOneByOne) {
    RawTcp client(port);
    const auto adu = RawTcp::Adu(1, Request(1, 3, 1, 1));
    ASSERT_TRUE(client.Send({adu.begin(), adu.begin() + 4}));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(client.Send({adu.begin() + 4, adu.end()}));
    EXPECT_EQ(client.Read(11).size(), 11u);

    auto two = RawTcp::Adu(2, Request(1, 3, 1, 1));
    const auto second = RawTcp::Adu(3, Request(2, 3, 2, 1));
    two.insert(two.end(), second.begin(), second.end());
    ASSERT_TRUE(client.Send(two));
    const auto answers = client.Read(22);
    ASSERT_EQ(answers.size(), 22u);
    EXPECT_EQ(answers[1], 2);
    EXPECT_EQ(answers[12], 3);
    EXPECT_EQ(answers[20] << 8 | answers[21], 100);
}

TEST_F(TcpSide, AMalformedHeaderEndsOnlyThatConnection) {
    RawTcp bad(port);
    RawTcp good(port);
    auto adu = RawTcp::Adu(1, Request(1, 3, 1, 1));
    adu[2] = 0x12; // not Modbus
    ASSERT_TRUE(bad.Send(adu));
    EXPECT_TRUE(bad.Read(1, 2000).empty());
    EXPECT_TRUE(bad.closedByPeer);
    ASSERT_TRUE(good.Send(RawTcp::Adu(9, Request(1, 3, 1, 1))));
    EXPECT_EQ(good.Read(11).size(), 11u);

    RawTcp zeroLength(port);
    ASSERT_TRUE(zeroLength.Send({0, 1, 0, 0, 0, 0}));
    EXPECT_TRUE(zeroLength.Read(1, 2000).empty());
    EXPECT_TRUE(zeroLength.closedByPeer);
}

TEST_F(TcpSide, AbsentUnitGetsNoAnswerButTheConnectionStays) {
    RawTcp client(port);
    ASSERT_TRUE(client.Send(RawTcp::Adu(1, Request(77, 3, 0, 1))));
    EXPECT_TRUE(client.Read(1, 300).empty());
    EXPECT_FALSE(client.closedByPeer);
    ASSERT_TRUE(client.Send(RawTcp::Adu(2, Request(1, 3, 0, 1))));
    EXPECT_EQ(client.Read(11).size(), 11u);
}

TEST_F(TcpSide, SeveralMastersAtOnce) {
    constexpr int kMasters = 8;
    std::vector<std::future<int>> results;
    for (int i = 0; i < kMasters; ++i) {
        results.push_back(std::async(std::launch::async, [this, i] {
            CModbusMaster master("127.0.0.1", port);
            if (!master.IsOpen())
                return -1;
            int ok = 0;
            for (int n = 0; n < 20; ++n) {
                int16_t value = 0;
                try {
                    if (master.Request(uint8_t(1 + (i + n) % 2), 3, 1, 1, &value, true, 5) == 0 &&
                        value == 200)
                        ++ok;
                } catch (CModbusMaster::tErrorCom) {
                }
            }
            return ok;
        }));
    }
    for (auto& r : results)
        EXPECT_EQ(r.get(), 20);
    EXPECT_EQ(bus.RequestCount(3), uint64_t(kMasters) * 20);
}

TEST_F(TcpSide, ClientsThatVanishAreForgotten) {
    bus.SetFault(1, sim::FaultKind::Slow, 1.0, 300);
    for (int i = 0; i < 5; ++i) {
        RawTcp client(port);
        ASSERT_TRUE(client.Send(RawTcp::Adu(1, Request(1, 3, 0, 1))));
        // Gone before the answer: the answer's send must not kill the simulator.
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    RawTcp client(port);
    ASSERT_TRUE(client.Send(RawTcp::Adu(1, Request(2, 3, 0, 1))));
    EXPECT_EQ(client.Read(11).size(), 11u);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (bus.TcpClientCount() > 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(bus.TcpClientCount(), 1u);
}

TEST(TcpClients, ManyAreServedAndSilentOnesAreClosed) {
    sim::SimBusOptions options = simtest::Frozen();
    options.tcpIdleTimeout = std::chrono::milliseconds(1500);
    options.tcpHalfFrameTimeout = std::chrono::milliseconds(300);
    sim::SimBus bus(options);
    bus.AddController(1, TQ100);
    const uint16_t port = bus.StartTcp(0);
    // More connections than any fixed cap would let in, all held open.
    std::vector<std::unique_ptr<RawTcp>> idle;
    for (int i = 0; i < 80; ++i) {
        idle.push_back(std::make_unique<RawTcp>(port));
        ASSERT_TRUE(idle.back()->Ok());
    }
    RawTcp late(port);
    ASSERT_TRUE(late.Send(RawTcp::Adu(7, Request(1, 3, 0, 1))));
    EXPECT_EQ(late.Read(11).size(), 11u) << "the 81st client is served";
    // Silent ones are closed and forgotten.
    EXPECT_TRUE(idle[0]->Read(1, 10000).empty());
    EXPECT_TRUE(idle[0]->closedByPeer);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (bus.TcpClientCount() > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(bus.TcpClientCount(), 0u);

    // One that stops half-way through a frame goes sooner than one between frames.
    const auto adu = RawTcp::Adu(8, Request(1, 3, 0, 1));
    RawTcp quiet(port);
    RawTcp half(port);
    ASSERT_TRUE(half.Send({adu.begin(), adu.begin() + 7}));
    EXPECT_TRUE(half.Read(1, 1200).empty());
    EXPECT_TRUE(half.closedByPeer);
    EXPECT_TRUE(quiet.Read(1, 100).empty());
    EXPECT_FALSE(quiet.closedByPeer);
    EXPECT_TRUE(quiet.Read(1, 5000).empty());
    EXPECT_TRUE(quiet.closedByPeer);
}

TEST(TcpShutdown, StopWithClientsConnectedAndAnswersPendingDoesNotHang) {
    auto bus = std::make_unique<sim::SimBus>(simtest::Frozen(true));
    bus->AddController(1, TQ100);
    bus->AddController(2, TQ100, 2400);
    const uint16_t port = bus->StartTcp(0);
    const std::string pty = bus->StartPty();
    bus->SetFault(1, sim::FaultKind::Slow, 1.0, 60000);
    std::vector<std::unique_ptr<RawTcp>> clients;
    for (int i = 0; i < 4; ++i) {
        clients.push_back(std::make_unique<RawTcp>(port));
        ASSERT_TRUE(clients.back()->Send(RawTcp::Adu(1, Request(1, 3, 0, 1))));
    }
    // A serial master holding the terminal, its request waiting on a slow answer too.
    bus->SetFault(2, sim::FaultKind::Slow, 1.0, 60000);
    CModbusMaster serial(pty, 2400, 0, 0, 8);
    ASSERT_TRUE(serial.IsOpen());
    int16_t value = 0;
    EXPECT_THROW(serial.Request(2, 3, 0, 1, &value, false, 50), CModbusMaster::tErrorCom);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    const auto start = std::chrono::steady_clock::now();
    auto done = std::async(std::launch::async, [&bus] { bus->Stop(); });
    ASSERT_EQ(done.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    for (auto& c : clients) {
        c->Read(64, 1000);
        EXPECT_TRUE(c->closedByPeer);
    }
    bus->Stop(); // twice is fine
    bus.reset();
}

TEST(TcpShutdown, AClientThatNeverReadsDoesNotHoldStop) {
    auto bus = std::make_unique<sim::SimBus>(simtest::Frozen());
    bus->AddController(1, TQ100);
    RawTcp client(bus->StartTcp(0));
    // Far more answers than the socket buffers hold; the client reads none of them.
    std::vector<uint8_t> burst;
    for (int i = 0; i < 200; ++i) {
        const auto adu = RawTcp::Adu(uint16_t(i), Request(1, 3, 0, 125));
        burst.insert(burst.end(), adu.begin(), adu.end());
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    size_t bursts = 0;
    while (std::chrono::steady_clock::now() < until && client.SendSome(burst))
        ++bursts;
    ASSERT_GT(bursts, 10u);
    auto done = std::async(std::launch::async, [&bus] { bus->Stop(); });
    EXPECT_EQ(done.wait_for(std::chrono::seconds(5)), std::future_status::ready);
}

TEST(TcpShutdown, PortCanBeReusedAfterStop) {
    uint16_t port = 0;
    {
        sim::SimBus bus(simtest::Frozen());
        bus.AddController(1, TQ100);
        port = bus.StartTcp(0);
    }
    sim::SimBus again(simtest::Frozen());
    again.AddController(1, TQ100);
    EXPECT_EQ(again.StartTcp(port), port);
    EXPECT_THROW(again.StartTcp(0), std::runtime_error);
}

TEST(TcpShutdown, BadHostIsRefused) {
    sim::SimBus bus(simtest::Frozen());
    EXPECT_THROW(bus.StartTcp(0, "not-an-address"), std::runtime_error);
    EXPECT_EQ(bus.TcpPort(), 0);
}

} // namespace
