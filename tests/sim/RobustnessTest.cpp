// Noise and a real serial device path: the simulator keeps answering whatever it is fed.
#include "SimTestSupport.h"

#include "core/modbus/ModbusMaster.h"

#include <ctime>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <random>
#include <termios.h>
#include <thread>

namespace {

using simtest::RawTcp;
using simtest::Request;

TEST(Noise, RandomBytesOverTcpNeitherCrashNorStopTheServer) {
    sim::SimBus bus(simtest::Frozen());
    bus.AddController(1, TQ100);
    const uint16_t port = bus.StartTcp(0);
    std::mt19937 random(3);
    for (int round = 0; round < 50; ++round) {
        RawTcp client(port);
        std::vector<uint8_t> junk(1 + random() % 300);
        for (auto& b : junk)
            b = uint8_t(random());
        // Half the rounds look like a Modbus header, to reach the frame handling.
        if (round % 2 && junk.size() > 6) {
            junk[2] = junk[3] = junk[4] = 0;
            junk[5] = uint8_t(2 + random() % 20);
        }
        client.Send(junk);
        client.Read(512, 20);
    }
    RawTcp client(port);
    ASSERT_TRUE(client.Send(RawTcp::Adu(7, Request(1, 3, 1, 1))));
    EXPECT_EQ(client.Read(11).size(), 11u);
}

TEST(Noise, RandomBytesOnTheTerminalLeaveItAnswering) {
    sim::SimBus bus(simtest::Frozen());
    bus.AddController(1, TQ100);
    const std::string path = bus.StartPty();
    {
        const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        termios t{};
        tcgetattr(fd, &t);
        cfmakeraw(&t);
        cfsetspeed(&t, B19200);
        tcsetattr(fd, TCSANOW, &t);
        std::mt19937 random(5);
        for (int round = 0; round < 40; ++round) {
            std::vector<uint8_t> junk(1 + random() % 700);
            for (auto& b : junk)
                b = uint8_t(random());
            if (round % 4 == 0) {
                // A well-formed frame for a present address, of a function the map lacks.
                junk = {1, uint8_t(random() % 256)};
                junk.resize(2 + random() % 10, 0);
                AppendCrc(junk);
            }
            ASSERT_EQ(write(fd, junk.data(), junk.size()), ssize_t(junk.size()));
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
        close(fd);
    }
    CModbusMaster master(path, 19200, 0, 0, 8);
    ASSERT_TRUE(master.IsOpen());
    int16_t value = 0;
    EXPECT_EQ(master.Request(1, 3, 1, 1, &value, true, 1000), 0);
    EXPECT_EQ(value, 200);
}

// The simulator on a device it did not create: here the slave side of a terminal pair whose
// master side the test drives, so the configured parity is exact.
TEST(Device, ParityOfTheConfiguredLineIsExact) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    sim::SimBus bus(simtest::Frozen());
    bus.AddController(1, TQ100, 9600, sim::Parity::Even);
    bus.AddController(2, TQ100, 9600, sim::Parity::None);
    bus.StartDevice(ptsname(master), {9600, sim::Parity::Even});
    EXPECT_EQ(bus.PtyPath(), ptsname(master));

    auto ask = [&](uint8_t address) {
        auto frame = Request(address, 3, 1, 1);
        AppendCrc(frame);
        EXPECT_EQ(write(master, frame.data(), frame.size()), ssize_t(frame.size()));
        std::vector<uint8_t> answer;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
        while (answer.size() < 7 && std::chrono::steady_clock::now() < deadline) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 50) > 0) {
                uint8_t b[64];
                const ssize_t n = read(master, b, sizeof b);
                if (n > 0)
                    answer.insert(answer.end(), b, b + n);
            }
        }
        return answer;
    };
    const auto even = ask(1);
    ASSERT_EQ(even.size(), 7u);
    EXPECT_TRUE(CrcMatches(even));
    EXPECT_TRUE(ask(2).empty());

    // The far side goes away: the simulator waits for it without spinning.
    close(master);
    const std::clock_t before = std::clock();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const double cpu = double(std::clock() - before) / CLOCKS_PER_SEC;
    EXPECT_LT(cpu, 0.2);
    bus.Stop();
}

TEST(Device, MissingDeviceIsReported) {
    sim::SimBus bus(simtest::Frozen());
    EXPECT_THROW(bus.StartDevice("/nonexistent/tty", {}), std::runtime_error);
}

} // namespace
