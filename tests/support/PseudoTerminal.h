#pragma once

#include "support/FdRead.h"
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

// A pseudo-terminal pair: the port under test opens the slave path, the test plays the
// controller on the master side.
class PseudoTerminal {
public:
    PseudoTerminal() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            return;
        const char* name = ptsname(master);
        if (name != nullptr)
            slavePath = name;
    }
    ~PseudoTerminal() { CloseMaster(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool Ok() const { return master >= 0 && !slavePath.empty(); }
    const std::string& SlavePath() const { return slavePath; }
    void CloseMaster() {
        if (master >= 0)
            ::close(master);
        master = -1;
    }

    // Reads up to count bytes, waiting at most timeoutMs for them.
    std::vector<uint8_t> Read(size_t count, int timeoutMs = 2000) {
        return ReadUpTo(master, count, timeoutMs);
    }
    bool Write(const std::vector<uint8_t>& bytes) {
        return ::write(master, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

private:
    int master = -1;
    std::string slavePath;
};
