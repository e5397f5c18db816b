// The serial transport against a real pseudo-terminal: the test plays the controller.
#include "core/modbus/SerialCommPort.h"
#include "core/modbus/ModbusMaster.h"
#include "support/PseudoTerminal.h"
#include "support/ScriptedPort.h"

#include <gtest/gtest.h>

#include <sys/ioctl.h>
#include <termios.h>
#include <thread>

using Master = CModbusMaster;
using Clock = std::chrono::steady_clock;

namespace {

const std::vector<uint8_t> kProbe = {0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A};

long MsSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

class SerialPort : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.Ok()); }
    std::unique_ptr<CSerialCommPort> Open(uint32_t baud = 19200, uint8_t parity = 0) {
        return std::make_unique<CSerialCommPort>(pty.SlavePath(), baud, parity, 0, 8);
    }
    // Runs the exchange while a thread answers as the controller.
    int Exchange(CSerialCommPort& port, const std::vector<uint8_t>& request,
                 std::vector<uint8_t>& answer, int waitMs, std::function<void()> controller) {
        std::thread peer(controller);
        uint8_t buffer[256];
        uint32_t length = sizeof buffer;
        const int result = port.Transact(request.data(), static_cast<int>(request.size()), buffer,
                                         &length, waitMs);
        peer.join();
        answer.assign(buffer, buffer + length);
        return result;
    }
    // Through a second descriptor, which the exclusive open leaves only to a privileged
    // process.
    bool ReadLineBack(termios& line) {
        const int fd = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0)
            return false;
        const bool ok = tcgetattr(fd, &line) == 0;
        close(fd);
        return ok;
    }
    PseudoTerminal pty;
};

} // namespace

TEST_F(SerialPort, OpensADevicePathAndSendsTheFrameUnchanged) {
    auto port = Open();
    ASSERT_TRUE(port->IsOpen());
    EXPECT_EQ(port->Name(), pty.SlavePath());
    const auto answer = WithCrc({0x01, 0x03, 0x02, 0x00, 0x2A});
    std::vector<uint8_t> seen, got;
    EXPECT_EQ(Exchange(*port, kProbe, got, 1000,
                       [&] {
                           seen = pty.Read(8);
                           pty.Write(answer);
                       }),
              1);
    EXPECT_EQ(seen, kProbe);
    EXPECT_EQ(got, answer);
}

TEST_F(SerialPort, LineIsRaw8N1WithTheGivenRate) {
    auto port = Open(9600, 2);
    ASSERT_TRUE(port->IsOpen());
    termios line{};
    if (!ReadLineBack(line))
        GTEST_SKIP() << "the line can be read back only by a privileged process";
    EXPECT_EQ(cfgetospeed(&line), B9600);
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8)); // parity: a pty keeps none
    EXPECT_FALSE(line.c_cflag & CSTOPB);
    EXPECT_FALSE(line.c_cflag & CRTSCTS);
    EXPECT_TRUE(line.c_iflag & INPCK);
    EXPECT_FALSE(line.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(line.c_oflag & OPOST);
    EXPECT_FALSE(line.c_iflag & (IXON | ICRNL));
    EXPECT_TRUE(port->SetLineParameters(4800, 1, 0, 8));
    ASSERT_TRUE(ReadLineBack(line));
    EXPECT_EQ(cfgetospeed(&line), B4800);
}

TEST_F(SerialPort, HeldExclusively) {
    auto port = Open();
    ASSERT_TRUE(port->IsOpen());
    CSerialCommPort other(pty.SlavePath(), 9600, 0, 0, 8);
    EXPECT_FALSE(other.IsOpen());
    EXPECT_EQ(other.Name(), "Ninguno");
}

TEST_F(SerialPort, ExclusiveFlagIsClearedOnCloseAndKeptByARefusedOpen) {
    // The device stays alive through a descriptor of its own, as a simulator's pty does.
    const int keeper = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(keeper, 0);
    int exclusive = -1;
    auto port = Open();
    ASSERT_TRUE(port->IsOpen());
    ASSERT_EQ(ioctl(keeper, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    {
        CSerialCommPort refused(pty.SlavePath(), 9600, 0, 0, 8);
        EXPECT_FALSE(refused.IsOpen());
    }
    ASSERT_EQ(ioctl(keeper, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1) << "a refused open must not lift the holder's exclusivity";
    port->Close();
    ASSERT_EQ(ioctl(keeper, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0) << "another user could not open the device after us";
    close(keeper);
}

TEST_F(SerialPort, CompleteAnswerEndsTheWindowEarly) {
    auto port = Open();
    ASSERT_TRUE(port->IsOpen());
    const auto answer = WithCrc({0x01, 0x03, 0x02, 0x00, 0x01});
    std::vector<uint8_t> got;
    const auto start = Clock::now();
    EXPECT_EQ(Exchange(*port, kProbe, got, 20000,
                       [&] {
                           pty.Read(8);
                           // Split in two, as a slow line delivers it.
                           pty.Write({answer.begin(), answer.begin() + 4});
                           std::this_thread::sleep_for(std::chrono::milliseconds(30));
                           pty.Write({answer.begin() + 4, answer.end()});
                       }),
              1);
    EXPECT_EQ(got, answer);
    EXPECT_LT(MsSince(start), 10000) << "a whole answer must not wait out the window";
}

TEST_F(SerialPort, ExceptionAndEchoAreWholeAnswersToo) {
    auto port = Open();
    ASSERT_TRUE(port->IsOpen());
    const auto start = Clock::now();
    std::vector<uint8_t> got;
    const auto exception = WithCrc({0x01, 0x83, 0x02});
    Exchange(*port, kProbe, got, 20000, [&] {
        pty.Read(8);
        pty.Write(exception);
    });
    EXPECT_EQ(got, exception);
    const auto write = WithCrc({0x01, 0x06, 0x00, 0x02, 0x00, 0x07});
    Exchange(*port, write, got, 20000, [&] {
        pty.Read(8);
        pty.Write(write);
    });
    EXPECT_EQ(got, write);
    EXPECT_LT(MsSince(start), 10000);
}

TEST_F(SerialPort, NoiseAndOtherAddressesBeforeTheAnswerAreDropped) {
    auto port = Open();
    ASSERT_TRUE(port->IsOpen());
    const auto foreign = WithCrc({0x02, 0x03, 0x02, 0x00, 0x09});
    const auto mine = WithCrc({0x01, 0x03, 0x02, 0x00, 0x2A});
    std::vector<uint8_t> got;
    Exchange(*port, kProbe, got, 600, [&] {
        pty.Read(8);
        pty.Write({0x00}); // a stray byte of the bus turning round
        pty.Write(foreign);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pty.Write(mine);
    });
    EXPECT_EQ(got, mine);
    // The master reads the value through the noise.
    auto master = std::make_unique<Master>(std::move(port), 0);
    int16_t value = 0;
    std::thread peer([&] {
        pty.Read(8);
        pty.Write({0xFF, 0x00});
        pty.Write(WithCrc({0x01, 0x03, 0x02, 0x01, 0x2C}));
    });
    EXPECT_EQ(master->Request(1, 3, 0, 1, &value, false, 2000), 0);
    peer.join();
    EXPECT_EQ(value, 300);
}

TEST_F(SerialPort, LateAnswerIsNotTakenForTheNextRequest) {
    auto port = Open();
    ASSERT_TRUE(port->IsOpen());
    const auto stale = WithCrc({0x01, 0x03, 0x02, 0x7F, 0x7F});
    const auto fresh = WithCrc({0x01, 0x03, 0x02, 0x00, 0x2A});
    std::vector<uint8_t> got;
    // The answer comes after the window: the exchange ends with nothing.
    std::thread late([&] {
        pty.Read(8);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        pty.Write(stale);
    });
    uint8_t buffer[256];
    uint32_t length = sizeof buffer;
    EXPECT_EQ(port->Transact(kProbe.data(), 8, buffer, &length, 100), 1);
    EXPECT_EQ(length, 0u);
    // The next request to that slave waits for the line to fall quiet: the late answer is
    // dropped, and the request goes out only after it.
    const auto start = Clock::now();
    long sentAfter = -1;
    Exchange(*port, kProbe, got, 400, [&] {
        late.join();
        if (pty.Read(8, 3000).size() == 8) {
            sentAfter = MsSince(start);
            pty.Write(fresh);
        }
    });
    EXPECT_EQ(got, fresh);
    EXPECT_GE(sentAfter, 400) << "the request went out before the line was quiet";
    // A healthy exchange leaves nothing to wait for.
    const auto quick = Clock::now();
    Exchange(*port, kProbe, got, 2000, [&] {
        pty.Read(8);
        pty.Write(fresh);
    });
    EXPECT_EQ(got, fresh);
    EXPECT_LT(MsSince(quick), 1000);
}

TEST_F(SerialPort, SilenceIsASuccessfulExchangeWithNoBytes) {
    auto port = Open();
    ASSERT_TRUE(port->IsOpen());
    std::vector<uint8_t> got{1};
    EXPECT_EQ(Exchange(*port, kProbe, got, 100, [&] { pty.Read(8); }), 1);
    EXPECT_TRUE(got.empty());
    // Wait 0 only takes what is already there.
    EXPECT_EQ(Exchange(*port, kProbe, got, 0, [] {}), 1);
    EXPECT_TRUE(got.empty());
}

TEST_F(SerialPort, StaleInputIsPurgedBeforeTheRequest) {
    auto port = Open();
    ASSERT_TRUE(port->IsOpen());
    pty.Write({0x55, 0x66, 0x77});
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto answer = WithCrc({0x01, 0x03, 0x02, 0x00, 0x2A});
    std::vector<uint8_t> got;
    Exchange(*port, kProbe, got, 1000, [&] {
        pty.Read(8);
        pty.Write(answer);
    });
    EXPECT_EQ(got, answer);
}

TEST_F(SerialPort, AnswerIsCutAtTheCapacity) {
    auto port = Open();
    ASSERT_TRUE(port->IsOpen());
    std::thread peer([&] {
        pty.Read(8);
        pty.Write(std::vector<uint8_t>(40, 0xAB));
    });
    uint8_t buffer[16];
    uint32_t length = 10;
    EXPECT_EQ(port->Transact(kProbe.data(), 8, buffer, &length, 500), 1);
    peer.join();
    EXPECT_EQ(length, 10u);
    // The rest of the long answer is gone before the next exchange.
    const auto answer = WithCrc({0x01, 0x03, 0x02, 0x00, 0x2A});
    std::vector<uint8_t> got;
    Exchange(*port, kProbe, got, 1000, [&] {
        pty.Read(8);
        pty.Write(answer);
    });
    EXPECT_EQ(got, answer);
}

TEST_F(SerialPort, ReceiveKeepsBytesAlreadyReceived) {
    auto port = Open();
    ASSERT_TRUE(port->IsOpen());
    pty.Write({0x10, 0x20, 0x30});
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    uint8_t buffer[8];
    uint32_t length = sizeof buffer;
    EXPECT_EQ(port->Receive(buffer, &length), 1);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + length),
              (std::vector<uint8_t>{0x10, 0x20, 0x30}));
    EXPECT_EQ(port->Send(kProbe.data(), 8), 1);
    EXPECT_EQ(pty.Read(8), kProbe);
}

TEST_F(SerialPort, MissingArgumentsAreRefused) {
    auto port = Open();
    ASSERT_TRUE(port->IsOpen());
    uint8_t buffer[8];
    uint32_t length = sizeof buffer;
    uint32_t none = 0;
    EXPECT_EQ(port->Transact(nullptr, 8, buffer, &length, 0), 0);
    EXPECT_EQ(port->Transact(kProbe.data(), 0, buffer, &length, 0), 0);
    EXPECT_EQ(port->Transact(kProbe.data(), 8, nullptr, &length, 0), 0);
    EXPECT_EQ(port->Transact(kProbe.data(), 8, buffer, &none, 0), 0);
    EXPECT_EQ(port->Send(nullptr, 8), 0);
    EXPECT_EQ(port->Send(kProbe.data(), 0), 0);
    EXPECT_EQ(port->Receive(buffer, &none), 0);
}

TEST_F(SerialPort, VanishedDeviceFailsWithoutHanging) {
    auto port = Open();
    ASSERT_TRUE(port->IsOpen());
    Master master(std::move(port), 0);
    std::thread peer([&] {
        pty.Read(8);
        pty.CloseMaster();
    });
    const auto start = Clock::now();
    int code = -1;
    try {
        int16_t value;
        master.Request(1, 3, 0, 1, &value, true, 3000);
    } catch (Master::tErrorCom error) {
        code = error;
    }
    peer.join();
    EXPECT_EQ(code, Master::comPortError);
    EXPECT_LT(MsSince(start), 10000);
}

TEST_F(SerialPort, LineParametersKeepTheOldLineWhenRefused) {
    auto port = Open(19200, 0);
    ASSERT_TRUE(port->IsOpen());
    EXPECT_TRUE(port->SetLineParameters(9600, 2, 0, 8));
    EXPECT_FALSE(port->SetLineParameters(12345, 1, 0, 8));
    EXPECT_FALSE(port->SetLineParameters(4800, 9, 0, 8));
    termios line{};
    if (ReadLineBack(line)) {
        EXPECT_EQ(cfgetospeed(&line), B9600);
    }
    // The port still works on the line in force.
    const auto answer = WithCrc({0x01, 0x03, 0x02, 0x00, 0x2A});
    std::vector<uint8_t> got;
    Exchange(*port, kProbe, got, 1000, [&] {
        pty.Read(8);
        pty.Write(answer);
    });
    EXPECT_EQ(got, answer);
    port->Close();
    EXPECT_FALSE(port->SetLineParameters(9600, 0, 0, 8));
}

TEST_F(SerialPort, MasterReadsRegistersOverThePseudoTerminal) {
    Master master(pty.SlavePath(), 19200, 0, 0, 8);
    ASSERT_TRUE(master.IsOpen());
    std::thread peer([&] {
        for (int chunk = 0; chunk < 3; ++chunk) {
            const auto request = pty.Read(8);
            if (request.size() != 8)
                return;
            const uint16_t start = static_cast<uint16_t>(request[2] << 8 | request[3]);
            const uint16_t n = request[5];
            std::vector<uint8_t> answer{0x01, 0x03, static_cast<uint8_t>(2 * n)};
            for (uint16_t k = 0; k < n; ++k) {
                answer.push_back(0);
                answer.push_back(static_cast<uint8_t>(start + k));
            }
            pty.Write(WithCrc(answer));
        }
    });
    int16_t dest[43] = {};
    EXPECT_EQ(master.ReadRegisters(1, dest, 43, 16, 500), 0);
    peer.join();
    for (int k = 0; k < 43; ++k)
        EXPECT_EQ(dest[k], k);
    EXPECT_TRUE(master.SetLineParameters(9600, 0, 0, 8));
}

TEST_F(SerialPort, StopEndsTheWaitForASilentSlave) {
    constexpr int kWaitMs = 2000;
    Master master(pty.SlavePath(), 19200, 0, 0, 8);
    CManualResetEvent stop;
    master.SetStopEvent(&stop);
    std::thread user([&] {
        if (pty.Read(8).size() == 8) // the request is out: nobody will answer
            stop.Set();
    });
    int16_t dest[43] = {};
    const auto start = Clock::now();
    int code = Master::comOk;
    try {
        master.ReadRegisters(1, dest, 43, 16, kWaitMs);
    } catch (Master::tErrorCom thrown) {
        code = thrown;
    }
    user.join();
    EXPECT_EQ(code, Master::comStopped);
    EXPECT_LT(MsSince(start), kWaitMs / 2);
    EXPECT_THROW(master.Request(1, 3, 0, 1, dest, true, kWaitMs), Master::tErrorCom);
    EXPECT_TRUE(pty.Read(8, 100).empty()) << "nothing is sent once stopped";
}

TEST(SerialPortOpen, UnopenablePortIsClosedAndNamedNinguno) {
    CSerialCommPort missing("/dev/calora-no-such-port", 19200, 0, 0, 8);
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(missing.Name(), "Ninguno");
    CSerialCommPort unknown("COM250:", 19200, 0, 0, 8);
    EXPECT_FALSE(unknown.IsOpen());
    EXPECT_EQ(unknown.Name(), "Ninguno");
    // Not a terminal: the line cannot be set.
    CSerialCommPort notATerminal("/dev/null", 19200, 0, 0, 8);
    EXPECT_FALSE(notATerminal.IsOpen());
    uint8_t buffer[4];
    uint32_t length = sizeof buffer;
    EXPECT_EQ(missing.Transact(kProbe.data(), 8, buffer, &length, 0), 0);
    missing.Close();
    missing.Close();
    EXPECT_EQ(missing.Name(), "Ninguno");
}

TEST(SerialPortOpen, CloseIsIdempotent) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    CSerialCommPort port(pty.SlavePath(), 19200, 0, 0, 8);
    ASSERT_TRUE(port.IsOpen());
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Name(), "Ninguno");
    port.Close();
    // Once closed the device is free again.
    CSerialCommPort again(pty.SlavePath(), 19200, 0, 0, 8);
    EXPECT_TRUE(again.IsOpen());
}

TEST(LineTables, BaudIndexClamps) {
    EXPECT_EQ(BaudFromIndex(-5), 2400u);
    EXPECT_EQ(BaudFromIndex(0), 2400u);
    EXPECT_EQ(BaudFromIndex(1), 4800u);
    EXPECT_EQ(BaudFromIndex(2), 9600u);
    EXPECT_EQ(BaudFromIndex(3), 19200u);
    EXPECT_EQ(BaudFromIndex(7), 19200u);
    EXPECT_EQ(BaudFromIndex(-32768), 2400u);
    EXPECT_EQ(BaudFromIndex(32767), 19200u);
}

TEST(LineTables, ParityIndexIsNoneEvenOdd) {
    EXPECT_EQ(ParityFromIndex(0), 0);
    EXPECT_EQ(ParityFromIndex(1), 2);
    EXPECT_EQ(ParityFromIndex(2), 1);
    EXPECT_EQ(ParityFromIndex(5), 1);
    EXPECT_EQ(ParityFromIndex(-1), 0);
}

TEST(LineTables, DescribeSerialLine) {
    EXPECT_EQ(DescribeSerialLine("COM1:", 9600, 0), "COM1:9600N1 8Bits");
    EXPECT_EQ(DescribeSerialLine("COM12:", 19200, 1), "COM12:19200E1 8Bits");
    EXPECT_EQ(DescribeSerialLine("COM2:", 2400, 2), "COM2:2400O1 8Bits");
    EXPECT_EQ(DescribeSerialLine("COM1:", 9600, 3), "Error");
    EXPECT_EQ(DescribeSerialLine("COM1:", 9600, -1), "COM1:9600N1 8Bits");
}
