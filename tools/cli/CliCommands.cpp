#include "CliCommands.h"

#include "CliConnection.h"
#include "CliOutput.h"
#include "ComErrorName.h"

#include "comm/ModbusMaster.h"
#include "model/TQControllerModel.h"

#include <ostream>

namespace {

using Master = CTramaModbusAsincrona;

// Status coils per family: a ZI102-VA402 has no eleventh.
constexpr uint16_t kCoilsTQ100 = 11;
constexpr uint16_t kCoilsTQ102_TQ402 = 10;
constexpr uint16_t kReadChunk = 16;
constexpr uint16_t kFamilyRegister = 56;

int BusFailure(std::ostream& err, int code) {
    err << "calora-cli: " << ComErrorName(code) << " (" << code << ")\n";
    return kExitBusFailure;
}

int RunRead(const CliOptions& o, Master& master, int wait, std::ostream& out, std::ostream& err) {
    const auto address = static_cast<uint8_t>(o.address);
    int16_t familyWord = 0;
    int result = master.Request(address, 3, kFamilyRegister, 1, &familyWord, true, wait);
    // An exception answer means the controller has no register 56 to say TQ100 with.
    const ModelFamily family =
        (result == Master::comException || familyWord != 0) ? TQ102_TQ402 : TQ100;

    ControllerSnapshot snapshot;
    snapshot.family = FamilyName(family);
    snapshot.registers.resize(family == TQ100 ? kRegisterCountTQ100 : kRegisterCountTQ102_TQ402);
    result =
        master.ReadRegisters(address, snapshot.registers.data(),
                             static_cast<uint16_t>(snapshot.registers.size()), kReadChunk, wait);
    if (result != Master::comOk)
        return BusFailure(err, result);
    const uint16_t coils = family == TQ100 ? kCoilsTQ100 : kCoilsTQ102_TQ402;
    snapshot.coils.resize(coils);
    result = master.ReadCoils(address, snapshot.coils.data(), coils, coils, wait);
    if (result != Master::comOk)
        return BusFailure(err, result);

    out << (o.json ? FormatSnapshotJson(snapshot) : FormatSnapshotText(snapshot));
    return kExitOk;
}

int RunWrite(const CliOptions& o, Master& master, int wait, std::ostream& out, std::ostream& err) {
    int16_t echo = 0;
    const int result =
        master.Request(static_cast<uint8_t>(o.address), 6, o.reg, o.value, &echo, true, wait);
    if (result != Master::comOk)
        return BusFailure(err, result);
    out << "register " << o.reg << " = " << echo;
    if (static_cast<uint16_t>(echo) != o.value)
        out << " (sent " << static_cast<int16_t>(o.value) << ")";
    out << "\n";
    return kExitOk;
}

int RunCoil(const CliOptions& o, Master& master, int wait, std::ostream& out, std::ostream& err) {
    int16_t echo = 0;
    const int result = master.Request(static_cast<uint8_t>(o.address), 5, o.coil,
                                      o.coilOn ? 0x00FF : 0, &echo, true, wait);
    if (result != Master::comOk)
        return BusFailure(err, result);
    // The echo carries the Modbus coil value: FF 00 for on, 00 00 for off.
    const auto word = static_cast<uint16_t>(echo);
    out << "coil " << o.coil << " = "
        << (word == 0xFF00 ? "on"
            : word == 0    ? "off"
                           : "unexpected echo " + std::to_string(word))
        << "\n";
    if (word == (o.coilOn ? 0xFF00 : 0))
        return kExitOk;
    err << "calora-cli: coil " << o.coil << " echoed another state\n";
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
    (void)terminal;
    if (options.command == CliCommand::Scan) {
        err << "calora-cli: scan is not available in this build\n";
        return kExitUsage;
    }

    std::string openError;
    auto master = OpenCliMaster(options, openError);
    if (!master) {
        err << "calora-cli: " << openError << "\n";
        return kExitBusFailure;
    }
    const int wait = CTQControllerModel().GetBaseTimeout();
    try {
        switch (options.command) {
        case CliCommand::Read:
            return RunRead(options, *master, wait, out, err);
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
