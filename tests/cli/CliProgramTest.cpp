// The built calora-cli against a simulated bus started in this process.
#include "ProgramRun.h"

#include "SimBus.h"
#include "core/model/ControllerList.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/ConfigurationFile.h"
#include "core/tasks/DataLogger.h"
#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <signal.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// The one JSON shape `read --json` prints: an object of strings and integer arrays.
struct ReadJson {
    std::map<std::string, std::string> strings;
    std::map<std::string, std::vector<long>> arrays;
};

std::optional<ReadJson> ParseReadJson(const std::string& text) {
    ReadJson json;
    size_t i = 0;
    auto skip = [&] {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
    };
    auto expect = [&](char c) {
        skip();
        if (i >= text.size() || text[i] != c)
            return false;
        ++i;
        return true;
    };
    auto string = [&](std::string& out) {
        if (!expect('"'))
            return false;
        const size_t end = text.find('"', i);
        if (end == std::string::npos)
            return false;
        out = text.substr(i, end - i);
        i = end + 1;
        return true;
    };
    if (!expect('{'))
        return std::nullopt;
    do {
        std::string key;
        if (!string(key) || !expect(':'))
            return std::nullopt;
        skip();
        if (i < text.size() && text[i] == '"') {
            if (!string(json.strings[key]))
                return std::nullopt;
        } else {
            if (!expect('['))
                return std::nullopt;
            auto& values = json.arrays[key];
            skip();
            if (i < text.size() && text[i] == ']') {
                ++i;
            } else {
                do {
                    skip();
                    size_t used = 0;
                    try {
                        values.push_back(std::stol(text.substr(i), &used));
                    } catch (...) {
                        return std::nullopt;
                    }
                    i += used;
                } while (expect(','));
                if (!expect(']'))
                    return std::nullopt;
            }
        }
    } while (expect(','));
    if (!expect('}'))
        return std::nullopt;
    skip();
    if (i != text.size())
        return std::nullopt;
    return json;
}

class CliProgram : public ::testing::Test {
protected:
    void SetUp() override {
        cli = TestBinary("calora-cli");
        ASSERT_FALSE(cli.empty()) << "CALORA_TEST_BIN is not set";
        sim::SimBusOptions options;
        options.timeScale = 0; // values stay put between the read and the comparison
        bus = std::make_unique<sim::SimBus>(options);
    }

    ProgramResult Cli(std::vector<std::string> args) { return RunProgram(cli, args); }
    std::string Tcp() { return "127.0.0.1:" + std::to_string(bus->TcpPort()); }

    void ExpectMatchesSim(const ProgramResult& r, uint8_t address, const char* family,
                          size_t registers, size_t coils) {
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        auto json = ParseReadJson(r.out);
        ASSERT_TRUE(json) << "not the JSON shape: " << r.out;
        EXPECT_EQ(json->strings["family"], family);
        const auto& regs = json->arrays["registers"];
        const auto& bits = json->arrays["coils"];
        ASSERT_EQ(regs.size(), registers);
        ASSERT_EQ(bits.size(), coils);
        auto& controller = bus->At(address);
        for (size_t k = 0; k < registers; ++k)
            EXPECT_EQ(regs[k], controller.Register(static_cast<uint16_t>(k))) << "register " << k;
        for (size_t k = 0; k < coils; ++k)
            EXPECT_EQ(bits[k], controller.Coil(static_cast<uint16_t>(k)) ? 1 : 0) << "coil " << k;
    }

    std::string cli;
    std::unique_ptr<sim::SimBus> bus;
};

TEST_F(CliProgram, ReadsTQ100OverTcpAsJson) {
    bus->AddController(1, TQ100);
    bus->StartTcp(0);
    // Marked values, so a shifted or truncated image cannot pass.
    bus->At(1).SetRegister(53, -321);
    bus->At(1).SetRegister(1, 777);
    bus->At(1).SetCoil(5, true); // manual mode and the digital input stay as set
    bus->At(1).SetCoil(8, true);
    auto r = Cli({"read", "--json", "--tcp", Tcp()});
    ExpectMatchesSim(r, 1, "TQ100", 54, 11);
    EXPECT_EQ(bus->RequestCount(3), 5u) << "family probe, then 16, 16, 16 and 6 registers";
    EXPECT_EQ(bus->RequestCount(1), 1u) << "all status coils in one request";
}

TEST_F(CliProgram, ReadsZI102OverPseudoTerminalAsJson) {
    bus->AddController(7, TQ102_TQ402);
    const std::string pty = bus->StartPty();
    bus->At(7).SetRegister(42, 4242);
    bus->At(7).SetCoil(8, true);
    auto r = Cli({"read", "--json", "--port", pty, "--address", "7"});
    ExpectMatchesSim(r, 7, "ZI102-VA402", 43, 10);
    EXPECT_EQ(bus->RequestCount(3), 4u) << "family probe, then 16, 16 and 11 registers";
}

TEST_F(CliProgram, ReadAsTextNamesTheFamilyAndEveryRegister) {
    bus->AddController(3, TQ102_TQ402);
    bus->StartTcp(0);
    auto r = Cli({"read", "--tcp", Tcp(), "--address", "3"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out.rfind("family: ZI102-VA402\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("register 42: " + std::to_string(bus->At(3).Register(42)) + "\n"),
              std::string::npos);
    EXPECT_EQ(r.out.find("register 43:"), std::string::npos);
    EXPECT_NE(r.out.find("coil 9: "), std::string::npos);
    EXPECT_EQ(r.out.find("coil 10:"), std::string::npos);
}

TEST_F(CliProgram, WriteShowsTheEchoAndReachesTheController) {
    bus->AddController(2, TQ100);
    const std::string pty = bus->StartPty();
    const int16_t value = static_cast<int16_t>(bus->At(2).Register(31) + 5); // inside the limits
    auto r = Cli({"write", "1", std::to_string(value), "--port", pty, "--address", "2"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "register 1 = " + std::to_string(value) + "\n");
    EXPECT_EQ(bus->At(2).Register(1), value);
    EXPECT_EQ(bus->RequestCount(6), 1u);
}

TEST_F(CliProgram, RefusedWriteIsABusFailureNamingTheException) {
    bus->AddController(1, TQ100);
    bus->StartTcp(0);
    const int16_t before = bus->At(1).Register(56);
    auto r = Cli({"write", "56", "9", "--tcp", Tcp()}); // the family register is read-only
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.err, "calora-cli: comException (2)\n");
    EXPECT_EQ(bus->At(1).Register(56), before);
}

// Controllers played by the test: one keeps another value than the one written, one echoes
// another register, one leaves the coil in the other state.
TEST_F(CliProgram, AnEchoThatDiffersFromTheWriteFails) {
    LoopbackPeer peer([](LoopbackPeer& p) {
        auto request = p.ReadRequest(); // MBAP header, then unit, function, register, value
        if (request.size() != 12)
            return;
        p.Write(LoopbackPeer::AnswerTo(request, {request[6], 6, request[8], request[9], 0, 76}));
        if (!p.Accept())
            return;
        while ((request = p.ReadRequest(3000)).size() == 12)
            p.Write(LoopbackPeer::AnswerTo(request, {request[6], 6, 0, 4, 0, 77}));
        if (!p.Accept())
            return;
        request = p.ReadRequest();
        if (request.size() == 12)
            p.Write(LoopbackPeer::AnswerTo(request, {request[6], 5, 0, 4, 0, 0}));
    });
    const std::string tcp = "127.0.0.1:" + std::to_string(peer.Port());
    auto r = Cli({"write", "3", "77", "--tcp", tcp});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, "register 3 = 76\n");
    EXPECT_EQ(r.err, "calora-cli: register 3 echoed 76, sent 77\n");
    r = Cli({"write", "3", "77", "--tcp", tcp});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "calora-cli: comMismatch (4)\n");
    r = Cli({"coil", "4", "on", "--tcp", tcp});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, "coil 4 = off\n");
    EXPECT_EQ(r.err, "calora-cli: coil 4 echoed off, sent on\n");
}

TEST_F(CliProgram, OutputThatCannotBeWrittenIsAFailure) {
    bus->AddController(1, TQ100);
    bus->StartTcp(0);
    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    auto r = RunProgramWithOutput(cli, {"read", "--tcp", Tcp()}, full);
    close(full);
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.err, "calora-cli: cannot write the output: No space left on device\n");

    int ends[2];
    ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
    close(ends[0]); // the reader went away
    r = RunProgramWithOutput(cli, {"read", "--tcp", Tcp()}, ends[1]);
    close(ends[1]);
    EXPECT_EQ(r.exitStatus, 1) << "not ended by the signal, not a success";
    EXPECT_EQ(r.err, "calora-cli: cannot write the output: Broken pipe\n");
}

TEST_F(CliProgram, CoilOnAndOff) {
    bus->AddController(4, TQ100);
    bus->StartTcp(0);
    auto r = Cli({"coil", "5", "on", "--tcp", Tcp(), "--address", "4"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "coil 5 = on\n");
    EXPECT_TRUE(bus->At(4).Coil(5));
    r = Cli({"coil", "5", "off", "--tcp", Tcp(), "--address", "4"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "coil 5 = off\n");
    EXPECT_FALSE(bus->At(4).Coil(5));
    const auto log = bus->RequestLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].function, 5);
    EXPECT_EQ(log[0].quantity, 0xFF00) << "on travels as FF 00";
    EXPECT_EQ(log[1].quantity, 0);
}

TEST_F(CliProgram, ProbeOfPresentAddressSendsOneRequest) {
    bus->AddController(9, TQ102_TQ402);
    bus->StartTcp(0);
    auto r = Cli({"probe", "--tcp", Tcp(), "--address", "9"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "address 9 answers\n");
    const auto log = bus->RequestLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].function, 3);
    EXPECT_EQ(log[0].start, 0);
    EXPECT_EQ(log[0].quantity, 1);
}

TEST_F(CliProgram, ProbeOfAbsentAddressFailsWithNoResponse) {
    bus->AddController(1, TQ100);
    const std::string pty = bus->StartPty();
    auto r = Cli({"probe", "--port", pty, "--address", "12"});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.err, "calora-cli: comNoResponse (9)\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(CliProgram, ProbeOfAbsentAddressOverTcpFailsWithNoResponse) {
    bus->AddController(1, TQ100);
    bus->StartTcp(0);
    auto r = Cli({"probe", "--tcp", Tcp(), "--address", "12"});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.err, "calora-cli: comNoResponse (9)\n");
}

TEST_F(CliProgram, SilentControllerFailsReadAfterRetries) {
    bus->AddController(1, TQ100);
    bus->StartTcp(0);
    bus->SetFault(1, sim::FaultKind::Silent);
    auto r = Cli({"read", "--tcp", Tcp()});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.err, "calora-cli: comNoResponse (9)\n");
    EXPECT_EQ(r.out, "") << "nothing half-read is printed";
}

TEST_F(CliProgram, ReadRefusedByExceptionsNamesTheException) {
    bus->AddController(1, TQ100);
    bus->StartTcp(0);
    bus->SetFault(1, sim::FaultKind::Exception);
    auto r = Cli({"read", "--json", "--tcp", Tcp()});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.err, "calora-cli: comException (2)\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(CliProgram, ReadWithSpoiledChecksumsNamesTheCrcError) {
    bus->AddController(1, TQ100);
    const std::string pty = bus->StartPty();
    bus->SetFault(1, sim::FaultKind::BadCrc);
    auto r = Cli({"read", "--port", pty});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.err, "calora-cli: comCrcError (1)\n");
    EXPECT_EQ(bus->RequestCount(3), 5u) << "the family probe is tried five times";
}

TEST_F(CliProgram, ReadWithCutAnswersNamesTheShortFrame) {
    bus->AddController(1, TQ100);
    const std::string pty = bus->StartPty();
    bus->SetFault(1, sim::FaultKind::ShortAnswer);
    auto r = Cli({"read", "--port", pty});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.err, "calora-cli: comShortFrame (3)\n");
}

TEST_F(CliProgram, ScanFindsTheFirstAddressOverTcp) {
    bus->AddController(2, TQ102_TQ402);
    bus->AddController(5, TQ100);
    const uint16_t port = bus->StartTcp(0);
    auto r = Cli({"scan", "--tcp", Tcp()});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "found address 2 at 127.0.0.1:" + std::to_string(port) + "\n");
    // Not a terminal: whole progress lines, nothing redrawn.
    EXPECT_EQ(r.err, "searching: address 1, 127.0.0.1:" + std::to_string(port) + " (0 probed)\n");
}

TEST_F(CliProgram, ScanFindsTheAddressOnPseudoTerminal) {
    bus->AddController(4, TQ100);
    const std::string pty = bus->StartPty();
    auto r = Cli({"scan", "--port", pty});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "found address 4 on " + pty + " at 19200 baud, parity N\n");
    // Addresses 1 to 3 were asked once each, without retries, then 4 answered.
    const auto log = bus->RequestLog();
    ASSERT_EQ(log.size(), 1u) << "the sim logs only what a controller received";
    EXPECT_EQ(log[0].address, 4);
}

TEST_F(CliProgram, ScanWithLinesReportsTheLineItFoundOn) {
    bus->AddController(1, TQ100);
    const std::string pty = bus->StartPty();
    auto r = Cli({"scan", "--lines", "--port", pty, "--baud", "2400"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "found address 1 on " + pty + " at 19200 baud, parity N\n")
        << "the line search starts at 19200 without parity, whatever was given";
}

// The desktop program's profile names ports "COMn:"; the command line takes those names too.
TEST_F(CliProgram, ListedPortNameResolvesThroughTheProfile) {
    bus->AddController(3, TQ102_TQ402);
    const std::string pty = bus->StartPty();
    char folder[] = "/tmp/calora-cli-profile-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string config = folder;
    std::filesystem::create_directories(config + "/Norvane");
    {
        std::ofstream ini(config + "/Norvane/Calora.conf");
        ini << "[General]\nModbusDir=1\nSerialPortExtra=" << pty
            << "\nSerialPortMap=\"COM7:=" << pty << "\"\n";
    }
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string previous = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    auto r = Cli({"read", "--json", "--port", "COM7:", "--address", "3"});
    auto unknown = Cli({"probe", "--port", "COM9:"});
    if (saved)
        setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    const std::string profileText = [&] {
        std::ifstream in(config + "/Norvane/Calora.conf");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    std::filesystem::remove_all(config);

    ExpectMatchesSim(r, 3, "ZI102-VA402", 43, 10);
    EXPECT_EQ(unknown.exitStatus, 1);
    EXPECT_NE(unknown.err.find("unknown serial port 'COM9:'"), std::string::npos) << unknown.err;
    EXPECT_NE(unknown.err.find("COM7: (" + pty + ")"), std::string::npos) << unknown.err;
    EXPECT_EQ(profileText.find("COM1:"), std::string::npos) << "the profile is never written";
}

TEST_F(CliProgram, UnreachableTcpPortIsABusFailure) {
    bus->AddController(1, TQ100);
    const uint16_t port = bus->StartTcp(0);
    bus->Stop();
    auto r = Cli({"probe", "--tcp", "127.0.0.1:" + std::to_string(port)});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find("cannot connect"), std::string::npos) << r.err;
}

TEST_F(CliProgram, UsageErrorsExitWithTwoAndTouchNoBus) {
    bus->AddController(1, TQ100);
    bus->StartTcp(0);
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"read"},
        {"write", "1", "--tcp", Tcp()},
        {"coil", "5", "sideways", "--tcp", Tcp()},
        {"read", "--tcp", Tcp(), "--port", "/dev/null"},
        {"read", "--tcp", Tcp(), "--address", "300"},
        {"dance", "--tcp", Tcp()},
        {"monitor", "plant.TQ", "--tcp", Tcp(), "--address", "3"},
    };
    for (const auto& args : bad) {
        auto r = Cli(args);
        EXPECT_EQ(r.exitStatus, 2) << r.err;
        EXPECT_EQ(r.err.rfind("calora-cli: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find("--help"), std::string::npos) << "points to the help: " << r.err;
    }
    EXPECT_TRUE(bus->RequestLog().empty());
}

TEST_F(CliProgram, HelpForEachCommand) {
    for (const char* command : {"read", "write", "coil", "probe", "scan"}) {
        auto r = Cli({command, "--help"});
        EXPECT_EQ(r.exitStatus, 0);
        EXPECT_EQ(r.out.rfind(std::string("Usage: calora-cli ") + command, 0), 0u) << r.out;
    }
    auto r = Cli({"--help"});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_NE(r.out.find("Exit status"), std::string::npos);
}

} // namespace

TEST_F(CliProgram, ConfigSavesShowsAndWritesOnlyTheFilesFamily) {
    bus->AddController(1, TQ100);
    bus->AddController(2, TQ100);
    bus->AddController(3, TQ102_TQ402);
    bus->StartTcp(0);
    const int16_t setpoint = static_cast<int16_t>(bus->At(1).Register(31) + 7); // inside the limits
    bus->At(1).SetRegister(1, setpoint);
    bus->At(1).SetRegister(53, 444);
    const int16_t thirdSetpoint = bus->At(3).Register(1);
    const auto file = std::filesystem::temp_directory_path() /
                      ("calora-cli-config-" + std::to_string(::getpid()) + ".TQ");
    // No language chosen in the profile: the texts are English.
    const auto home =
        std::filesystem::temp_directory_path() / ("calora-cli-home-" + std::to_string(::getpid()));
    std::filesystem::create_directories(home);
    const char* oldHome = std::getenv("XDG_CONFIG_HOME");
    const std::string keptHome = oldHome ? oldHome : "";
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);

    auto saved = Cli({"config", "save", file.string(), "--address", "1", "--tcp", Tcp()});
    ASSERT_EQ(saved.exitStatus, 0) << saved.err;
    auto shown = Cli({"config", "show", file.string(), "--json"});
    ASSERT_EQ(shown.exitStatus, 0) << shown.err;
    EXPECT_EQ(shown.out.rfind("{\"family\": \"TQ100\", \"registers\": [", 0), 0u) << shown.out;
    EXPECT_NE(shown.out.find("{\"register\": 1, \"name\": \"Setpoint\", \"value\": " +
                             std::to_string(setpoint) + "}"),
              std::string::npos)
        << shown.out;
    EXPECT_NE(shown.out.find("\"logMode\": 0, \"monitor\": {\"period\": 10, \"columns\": 127"),
              std::string::npos);

    // 2 takes the file, 3 is the other family, 9 is not there.
    auto written = Cli({"config", "write", file.string(), "--address", "2,3,9", "--tcp", Tcp()});
    EXPECT_EQ(written.exitStatus, 1);
    EXPECT_EQ(written.out, "address 2: written\n"
                           "address 3: family ZI102-VA402, file is TQ100: skipped\n"
                           "address 9: comNoResponse\n");
    EXPECT_NE(written.err.find("[3/3] address 9"), std::string::npos) << written.err;
    EXPECT_EQ(bus->At(2).Register(1), setpoint);
    EXPECT_EQ(bus->At(2).Register(53), 444);
    EXPECT_EQ(bus->At(3).Register(1), thirdSetpoint);

    // A damaged file: exit 1 with the program's message.
    std::filesystem::resize_file(file, 20);
    auto damaged = Cli({"config", "show", file.string()});
    EXPECT_EQ(damaged.exitStatus, 1);
    EXPECT_NE(damaged.err.find("not a valid configuration file"), std::string::npos) << damaged.err;
    std::filesystem::remove(file);
    std::filesystem::remove_all(home);
    if (oldHome)
        ::setenv("XDG_CONFIG_HOME", keptHome.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

// A file value the controller model refuses is named and never written as something else; a
// write that stops part way says which registers took the file's values.
TEST_F(CliProgram, ConfigWriteRefusesSkippedValuesAndReportsPartialWrites) {
    for (uint8_t a : {1, 2, 3})
        bus->AddController(a, TQ102_TQ402);
    bus->StartTcp(0);
    for (uint16_t k = 1; k <= 40; ++k) { // the file differs from the others' defaults
        if (const int16_t v = bus->At(1).Register(k); v < 9999)
            bus->At(1).SetRegister(k, static_cast<int16_t>(v + 1));
    }
    const std::string dir = ::testing::TempDir() + "calora-cli-skip-" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1); // no language chosen: English texts
    const std::string good = dir + "/good.TQ", bad = dir + "/bad.TQ", fifo = dir + "/fifo.TQ";
    ASSERT_EQ(Cli({"config", "save", good, "--address", "1", "--tcp", Tcp()}).exitStatus, 0);
    std::filesystem::copy_file(good, bad);
    {
        std::fstream patch(bad, std::ios::in | std::ios::out | std::ios::binary);
        patch.seekp(3 + 2 * 1);     // the setpoint word, after the tag "TQ"
        patch.write("\xE0\x2E", 2); // 12000
    }
    const std::string named = "register 1 (Setpoint): 12000 is outside -9999..9999; not taken, "
                              "the register keeps 200\n";
    auto shown = Cli({"config", "show", bad});
    EXPECT_EQ(shown.exitStatus, 0);
    EXPECT_EQ(shown.err, "calora-cli: " + bad + ": " + named);

    bus->At(3).SetRegister(1, 555);
    const int16_t before2 = bus->At(3).Register(2);
    auto refused = Cli({"config", "write", bad, "--address", "3", "--tcp", Tcp()});
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(bus->At(3).Register(2), before2) << "nothing is written";
    auto skipping =
        Cli({"config", "write", bad, "--address", "3", "--skip-invalid", "--tcp", Tcp()});
    EXPECT_EQ(skipping.exitStatus, 0) << skipping.err;
    EXPECT_EQ(skipping.out, "address 3: written; left out 1\n");
    EXPECT_EQ(bus->At(3).Register(1), 555);
    EXPECT_EQ(bus->At(3).Register(2), bus->At(1).Register(2));

    // Address 2 refuses some requests: the report must match what it holds.
    bus->SetFault(2, sim::FaultKind::Exception, 0.05);
    auto partial = Cli({"config", "write", good, "--address", "2", "--tcp", Tcp()});
    EXPECT_EQ(partial.exitStatus, 1);
    const std::string head = "address 2: partly written (The controller refused the value of: ";
    ASSERT_EQ(partial.out.rfind(head, 0), 0u) << partial.out;
    const size_t writtenAt = partial.out.find("written ", head.size());
    const size_t notAt = partial.out.find("; not written ");
    ASSERT_TRUE(writtenAt != std::string::npos && notAt != std::string::npos) << partial.out;
    auto check = [&](std::string list, bool taken) {
        std::replace(list.begin(), list.end(), ',', ' ');
        std::istringstream in(list);
        int count = 0;
        for (int k; in >> k; ++count)
            EXPECT_EQ(bus->At(2).Register(uint16_t(k)) == bus->At(1).Register(uint16_t(k)), taken)
                << "register " << k;
        EXPECT_GT(count, 0);
    };
    check(partial.out.substr(writtenAt + 8, notAt - writtenAt - 8), true);
    check(partial.out.substr(notAt + 14), false);

    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto fromFifo = Cli({"config", "show", fifo});
    EXPECT_EQ(fromFifo.exitStatus, 1);
    EXPECT_NE(fromFifo.err.find("not a regular file"), std::string::npos) << fromFifo.err;
    ::unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(dir);
}

TEST_F(CliProgram, MonitorWhoseLogFileFillsExitsWithTheReasonKeepingWholeRows) {
    CControllerList list("Zone");
    std::vector<uint8_t> addresses = {1, 2, 3};
    for (uint8_t a : addresses)
        bus->AddController(a, TQ100);
    bus->StartTcp(0);
    ASSERT_TRUE(list.SetEntries({1, 1, 1}, addresses, {"Oven", "Kiln", "Vat"}, {"F", "F", "F"}));
    CTQControllerModel model;
    int32_t logMode = kLogOneFile;
    const auto work =
        std::filesystem::temp_directory_path() / ("calora-cli-full-" + std::to_string(::getpid()));
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work);
    const std::string config = (work / "monitor.TQ").string();
    ASSERT_TRUE(SaveConfigurationFile(config, ConfigurationParts{model, logMode, list, {}}).Ok());

    // Room for the headers and a few rows; the run would go on for 20 cycles.
    const size_t kRoom = 450;
    const auto r =
        RunProgramWithFileSizeLimit(cli,
                                    {"monitor", config, "--tcp", Tcp(), "--logs",
                                     (work / "logs").string(), "--period", "1", "--cycles", "20"},
                                    kRoom);
    EXPECT_EQ(r.exitStatus, 1) << r.out;
    EXPECT_EQ(r.out.find("cycle 20:"), std::string::npos) << r.out;
    const std::regex message("calora-cli: monitor: logging stopped: " + (work / "logs").string() +
                             R"(/\d+-\d\d-\d{4}/log-\d\d-\d\d-\d\d\.log: File too large\n)");
    EXPECT_TRUE(std::regex_match(r.err, message)) << r.err;

    size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(work / "logs")) {
        if (!entry.is_regular_file())
            continue;
        ++files;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        EXPECT_LE(text.size(), kRoom);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.back(), '\n');
        // Names, titles, then rows: every line has one cell per column of every controller.
        std::istringstream lines(text);
        size_t rows = 0;
        for (std::string line; std::getline(lines, line); ++rows)
            EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 1 + 3 * 7) << line;
        EXPECT_GE(rows, 3u);
    }
    EXPECT_EQ(files, 1u);
    std::filesystem::remove_all(work);
}

TEST_F(CliProgram, MonitorGoesOnPastAnUnreadOutputAndStopsOnSigterm) {
    bus->AddController(1, TQ100);
    bus->StartTcp(0);
    char folder[] = "/tmp/calora-monitor-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::filesystem::path dir = folder;
    std::filesystem::create_directory(dir / "logs");
    CTQControllerModel model;
    int32_t logMode = 1;
    CControllerList list("Zone");
    std::fill(list.enabled.begin() + 1, list.enabled.end(), 0);
    const std::string config = (dir / "one.TQ").string();
    ASSERT_TRUE(SaveConfigurationFile(config, {model, logMode, list, nullptr}).Ok());
    bool whole = true; // every file ends with a complete row
    auto logLines = [&] {
        size_t lines = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir / "logs"))
            if (entry.is_regular_file()) {
                std::ifstream in(entry.path());
                const std::string text{std::istreambuf_iterator<char>(in), {}};
                lines += std::count(text.begin(), text.end(), '\n');
                whole = whole && !text.empty() && text.back() == '\n';
            }
        return lines;
    };

    // A pipe that is full before the program starts and never read.
    int ends[2];
    ASSERT_EQ(pipe2(ends, O_CLOEXEC | O_NONBLOCK), 0);
    const std::string block(4096, 'x');
    while (write(ends[1], block.data(), block.size()) > 0) {
    }
    fcntl(ends[1], F_SETFL, 0); // the program gets an ordinary blocking descriptor
    RunningProgram run = StartProgram(
        cli,
        {"monitor", config, "--tcp", Tcp(), "--logs", (dir / "logs").string(), "--period", "1"},
        ends[1]);
    // Rows go on being logged: two header lines, then three cycles.
    for (int i = 0; i < 300 && logLines() < 5; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_GE(logLines(), 5u);
    const ProgramResult r = StopProgram(run, SIGTERM, std::chrono::seconds(10));
    close(ends[0]);
    close(ends[1]);
    EXPECT_EQ(r.exitStatus, 0) << "not ended within the bound: " << r.err;
    EXPECT_NE(r.err.find("output lines dropped"), std::string::npos) << r.err;
    EXPECT_GE(logLines(), 5u);
    EXPECT_TRUE(whole);
    std::filesystem::remove_all(dir);
}
