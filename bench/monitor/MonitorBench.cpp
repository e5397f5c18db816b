// Monitoring cycles as the polling engine runs them (probe once, then per controller
// registers 0-42 in requests of 16, 16 and 11 and the status coils in one request, one log
// row per cycle, synced off the worker): 72 controllers over Modbus TCP loopback beside libmodbus
// sending the same frames in the same order, and 8 controllers on a pseudo-terminal that keeps the
// wire time of 19200 8N1, against that wire time; and the same TCP cycles with log mode 1 while
// publishing each cycle to a local mosquitto. Prints medians and ratios of this run.
#include "MqttFeed.h"
#include "MqttPublisher.h"
#include "SimBus.h"

#include "core/modbus/ModbusMaster.h"
#include "core/model/ControllerList.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/DataLogger.h"
#include "core/tasks/PollingEngine.h"

#include <modbus.h>

#include <arpa/inet.h>
#include <fstream>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRegisters = 43;
constexpr int kChunk = 16;
constexpr int kBaud = 19200;
constexpr int kBitsPerChar = 10; // 8N1

// Odd addresses are TQ100 (11 coils), even ones ZI102-VA402 (10), as on the default bus.
int CoilsOf(int address) {
    return address % 2 != 0 ? 11 : 10;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

CControllerList ListOf(int count) {
    CControllerList list("Zone");
    std::vector<int32_t> enabled(static_cast<size_t>(count), 1);
    std::vector<uint8_t> address;
    std::vector<std::string> name, unit;
    for (int a = 1; a <= count; ++a) {
        address.push_back(static_cast<uint8_t>(a));
        name.push_back(CControllerList::DefaultName("Zone", a));
        unit.push_back("\xC2\xBA"
                       "C");
    }
    list.SetEntries(enabled, address, name, unit);
    list.period = 1;
    return list;
}

// Cycle times (ms) of `cycles` complete engine cycles after one warm-up cycle, logging in
// `mode` under `logs`; with a publisher, each cycle also hands its messages over, and the
// hand-over counts in the cycle's time.
std::vector<double> EngineCycles(CModbusMaster& master, int controllers, int cycles, int mode,
                                 const std::string& logs, CMqttPublisher* publisher = nullptr) {
    CTQControllerModel model;
    DataLoggerConfig logger;
    logger.mode = mode;
    logger.logsDir = logs;
    std::vector<double> times;
    std::mutex lock;
    const CControllerList list = ListOf(controllers);
    CPollingEngine engine(master, model, list, logger);
    std::unique_ptr<CMqttFeed> feed;
    if (publisher != nullptr)
        feed = std::make_unique<CMqttFeed>(engine, list, *publisher);
    engine.SetCycleObserver([&](const PollCycleStats& s) {
        auto duration = std::chrono::duration<double, std::milli>(s.duration).count();
        if (feed) {
            const auto start = Clock::now();
            feed->PublishCycle(std::chrono::system_clock::now());
            duration += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
        if (s.failed != 0) {
            std::fprintf(stderr, "cycle %llu: %d controllers failed\n",
                         static_cast<unsigned long long>(s.cycle), s.failed);
            std::exit(1);
        }
        std::lock_guard<std::mutex> guard(lock);
        if (s.cycle > 1)
            times.push_back(duration);
        if (s.cycle >= static_cast<uint64_t>(cycles) + 1)
            engine.RequestStop();
    });
    if (!engine.Start())
        std::exit(1);
    engine.Join();
    return times;
}

// The same frames with libmodbus: per controller three register requests, then the coils.
bool LibmodbusCycle(modbus_t* ctx, int controllers) {
    uint16_t regs[kRegisters];
    uint8_t coils[11];
    for (int a = 1; a <= controllers; ++a) {
        modbus_set_slave(ctx, a);
        for (int start = 0; start < kRegisters; start += kChunk) {
            const int n = std::min(kChunk, kRegisters - start);
            if (modbus_read_registers(ctx, start, n, regs + start) != n)
                return false;
        }
        if (modbus_read_bits(ctx, 0, CoilsOf(a), coils) != CoilsOf(a))
            return false;
    }
    return true;
}

std::vector<double> LibmodbusCycles(modbus_t* ctx, int controllers, int cycles) {
    if (ctx == nullptr || modbus_connect(ctx) != 0) {
        std::fprintf(stderr, "libmodbus: %s\n", modbus_strerror(errno));
        std::exit(1);
    }
    std::vector<double> times;
    auto next = Clock::now();
    for (int i = 0; i <= cycles; ++i) {
        // Cycles one period apart, as the engine runs them.
        if (i > 0)
            std::this_thread::sleep_until(next);
        const auto start = Clock::now();
        next = start + std::chrono::seconds(1);
        if (!LibmodbusCycle(ctx, controllers)) {
            std::fprintf(stderr, "libmodbus cycle failed: %s\n", modbus_strerror(errno));
            std::exit(1);
        }
        if (i > 0) // the first is a warm-up, like the engine's probe cycle
            times.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    modbus_close(ctx);
    modbus_free(ctx);
    return times;
}

// Wire time of one cycle at 19200 8N1: each request (8 bytes), the answer, and 3.5
// characters of silence per transaction.
double WireTimeMs(int controllers, int& bytes, int& transactions) {
    bytes = 0;
    transactions = 0;
    for (int a = 1; a <= controllers; ++a) {
        for (int start = 0; start < kRegisters; start += kChunk) {
            bytes += 8 + 5 + 2 * std::min(kChunk, kRegisters - start);
            ++transactions;
        }
        bytes += 8 + 5 + (CoilsOf(a) + 7) / 8;
        ++transactions;
    }
    return (bytes + 3.5 * transactions) * kBitsPerChar * 1000.0 / kBaud;
}

// A mosquitto of our own on a free loopback port; 0 when it could not be started.
uint16_t StartBroker(const fs::path& dir, pid_t& pid) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
    close(fd);
    const uint16_t port = ntohs(a.sin_port);
    std::string conf = (dir / "broker.conf").string();
    std::ofstream(conf) << "listener " << port
                        << " 127.0.0.1\nallow_anonymous true\nlog_dest none\n";
    char* argv[] = {const_cast<char*>("mosquitto"), const_cast<char*>("-c"), conf.data(), nullptr};
    if (posix_spawnp(&pid, "mosquitto", nullptr, nullptr, argv, environ) != 0)
        return 0;
    for (int i = 0; i < 200; ++i) {
        const int probe = socket(AF_INET, SOCK_STREAM, 0);
        a.sin_port = htons(port);
        const bool up = connect(probe, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        close(probe);
        if (up)
            return port;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const int tcpCycles = argc > 1 ? std::atoi(argv[1]) : 20;
    const int serialCycles = argc > 2 ? std::atoi(argv[2]) : 10;
    const fs::path logs =
        fs::temp_directory_path() / ("calora-bench-monitor-" + std::to_string(::getpid()));
    fs::create_directories(logs);

    sim::SimBusOptions options;
    options.timeScale = 0;
    options.wireTime = true;
    sim::SimBus bus(options);
    bus.AddDefaultControllers(); // 1..72
    const uint16_t port = bus.StartTcp(0);
    const std::string pty = bus.StartPty();

    std::printf("Monitoring cycle: per controller registers 0-42 in requests of %d, then 11 or "
                "10 coils; the engine logs one row per cycle, synced off the worker.\n",
                kChunk);

    // Engine and libmodbus take turns, a few cycles each, so a load that comes and goes on
    // the machine falls on both alike.
    // Log mode 1 again, publishing every cycle to a local broker.
    pid_t brokerPid = 0;
    const uint16_t brokerPort = StartBroker(logs, brokerPid);
    std::unique_ptr<CMqttPublisher> publisher;
    if (brokerPort != 0) {
        MqttSettings mqtt;
        mqtt.host = "127.0.0.1";
        mqtt.port = brokerPort;
        publisher = std::make_unique<CMqttPublisher>(mqtt);
        std::string error;
        if (!publisher->Start(error)) {
            std::fprintf(stderr, "mqtt: %s\n", error.c_str());
            return 1;
        }
    }
    std::vector<double> engineNone, engineOne, engineEach, engineMqtt, lib;
    const int rounds = 5;
    const int perRound = std::max(1, tcpCycles / rounds);
    for (int round = 0; round < rounds; ++round) {
        {
            CModbusMaster master("127.0.0.1", port);
            if (!master.IsOpen())
                return 1;
            auto add = [](std::vector<double>& to, const std::vector<double>& from) {
                to.insert(to.end(), from.begin(), from.end());
            };
            add(engineNone, EngineCycles(master, 72, perRound, kLogNone, logs.string()));
            add(engineOne, EngineCycles(master, 72, perRound, kLogOneFile, logs.string()));
            if (publisher)
                add(engineMqtt, EngineCycles(master, 72, perRound, kLogOneFile, logs.string(),
                                             publisher.get()));
            add(engineEach,
                EngineCycles(master, 72, perRound, kLogFilePerController, logs.string()));
        }
        const std::vector<double> l =
            LibmodbusCycles(modbus_new_tcp("127.0.0.1", port), 72, perRound);
        lib.insert(lib.end(), l.begin(), l.end());
    }
    std::printf("\n72 controllers over TCP loopback, %d cycles each, cycles 1 s apart:\n",
                rounds * perRound);
    std::printf("  engine, log mode 0 (no logging)       median %8.3f ms\n", Median(engineNone));
    std::printf("  engine, log mode 1 (one file)         median %8.3f ms\n", Median(engineOne));
    std::printf("  engine, log mode 2 (72 files)         median %8.3f ms\n", Median(engineEach));
    std::printf("  libmodbus, same frames, no logging    median %8.3f ms\n", Median(lib));
    std::printf("  ratio engine (mode 0) / libmodbus = %.2f (goal <= 1.10)\n",
                Median(engineNone) / Median(lib));
    std::printf("  ratio engine (mode 1) / libmodbus = %.2f\n", Median(engineOne) / Median(lib));
    std::printf("  ratio engine (mode 2) / libmodbus = %.2f\n", Median(engineEach) / Median(lib));
    std::printf("  ratio mode 1 / mode 0 = %.2f (goal <= 1.20)\n",
                Median(engineOne) / Median(engineNone));
    std::printf("  ratio mode 2 / mode 0 = %.2f (goal <= 1.20)\n",
                Median(engineEach) / Median(engineNone));
    if (publisher) {
        const MqttQueueStats q = publisher->Stats();
        const uint64_t undelivered = publisher->Stop(std::chrono::milliseconds(5000));
        kill(brokerPid, SIGTERM);
        waitpid(brokerPid, nullptr, 0);
        std::printf("  engine, log mode 1 + MQTT to a local mosquitto  median %8.3f ms\n",
                    Median(engineMqtt));
        std::printf("  ratio mode 1 with MQTT / mode 1 = %.2f (goal <= 1.10); at the end %llu "
                    "queued, %llu dropped, %llu undelivered\n",
                    Median(engineMqtt) / Median(engineOne),
                    static_cast<unsigned long long>(q.queued),
                    static_cast<unsigned long long>(q.dropped),
                    static_cast<unsigned long long>(undelivered));
    } else {
        std::printf("  (no mosquitto: the MQTT case was not run)\n");
    }

    int bytes = 0, transactions = 0;
    const double wire = WireTimeMs(8, bytes, transactions);
    std::vector<double> serial;
    {
        CModbusMaster master(pty, kBaud, 0, 0, 8);
        if (!master.IsOpen())
            return 1;
        serial = EngineCycles(master, 8, serialCycles, kLogNone, logs.string());
    }
    const std::vector<double> libSerial =
        LibmodbusCycles(modbus_new_rtu(pty.c_str(), kBaud, 'N', 8, 1), 8, serialCycles);
    std::printf("\n8 controllers, RTU on a pseudo-terminal at emulated %d 8N1, %d cycles each:\n",
                kBaud, serialCycles);
    std::printf("  wire time          %8.3f ms (%d transactions, %d bytes + 3.5 characters of "
                "silence each)\n",
                wire, transactions, bytes);
    std::printf("  engine     median  %8.3f ms = %.2f x wire time (goal <= 1.10)\n", Median(serial),
                Median(serial) / wire);
    std::printf("  libmodbus  median  %8.3f ms = %.2f x wire time\n", Median(libSerial),
                Median(libSerial) / wire);
    bus.Stop();
    fs::remove_all(logs);
    return 0;
}
