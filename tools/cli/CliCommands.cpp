#include "CliCommands.h"

#include "CliConfig.h"
#include "CliConnection.h"
#include "CliGraph.h"
#include "CliMonitor.h"
#include "CliTasks.h"
#include "ComErrorName.h"

#include "core/modbus/ModbusMaster.h"
#include "core/model/TQControllerModel.h"

#include <ostream>
#include <unistd.h>

namespace {

using Master = CModbusMaster;

int BusFailure(std::ostream& err, int code) {
    err << "calora-cli: " << ComErrorName(code) << " (" << code << ")\n";
    return kExitBusFailure;
}

int RunWrite(const CliOptions& o, Master& master, int wait, std::ostream& out, std::ostream& err) {
    int16_t echo = 0;
    const int result =
        master.Request(static_cast<uint8_t>(o.address), 6, o.reg, o.value, &echo, true, wait);
    if (result != Master::comOk)
        return BusFailure(err, result);
    out << "register " << o.reg << " = " << echo << "\n";
    if (static_cast<uint16_t>(echo) == o.value)
        return kExitOk;
    // The controller kept another value (clamped, say): the write did not do what was asked.
    err << "calora-cli: register " << o.reg << " echoed " << echo << ", sent "
        << static_cast<int16_t>(o.value) << "\n";
    return kExitBusFailure;
}

int RunCoil(const CliOptions& o, Master& master, int wait, std::ostream& out, std::ostream& err) {
    int16_t echo = 0;
    const int result = master.Request(static_cast<uint8_t>(o.address), 5, o.coil,
                                      o.coilOn ? 0x00FF : 0, &echo, true, wait);
    if (result != Master::comOk)
        return BusFailure(err, result);
    // The echo carries the Modbus coil value: FF 00 for on, 00 00 for off.
    auto state = [](uint16_t word) {
        return word == 0xFF00 ? std::string("on")
               : word == 0    ? std::string("off")
                              : "unexpected echo " + std::to_string(word);
    };
    const auto word = static_cast<uint16_t>(echo);
    out << "coil " << o.coil << " = " << state(word) << "\n";
    const uint16_t sent = o.coilOn ? 0xFF00 : 0;
    if (word == sent)
        return kExitOk;
    err << "calora-cli: coil " << o.coil << " echoed " << state(word) << ", sent " << state(sent)
        << "\n";
    return kExitBusFailure;
}

int RunProbe(const CliOptions& o, Master& master, int wait, std::ostream& out) {
    int16_t value = 0;
    const int result =
        master.Request(static_cast<uint8_t>(o.address), 3, 0, 1, &value, false, wait);
    // An exception answer still proves a controller is there.
    out << "address " << o.address << " answers"
        << (result == Master::comException ? " (exception response)" : "") << "\n";
    return kExitOk;
}

} // namespace

int RunCliCommand(const CliOptions& options, std::ostream& out, std::ostream& err, bool terminal) {
    if (options.command == CliCommand::Scan)
        return RunScan(options, out, err, terminal);
    if (options.command == CliCommand::Read)
        return RunReadAll(options, out, err);
    if (options.command == CliCommand::Config)
        return RunConfig(options, out, err);
    if (options.command == CliCommand::Graph)
        return ExportGraphCsv(options.graphFile, options.graphSegment, out, err);
    // The cycle lines go to the descriptor itself, past the stream's buffer and lock: a
    // reader that stalls must hold neither the polling nor the stop.
    if (options.command == CliCommand::Monitor)
        return RunMonitor(options, STDOUT_FILENO, err);

    std::string openError;
    auto master = OpenCliMaster(options, openError);
    if (!master) {
        err << "calora-cli: " << openError << "\n";
        return kExitBusFailure;
    }
    const int wait = CTQControllerModel().GetBaseTimeout();
    try {
        switch (options.command) {
        case CliCommand::Write:
            return RunWrite(options, *master, wait, out, err);
        case CliCommand::Coil:
            return RunCoil(options, *master, wait, out, err);
        case CliCommand::Probe:
            return RunProbe(options, *master, wait, out);
        default:
            break;
        }
    } catch (Master::tErrorCom code) {
        return BusFailure(err, code);
    }
    err << "calora-cli: no command\n";
    return kExitUsage;
}
