#include "core/files/SafeFileName.h"

#include <algorithm>

std::string SafeFileNamePart(const std::string& name, size_t maxBytes) {
    std::string safe;
    safe.reserve(name.size());
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        safe += (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F) ? '_' : c;
    }
    if (safe.find_first_not_of('.') == std::string::npos)
        safe.assign(std::max<size_t>(safe.size(), 1), '_');
    if (safe.size() > maxBytes) {
        size_t cut = maxBytes;
        // Never cut inside a UTF-8 sequence.
        while (cut > 0 && (static_cast<unsigned char>(safe[cut]) & 0xC0) == 0x80)
            --cut;
        safe.resize(cut);
    }
    return safe;
}
