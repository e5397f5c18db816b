#include "CliMonitor.h"

#include "CliCommands.h"
#include "CliConnection.h"
#include "CliProfile.h"
#include "DroppingLineWriter.h"
#include "MqttFeed.h"
#include "MqttPublisher.h"

#include "core/modbus/ModbusMaster.h"
#include "core/model/ControllerList.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/CommSettings.h"
#include "core/tasks/ConfigurationFile.h"
#include "core/tasks/DataLogger.h"
#include "core/tasks/PollingEngine.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <pthread.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

int Fail(std::ostream& err, const std::string& message) {
    err << "calora-cli: monitor: " << message << "\n";
    return kExitBusFailure;
}

// What a failed load says.
std::string LoadFailure(const std::string& path, const ConfigurationFileResult& result) {
    if (result.outcome == ConfigurationFileResult::cannotOpen)
        return "cannot open '" + path + "': " + std::strerror(result.error);
    if (result.outcome == ConfigurationFileResult::notRegular)
        return "'" + path + "' is not a regular file";
    return "'" + path + "' is not a readable configuration file (archive error " +
           std::to_string(result.cause) + ")";
}

// The master of the options' connection, or of the desktop program's settings.
std::unique_ptr<CModbusMaster> OpenMaster(const CliOptions& o, std::string& error) {
    if (o.useTcp || !o.serialPort.empty())
        return OpenCliMaster(o, error);
    CCliProfile profile(CCliProfile::DefaultPath());
    CommSettings settings;
    settings.Load(profile);
    CliOptions fromProfile = o;
    if (settings.interface == kInterfaceTcp) {
        fromProfile.useTcp = true;
        fromProfile.host = settings.ip;
        fromProfile.tcpPort = settings.ipPort;
    } else if (settings.interface == kInterfaceSerial && !settings.port.empty()) {
        fromProfile.serialPort = settings.port;
        fromProfile.baudIndex = settings.baudIndex;
        fromProfile.parityIndex = settings.parityIndex;
    } else {
        error = "no connection given (--port or --tcp) and none in the program's settings";
        return nullptr;
    }
    return OpenCliMaster(fromProfile, error);
}

// Blocks SIGINT and SIGTERM in this thread and every thread it starts, so they are taken
// only by sigtimedwait below and never interrupt the worker in the middle of a row.
class CBlockedStopSignals {
public:
    CBlockedStopSignals() {
        sigemptyset(&set);
        sigaddset(&set, SIGINT);
        sigaddset(&set, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &set, &previous);
    }
    ~CBlockedStopSignals() { pthread_sigmask(SIG_SETMASK, &previous, nullptr); }
    CBlockedStopSignals(const CBlockedStopSignals&) = delete;
    CBlockedStopSignals& operator=(const CBlockedStopSignals&) = delete;

    // True when a stop signal came within the time.
    bool Wait(long milliseconds) {
        const timespec slice = {milliseconds / 1000, (milliseconds % 1000) * 1000000};
        return sigtimedwait(&set, nullptr, &slice) > 0;
    }

private:
    sigset_t set;
    sigset_t previous;
};

// The publisher the options ask for, or none; false with the reason when it cannot be set up.
bool OpenPublisher(const CliOptions& o, std::unique_ptr<CMqttPublisher>& publisher,
                   std::string& error) {
    if (o.mqttHost.empty())
        return true;
    MqttSettings settings;
    settings.host = o.mqttHost;
    settings.port = o.mqttPort;
    settings.topicPrefix = o.mqttTopic;
    settings.clientId = o.mqttClientId;
    settings.user = o.mqttUser;
    settings.caFile = o.mqttCaFile;
    settings.qos = o.mqttQos;
    settings.queueLimit = static_cast<size_t>(o.mqttQueue);
    if (!o.mqttPasswordFile.empty()) {
        std::ifstream in(o.mqttPasswordFile);
        if (!in || !std::getline(in, settings.password)) {
            error = "cannot read the MQTT password from '" + o.mqttPasswordFile + "'";
            return false;
        }
        if (!settings.password.empty() && settings.password.back() == '\r')
            settings.password.pop_back();
    }
    publisher = std::make_unique<CMqttPublisher>(settings);
    return publisher->Start(error);
}

void SayNotices(CMqttPublisher* publisher, std::ostream& err) {
    if (publisher != nullptr)
        for (const std::string& notice : publisher->TakeNotices())
            err << "calora-cli: monitor: " << notice << std::endl;
}

} // namespace

std::string DefaultLogsDir() {
    std::error_code ignored;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ignored);
    const std::string appDir = exe.parent_path().string() + "/";
    if (!exe.empty() && ::access(appDir.c_str(), W_OK) == 0)
        return appDir + "logs/";
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    const std::string base = data != nullptr && *data != '\0' ? std::string(data)
                             : home != nullptr                ? std::string(home) + "/.local/share"
                                                              : std::string(".");
    return base + "/Norvane/Calora/logs/";
}

int RunMonitor(const CliOptions& o, int outFd, std::ostream& err) {
    CTQControllerModel model;
    CControllerList list("Zone");
    int32_t logMode = 0;
    const ConfigurationFileResult loaded =
        LoadConfigurationFile(o.configFile, ConfigurationParts{model, logMode, list, {}});
    if (!loaded.Ok())
        return Fail(err, LoadFailure(o.configFile, loaded));
    if (o.logMode >= 0)
        logMode = o.logMode;
    if (o.period > 0)
        list.period = o.period;

    CBlockedStopSignals signals;
    std::string error;
    std::unique_ptr<CModbusMaster> master = OpenMaster(o, error);
    if (!master)
        return Fail(err, error);
    std::unique_ptr<CMqttPublisher> publisher;
    if (!OpenPublisher(o, publisher, error))
        return Fail(err, error);

    DataLoggerConfig logger;
    logger.mode = logMode;
    logger.logsDir = o.logsDir.empty() ? DefaultLogsDir() : o.logsDir;
    std::error_code ignored;
    fs::create_directories(logger.logsDir, ignored);
    // A run whose rows cannot be recorded ends: exit 1 says so to whoever started it.
    bool logFailed = false;
    CPollingEngine* running = nullptr;
    logger.report = [&](int, const std::string& detail) {
        logFailed = true;
        err << "calora-cli: monitor: logging stopped: " << detail << std::endl;
        running->RequestStop();
    };

    // The worker hands its lines over and goes on: a reader that stalls loses lines, never
    // cycles, rows or the stop.
    CDroppingLineWriter lines(outFd);
    CPollingEngine engine(*master, model, list, logger);
    running = &engine;
    std::unique_ptr<CMqttFeed> feed;
    if (publisher)
        feed = std::make_unique<CMqttFeed>(engine, list, *publisher);
    engine.SetCycleObserver([&](const PollCycleStats& s) {
        std::string line = "cycle " + std::to_string(s.cycle) + ": " + std::to_string(s.read) +
                           " read, " + std::to_string(s.failed) + " failed, " +
                           std::to_string((s.duration.count() + 500) / 1000) + " ms";
        if (feed) {
            // What earlier cycles left waiting: nothing while the broker keeps up.
            const MqttQueueStats q = publisher->Stats();
            if (q.queued != 0 || q.dropped != 0)
                line += ", mqtt: queued " + std::to_string(q.queued) + ", dropped " +
                        std::to_string(q.dropped);
            feed->PublishCycle(std::chrono::system_clock::now());
        }
        lines.Post(std::move(line));
        if (o.cycles > 0 && s.cycle >= static_cast<uint64_t>(o.cycles))
            engine.RequestStop();
    });
    if (!engine.Start())
        return Fail(err, "the polling worker could not be started");
    while (!engine.Finished()) {
        if (signals.Wait(100))
            engine.RequestStop();
        SayNotices(publisher.get(), err);
    }
    engine.Join();
    if (publisher) {
        const uint64_t undelivered = publisher->Stop(std::chrono::milliseconds(2000));
        SayNotices(publisher.get(), err);
        if (undelivered > 0)
            err << "calora-cli: monitor: mqtt: " << undelivered
                << " messages were not delivered to the broker" << std::endl;
    }
    const bool outputOk = lines.Finish(err, std::chrono::milliseconds(1000));
    if (!engine.WorkerError().empty())
        return Fail(err, engine.WorkerError());
    return logFailed ? kExitBusFailure : outputOk ? kExitOk : kExitFailure;
}
