#pragma once

#include "core/files/Archive.h"
#include "core/files/GraphFormat.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

// Feeds one input to a graph-file reader: the first byte picks header, time line or points
// (with the time-line length in the second byte), the rest is the file. Only an archive
// error may leave a reader, and what a reader accepts must hold together: a header names a
// points file per curve, points lie within the time line.
inline void FuzzGraphFile(const uint8_t* data, size_t size) {
    if (size < 2)
        return;
    // Exactly sized, so a read past the end is caught by the sanitizer.
    const std::vector<uint8_t> file(data + 2, data + size);
    try {
        switch (data[0] % 3) {
        case 0: {
            // Every curve gets a points file of its own.
            const auto names = GraphPointsFileNames("s.gf", ParseGraphHeader(file), 0);
            if (std::set<std::string>(names.begin(), names.end()).size() != names.size())
                std::abort();
            break;
        }
        case 1: {
            const auto timeline = ParseGraphTimeline(file);
            // Bytes past the counted entries are an append cut short.
            if (timeline.size() * 16 + 4 > file.size())
                std::abort();
            break;
        }
        default: {
            const GraphPoints points = ParseGraphPoints(file, data[1]);
            if (points.from < 0 || points.to > data[1] || points.decimals < 0 ||
                points.decimals > 3 ||
                points.samples.size() != static_cast<size_t>(points.to - points.from))
                std::abort();
            break;
        }
        }
    } catch (const CArchiveException&) {
    }
}
