#include "core/tasks/ParameterTransfer.h"

#include "core/modbus/ModbusMaster.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/CommSettings.h"
#include "core/tasks/FamilyDetection.h"
#include "languages/StringIds.h"

#include <cstdio>
#include <memory>

namespace {

using tErrorCom = CModbusMaster::tErrorCom;

constexpr int kChunk = 16;
// Short answers lengthen the wait by this much, until it reaches the limit.
constexpr int kTimeoutStep = 1000;
constexpr int kTimeoutLimit = 5000;

// State shared by the three dialog procedures: the settings' controller, its word and the
// growing time-out.
struct TransferRun {
    explicit TransferRun(CBusTask& task)
        : task(task), sink(task.Sink()), model(task.Model()),
          address(static_cast<uint8_t>(task.Settings().address)),
          word(PackBusWord(task.Settings().address, task.Settings().baudIndex,
                           task.Settings().parityIndex, 0, 0)),
          timeout(2 * model.GetBaseTimeout() + 100) {}

    void Fail(int statusId) {
        task.StopEvent().Set();
        sink.PostStatus(statusId, 0);
    }

    // Common start: status 129, then a master whose port is open, or status 53.
    bool Begin() {
        sink.PostStatus(IDS_TASK_STARTING, word);
        master = task.CreateTaskMaster();
        if (!master || !master->IsOpen()) {
            // A port that did not open is reported as such, not as a silent controller.
            master.reset();
            Fail(IDS_MSG_PORT_NOT_OPEN);
            return false;
        }
        return true;
    }

    bool PortOpen() {
        if (master->IsOpen())
            return true;
        Fail(IDS_MSG_PORT_NOT_OPEN);
        return false;
    }

    // A short answer is worth another try with a longer wait; anything else ends the task.
    void OnBusError(tErrorCom error) {
        if (error == CModbusMaster::comShortFrame && timeout < kTimeoutLimit)
            timeout += kTimeoutStep;
        else
            Fail(IDS_TASK_NO_ANSWER);
    }

    // The sheet switches to the controller's family before the procedure goes on.
    bool SwitchToFamily() {
        ModelFamily family;
        try {
            family = DetectFamily(*master, address, timeout);
        } catch (tErrorCom) {
            Fail(IDS_TASK_NO_ANSWER);
            return false;
        }
        sink.SendFamilyCommand(family == TQ100 ? kCmdFamilyTQ100 : kCmdFamilyTQ102_TQ402);
        return true;
    }

    std::string ParameterName(uint32_t index) { return sink.LoadText(model.GetNameId(index)); }

    CBusTask& task;
    IBusTaskSink& sink;
    CTQControllerModel& model;
    uint8_t address;
    uint32_t word;
    int timeout;
    std::unique_ptr<CModbusMaster> master;
};

bool IsRetransmissionPortRegister(uint32_t index) {
    return index >= reg::kRetransAddress && index <= reg::kRetransDelay;
}

void WriteLoop(TransferRun& run, const std::vector<uint32_t>& registers, bool writeAll) {
    const size_t n = registers.size();
    size_t p = 0;
    while (!run.task.StopRequested()) {
        if (!run.PortOpen())
            break;
        if (p >= n) {
            run.task.SetSucceeded();
            run.task.StopEvent().Set();
            run.sink.PostStatus(IDS_TASK_WRITE_DONE, 0);
            run.sink.PostProgress(100);
            break;
        }
        run.sink.PostProgress(static_cast<int>(p * 100 / n));
        run.sink.PostStatus(IDS_TASK_WRITING, run.word);
        const uint32_t index = registers[p];
        if (writeAll ? !WriteAllSends(run.model, index) || run.task.IsLeftOut(index)
                     : !run.model.IsAvailable(index)) {
            ++p;
            continue;
        }
        std::string question;
        try {
            ModbusFrame frame{};
            const int result = run.master->RequestFrame(
                run.address, 6, static_cast<uint16_t>(index),
                static_cast<uint16_t>(run.model.GetValue(index)), &frame, true, run.timeout);
            if (result == CModbusMaster::comException) {
                question =
                    run.sink.LoadText(IDS_MSG_WRITE_REFUSED) + " " + run.ParameterName(index);
            } else if (frame.count < 6) {
                // No echo to store: treat like any other truncated answer.
                throw CModbusMaster::comShortFrame;
            } else {
                const auto echoed = static_cast<int16_t>((frame.data[4] << 8) | frame.data[5]);
                if (run.model.SetValue(index, echoed)) {
                    run.task.NoteConfirmed(index);
                    ++p;
                    continue;
                }
                char detail[128];
                std::snprintf(detail, sizeof detail, "( %s = %d )",
                              run.ParameterName(index).c_str(), static_cast<int>(echoed));
                question = run.sink.LoadText(IDS_MSG_ECHO_OUT_OF_RANGE) + " " + detail;
            }
        } catch (tErrorCom error) {
            run.OnBusError(error);
            continue;
        }
        switch (run.sink.AskAbortRetryIgnore(question)) {
        case BoxAnswer::Abort:
            run.Fail(IDS_TASK_WRITE_CANCELLED);
            break;
        case BoxAnswer::Ignore:
            ++p;
            break;
        case BoxAnswer::Retry:
            break;
        }
    }
}

} // namespace

bool WriteAllSends(const CTQControllerModel& model, uint32_t index) {
    return model.IsAvailable(index) &&
           !(model.GetFamily() == TQ100 && IsRetransmissionPortRegister(index));
}

std::vector<uint32_t> ParameterGroup(int mode) {
    switch (mode) {
    case 5:
        return {30, 31, 1, 2, 8, 36, 9, 10, 11, 12, 38, 33};
    case 6:
        return {5, 6, 22, 23, 34, 35, 25};
    case 7:
        return {16, 19, 20, 32, 37};
    case 8:
        return {26, 24, 39};
    case 9:
        return {28};
    case 10:
        return {29, 40};
    case 11:
        return {50, 51, 52, 53};
    default:
        return {};
    }
}

void ReadAllParameters(CBusTask& task) {
    TransferRun run(task);
    if (!run.Begin() || !run.SwitchToFamily())
        return;
    while (!task.StopRequested()) {
        if (!run.PortOpen())
            break;
        run.sink.PostProgress(10);
        run.sink.PostStatus(IDS_TASK_READING, run.word);
        const uint32_t count = run.model.GetCount();
        std::vector<int16_t> buffer(count);
        try {
            const int result = run.master->ReadRegisters(
                run.address, buffer.data(), static_cast<uint16_t>(count), kChunk, run.timeout);
            if (result == CModbusMaster::comException) {
                run.Fail(IDS_MSG_READ_EXCEPTION);
            } else {
                run.sink.PostProgress(40);
                task.StopEvent().Set();
                run.model.SetAllValues(buffer);
                task.SetSucceeded();
                run.sink.PostStatus(IDS_TASK_READ_DONE, 0);
                run.sink.PostProgress(100);
            }
        } catch (tErrorCom error) {
            run.OnBusError(error);
        }
    }
}

void WriteAllParameters(CBusTask& task) {
    TransferRun run(task);
    if (!run.Begin() || !run.SwitchToFamily())
        return;
    std::vector<uint32_t> registers(run.model.GetCount());
    for (uint32_t i = 0; i < registers.size(); ++i)
        registers[i] = i;
    WriteLoop(run, registers, true);
}

void WriteParameterGroup(CBusTask& task, const std::vector<uint32_t>& list) {
    TransferRun run(task);
    if (!run.Begin())
        return;
    WriteLoop(run, list, false);
}

void WriteOneParameter(CTQControllerModel& model, const CommSettings& settings, IWriteOneSink& ui,
                       uint32_t index, int16_t value, const MasterFactory& factory) {
    auto master = factory ? factory(settings) : CreateMaster(settings);
    if (!master) {
        ui.ShowMessage(IDS_MSG_NO_MASTER, IWriteOneSink::Icon::Error);
        return;
    }
    if (!master->IsOpen()) {
        ui.ShowMessage(IDS_MSG_PORT_NOT_OPEN, IWriteOneSink::Icon::Error);
        return;
    }
    int16_t echoed = 0;
    int result;
    try {
        result =
            master->Request(static_cast<uint8_t>(settings.address), 6, static_cast<uint16_t>(index),
                            static_cast<uint16_t>(value), &echoed, true, model.GetBaseTimeout());
    } catch (tErrorCom error) {
        result = error;
    }
    master.reset();
    if (result != CModbusMaster::comOk) {
        ui.ShowMessage(IDS_MSG_WRITE_FAILED, IWriteOneSink::Icon::Information);
        return;
    }
    // An echo the model refuses leaves the controller holding a value the program does not
    // accept: the page shows what the model keeps and the write is not reported as done.
    const bool stored = model.SetValue(index, echoed);
    ui.ReloadPage();
    ui.ShowMessage(stored ? IDS_MSG_WRITE_DONE : IDS_MSG_WRITE_FAILED,
                   IWriteOneSink::Icon::Information);
}
