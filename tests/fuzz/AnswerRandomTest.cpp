// Answers of any length and content: the master and the TCP reader neither crash nor hang.
// Bounded runs with a fixed seed, so a failure repeats.
#include "AnswerFuzz.h"
#include "core/modbus/TcpCommPort.h"
#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <set>

using Master = CModbusMaster;

namespace {

std::vector<uint8_t> RandomBytes(std::mt19937& random, size_t count) {
    std::vector<uint8_t> bytes(count);
    for (auto& byte : bytes)
        byte = static_cast<uint8_t>(random());
    return bytes;
}

// Random answers, some shaped like the real thing so the later checks are reached too.
std::vector<uint8_t> RandomAnswer(std::mt19937& random, const uint8_t request[8], int mode) {
    const size_t length = random() % 4 == 0 ? random() % 300 : random() % 12;
    std::vector<uint8_t> answer = RandomBytes(random, length);
    if (answer.size() >= 2 && random() % 2 == 0) {
        answer[0] = request[0];
        answer[1] = random() % 4 == 0 ? static_cast<uint8_t>(request[1] | 0x80) : request[1];
    }
    if (mode == 0 && answer.size() >= 2 && random() % 2 == 0) {
        const uint16_t crc = Crc16(answer.data(), static_cast<int>(answer.size() - 2));
        answer[answer.size() - 2] = static_cast<uint8_t>(crc & 0xFF);
        answer[answer.size() - 1] = static_cast<uint8_t>(crc >> 8);
    }
    return answer;
}

} // namespace

TEST(AnswerFuzz, CheckResponseOnRandomAnswers) {
    std::mt19937 random(20261207);
    for (int mode = 0; mode < 2; ++mode) {
        Master master(std::make_unique<CReplayPort>(nullptr, 0), mode);
        for (int i = 0; i < 100000; ++i) {
            uint8_t request[8];
            BuildRequestFrame(request, static_cast<uint8_t>(random()),
                              static_cast<uint8_t>(random() % 8), static_cast<uint16_t>(random()),
                              static_cast<uint16_t>(random()));
            // Exactly sized on the heap, so reading past the answer is caught by the sanitizer.
            const auto answer = RandomAnswer(random, request, mode);
            auto* heap = new uint8_t[answer.size() + 1];
            std::copy(answer.begin(), answer.end(), heap);
            int16_t value = 0;
            const auto code =
                master.CheckResponse(request, heap, static_cast<uint32_t>(answer.size()),
                                     random() % 8 == 0 ? nullptr : &value);
            delete[] heap;
            static const std::set<int> kCodes = {0, 1, 2, 3, 4, 7, 9};
            ASSERT_TRUE(kCodes.count(code)) << code;
            if (mode == 1) {
                ASSERT_NE(code, Master::comCrcError);
            }
            if (code == Master::comOk || code == Master::comMismatch) {
                ASSERT_GE(answer.size(), mode == 0 ? 4u : 3u);
            }
        }
    }
}

TEST(AnswerFuzz, MasterOnRandomAnswerStreams) {
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        std::vector<uint8_t> input = RandomBytes(random, 4 + random() % 600);
        FuzzMasterWithAnswers(input.data(), input.size());
    }
}

TEST(AnswerFuzz, MasterOnWellFramedRandomData) {
    // Answers that pass the checks but carry the wrong amount of data.
    std::mt19937 random(11);
    for (int i = 0; i < 5000; ++i) {
        const uint16_t count = static_cast<uint16_t>(random() % 60);
        std::vector<uint8_t> input{0, 1, static_cast<uint8_t>(count),
                                   static_cast<uint8_t>(random())};
        for (int answer = 0; answer < 30; ++answer) {
            std::vector<uint8_t> frame{1, static_cast<uint8_t>(random() % 2 ? 3 : 1)};
            const auto data = RandomBytes(random, random() % 40);
            frame.insert(frame.end(), data.begin(), data.end());
            const uint16_t crc = Crc16(frame.data(), static_cast<int>(frame.size()));
            frame.push_back(static_cast<uint8_t>(crc & 0xFF));
            frame.push_back(static_cast<uint8_t>(crc >> 8));
            input.push_back(static_cast<uint8_t>(frame.size()));
            input.insert(input.end(), frame.begin(), frame.end());
        }
        FuzzMasterWithAnswers(input.data(), input.size());
    }
}

TEST(AnswerFuzz, TcpReaderOnRandomAnswersFromALoopbackPeer) {
    constexpr int kSessions = 12;
    constexpr int kExchangesPerSession = 6;
    std::atomic<bool> done{false};
    std::mt19937 peerRandom(99);

    // The peer answers each request at random: good, wrong identifier, oversize, garbage,
    // cut short and gone, or not at all. It takes one connection after another.
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    socklen_t size = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    const uint16_t port = ntohs(address.sin_port);

    std::thread server([&] {
        while (!done) {
            pollfd pfd{listener, POLLIN, 0};
            if (poll(&pfd, 1, 200) <= 0)
                continue;
            const int connection = ::accept(listener, nullptr, nullptr);
            if (connection < 0)
                continue;
            for (bool open = true; open && !done;) {
                uint8_t request[12];
                size_t got = 0;
                while (got < sizeof request) {
                    pollfd in{connection, POLLIN, 0};
                    if (poll(&in, 1, 3000) <= 0)
                        break;
                    const ssize_t n = ::recv(connection, request + got, sizeof request - got, 0);
                    if (n <= 0)
                        break;
                    got += static_cast<size_t>(n);
                }
                if (got < sizeof request)
                    break;
                std::vector<uint8_t> answer;
                const int action = static_cast<int>(peerRandom() % 10);
                const auto pdu = RandomBytes(peerRandom, peerRandom() % 20);
                switch (action) {
                case 0: // silence
                    break;
                case 1: // another identifier
                    answer = LoopbackPeer::Answer(request[0] ^ 0x33, request[1], pdu);
                    break;
                case 2: // more than any capacity it could be given here
                    answer = {request[0], request[1], 0, 0, 0, 0xFF};
                    break;
                case 3: // cut short, then gone
                    answer = LoopbackPeer::Answer(request[0], request[1], pdu);
                    answer.resize(peerRandom() % answer.size());
                    open = false;
                    break;
                case 4: // garbage
                    answer = RandomBytes(peerRandom, peerRandom() % 30);
                    break;
                default:
                    answer = LoopbackPeer::Answer(request[0], request[1], pdu);
                    if (peerRandom() % 3 == 0)
                        answer[4] = static_cast<uint8_t>(peerRandom()); // length high byte
                    break;
                }
                if (!answer.empty())
                    ::send(connection, answer.data(), answer.size(), MSG_NOSIGNAL);
            }
            ::close(connection);
        }
    });

    std::mt19937 random(5);
    for (int session = 0; session < kSessions; ++session) {
        CTcpCommPort link("127.0.0.1", port);
        ASSERT_TRUE(link.IsOpen());
        for (int exchange = 0; exchange < kExchangesPerSession; ++exchange) {
            uint8_t request[8];
            BuildRequestFrame(request, 1, 3, static_cast<uint16_t>(random()), 1);
            const uint32_t capacity = 1 + random() % 256;
            std::vector<uint8_t> buffer(capacity);
            uint32_t length = capacity;
            const auto start = std::chrono::steady_clock::now();
            const int result = link.Transact(request, 8, buffer.data(), &length, 0);
            const auto took = std::chrono::steady_clock::now() - start;
            ASSERT_TRUE(result == 0 || result == 1);
            ASSERT_LE(length, capacity);
            if (result == 0) {
                ASSERT_EQ(length, 0u);
            }
            // One window per exchange, plus the pauses of identifier repeats.
            ASSERT_LT(took, std::chrono::seconds(10));
        }
    }
    done = true;
    server.join();
    ::close(listener);
}
