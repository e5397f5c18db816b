// Serial devices under stable "COMn:" names.
#include "core/platform/SerialPortList.h"
#include "core/modbus/SerialCommPort.h"
#include "core/platform/MemoryProfileStore.h"
#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

namespace {

class PortList : public ::testing::Test {
protected:
    void SetUp() override {
        SetSerialDeviceScanner([this] { return devices; });
    }
    void TearDown() override { SetSerialDeviceScanner({}); }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const auto& port : EnumerateSerialPorts(profile))
            names.push_back(port.name + "=" + port.devicePath);
        return names;
    }
    std::vector<std::string> devices;
    CMemoryProfileStore profile;
};

} // namespace

TEST_F(PortList, NewDevicesGetTheNextFreeNumbers) {
    devices = {"/dev/ttyS0", "/dev/ttyUSB0"};
    EXPECT_EQ(Names(), (std::vector<std::string>{"COM1:=/dev/ttyS0", "COM2:=/dev/ttyUSB0"}));
    EXPECT_EQ(ResolveSerialDevice("COM2:"), "/dev/ttyUSB0");
    EXPECT_EQ(ResolveSerialDevice("COM3:"), "");
}

TEST_F(PortList, ADeviceKeepsItsNumberAcrossRuns) {
    devices = {"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyACM0"};
    Names();
    // Next run: the first device is gone and a new one has come.
    devices = {"/dev/ttyACM0", "/dev/ttyUSB1"};
    EXPECT_EQ(Names(), (std::vector<std::string>{"COM3:=/dev/ttyACM0", "COM4:=/dev/ttyUSB1"}));
    EXPECT_EQ(ResolveSerialDevice("COM1:"), "") << "absent devices do not resolve";
    // The one that left comes back under its old number.
    devices = {"/dev/ttyS0", "/dev/ttyUSB1"};
    EXPECT_EQ(Names(), (std::vector<std::string>{"COM1:=/dev/ttyS0", "COM4:=/dev/ttyUSB1"}));
}

TEST_F(PortList, StoredMapIsReadAndDamagedEntriesSkipped) {
    profile.strings["SerialPortMap"] = "COM7:=/dev/ttyUSB3;junk;COMx:=/dev/a;COM7:=/dev/ttyUSB9;=";
    devices = {"/dev/ttyUSB9", "/dev/ttyUSB3"};
    EXPECT_EQ(Names(), (std::vector<std::string>{"COM1:=/dev/ttyUSB9", "COM7:=/dev/ttyUSB3"}));
    EXPECT_EQ(profile.strings["SerialPortMap"], "COM1:=/dev/ttyUSB9;COM7:=/dev/ttyUSB3");
}

TEST_F(PortList, ListedDevicePathsJoinTheList) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    profile.strings["SerialPortExtra"] = pty.SlavePath() + ";/dev/calora-absent;relative";
    devices = {};
    const auto ports = EnumerateSerialPorts(profile);
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].name, "COM1:");
    EXPECT_EQ(ports[0].devicePath, pty.SlavePath());
    // The name opens the device.
    CSerialCommPort port("COM1:", 19200, 0, 0, 8);
    EXPECT_TRUE(port.IsOpen());
}

TEST_F(PortList, NamesResolveLooselyAndPathsAsThemselves) {
    devices = {"/dev/ttyS4"};
    Names();
    EXPECT_EQ(ResolveSerialDevice("COM1:"), "/dev/ttyS4");
    EXPECT_EQ(ResolveSerialDevice("com1"), "/dev/ttyS4");
    EXPECT_EQ(ResolveSerialDevice("/dev/pts/9"), "/dev/pts/9");
    EXPECT_EQ(ResolveSerialDevice(""), "");
    EXPECT_EQ(ResolveSerialDevice("COM"), "");
    EXPECT_EQ(ResolveSerialDevice("LPT1:"), "");
}

TEST(SerialScan, OnlyDevicePathsThatExist) {
    for (const auto& device : ScanSerialDevices()) {
        EXPECT_EQ(device.rfind("/dev/tty", 0), 0u) << device;
    }
}
