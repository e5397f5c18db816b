#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What `read` found on one controller.
struct ControllerSnapshot {
    std::string family; // "TQ100" or "ZI102-VA402"
    std::vector<int16_t> registers;
    std::vector<uint8_t> coils; // one entry per coil, 0 or 1
};

// {"family": "TQ100", "registers": [...], "coils": [...]} and a newline.
std::string FormatSnapshotJson(const ControllerSnapshot& snapshot);
// One "register N: V" / "coil N: V" line each, after a "family: F" line.
std::string FormatSnapshotText(const ControllerSnapshot& snapshot);

// A name as plain text output shows it: control characters (C0, DEL and the UTF-8 encoded
// C1 range) become '?', so a name from a file cannot move the cursor, clear a terminal or
// break a line. JSON output escapes them instead.
std::string PrintableText(const std::string& text);
