#include "core/tasks/BusTask.h"

#include "core/modbus/ModbusMaster.h"
#include "core/modbus/SerialCommPort.h"
#include "core/tasks/BusScan.h"
#include "core/tasks/CommSettings.h"
#include "core/tasks/ParameterTransfer.h"
#include "languages/StringIds.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

BusTaskModeInfo GetBusTaskModeInfo(int mode) {
    switch (mode) {
    case kModeScanLine:
        return {IDS_TASK_SEARCHING, IDS_TASK_SEARCH_CANCELLED, 3060};
    case kModeScanAddress:
        return {IDS_TASK_SEARCHING, IDS_TASK_SEARCH_CANCELLED, 255};
    case kModeReadAll:
        return {IDS_TASK_READING, IDS_TASK_READ_CANCELLED, 100};
    default:
        return {IDS_TASK_WRITING, IDS_TASK_WRITE_CANCELLED, 100};
    }
}

uint32_t PackBusWord(uint16_t address, uint16_t baudIndex, uint16_t parityIndex, uint8_t spare1,
                     uint8_t spare2) {
    return static_cast<uint32_t>(address) | (static_cast<uint32_t>(baudIndex & 0xF) << 16) |
           (static_cast<uint32_t>(parityIndex & 0xF) << 20) |
           (static_cast<uint32_t>(spare1 & 0xF) << 24) |
           (static_cast<uint32_t>(spare2 & 0xF) << 28);
}

uint16_t BusWordAddress(uint32_t word) {
    return static_cast<uint16_t>(word & 0xFFFF);
}
uint16_t BusWordBaudIndex(uint32_t word) {
    return static_cast<uint16_t>((word >> 16) & 0xF);
}
uint16_t BusWordParityIndex(uint32_t word) {
    return static_cast<uint16_t>((word >> 20) & 0xF);
}

std::string DescribeFoundController(const CommSettings& settings, uint32_t word) {
    if (word == 0)
        return {};
    char line[160];
    const int address = BusWordAddress(word);
    if (settings.interface == kInterfaceSerial) {
        const std::string where = DescribeSerialLine(
            settings.port, BaudFromIndex(static_cast<int16_t>(BusWordBaudIndex(word))),
            static_cast<int16_t>(BusWordParityIndex(word)));
        std::snprintf(line, sizeof line, "\r\nModbus%d %s", address, where.c_str());
    } else {
        std::snprintf(line, sizeof line, "\r\nModbus%d %s:%d", address, settings.ip.c_str(),
                      static_cast<int>(settings.ipPort));
    }
    return line;
}

CBusTask::CBusTask(int mode, CommSettings& settings, CTQControllerModel& model, IBusTaskSink& sink)
    : mode(mode), info(GetBusTaskModeInfo(mode)), settings(settings), model(model), sink(sink),
      masterFactory(CreateMaster) {}

CBusTask::~CBusTask() {
    stopEvent.Set();
    Join();
}

void CBusTask::SetMasterFactory(MasterFactory factory) {
    if (!started && factory)
        masterFactory = std::move(factory);
}

bool CBusTask::IsLeftOut(uint32_t index) const {
    return std::find(leftOut.begin(), leftOut.end(), index) != leftOut.end();
}

bool CBusTask::Start() {
    if (started)
        return false;
    if (mode < kModeScanLine || mode > kModeLastGroup) {
        stopEvent.Set();
        return false;
    }
    try {
        worker = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        stopEvent.Set();
        return false;
    }
    started = true;
    return true;
}

bool CBusTask::WaitFinished(std::chrono::milliseconds timeout) {
    if (!started)
        return true;
    return finished.WaitFor(timeout);
}

void CBusTask::Join() {
    if (worker.joinable())
        worker.join();
}

std::unique_ptr<CModbusMaster> CBusTask::CreateTaskMaster() {
    return masterFactory(settings);
}

void CBusTask::EndOfWorker() {
    if (sink.TryStopTimer())
        sink.ShowEnded(info.titleId);
}

namespace {
// Bus errors are handled inside the procedures; anything else ends the step and is reported,
// since it is a fault of the program, not of the bus.
template <typename Step> bool RunReported(int mode, const char* what, Step step) {
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "calora: bus task %d, %s: %s\n", mode, what, e.what());
    } catch (CModbusMaster::tErrorCom error) {
        std::fprintf(stderr, "calora: bus task %d, %s: bus error %d\n", mode, what,
                     static_cast<int>(error));
    }
    return false;
}
} // namespace

void CBusTask::Run() {
    // The task ends unfinished after a failure; the dialog still shows its end.
    if (!RunReported(mode, "run", [this] { RunMode(); }))
        stopEvent.Set();
    RunReported(mode, "end", [this] { EndOfWorker(); });
    stopEvent.Set();
    finished.Set();
}

void CBusTask::RunMode() {
    switch (mode) {
    case kModeScanLine:
        ScanAddressesAndLine(*this);
        break;
    case kModeScanAddress:
        ScanAddresses(*this);
        break;
    case kModeReadAll:
        ReadAllParameters(*this);
        break;
    case kModeWriteAll:
        WriteAllParameters(*this);
        break;
    default:
        WriteParameterGroup(*this, ParameterGroup(mode));
        break;
    }
}
