// calora-cli monitor --mqtt against Debian's mosquitto, started here on a free loopback port
// with a configuration written here, and read back with mosquitto_sub.
#include "ProgramRun.h"

#include "SimBus.h"
#include "core/model/ControllerList.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/ConfigurationFile.h"
#include "core/tasks/DataLogger.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <netinet/in.h>
#include <pwd.h>
#include <regex>
#include <set>
#include <signal.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// Just enough JSON to read the messages: a malformed text fails the parse.
struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool flag = false;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> fields;
    const Json& operator[](const std::string& key) const {
        static const Json missing;
        auto it = fields.find(key);
        return it == fields.end() ? missing : it->second;
    }
};

struct JsonReader {
    const std::string& s;
    size_t i = 0;
    bool Fail() { throw std::runtime_error("bad JSON at " + std::to_string(i) + ": " + s); }
    void Blanks() {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\n'))
            ++i;
    }
    bool Take(char c) {
        Blanks();
        if (i < s.size() && s[i] == c)
            return ++i, true;
        return false;
    }
    std::string Text() {
        Blanks();
        std::string out;
        if (!Take('"'))
            Fail();
        while (i < s.size() && s[i] != '"') {
            if (static_cast<unsigned char>(s[i]) < 0x20)
                Fail();
            if (s[i] == '\\') {
                const char e = s.at(++i);
                if (e == 'u')
                    out += static_cast<char>(std::stoi(s.substr(i + 1, 4), nullptr, 16)), i += 4;
                else
                    out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
                ++i;
            } else {
                out += s[i++];
            }
        }
        if (!Take('"'))
            Fail();
        return out;
    }
    Json Value() {
        Json v;
        Blanks();
        if (s.compare(i, 4, "null") == 0) {
            i += 4;
        } else if (s.compare(i, 4, "true") == 0 || s.compare(i, 5, "false") == 0) {
            v.kind = Json::Bool;
            v.flag = s[i] == 't';
            i += v.flag ? 4 : 5;
        } else if (i < s.size() && s[i] == '"') {
            v.kind = Json::String;
            v.text = Text();
        } else if (Take('[')) {
            v.kind = Json::Array;
            if (!Take(']')) {
                do
                    v.items.push_back(Value());
                while (Take(','));
                if (!Take(']'))
                    Fail();
            }
        } else if (Take('{')) {
            v.kind = Json::Object;
            do {
                std::string key = Text();
                if (!Take(':'))
                    Fail();
                v.fields[key] = Value();
            } while (Take(','));
            if (!Take('}'))
                Fail();
        } else {
            // Numbers as JSON writes them: a '.' point whatever the locale.
            static const std::regex number(R"(^-?(0|[1-9]\d*)(\.\d+)?)");
            std::smatch m;
            const std::string rest = s.substr(i);
            if (!std::regex_search(rest, m, number))
                Fail();
            v.kind = Json::Number;
            v.number = std::strtod(m.str().c_str(), nullptr);
            i += m.length();
        }
        return v;
    }
};

Json ParseJson(const std::string& text) {
    JsonReader reader{text};
    Json v = reader.Value();
    reader.Blanks();
    if (reader.i != text.size())
        reader.Fail();
    return v;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Polls until `done` holds or the generous deadline passes.
bool WaitFor(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

uint16_t FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t size = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
    close(fd);
    return ntohs(a.sin_port);
}

bool Accepts(uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(fd);
    return ok;
}

// A mosquitto of our own: its configuration, password and store live in `dir`.
class Broker {
public:
    Broker(const fs::path& dir, const std::string& extra) : dir(dir), port(FreePort()) {
        const passwd* me = getpwuid(getuid());
        std::ofstream(dir / "broker.conf")
            << "user " << (me ? me->pw_name : "root") << "\nlistener " << port
            << " 127.0.0.1\npersistence true\npersistence_location " << dir.string() << "/\n"
            << extra;
    }
    ~Broker() { Stop(); }
    bool Start() {
        run = StartProgram(FindOnPath("mosquitto"), {"-c", (dir / "broker.conf").string()});
        return WaitFor([&] { return Accepts(port); }, std::chrono::seconds(20));
    }
    void Stop() {
        if (run.pid > 0)
            StopProgram(run, SIGTERM, std::chrono::seconds(20));
    }
    std::string Address() const { return "127.0.0.1:" + std::to_string(port); }
    // The retained status as a new subscriber sees it.
    std::string Status() const {
        return RunProgram(FindOnPath("mosquitto_sub"), {"-p", std::to_string(port), "-t",
                                                        "calora/status", "-C", "1", "-W", "20"})
            .out;
    }

    fs::path dir;
    uint16_t port;
    RunningProgram run;
};

class CliMqtt : public ::testing::Test {
protected:
    void SetUp() override {
        cli = TestBinary("calora-cli");
        ASSERT_FALSE(cli.empty()) << "CALORA_TEST_BIN is not set";
        ASSERT_FALSE(FindOnPath("mosquitto").empty()) << "mosquitto is missing: scripts/setup.sh";
        ASSERT_FALSE(FindOnPath("mosquitto_sub").empty()) << "mosquitto-clients is missing";
        char folder[] = "/tmp/calora-mqtt-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        dir = folder;
        sim::SimBusOptions options;
        options.timeScale = 0; // values stay put between the monitor and the read
        bus = std::make_unique<sim::SimBus>(options);
    }
    void TearDown() override { fs::remove_all(dir); }

    // A configuration file whose monitoring list polls `addresses`, named `names`.
    std::string Config(const std::vector<uint8_t>& addresses, std::vector<std::string> names) {
        CControllerList list("Zone");
        std::vector<std::string> units(addresses.size(), "F");
        EXPECT_TRUE(list.SetEntries(std::vector<int32_t>(addresses.size(), 1), addresses,
                                    std::move(names), units));
        CTQControllerModel model;
        int32_t logMode = kLogOneFile;
        const std::string path = (dir / "plant.TQ").string();
        EXPECT_TRUE(SaveConfigurationFile(path, {model, logMode, list, nullptr}).Ok());
        return path;
    }
    std::vector<std::string> Monitor(const std::string& config, const Broker& broker) {
        return {
            "monitor", config,          "--tcp",    "127.0.0.1:" + std::to_string(bus->TcpPort()),
            "--logs",  LogsDir(),       "--period", "1",
            "--mqtt",  broker.Address()};
    }
    std::string LogsDir() const { return (dir / "logs").string(); }
    RunningProgram Subscribe(const Broker& broker, std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {
            "-p", std::to_string(broker.port), "-t", "calora/#", "-v", "-q", "1"};
        args.insert(args.end(), extra.begin(), extra.end());
        RunningProgram sub = StartProgram(FindOnPath("mosquitto_sub"), args);
        // Subscribed once a probe of our own comes back.
        bool heard = false;
        for (int attempt = 0; attempt < 20 && !heard; ++attempt) {
            RunProgram(FindOnPath("mosquitto_pub"),
                       {"-p", std::to_string(broker.port), "-t", "calora/probe", "-m", "probe"});
            heard = WaitFor(
                [&] { return ReadFile(sub.outPath).find("calora/probe") != std::string::npos; },
                std::chrono::seconds(1));
        }
        EXPECT_TRUE(heard) << "the subscriber never subscribed";
        return sub;
    }
    // "calora/N {...}" lines of a subscriber, by topic.
    static std::map<std::string, std::vector<Json>> Messages(const std::string& text) {
        std::map<std::string, std::vector<Json>> byTopic;
        for (const std::string& line : Lines(text)) {
            const size_t blank = line.find(' ');
            const std::string topic = line.substr(0, blank);
            if (std::regex_match(topic, std::regex("calora/[0-9]+")))
                byTopic[topic].push_back(ParseJson(line.substr(blank + 1)));
        }
        return byTopic;
    }
    size_t LogRows() {
        size_t rows = 0;
        for (const auto& entry : fs::recursive_directory_iterator(dir / "logs"))
            if (entry.is_regular_file())
                rows += Lines(ReadFile(entry.path())).size() - 2; // less the two header lines
        return rows;
    }

    std::string cli;
    fs::path dir;
    std::unique_ptr<sim::SimBus> bus;
};

TEST_F(CliMqtt, PublishesWhatReadGivesAndAStatusThatFollowsTheRun) {
    bus->AddController(1, TQ100).SetRegister(32, 1);         // one decimal
    bus->AddController(2, TQ102_TQ402).SetTemperature(5000); // input over range
    bus->StartTcp(0);
    Broker broker(dir, "allow_anonymous true\n");
    ASSERT_TRUE(broker.Start());
    // Address 9 is silent. The names need escaping and are not ASCII.
    const std::string config = Config({1, 2, 9}, {"Oven \"A\\1\"", "Kiln \xC2\xBA", "Vat"});
    ::setenv("TZ", "UTC-1", 1); // one hour east of UTC: the offset must show
    RunningProgram sub = Subscribe(broker);
    RunningProgram run = StartProgram(cli, Monitor(config, broker));
    auto received = [&] { return Messages(ReadFile(sub.outPath)); };
    ASSERT_TRUE(
        WaitFor([&] { return received()["calora/9"].size() >= 1; }, std::chrono::seconds(60)));
    EXPECT_EQ(broker.Status(), "online\n");
    const ProgramResult stopped = StopProgram(run, SIGTERM, std::chrono::seconds(20));
    ::unsetenv("TZ");
    EXPECT_EQ(stopped.exitStatus, 0) << stopped.err;
    EXPECT_EQ(broker.Status(), "offline\n");

    const auto messages = received();
    EXPECT_EQ(messages.size(), 3u); // calora/1, calora/2, calora/9
    const std::regex iso(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}\+01:00)");
    for (uint8_t address : {1, 2}) {
        const ProgramResult read = RunProgram(cli, {"read", "--json", "--tcp",
                                                    "127.0.0.1:" + std::to_string(bus->TcpPort()),
                                                    "--address", std::to_string(address)});
        ASSERT_EQ(read.exitStatus, 0) << read.err;
        const Json truth = ParseJson(read.out.substr(0, read.out.size() - 1));
        const Json& m = messages.at("calora/" + std::to_string(address)).back();
        EXPECT_TRUE(std::regex_match(m["time"].text, iso)) << m["time"].text;
        EXPECT_EQ(m["address"].number, address);
        EXPECT_EQ(m["name"].text, address == 1 ? "Oven \"A\\1\"" : "Kiln \xC2\xBA");
        EXPECT_TRUE(m["ok"].flag);
        const auto& regs = truth["registers"].items;
        ASSERT_EQ(m["registers"].items.size(), 43u);
        for (size_t k = 0; k < 43; ++k)
            EXPECT_EQ(m["registers"].items[k].number, regs[k].number) << "register " << k;
        ASSERT_EQ(m["coils"].items.size(), truth["coils"].items.size());
        for (size_t k = 0; k < truth["coils"].items.size(); ++k)
            EXPECT_EQ(m["coils"].items[k].number, truth["coils"].items[k].number) << "coil " << k;
        const int d = static_cast<int>(regs[32].number) & 3;
        EXPECT_EQ(m["decimals"].number, d);
        EXPECT_EQ(m["out"].number, std::trunc(regs[3].number / 10));
        EXPECT_DOUBLE_EQ(m["sp"].number, regs[4].number / std::pow(10, d));
        if (truth["coils"].items[0].number != 0)
            EXPECT_EQ(m["pv"].kind, Json::Null);
        else
            EXPECT_DOUBLE_EQ(m["pv"].number, regs[0].number / std::pow(10, d));
    }
    EXPECT_EQ(messages.at("calora/1").back()["decimals"].number, 1);
    EXPECT_EQ(messages.at("calora/2").back()["pv"].kind, Json::Null);
    const Json& silent = messages.at("calora/9").back();
    EXPECT_FALSE(silent["ok"].flag);
    EXPECT_EQ(silent["error"].text, "comNoResponse");
    EXPECT_EQ(silent["name"].text, "Vat");
    EXPECT_EQ(silent.fields.count("registers"), 0u);

    // Killed without a word, the broker says it for the monitor: the last will.
    RunningProgram again = StartProgram(cli, Monitor(config, broker));
    ASSERT_TRUE(WaitFor([&] { return broker.Status() == "online\n"; }, std::chrono::seconds(30)));
    StopProgram(again, SIGKILL, std::chrono::seconds(20));
    EXPECT_EQ(broker.Status(), "offline\n");
    StopProgram(sub, SIGTERM, std::chrono::seconds(20));
}

TEST_F(CliMqtt, BrokerOutageLosesNoLogRowAndDropsOnlyWhatItCounts) {
    bus->AddController(1, TQ100);
    bus->AddController(2, TQ100);
    bus->StartTcp(0);
    Broker broker(dir, "allow_anonymous true\n");
    ASSERT_TRUE(broker.Start());
    const std::string config = Config({1, 2}, {"A", "B"});
    // A lasting session: what the broker holds for this subscriber survives its restart.
    RunningProgram sub = Subscribe(broker, {"-c", "-i", "calora-test-outage"});
    std::vector<std::string> args = Monitor(config, broker);
    args.insert(args.end(), {"--mqtt-queue", "5"});
    RunningProgram run = StartProgram(cli, args);
    auto cycleLines = [&] {
        std::vector<std::string> cycles;
        for (const std::string& line : Lines(ReadFile(run.outPath)))
            if (line.rfind("cycle ", 0) == 0)
                cycles.push_back(line);
        return cycles;
    };
    ASSERT_TRUE(WaitFor([&] { return Messages(ReadFile(sub.outPath))["calora/2"].size() >= 2; },
                        std::chrono::seconds(60)));

    broker.Stop();
    const size_t before = cycleLines().size();
    ASSERT_TRUE(
        WaitFor([&] { return cycleLines().size() >= before + 10; }, std::chrono::seconds(120)));
    ASSERT_TRUE(broker.Start());
    // Publishing resumes: the queue empties and fresh cycles reach the subscriber.
    ASSERT_TRUE(WaitFor(
        [&] {
            const auto cycles = cycleLines();
            return cycles.size() > before + 12 &&
                   cycles.back().find("queued 0,") != std::string::npos;
        },
        std::chrono::seconds(120)));
    const ProgramResult stopped = StopProgram(run, SIGTERM, std::chrono::seconds(20));
    EXPECT_EQ(stopped.exitStatus, 0) << stopped.err;

    // Every cycle has its row, in order; the queue bound showed while the broker was away.
    const auto cycles = Lines(stopped.out);
    for (size_t k = 0; k < cycles.size(); ++k)
        EXPECT_EQ(cycles[k].rfind("cycle " + std::to_string(k + 1) + ": 2 read, 0 failed", 0), 0u)
            << cycles[k];
    EXPECT_EQ(LogRows(), cycles.size());
    const std::regex counts(R"(mqtt: queued (\d+), dropped (\d+))");
    std::smatch last;
    ASSERT_TRUE(std::regex_search(cycles.back(), last, counts)) << cycles.back();
    const size_t dropped = std::stoul(last[2]);
    EXPECT_GE(dropped, 10u) << cycles.back();
    // What was not dropped arrives, each cycle's message once at least.
    std::set<std::string> distinct;
    ASSERT_TRUE(WaitFor(
        [&] {
            distinct.clear();
            for (const auto& [topic, list] : Messages(ReadFile(sub.outPath)))
                for (const Json& m : list)
                    distinct.insert(topic + m["time"].text);
            return distinct.size() + dropped >= 2 * cycles.size();
        },
        std::chrono::seconds(30)));
    EXPECT_EQ(distinct.size() + dropped, 2 * cycles.size());
    StopProgram(sub, SIGTERM, std::chrono::seconds(20));
}

TEST_F(CliMqtt, RefusedLoginIsSaidOnceAndMonitoringGoesOn) {
    bus->AddController(1, TQ100);
    bus->StartTcp(0);
    const ProgramResult made =
        RunProgram(FindOnPath("mosquitto_passwd"),
                   {"-b", "-c", (dir / "passwords").string(), "plant", "right"});
    ASSERT_EQ(made.exitStatus, 0) << made.err;
    Broker broker(dir,
                  "allow_anonymous false\npassword_file " + (dir / "passwords").string() + "\n");
    ASSERT_TRUE(broker.Start());
    std::ofstream(dir / "wrong") << "wrong\n";
    std::vector<std::string> args = Monitor(Config({1}, {"A"}), broker);
    args.insert(args.end(), {"--cycles", "4", "--mqtt-user", "plant", "--mqtt-password-file",
                             (dir / "wrong").string()});
    const ProgramResult r = RunProgram(cli, args);
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    const std::string refusal = "calora-cli: monitor: mqtt: the broker " + broker.Address() +
                                " refused the connection: Connection Refused: not authorised.\n";
    const size_t at = r.err.find(refusal);
    EXPECT_NE(at, std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(refusal, at + 1), std::string::npos) << "said more than once: " << r.err;
    EXPECT_NE(r.out.find("cycle 4: 1 read, 0 failed"), std::string::npos) << r.out;
    EXPECT_EQ(LogRows(), 4u);
}

} // namespace
