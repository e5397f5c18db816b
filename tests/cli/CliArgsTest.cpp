// The command line's parsing: what it accepts, what it refuses and with which defaults.
#include "CliArgs.h"
#include "CliCommands.h"
#include "CliOutput.h"
#include "ComErrorName.h"

#include "core/model/ControllerList.h"
#include "core/tasks/ConfigurationFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <unistd.h>

namespace {

CliParseResult Parse(std::vector<std::string> args) {
    return ParseCliArgs(args);
}

TEST(CliArgs, ReadOverSerialTakesTheDefaults) {
    auto r = Parse({"read", "--port", "/dev/ttyUSB0"});
    ASSERT_TRUE(r.Ok()) << r.error;
    EXPECT_EQ(r.options.command, CliCommand::Read);
    EXPECT_EQ(r.options.serialPort, "/dev/ttyUSB0");
    EXPECT_FALSE(r.options.useTcp);
    EXPECT_EQ(r.options.baudIndex, 3);
    EXPECT_EQ(r.options.parityIndex, 0);
    EXPECT_EQ(r.options.address, 1);
    EXPECT_FALSE(r.options.json);
}

TEST(CliArgs, LineSettingsMapToTheSettingsIndices) {
    auto r = Parse({"--port=COM3:", "--baud", "4800", "--parity", "O", "probe", "--address=17"});
    ASSERT_TRUE(r.Ok()) << r.error;
    EXPECT_EQ(r.options.serialPort, "COM3:");
    EXPECT_EQ(r.options.baudIndex, 1);
    EXPECT_EQ(r.options.parityIndex, 2) << "odd is the third radio button";
    EXPECT_EQ(r.options.address, 17);
    // The scan searches up to 255, so what it finds there can be read too.
    EXPECT_EQ(Parse({"read", "--port", "a", "--address", "255"}).options.address, 255);
    EXPECT_EQ(Parse({"probe", "--port", "x", "--parity", "E"}).options.parityIndex, 1);
}

TEST(CliArgs, TcpHostWithAndWithoutPort) {
    auto r = Parse({"read", "--tcp", "10.0.0.7", "--json"});
    ASSERT_TRUE(r.Ok()) << r.error;
    EXPECT_TRUE(r.options.useTcp);
    EXPECT_EQ(r.options.host, "10.0.0.7");
    EXPECT_EQ(r.options.tcpPort, 405);
    EXPECT_TRUE(r.options.json);
    r = Parse({"read", "--tcp", "plc.local:1502"});
    ASSERT_TRUE(r.Ok()) << r.error;
    EXPECT_EQ(r.options.host, "plc.local");
    EXPECT_EQ(r.options.tcpPort, 1502);
}

TEST(CliArgs, WriteTakesSignedAndUnsignedWords) {
    auto r = Parse({"write", "30", "-5", "--tcp", "h"});
    ASSERT_TRUE(r.Ok()) << r.error;
    EXPECT_EQ(r.options.reg, 30);
    EXPECT_EQ(r.options.value, 0xFFFB);
    r = Parse({"write", "0x1e", "65535", "--tcp", "h"});
    ASSERT_TRUE(r.Ok()) << r.error;
    EXPECT_EQ(r.options.reg, 30);
    EXPECT_EQ(r.options.value, 0xFFFF);
    EXPECT_FALSE(Parse({"write", "30", "65536", "--tcp", "h"}).Ok());
    EXPECT_FALSE(Parse({"write", "30", "-32769", "--tcp", "h"}).Ok());
    EXPECT_FALSE(Parse({"write", "30", "12abc", "--tcp", "h"}).Ok());
    EXPECT_FALSE(Parse({"write", "-1", "5", "--tcp", "h"}).Ok());
}

TEST(CliArgs, CoilStates) {
    auto r = Parse({"coil", "5", "on", "--tcp", "h"});
    ASSERT_TRUE(r.Ok()) << r.error;
    EXPECT_EQ(r.options.coil, 5);
    EXPECT_TRUE(r.options.coilOn);
    r = Parse({"coil", "4", "off", "--tcp", "h"});
    ASSERT_TRUE(r.Ok()) << r.error;
    EXPECT_FALSE(r.options.coilOn);
    EXPECT_FALSE(Parse({"coil", "4", "maybe", "--tcp", "h"}).Ok());
    EXPECT_FALSE(Parse({"coil", "4", "--tcp", "h"}).Ok());
}

TEST(CliArgs, RefusesWhatCannotBeRun) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--tcp", "h"},
        {"frobnicate", "--tcp", "h"},
        {"read"},
        {"read", "--port", "a", "--tcp", "h"},
        {"read", "--tcp", "h", "--baud", "9600"},
        {"read", "--port", "a", "--baud", "115200"},
        {"read", "--port", "a", "--parity", "X"},
        {"read", "--port", "a", "--address", "0"},
        {"read", "--port", "a", "--address", "256"},
        {"read", "--port", "a", "--bogus"},
        {"read", "--port"},
        {"read", "--port", "a", "extra"},
        {"write", "1", "--port", "a"},
        {"probe", "--port", "a", "--json"},
        {"read", "--port", "a", "--lines"},
        {"read", "--tcp", "h:0"},
        {"read", "--tcp", "h:70000"},
        {"read", "--tcp", ":405"},
        {"read", "--json=yes", "--port", "a"},
    };
    for (const auto& args : bad) {
        auto r = ParseCliArgs(args);
        std::string line;
        for (const auto& a : args)
            line += a + " ";
        EXPECT_FALSE(r.Ok()) << "accepted: " << line;
    }
}

TEST(CliArgs, HelpNeedsNoConnection) {
    auto r = Parse({"read", "--help"});
    ASSERT_TRUE(r.Ok()) << r.error;
    EXPECT_TRUE(r.options.help);
    EXPECT_EQ(r.options.command, CliCommand::Read);
    r = Parse({"-h"});
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.options.command, CliCommand::None);
    EXPECT_NE(CliUsage(CliCommand::Write).find("write REG VALUE"), std::string::npos);
    EXPECT_NE(CliUsage(CliCommand::None).find("coil N on|off"), std::string::npos);
}

TEST(CliArgs, DoubleDashEndsOptions) {
    auto r = Parse({"--tcp", "h", "write", "--", "3", "-7"});
    ASSERT_TRUE(r.Ok()) << r.error;
    EXPECT_EQ(r.options.value, static_cast<uint16_t>(-7));
}

TEST(CliArgs, MonitorTakesAFileAnOptionalConnectionAndItsOverrides) {
    auto r = Parse({"monitor", "plant.TQ", "--cycles", "3", "--logs=/tmp/l", "--log-mode", "2",
                    "--period", "900"});
    ASSERT_TRUE(r.Ok()) << r.error;
    EXPECT_EQ(r.options.configFile, "plant.TQ");
    EXPECT_EQ(r.options.cycles, 3);
    EXPECT_EQ(r.options.logsDir, "/tmp/l");
    EXPECT_EQ(r.options.logMode, 2);
    EXPECT_EQ(r.options.period, 900);
    EXPECT_FALSE(Parse({"monitor", "plant.TQ", "--log-mode", "3"}).Ok());
    EXPECT_FALSE(Parse({"monitor", "plant.TQ", "--period", "901"}).Ok());
    EXPECT_FALSE(Parse({"monitor"}).Ok());
    EXPECT_FALSE(Parse({"probe", "--tcp", "h", "--cycles", "2"}).Ok());
}

TEST(CliArgs, MqttOptionsGoWithMqttAndTheMonitor) {
    auto r = Parse({"monitor", "plant.TQ", "--mqtt", "broker:8883", "--mqtt-user", "plant",
                    "--mqtt-password-file", "/etc/pw", "--mqtt-qos", "0"});
    ASSERT_TRUE(r.Ok()) << r.error;
    EXPECT_EQ(r.options.mqttHost, "broker");
    EXPECT_EQ(r.options.mqttPort, 8883);
    EXPECT_EQ(r.options.mqttQos, 0);
    EXPECT_EQ(Parse({"monitor", "plant.TQ", "--mqtt", "broker"}).options.mqttPort, 1883);
    // A setting that would be silently unused, or a topic no subscriber could match, is refused.
    EXPECT_FALSE(Parse({"monitor", "plant.TQ", "--mqtt-user", "plant"}).Ok());
    EXPECT_FALSE(Parse({"monitor", "plant.TQ", "--mqtt", "b", "--mqtt-password-file", "f"}).Ok());
    EXPECT_FALSE(Parse({"monitor", "plant.TQ", "--mqtt", "b", "--mqtt-topic", "plant/#"}).Ok());
    EXPECT_FALSE(Parse({"monitor", "plant.TQ", "--mqtt", "b", "--mqtt-qos", "2"}).Ok());
    EXPECT_FALSE(Parse({"read", "--tcp", "h", "--mqtt", "b"}).Ok());
}

TEST(CliArgs, OptionsOfAnotherCommandAreRefusedNotIgnored) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{"config", "show", "a.TQ", "--cycles", "5"}, "--cycles"},
        {{"config", "show", "a.TQ", "--all"}, "--all"},
        {{"graph", "export", "a.gf", "--json"}, "--json"},
        {{"monitor", "a.TQ", "--address", "3"}, "--address"},
        {{"scan", "--tcp", "h", "--address", "3"}, "--address"},
        {{"read", "--tcp", "h", "--segment", "1"}, "--segment"},
        {{"write", "1", "2", "--tcp", "h", "--lines"}, "--lines"},
        {{"config", "save", "a.TQ", "--address", "1", "--tcp", "h", "--skip-invalid"},
         "--skip-invalid"},
    };
    for (const auto& [args, option] : bad) {
        const auto r = Parse(args);
        EXPECT_NE(r.error.find(option), std::string::npos) << args[0] << ": " << r.error;
    }
    EXPECT_TRUE(
        Parse({"config", "write", "a.TQ", "--address", "1,2", "--tcp", "h", "--skip-invalid"})
            .options.skipInvalid);
}

TEST(CliOutput, JsonHoldsFamilyRegistersAndCoils) {
    ControllerSnapshot s{"ZI102-VA402", {250, -12, 0}, {1, 0}};
    EXPECT_EQ(FormatSnapshotJson(s),
              "{\"family\": \"ZI102-VA402\", \"registers\": [250, -12, 0], \"coils\": [1, 0]}\n");
    EXPECT_EQ(FormatSnapshotText(s), "family: ZI102-VA402\nregister 0: 250\nregister 1: -12\n"
                                     "register 2: 0\ncoil 0: 1\ncoil 1: 0\n");
}

TEST(CliConfigShow, NamesFromTheFileCannotSteerTheTerminalInText) {
    const std::string path = "/tmp/calora-show-" + std::to_string(getpid()) + ".TQ";
    CTQControllerModel model;
    int32_t logMode = 0;
    CControllerList list("Zone");
    list.name[0] = "Oven\x1b[2J\nmonitor 2: forged";
    list.unit[0] = "\x7f"
                   "C";
    ASSERT_TRUE(SaveConfigurationFile(path, {model, logMode, list, nullptr}).Ok());
    auto show = [&](std::vector<std::string> args) {
        std::ostringstream out, err;
        EXPECT_EQ(RunCliCommand(ParseCliArgs(args).options, out, err, false), 0) << err.str();
        return out.str();
    };
    const std::string text = show({"config", "show", path});
    EXPECT_TRUE(std::none_of(text.begin(), text.end(),
                             [](unsigned char c) { return (c < 0x20 && c != '\n') || c == 0x7f; }));
    EXPECT_NE(text.find("\nmonitor 1: on  address 1 Oven?[2J?monitor 2: forged [?C]\n"),
              std::string::npos)
        << text;
    // JSON keeps the name exactly, escaped.
    EXPECT_NE(show({"config", "show", path, "--json"}).find("\"Oven\\u001b[2J\\u000amonitor 2"),
              std::string::npos);
    unlink(path.c_str());
}

TEST(ComErrorName, NamesEveryThrownCode) {
    EXPECT_STREQ(ComErrorName(1), "comCrcError");
    EXPECT_STREQ(ComErrorName(3), "comShortFrame");
    EXPECT_STREQ(ComErrorName(4), "comMismatch");
    EXPECT_STREQ(ComErrorName(5), "comPortError");
    EXPECT_STREQ(ComErrorName(7), "comNoDestination");
    EXPECT_STREQ(ComErrorName(9), "comNoResponse");
    EXPECT_STREQ(ComErrorName(6), "comUnknown");
}

} // namespace

TEST(CliArgs, ConfigTakesAnActionAFileAndForWritesAnAddressList) {
    auto r = Parse({"config", "write", "a.TQ", "--address", "1,3,5-8", "--tcp", "h"});
    ASSERT_TRUE(r.Ok()) << r.error;
    EXPECT_EQ(r.options.configAction, CliConfigAction::Write);
    EXPECT_EQ(r.options.configFile, "a.TQ");
    EXPECT_EQ(r.options.addressList, (std::vector<uint16_t>{1, 3, 5, 6, 7, 8}));

    EXPECT_TRUE(Parse({"config", "show", "a.TQ", "--json"}).Ok());
    EXPECT_FALSE(Parse({"config", "show", "a.TQ", "--tcp", "h"}).Ok());
    EXPECT_FALSE(Parse({"config", "write", "a.TQ", "--tcp", "h"}).Ok()); // no addresses
    EXPECT_FALSE(Parse({"config", "save", "a.TQ", "--address", "1,2", "--tcp", "h"}).Ok());
    EXPECT_FALSE(Parse({"read", "--address", "1-3", "--tcp", "h"}).Ok());
    for (const char* bad : {"8-5", "0", "1,,2", "1-", "256", "3,x"})
        EXPECT_FALSE(Parse({"config", "write", "a.TQ", "--address", bad, "--tcp", "h"}).Ok())
            << bad;
    EXPECT_FALSE(Parse({"config", "copy", "a.TQ"}).Ok());
}
