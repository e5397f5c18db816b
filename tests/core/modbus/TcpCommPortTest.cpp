// The TCP transport against a slave on the loopback played by the test.
#include "core/modbus/TcpCommPort.h"
#include "core/modbus/ModbusMaster.h"
#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

#include <atomic>

using Master = CModbusMaster;
using Clock = std::chrono::steady_clock;

namespace {

const std::vector<uint8_t> kProbe = {0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A};
const std::vector<uint8_t> kValue42 = {0x01, 0x03, 0x02, 0x00, 0x2A};

long MsSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

struct Result {
    int code;
    std::vector<uint8_t> bytes;
};

Result Exchange(CTcpCommPort& port, int waitMs, uint32_t capacity = 256,
                const std::vector<uint8_t>& request = kProbe) {
    uint8_t buffer[256];
    uint32_t length = capacity;
    const int code =
        port.Transact(request.data(), static_cast<int>(request.size()), buffer, &length, waitMs);
    return {code, std::vector<uint8_t>(buffer, buffer + length)};
}

// A port that the system refuses: bound once, then closed, so nothing listens there.
uint16_t ClosedPort() {
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(probe);
    return ntohs(address.sin_port);
}

} // namespace

TEST(TcpPort, RequestGoesOutWithMbapHeaderAndWithoutCrc) {
    std::vector<uint8_t> seen;
    LoopbackPeer peer([&](LoopbackPeer& p) {
        seen = p.ReadRequest();
        p.Write(LoopbackPeer::AnswerTo(seen, kValue42));
    });
    CTcpCommPort port("127.0.0.1", peer.Port());
    ASSERT_TRUE(port.IsOpen());
    const auto result = Exchange(port, 0);
    peer.Join();
    ASSERT_EQ(seen.size(), 12u);
    EXPECT_EQ(seen[0], port.TransactionId() & 0xFF) << "identifier low byte first";
    EXPECT_EQ(seen[1], port.TransactionId() >> 8);
    EXPECT_EQ(std::vector<uint8_t>(seen.begin() + 2, seen.end()),
              (std::vector<uint8_t>{0x00, 0x00, 0x00, 0x06, 0x01, 0x03, 0x00, 0x00, 0x00, 0x01}));
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.bytes, kValue42);
}

TEST(TcpPort, AnswerSplitAcrossSegmentsIsGathered) {
    LoopbackPeer peer([&](LoopbackPeer& p) {
        const auto request = p.ReadRequest();
        const auto answer = LoopbackPeer::AnswerTo(request, kValue42);
        const size_t cuts[] = {0, 2, 5, 6, 8, answer.size()};
        for (size_t i = 0; i + 1 < std::size(cuts); ++i) {
            p.Write({answer.begin() + cuts[i], answer.begin() + cuts[i + 1]});
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
    });
    CTcpCommPort port("127.0.0.1", peer.Port());
    ASSERT_TRUE(port.IsOpen());
    const auto result = Exchange(port, 0);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.bytes, kValue42);
}

TEST(TcpPort, WrongIdentifierThenRightRepeatsTheExchange) {
    int requests = 0;
    LoopbackPeer peer([&](LoopbackPeer& p) {
        auto request = p.ReadRequest();
        ++requests;
        p.Write(LoopbackPeer::Answer(request[0] ^ 0x5A, request[1], {0x01, 0x03, 0x02, 0, 1}));
        request = p.ReadRequest();
        if (request.size() == 12) {
            ++requests;
            p.Write(LoopbackPeer::AnswerTo(request, kValue42));
        }
    });
    CTcpCommPort port("127.0.0.1", peer.Port());
    ASSERT_TRUE(port.IsOpen());
    const auto result = Exchange(port, 0);
    peer.Join();
    EXPECT_EQ(requests, 2);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.bytes, kValue42);
}

TEST(TcpPort, IdentifierMismatchesRepeatAtMostThreeTimes) {
    std::atomic<int> requests{0};
    LoopbackPeer peer([&](LoopbackPeer& p) {
        for (;;) {
            const auto request = p.ReadRequest(3000);
            if (request.size() != 12)
                return;
            ++requests;
            p.Write(LoopbackPeer::Answer(request[0] ^ 0xFF, request[1], kValue42));
        }
    });
    CTcpCommPort port("127.0.0.1", peer.Port());
    ASSERT_TRUE(port.IsOpen());
    const auto start = Clock::now();
    EXPECT_EQ(Exchange(port, 0).code, 0);
    EXPECT_LT(MsSince(start), 15000);
    port.Close();
    peer.Join();
    EXPECT_EQ(requests.load(), 1 + CTcpCommPort::kMaxIdRepeats);
}

TEST(TcpPort, LengthAboveTheCapacityFails) {
    LoopbackPeer peer([&](LoopbackPeer& p) {
        const auto request = p.ReadRequest();
        p.Write(LoopbackPeer::AnswerTo(request, {0x01, 0x03, 0x04, 0, 1, 0, 2}));
    });
    CTcpCommPort port("127.0.0.1", peer.Port());
    ASSERT_TRUE(port.IsOpen());
    EXPECT_EQ(Exchange(port, 0, 6).code, 0);
}

TEST(TcpPort, SilenceIsASuccessfulExchangeWithNoBytes) {
    LoopbackPeer peer([&](LoopbackPeer& p) {
        p.ReadRequest();
        p.Read(1, 3000); // holds the connection until the master closes it
    });
    CTcpCommPort port("127.0.0.1", peer.Port());
    ASSERT_TRUE(port.IsOpen());
    const auto start = Clock::now();
    const auto result = Exchange(port, 100);
    EXPECT_GE(MsSince(start), 1000) << "the window is the wait plus one second";
    EXPECT_EQ(result.code, 1);
    EXPECT_TRUE(result.bytes.empty());
    port.Close();
}

TEST(TcpPort, AnswerLateInTheWindowIsTaken) {
    LoopbackPeer peer([&](LoopbackPeer& p) {
        const auto request = p.ReadRequest();
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        p.Write(LoopbackPeer::AnswerTo(request, kValue42));
    });
    CTcpCommPort port("127.0.0.1", peer.Port());
    ASSERT_TRUE(port.IsOpen());
    const auto result = Exchange(port, 300);
    EXPECT_EQ(result.bytes, kValue42);
}

TEST(TcpPort, QuickAnswerDoesNotWaitOutTheWait) {
    LoopbackPeer peer([&](LoopbackPeer& p) {
        const auto request = p.ReadRequest();
        p.Write(LoopbackPeer::AnswerTo(request, kValue42));
    });
    CTcpCommPort port("127.0.0.1", peer.Port());
    ASSERT_TRUE(port.IsOpen());
    const auto start = Clock::now();
    const auto result = Exchange(port, 20000);
    EXPECT_EQ(result.bytes, kValue42);
    EXPECT_LT(MsSince(start), 10000);
}

TEST(TcpPort, PendingInputIsDiscardedBeforeTheRequest) {
    LoopbackPeer peer([&](LoopbackPeer& p) {
        // A late answer to some earlier request, already waiting when the next one goes out.
        p.Write(LoopbackPeer::Answer(0, 0, {0x01, 0x03, 0x02, 0x7F, 0x7F}));
        const auto request = p.ReadRequest();
        p.Write(LoopbackPeer::AnswerTo(request, kValue42));
    });
    CTcpCommPort port("127.0.0.1", peer.Port());
    ASSERT_TRUE(port.IsOpen());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto result = Exchange(port, 0);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.bytes, kValue42);
}

TEST(TcpPort, PeerClosingMidAnswerFailsAndTheNextRequestConnectsAgain) {
    std::atomic<int> connections{1};
    LoopbackPeer peer([&](LoopbackPeer& p) {
        auto request = p.ReadRequest();
        const auto answer = LoopbackPeer::AnswerTo(request, kValue42);
        p.Write({answer.begin(), answer.begin() + 8});
        // A restarting gateway: the connection is gone, a new one is served.
        if (!p.Accept())
            return;
        ++connections;
        request = p.ReadRequest();
        p.Write(LoopbackPeer::AnswerTo(request, kValue42));
        // Closed between two requests this time: found before the send.
        if (!p.Accept())
            return;
        ++connections;
        request = p.ReadRequest();
        p.Write(LoopbackPeer::AnswerTo(request, kValue42));
    });
    CTcpCommPort port("127.0.0.1", peer.Port());
    ASSERT_TRUE(port.IsOpen());
    const auto start = Clock::now();
    EXPECT_EQ(Exchange(port, 0).code, 0);
    auto result = Exchange(port, 0);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.bytes, kValue42);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    result = Exchange(port, 0);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.bytes, kValue42);
    peer.Join();
    EXPECT_EQ(connections.load(), 3);
    EXPECT_LT(MsSince(start), 10000);
}

TEST(TcpPort, PeerThatStaysAwayFailsEachRequestAfterOneConnectAttempt) {
    auto peer = std::make_unique<LoopbackPeer>([](LoopbackPeer&) {});
    CTcpCommPort port("127.0.0.1", peer->Port());
    ASSERT_TRUE(port.IsOpen());
    peer.reset(); // the listener is gone: every new connect is refused
    const auto start = Clock::now();
    EXPECT_EQ(Exchange(port, 0).code, 0);
    EXPECT_EQ(Exchange(port, 0).code, 0);
    EXPECT_LT(MsSince(start), 3000);
    EXPECT_TRUE(port.IsOpen()) << "only the owner closes the port";
    port.Close();
    EXPECT_EQ(Exchange(port, 0).code, 0);
}

TEST(TcpPort, HeaderOfAnotherProtocolOrLongerThanItsDataIsRefused) {
    LoopbackPeer peer([&](LoopbackPeer& p) {
        auto request = p.ReadRequest();
        auto answer = LoopbackPeer::AnswerTo(request, kValue42);
        answer[3] = 1; // protocol 1
        p.Write(answer);
        request = p.ReadRequest();
        answer = LoopbackPeer::AnswerTo(request, kValue42);
        answer[4] = 1; // 256 + 5 bytes announced: more than an answer can hold
        p.Write(answer);
        // The connection was given up; the next request comes on a new one.
        if (!p.Accept())
            return;
        request = p.ReadRequest();
        p.Write(LoopbackPeer::AnswerTo(request, kValue42));
    });
    CTcpCommPort port("127.0.0.1", peer.Port());
    ASSERT_TRUE(port.IsOpen());
    EXPECT_EQ(Exchange(port, 0).code, 0);
    EXPECT_EQ(Exchange(port, 0).code, 0);
    const auto result = Exchange(port, 0);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.bytes, kValue42);
}

TEST(TcpPort, HeaderCutShortByTheWindowFails) {
    LoopbackPeer peer([&](LoopbackPeer& p) {
        const auto request = p.ReadRequest();
        p.Write({request[0], request[1], 0});
        p.Read(1, 3000);
    });
    CTcpCommPort port("127.0.0.1", peer.Port());
    ASSERT_TRUE(port.IsOpen());
    EXPECT_EQ(Exchange(port, 0).code, 0);
    port.Close();
}

TEST(TcpPort, RefusedConnectionLeavesItClosed) {
    const auto start = Clock::now();
    CTcpCommPort port("127.0.0.1", ClosedPort());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_LT(MsSince(start), 5000);
    EXPECT_EQ(Exchange(port, 0).code, 0);
    EXPECT_EQ(port.Send(kProbe.data(), 8), 0);
    port.Close();
    port.Close();
}

TEST(TcpPort, MalformedAddressLeavesItClosed) {
    EXPECT_FALSE(CTcpCommPort("192.168.0", 405).IsOpen());
    EXPECT_FALSE(CTcpCommPort("not an address", 405).IsOpen());
    EXPECT_FALSE(CTcpCommPort("", 405).IsOpen());
}

TEST(TcpPort, ConnectThatGetsNoAnswerIsBounded) {
    // A listener whose queue is full drops further connection attempts: they get no answer,
    // as from a wrong address.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    socklen_t size = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    const uint16_t port = ntohs(address.sin_port);

    std::vector<std::unique_ptr<CTcpCommPort>> fillers;
    bool refused = false;
    for (int i = 0; i < 8 && !refused; ++i) {
        auto filler = std::make_unique<CTcpCommPort>("127.0.0.1", port, 300);
        refused = !filler->IsOpen();
        fillers.push_back(std::move(filler));
    }
    ASSERT_TRUE(refused) << "the queue never filled";
    const auto start = Clock::now();
    CTcpCommPort blocked("127.0.0.1", port); // the default bound
    EXPECT_FALSE(blocked.IsOpen());
    EXPECT_GE(MsSince(start), 2500);
    EXPECT_LT(MsSince(start), 10000);
    ::close(listener);
}

TEST(TcpPort, ShortRequestsAndMissingArgumentsAreRefused) {
    LoopbackPeer peer([&](LoopbackPeer& p) { p.Read(1, 2000); });
    CTcpCommPort port("127.0.0.1", peer.Port());
    ASSERT_TRUE(port.IsOpen());
    EXPECT_EQ(port.Send(kProbe.data(), 2), 0);
    EXPECT_EQ(port.Send(kProbe.data(), 0), 0);
    uint8_t buffer[8];
    uint32_t none = 0;
    EXPECT_EQ(port.Transact(kProbe.data(), 8, buffer, &none, 0), 0);
    EXPECT_EQ(port.Transact(nullptr, 8, buffer, &none, 0), 0);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

TEST(TcpMaster, ReadsAndWritesThroughTheLoopback) {
    LoopbackPeer peer([&](LoopbackPeer& p) {
        auto request = p.ReadRequest();
        p.Write(LoopbackPeer::AnswerTo(request, {0x07, 0x03, 0x02, 0x01, 0x00}));
        request = p.ReadRequest();
        // Echo of the write, unit identifier + PDU.
        p.Write(LoopbackPeer::AnswerTo(
            request, std::vector<uint8_t>(request.begin() + 6, request.begin() + 12)));
        request = p.ReadRequest();
        p.Write(LoopbackPeer::AnswerTo(request, {0x07, 0x83, 0x02}));
    });
    Master master("127.0.0.1", peer.Port());
    ASSERT_TRUE(master.IsOpen());
    EXPECT_EQ(master.Mode(), 1);
    int16_t value = 0;
    EXPECT_EQ(master.Request(7, 3, 56, 1, &value, true, 200), 0);
    EXPECT_EQ(value, 256);
    EXPECT_EQ(master.Request(7, 6, 12, 0x0304, &value, true, 200), 0);
    EXPECT_EQ(value, 0x0304);
    EXPECT_EQ(master.Request(7, 3, 0, 1, &value, true, 200), 2);
    EXPECT_FALSE(master.SetLineParameters(9600, 0, 0, 8));
}

TEST(TcpMaster, RepeatedMismatchesThrowPortError) {
    LoopbackPeer peer([&](LoopbackPeer& p) {
        for (;;) {
            const auto request = p.ReadRequest(3000);
            if (request.size() != 12)
                return;
            p.Write(LoopbackPeer::Answer(request[0] ^ 0x01, request[1], kValue42));
        }
    });
    auto master = std::make_unique<Master>("127.0.0.1", peer.Port());
    ASSERT_TRUE(master->IsOpen());
    int code = -1;
    try {
        int16_t value;
        master->Request(1, 3, 0, 1, &value, true, 0);
    } catch (Master::tErrorCom error) {
        code = error;
    }
    EXPECT_EQ(code, Master::comPortError);
    master.reset();
}
