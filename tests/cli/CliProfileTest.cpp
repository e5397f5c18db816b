// Reading the desktop program's settings file without Qt.
#include "CliProfile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

TEST(CliProfile, UnquotesAndUnescapesValues) {
    EXPECT_EQ(UnquoteIniValue("\"COM1:=/dev/ttyS0;COM2:=/dev/ttyUSB0\""),
              "COM1:=/dev/ttyS0;COM2:=/dev/ttyUSB0");
    EXPECT_EQ(UnquoteIniValue("plain"), "plain");
    EXPECT_EQ(UnquoteIniValue("\" padded \""), " padded ");
    EXPECT_EQ(UnquoteIniValue("a\\\\b\\\"c"), "a\\b\"c");
    EXPECT_EQ(UnquoteIniValue("  trailing  "), "trailing");
}

TEST(CliProfile, ReadsOnlyTheGeneralSection) {
    char path[] = "/tmp/calora-cli-ini-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    {
        std::ofstream ini(path);
        ini << "[General]\r\nModbusDir=17\r\nPuerto=COM3:\r\nSerialPortMap=\"COM3:=/dev/"
               "ttyUSB1\"\r\n"
            << "Baud=fast\r\n[Other]\r\nModbusDir=99\r\n";
    }
    CCliProfile profile(path);
    std::remove(path);
    EXPECT_EQ(profile.GetInt("ModbusDir", 1), 17);
    EXPECT_EQ(profile.GetString("Puerto", ""), "COM3:");
    EXPECT_EQ(profile.GetString("SerialPortMap", ""), "COM3:=/dev/ttyUSB1");
    EXPECT_EQ(profile.GetInt("Baud", 3), 3) << "not a number: the fallback";
    EXPECT_EQ(profile.GetString("Missing", "x"), "x");
    profile.WriteInt("ModbusDir", 5);
    EXPECT_EQ(profile.GetInt("ModbusDir", 1), 5);
}

TEST(CliProfile, MissingFileIsAnEmptyProfile) {
    CCliProfile profile("/nonexistent/Norvane/Calora.conf");
    EXPECT_EQ(profile.GetString("Puerto", "none"), "none");
}

} // namespace
