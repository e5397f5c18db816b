#include "CliTasks.h"

#include "CliCommands.h"
#include "CliConnection.h"
#include "CliOutput.h"
#include "CliTaskSink.h"
#include "ComErrorName.h"
#include "RecordingPort.h"

#include "core/modbus/ModbusMaster.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/CommSettings.h"
#include "languages/StringIds.h"

#include <ostream>

namespace {

using Master = CModbusMaster;

// Status coils per family: a ZI102-VA402 has no eleventh.
constexpr uint16_t kCoilsTQ100 = 11;
constexpr uint16_t kCoilsTQ102_TQ402 = 10;

std::string OpenFailure(const CliOptions& o, const CommSettings& s) {
    if (o.useTcp)
        return "cannot connect to " + s.ip + ":" + std::to_string(s.ipPort);
    return "cannot open serial port '" + o.serialPort + "'";
}

int Fail(std::ostream& err, const std::string& message) {
    err << "calora-cli: " << message << "\n";
    return kExitBusFailure;
}

int FailWithCode(std::ostream& err, int code) {
    return Fail(err, std::string(ComErrorName(code)) + " (" + std::to_string(code) + ")");
}

// The settings a task reads; nothing when the host name does not resolve.
bool TaskSettings(const CliOptions& o, CommSettings& settings, std::ostream& err) {
    std::string error;
    if (!PrepareSerialPort(o, error)) {
        Fail(err, error);
        return false;
    }
    std::string ip;
    if (o.useTcp) {
        auto resolved = ResolveIPv4(o.host);
        if (!resolved) {
            Fail(err, "cannot resolve host '" + o.host + "'");
            return false;
        }
        ip = *resolved;
    }
    settings = SettingsFromOptions(o, ip);
    return true;
}

} // namespace

int RunScan(const CliOptions& o, std::ostream& out, std::ostream& err, bool terminal) {
    CommSettings settings;
    if (!TaskSettings(o, settings, err))
        return kExitBusFailure;
    CTQControllerModel model;
    CCliTaskSink sink(model, settings, err, terminal);
    {
        CBusTask task(o.scanLines ? kModeScanLine : kModeScanAddress, settings, model, sink);
        if (!task.Start())
            return Fail(err, "the scan could not be started");
        task.Join();
        sink.FinishProgressLine();
        if (task.Succeeded()) {
            out << "found address " << settings.address;
            if (o.useTcp)
                out << " at " << settings.ip << ":" << settings.ipPort << "\n";
            else
                out << " on " << settings.port << " at "
                    << DescribeLine(settings.baudIndex, settings.parityIndex) << "\n";
            return kExitOk;
        }
    }
    if (sink.LastStatus() == IDS_MSG_PORT_NOT_OPEN)
        return Fail(err, OpenFailure(o, settings));
    return Fail(err, "no controller answered");
}

int RunReadAll(const CliOptions& o, std::ostream& out, std::ostream& err) {
    CommSettings settings;
    if (!TaskSettings(o, settings, err))
        return kExitBusFailure;
    CTQControllerModel model;
    CCliTaskSink sink(model, settings, err, false);
    ExchangeRecord record;
    const int mode = o.useTcp ? 1 : 0;
    {
        CBusTask task(kModeReadAll, settings, model, sink);
        // The transport CreateMaster would build, seen through a recorder so that a failure
        // can be reported with the code of its last exchange.
        task.SetMasterFactory([&](const CommSettings& s) -> std::unique_ptr<Master> {
            TransportChoice choice = CreateTransport(s);
            if (!choice.port)
                return nullptr;
            return std::make_unique<Master>(
                std::make_unique<CRecordingPort>(std::move(choice.port), record), choice.mode);
        });
        if (!task.Start())
            return Fail(err, "the read could not be started");
        task.Join();
        if (!task.Succeeded()) {
            switch (sink.LastStatus()) {
            case IDS_MSG_PORT_NOT_OPEN:
                return Fail(err, OpenFailure(o, settings));
            case IDS_MSG_READ_EXCEPTION:
                return FailWithCode(err, Master::comException);
            default: {
                const int code = RecordedErrorCode(record, mode);
                if (code == Master::comOk)
                    return Fail(err, "the read failed");
                return FailWithCode(err, code);
            }
            }
        }
    }

    ControllerSnapshot snapshot;
    snapshot.family = FamilyName(model.GetFamily());
    for (uint32_t i = 0; i < model.GetCount(); ++i)
        snapshot.registers.push_back(model.GetValue(i));

    std::string openError;
    auto master = OpenCliMaster(o, openError);
    if (!master)
        return Fail(err, openError);
    const uint16_t coils = model.GetFamily() == TQ100 ? kCoilsTQ100 : kCoilsTQ102_TQ402;
    snapshot.coils.resize(coils);
    try {
        const int result = master->ReadCoils(static_cast<uint8_t>(o.address), snapshot.coils.data(),
                                             coils, coils, model.GetBaseTimeout());
        if (result != Master::comOk)
            return FailWithCode(err, result);
    } catch (Master::tErrorCom code) {
        return FailWithCode(err, code);
    }
    out << (o.json ? FormatSnapshotJson(snapshot) : FormatSnapshotText(snapshot));
    return kExitOk;
}
