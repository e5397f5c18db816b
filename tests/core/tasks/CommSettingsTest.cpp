// Connection settings in the profile, and the master they build.
#include "core/tasks/CommSettings.h"
#include "core/modbus/ModbusMaster.h"
#include "core/modbus/SerialCommPort.h"
#include "core/platform/MemoryProfileStore.h"
#include "core/platform/SerialPortList.h"
#include "support/LoopbackPeer.h"
#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

TEST(CommSettings, BeforeTheProfileIsRead) {
    CommSettings settings;
    EXPECT_EQ(settings.address, 0);
    EXPECT_EQ(settings.baudIndex, 3);
    EXPECT_EQ(settings.parityIndex, 0);
}

TEST(CommSettings, EmptyProfileGivesTheDefaultsAndStoresThem) {
    CMemoryProfileStore profile;
    CommSettings settings;
    settings.Load(profile);
    EXPECT_EQ(settings.interface, "Serie");
    EXPECT_EQ(settings.port, "");
    EXPECT_EQ(settings.address, 1);
    EXPECT_EQ(settings.baudIndex, 3);
    EXPECT_EQ(BaudFromIndex(static_cast<int16_t>(settings.baudIndex)), 19200u);
    EXPECT_EQ(settings.parityIndex, 0);
    EXPECT_EQ(settings.ip, "192.168.0.1");
    EXPECT_EQ(settings.ipPort, 405);

    settings.Store(profile);
    EXPECT_EQ(profile.strings["TipoComunicaciones"], "Serie");
    EXPECT_EQ(profile.strings["Puerto"], "");
    EXPECT_EQ(profile.strings["Ip"], "192.168.0.1");
    EXPECT_EQ(profile.ints["ModbusDir"], 1);
    EXPECT_EQ(profile.ints["Baud"], 3);
    EXPECT_EQ(profile.ints["Paridad"], 0);
    EXPECT_EQ(profile.ints["PuertoIP"], 405);
}

TEST(CommSettings, OutOfRangeIndicesAreKeptAndClampedOnlyWhenMapped) {
    CMemoryProfileStore profile;
    profile.ints["Baud"] = 7;
    profile.ints["Paridad"] = 5;
    CommSettings settings;
    settings.Load(profile);
    EXPECT_EQ(settings.baudIndex, 7);
    EXPECT_EQ(settings.parityIndex, 5);
    EXPECT_EQ(BaudFromIndex(static_cast<int16_t>(settings.baudIndex)), 19200u);
    EXPECT_EQ(ParityFromIndex(static_cast<int16_t>(settings.parityIndex)), 1);
    settings.Store(profile);
    EXPECT_EQ(profile.ints["Baud"], 7);
}

TEST(CreateMaster, EmptyPortGivesNoneForSerialButTcpNeedsNoPort) {
    CommSettings settings;
    settings.interface = "Serie";
    EXPECT_EQ(CreateMaster(settings), nullptr);
    // A machine without a serial device still reaches Modbus TCP.
    LoopbackPeer peer([](LoopbackPeer& p) { p.Read(1, 2000); });
    settings.interface = "TCP/IP";
    settings.ip = "127.0.0.1";
    settings.ipPort = peer.Port();
    auto master = CreateMaster(settings);
    ASSERT_NE(master, nullptr);
    EXPECT_TRUE(master->IsOpen());
    EXPECT_EQ(master->Mode(), 1);
}

TEST(CreateMaster, UnknownInterfaceGivesNone) {
    CommSettings settings;
    settings.port = "COM1:";
    settings.interface = "Modbus";
    EXPECT_EQ(CreateMaster(settings), nullptr);
    settings.interface = "";
    EXPECT_EQ(CreateMaster(settings), nullptr);
}

TEST(CreateMaster, UnopenablePortGivesAClosedMaster) {
    CommSettings settings;
    settings.port = "COM99:";
    auto master = CreateMaster(settings);
    ASSERT_NE(master, nullptr);
    EXPECT_FALSE(master->IsOpen());
    EXPECT_EQ(master->Mode(), 0);
    settings.port = "/dev/calora-no-such-port";
    master = CreateMaster(settings);
    ASSERT_NE(master, nullptr);
    EXPECT_FALSE(master->IsOpen());
}

TEST(CreateMaster, SerialPortNameOpensItsDevice) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    const std::string device = pty.SlavePath();
    SetSerialDeviceScanner([&] { return std::vector<std::string>{device}; });
    CMemoryProfileStore profile;
    const auto ports = EnumerateSerialPorts(profile);
    SetSerialDeviceScanner({});
    ASSERT_EQ(ports.size(), 1u);

    CommSettings settings;
    settings.Load(profile);
    settings.port = ports[0].name;
    settings.baudIndex = 2;
    auto master = CreateMaster(settings);
    ASSERT_NE(master, nullptr);
    EXPECT_TRUE(master->IsOpen());
    EXPECT_EQ(master->Mode(), 0);
}

TEST(CreateMaster, TcpUsesTheAddressAndPortNotTheSerialPort) {
    LoopbackPeer peer([](LoopbackPeer& p) { p.Read(1, 2000); });
    CommSettings settings;
    settings.interface = "TCP/IP";
    settings.port = "COM1:";
    settings.ip = "127.0.0.1";
    settings.ipPort = peer.Port();
    auto master = CreateMaster(settings);
    ASSERT_NE(master, nullptr);
    EXPECT_TRUE(master->IsOpen());
    EXPECT_EQ(master->Mode(), 1);
    master.reset();
}
