#include "core/tasks/BusScan.h"

#include "core/modbus/ModbusMaster.h"
#include "core/modbus/SerialCommPort.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/BusTask.h"
#include "core/tasks/CommSettings.h"
#include "languages/StringIds.h"

namespace {

constexpr int kFirstAddress = 1;
constexpr int kLastAddress = 255;
constexpr int kAddressesPerPass = kLastAddress - kFirstAddress + 1;

// Any answer that does not throw, an exception answer included, means a slave is there.
bool Probe(CModbusMaster& master, int address, int waitMs) {
    try {
        int16_t value = 0;
        master.Request(static_cast<uint8_t>(address), 3, 0, 1, &value, false, waitMs);
        return true;
    } catch (CModbusMaster::tErrorCom) {
        return false;
    }
}

bool PortUsable(CBusTask& task, const CModbusMaster* master) {
    if (master && master->IsOpen())
        return true;
    task.StopEvent().Set();
    task.Sink().PostStatus(IDS_MSG_PORT_NOT_OPEN, 0);
    return false;
}

} // namespace

void ScanAddresses(CBusTask& task) {
    IBusTaskSink& sink = task.Sink();
    CommSettings& settings = task.Settings();
    sink.PostStatus(IDS_TASK_STARTING, 0);
    auto master = task.CreateTaskMaster();

    int address = kFirstAddress;
    while (!task.StopRequested()) {
        if (!PortUsable(task, master.get()))
            break;
        const uint32_t word = PackBusWord(static_cast<uint16_t>(address), settings.baudIndex,
                                          settings.parityIndex, 0, 0);
        sink.PostProgress(address - kFirstAddress);
        sink.PostStatus(IDS_TASK_SEARCHING, word);
        if (Probe(*master, address, task.Model().GetBaseTimeout())) {
            settings.address = static_cast<uint16_t>(address);
            task.StopEvent().Set();
            sink.PostStatus(IDS_TASK_FOUND, word);
            sink.PostProgress(task.ModeInfo().progressMax);
            task.SetSucceeded();
        } else if (address == kLastAddress) {
            master.reset();
            task.StopEvent().Set();
            sink.PostStatus(IDS_TASK_NO_ANSWER, 0);
        } else {
            ++address;
        }
    }
}

void ScanAddressesAndLine(CBusTask& task) {
    static constexpr uint16_t kParityOrder[] = {0, 1, 2};
    static constexpr uint16_t kBaudOrder[] = {3, 2, 1, 0};
    constexpr int kPasses = 12;

    IBusTaskSink& sink = task.Sink();
    CommSettings& settings = task.Settings();
    sink.PostStatus(IDS_TASK_STARTING, 0);
    auto master = task.CreateTaskMaster();

    auto setLine = [&](int pass) {
        master->SetLineParameters(BaudFromIndex(static_cast<int16_t>(kBaudOrder[pass % 4])),
                                  ParityFromIndex(static_cast<int16_t>(kParityOrder[pass / 4])), 0,
                                  8);
    };
    if (master && master->IsOpen())
        setLine(0);

    int pass = 0;
    int address = kFirstAddress;
    while (!task.StopRequested()) {
        if (!PortUsable(task, master.get()))
            break;
        const uint16_t baudIndex = kBaudOrder[pass % 4];
        const uint16_t parityIndex = kParityOrder[pass / 4];
        const uint32_t word =
            PackBusWord(static_cast<uint16_t>(address), baudIndex, parityIndex, 0, 0);
        sink.PostProgress(pass * kAddressesPerPass + address - kFirstAddress);
        sink.PostStatus(IDS_TASK_SEARCHING, word);
        if (Probe(*master, address, task.Model().GetBaseTimeout())) {
            settings.address = static_cast<uint16_t>(address);
            settings.baudIndex = baudIndex;
            settings.parityIndex = parityIndex;
            task.StopEvent().Set();
            sink.PostStatus(IDS_TASK_FOUND, word);
            sink.PostProgress(task.ModeInfo().progressMax);
            task.SetSucceeded();
        } else if (address < kLastAddress) {
            ++address;
        } else if (++pass < kPasses) {
            address = kFirstAddress;
            setLine(pass);
        } else {
            task.StopEvent().Set();
            sink.PostStatus(IDS_TASK_NO_ANSWER, 0);
        }
    }
}
