#include "CliOutput.h"

#include <sstream>

std::string FormatSnapshotJson(const ControllerSnapshot& snapshot) {
    // Family names are fixed ASCII without quotes or backslashes, so no escaping is needed.
    std::ostringstream out;
    out << "{\"family\": \"" << snapshot.family << "\", \"registers\": [";
    for (size_t i = 0; i < snapshot.registers.size(); ++i)
        out << (i ? ", " : "") << snapshot.registers[i];
    out << "], \"coils\": [";
    for (size_t i = 0; i < snapshot.coils.size(); ++i)
        out << (i ? ", " : "") << static_cast<int>(snapshot.coils[i]);
    out << "]}\n";
    return out.str();
}

std::string FormatSnapshotText(const ControllerSnapshot& snapshot) {
    std::ostringstream out;
    out << "family: " << snapshot.family << "\n";
    for (size_t i = 0; i < snapshot.registers.size(); ++i)
        out << "register " << i << ": " << snapshot.registers[i] << "\n";
    for (size_t i = 0; i < snapshot.coils.size(); ++i)
        out << "coil " << i << ": " << static_cast<int>(snapshot.coils[i]) << "\n";
    return out.str();
}
