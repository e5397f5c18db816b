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

std::string PrintableText(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        // U+0080..U+009F are C2 80..C2 9F in UTF-8; some terminals act on them as controls.
        const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (byte < 0x20 || byte == 0x7F || c1) {
            shown += '?';
            i += c1 ? 1 : 0;
        } else {
            shown += text[i];
        }
    }
    return shown;
}
