#pragma once

#include <cstdint>
#include <span>
#include <string>

// How replacing a file's content ended. error is the errno of the failing step.
struct AtomicWriteResult {
    enum Outcome {
        written,      // the new content is in place
        cannotCreate, // no temporary file could be made beside the target: nothing changed
        writeFailed,  // a write, flush, close or the rename failed: the old file is untouched
    };
    Outcome outcome = written;
    int error = 0;
    bool Ok() const { return outcome == written; }
};

// Replaces the whole content of path with bytes without ever leaving a half-written file:
// the bytes go to a temporary file in the target's folder, every write, the flush to disk
// and the close are checked, and only then is it renamed over the target. A failure removes
// the temporary file and leaves the target as it was. An existing target keeps its
// permissions; a symbolic link is followed, so the file it names is replaced.
AtomicWriteResult WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);
