// calora-sim's command line, and the program itself run as scripts run it.
#include "SimOptions.h"
#include "SimTestSupport.h"

#include "core/modbus/ModbusMaster.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

using sim::ParseOptions;

TEST(Options, NoTransportMeansTheDefaultPortAndAPty) {
    const auto o = ParseOptions({});
    ASSERT_TRUE(o.tcpPort);
    EXPECT_EQ(*o.tcpPort, sim::kDefaultTcpPort);
    EXPECT_TRUE(o.pty);
    EXPECT_TRUE(o.controllers.empty());
    EXPECT_TRUE(o.bus.wireTime);
}

TEST(Options, TransportsAndTime) {
    const auto o =
        ParseOptions({"--tcp", "0", "--tcp-host", "0.0.0.0", "--link", "/tmp/x", "--seed", "42",
                      "--time-scale", "2.5", "--no-wire-time", "--tune-seconds", "5"});
    EXPECT_EQ(*o.tcpPort, 0);
    EXPECT_EQ(o.tcpHost, "0.0.0.0");
    EXPECT_TRUE(o.pty);
    EXPECT_EQ(o.link, "/tmp/x");
    EXPECT_EQ(o.bus.seed, 42u);
    EXPECT_DOUBLE_EQ(o.bus.timeScale, 2.5);
    EXPECT_FALSE(o.bus.wireTime);
    EXPECT_DOUBLE_EQ(o.bus.tuneSeconds, 5);
    const auto device = ParseOptions({"--device", "/dev/ttyUSB0", "--line", "9600:E"});
    EXPECT_FALSE(device.tcpPort);
    EXPECT_FALSE(device.pty);
    EXPECT_EQ(device.deviceLine.baud, 9600u);
    EXPECT_EQ(device.deviceLine.parity, sim::Parity::Even);
}

TEST(Options, ControllerSpecs) {
    const auto specs = sim::ParseControllers("1-72,5:tq100:2400:O,9:zi102,10:alt:9600");
    ASSERT_EQ(specs.size(), 4u);
    EXPECT_EQ(specs[0].first, 1);
    EXPECT_EQ(specs[0].last, 72);
    EXPECT_FALSE(specs[0].family);
    EXPECT_EQ(*specs[1].family, TQ100);
    EXPECT_EQ(specs[1].line.baud, 2400u);
    EXPECT_EQ(specs[1].line.parity, sim::Parity::Odd);
    EXPECT_EQ(*specs[2].family, TQ102_TQ402);
    EXPECT_EQ(specs[2].line.baud, 19200u);
    EXPECT_FALSE(specs[3].family);
    EXPECT_EQ(specs[3].line.baud, 9600u);
}

TEST(Options, LaterControllerItemsWinAndFaultsLandOnTheirAddresses) {
    const auto o = ParseOptions({"--controllers", "1-4", "--controllers", "3:zi102:4800:E",
                                 "--fault", "2-3:slow:0.5:250", "--fault", "all:silent:0.1"});
    sim::SimBus bus(simtest::Frozen());
    sim::Populate(bus, o);
    EXPECT_EQ(bus.Addresses(), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(bus.At(1).Family(), TQ100);
    EXPECT_EQ(bus.At(2).Family(), TQ102_TQ402);
    EXPECT_EQ(bus.At(3).Family(), TQ102_TQ402);
    EXPECT_EQ(bus.At(3).Line().baud, 4800u);
    EXPECT_EQ(bus.At(3).Line().parity, sim::Parity::Even);
    ASSERT_EQ(bus.At(3).Faults().size(), 2u);
    EXPECT_EQ(bus.At(3).Faults()[0].kind, sim::FaultKind::Slow);
    EXPECT_EQ(bus.At(3).Faults()[0].param, 250);
    EXPECT_DOUBLE_EQ(bus.At(3).Faults()[0].rate, 0.5);
    EXPECT_EQ(bus.At(1).Faults().size(), 1u);
    EXPECT_EQ(bus.At(4).Faults().size(), 1u);
}

TEST(Options, DefaultBusIsSeventyTwoAlternatingControllers) {
    sim::SimBus bus(simtest::Frozen());
    sim::Populate(bus, ParseOptions({"--tcp", "0"}));
    EXPECT_EQ(bus.Addresses().size(), 72u);
    EXPECT_EQ(bus.At(1).Family(), TQ100);
    EXPECT_EQ(bus.At(2).Family(), TQ102_TQ402);
}

TEST(Options, FaultDefaults) {
    EXPECT_EQ(sim::ParseFault("3:slow:1").fault.param, 1000);
    EXPECT_EQ(sim::ParseFault("3:exception:1").fault.param, 4);
    EXPECT_EQ(sim::ParseFault("3:exception:1:2").fault.param, 2);
    EXPECT_EQ(sim::ParseFault("*:mbap-id:0.25").first, 1);
    EXPECT_EQ(sim::ParseFault("*:mbap-id:0.25").last, 247);
    for (sim::FaultKind kind : sim::kAllFaultKinds)
        EXPECT_EQ(sim::ParseFault(std::string("1:") + sim::FaultKindName(kind) + ":1").fault.kind,
                  kind);
}

TEST(Options, MistakesAreReportedNotGuessed) {
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--tcp"},
             {"--tcp", "70000"},
             {"--tcp", "12x"},
             {"--bogus"},
             {"--controllers", "0"},
             {"--controllers", "248"},
             {"--controllers", "9-3"},
             {"--controllers", "1:tq999"},
             {"--controllers", "1:tq100:1234"},
             {"--controllers", "1:tq100:9600:X"},
             {"--controllers", "1:tq100:9600:N:extra"},
             {"--fault", "1:silent"},
             {"--fault", "1:melt:1"},
             {"--fault", "1:silent:1.5"},
             {"--fault", "1:silent:-0.1"},
             {"--line", "9600"},
             {"--time-scale", "fast"},
             {"--pty", "--device", "/dev/null"},
         }) {
        EXPECT_THROW(ParseOptions(bad), std::invalid_argument) << bad[0];
    }
}

TEST(Options, HelpNamesEveryOptionAndFault) {
    const std::string help = sim::HelpText();
    for (const char* option :
         {"--tcp ", "--tcp-host", "--pty", "--link", "--device", "--line", "--controllers",
          "--fault", "--seed", "--time-scale", "--tune-seconds", "--uniform-plants",
          "--no-wire-time", "--verbose", "--help", "TCP_PORT=", "PTY=", "READY"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    for (sim::FaultKind kind : sim::kAllFaultKinds)
        EXPECT_NE(help.find(sim::FaultKindName(kind)), std::string::npos);
    EXPECT_NE(help.find("even"), std::string::npos);
}

// The program, started as a script starts it.
class Program : public ::testing::Test {
protected:
    pid_t pid = -1;
    FILE* out = nullptr;
    void TearDown() override {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (out)
            fclose(out);
    }
    std::string Binary() {
        const char* bin = std::getenv("CALORA_TEST_BIN");
        return std::string(bin ? bin : ".") + "/calora-sim";
    }
    void Start(std::vector<std::string> args) {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        args.insert(args.begin(), Binary());
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeFds[1]);
        out = fdopen(pipeFds[0], "r");
    }
    // Lines up to READY, as NAME=VALUE pairs.
    std::map<std::string, std::string> Banner() {
        std::map<std::string, std::string> values;
        char line[512];
        while (fgets(line, sizeof line, out)) {
            std::string text(line);
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                text.pop_back();
            if (text == "READY")
                break;
            const auto eq = text.find('=');
            if (eq != std::string::npos)
                values[text.substr(0, eq)] = text.substr(eq + 1);
        }
        return values;
    }
    int StopWith(int signal) {
        kill(pid, signal);
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline)
                return -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    }
};

TEST_F(Program, ServesTcpAndPtyUntilSigterm) {
    const std::string link = testing::TempDir() + "/calora-sim-program-link";
    Start({"--tcp", "0", "--link", link, "--no-wire-time", "--controllers", "5:tq100,6:zi102",
           "--fault", "6:exception:1:3"});
    auto banner = Banner();
    ASSERT_TRUE(banner.count("TCP_PORT"));
    ASSERT_TRUE(banner.count("PTY"));
    EXPECT_EQ(banner["LINK"], link);
    {
        CModbusMaster tcp("127.0.0.1", uint16_t(std::stoi(banner["TCP_PORT"])));
        ASSERT_TRUE(tcp.IsOpen());
        int16_t value = -1;
        EXPECT_EQ(tcp.Request(5, 3, 56, 1, &value, true, 10), 0);
        EXPECT_EQ(value, 0);
        EXPECT_EQ(tcp.Request(6, 3, 56, 1, &value, true, 10), 2);
        CModbusMaster rtu(link, 19200, 0, 0, 8);
        ASSERT_TRUE(rtu.IsOpen());
        EXPECT_EQ(rtu.Request(5, 3, 1, 1, &value, true, 1000), 0);
        EXPECT_EQ(value, 200);
    }
    EXPECT_EQ(StopWith(SIGTERM), 0);
    struct stat st {};
    EXPECT_NE(lstat(link.c_str(), &st), 0);
}

// Masters take the terminal exclusively; an unprivileged one must still be able to open it
// again after closing it (as every task of the program does), even after a program that
// left the exclusive flag set. Root is exempt from the flag, so as root the masters run as
// nobody.
TEST_F(Program, UnprivilegedMasterReopensTheTerminal) {
    Start({"--pty", "--no-wire-time", "--controllers", "1"});
    const std::string pty = Banner()["PTY"];
    ASSERT_FALSE(pty.empty());
    if (geteuid() == 0) {
        ASSERT_EQ(chmod(pty.c_str(), 0666), 0);
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && setuid(65534) != 0)
            _exit(100);
        int failures = 0;
        // A program that takes the terminal exclusively and leaves the flag set on close.
        for (int i = 0; i < 10; ++i) {
            const int fd = open(pty.c_str(), O_RDWR | O_NOCTTY);
            failures += fd >= 0 && ioctl(fd, TIOCEXCL) == 0 ? 0 : 1;
            if (fd >= 0)
                close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        for (int i = 0; i < 20; ++i) {
            CModbusMaster master(pty, 19200, 0, 0, 8);
            int16_t value = 0;
            try {
                failures +=
                    master.IsOpen() && master.Request(1, 3, 1, 1, &value, true, 1000) == 0 ? 0 : 1;
            } catch (CModbusMaster::tErrorCom) {
                ++failures;
            }
        }
        _exit(failures);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "100 = could not drop privileges";
    EXPECT_EQ(StopWith(SIGTERM), 0);
}

TEST_F(Program, SigintStopsItToo) {
    Start({"--tcp", "0", "--no-wire-time"});
    EXPECT_TRUE(Banner().count("TCP_PORT"));
    EXPECT_EQ(StopWith(SIGINT), 0);
}

TEST_F(Program, BadOptionsExitWithTwo) {
    Start({"--controllers", "1:tq999"});
    int status = 0;
    waitpid(pid, &status, 0);
    pid = -1;
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

TEST_F(Program, HelpPrintsTheText) {
    Start({"--help"});
    std::string text;
    char buffer[1024];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, out)) > 0)
        text.append(buffer, n);
    EXPECT_EQ(text, sim::HelpText());
    int status = 0;
    waitpid(pid, &status, 0);
    pid = -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace
