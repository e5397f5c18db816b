#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

// Resident memory of this process in kB, as the kernel counts it (0 where it cannot be read).
inline long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}
