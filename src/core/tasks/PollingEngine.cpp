#include "core/tasks/PollingEngine.h"

#include "core/modbus/ModbusMaster.h"
#include "core/model/ControllerList.h"
#include "core/model/ControllerModel.h"
#include "core/tasks/DataLogger.h"
#include "core/tasks/FamilyDetection.h"

#include <cstring>
#include <exception>
#include <system_error>

CPollingEngine::CPollingEngine(CModbusMaster& master, const CControllerModel& model,
                               const CControllerList& source, const DataLoggerConfig& logger)
    : master(master), model(model), periodSeconds(source.period),
      list(std::make_unique<CControllerList>(source)),
      loggerConfig(std::make_unique<DataLoggerConfig>(logger)) {
    for (size_t i = 0; i < list->enabled.size(); ++i) {
        if (list->enabled[i] != 0)
            addresses.push_back(list->address[i]);
    }
    coilCounts.assign(addresses.size(), kMaxStatusCoils);
}

CPollingEngine::~CPollingEngine() {
    RequestStop();
    Join();
    if (started)
        master.SetStopEvent(nullptr);
}

void CPollingEngine::SetCycleObserver(boost::function<void(const PollCycleStats&)> observer) {
    cycleObserver = std::move(observer);
}

void CPollingEngine::SetFailureObserver(boost::function<void(const std::string&)> observer) {
    failureObserver = std::move(observer);
}

bool CPollingEngine::Start() {
    if (started)
        return false;
    // A stop ends the wait of the read in flight: closing never sits out a silent
    // controller's retries.
    master.SetStopEvent(&stopEvent);
    try {
        worker = std::thread(&CPollingEngine::Run, this);
    } catch (const std::system_error&) {
        master.SetStopEvent(nullptr);
        return false;
    }
    started = true;
    return true;
}

void CPollingEngine::Join() {
    if (worker.joinable())
        worker.join();
}

std::vector<uint16_t> CPollingEngine::CoilCounts() const {
    std::lock_guard<std::mutex> guard(stateLock);
    return coilCounts;
}

std::string CPollingEngine::WorkerError() const {
    std::lock_guard<std::mutex> guard(stateLock);
    return workerError;
}

int CPollingEngine::BaseTimeout() const {
    return model.GetBaseTimeout();
}

void CPollingEngine::Probe() {
    for (size_t i = 0; i < addresses.size() && !stopEvent.IsSet(); ++i) {
        uint16_t count = kMaxStatusCoils;
        try {
            if (DetectFamily(master, addresses[i], BaseTimeout()) != TQ100)
                count = 10;
        } catch (CModbusMaster::tErrorCom) {
            // Not answering now: read with 11 coils, as a TQ100.
        }
        std::lock_guard<std::mutex> guard(stateLock);
        coilCounts[i] = count;
    }
}

bool CPollingEngine::PollController(size_t index) {
    const uint8_t address = addresses[index];
    const uint16_t coilCount = coilCounts[index];
    startList.Call(address);

    int result = CModbusMaster::comException;
    try {
        for (int attempt = 0; attempt < kPollExceptionTries; ++attempt) {
            result = master.ReadRegisters(address, registers, kPollRegisterCount,
                                          kPollRegisterChunk, BaseTimeout());
            if (result != CModbusMaster::comException)
                break;
        }
        if (result == 0) {
            // A 10-coil controller must not show the previous controller's coil 10.
            std::memset(coils, 0, sizeof coils);
            for (int attempt = 0; attempt < kPollExceptionTries; ++attempt) {
                result = master.ReadCoils(address, coils, coilCount, coilCount, BaseTimeout());
                if (result != CModbusMaster::comException)
                    break;
            }
        }
    } catch (CModbusMaster::tErrorCom code) {
        result = code == 0 ? CModbusMaster::comPortError : code;
    }

    const bool ok = result == 0;
    if (ok)
        dataList.Call(address, registers, coils);
    else if (result != CModbusMaster::comStopped) {
        lastFailure = result;
        errorList.Call(address); // a read given up for a stop is no failed read
    }
    endList.Call(address);
    return ok;
}

void CPollingEngine::Run() {
    try {
        // The logger opens its files now, so a recording is named by the moment monitoring
        // started; it subscribes last, after the views.
        CDataLogger logger(*loggerConfig, *list);
        logger.Subscribe(*this);
        // Probing here rather than before the window shows: a bus of silent controllers
        // costs about two seconds each, and the window stays usable meanwhile.
        Probe();
        const auto period = std::chrono::seconds(periodSeconds > 0 ? periodSeconds : 1);
        while (!stopEvent.IsSet()) {
            const auto cycleStart = std::chrono::steady_clock::now();
            const auto due = cycleStart + period;
            PollCycleStats stats;
            bool complete = true;
            for (size_t i = 0; i < addresses.size(); ++i) {
                if (PollController(i))
                    ++stats.read;
                else
                    ++stats.failed;
                if (stopEvent.IsSet()) {
                    complete = false;
                    break;
                }
            }
            if (!complete)
                break;
            logger.WriteRow();
            stats.cycle = ++cycles;
            stats.duration = std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::steady_clock::now() - cycleStart);
            if (cycleObserver)
                cycleObserver(stats);
            if (stopEvent.WaitUntil(due))
                break;
        }
    } catch (const std::exception& e) {
        std::lock_guard<std::mutex> guard(stateLock);
        workerError = e.what();
    }
    // The window learns here that polling ended without being asked to.
    if (!stopEvent.IsSet() && failureObserver)
        failureObserver(WorkerError());
    finished.Set();
}
