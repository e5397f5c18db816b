#pragma once

#include <atomic>
#include <string>
#include <thread>

// Two pseudo-terminals joined back to back, like a null-modem cable: what one program writes
// on PathA() the other reads on PathB(), and back. Both ends are device paths, so peers that
// insist on opening a device (libmodbus, our serial port) can meet.
class CPtyLink {
public:
    CPtyLink();
    ~CPtyLink();
    CPtyLink(const CPtyLink&) = delete;
    CPtyLink& operator=(const CPtyLink&) = delete;

    bool Ok() const { return ok; }
    const std::string& PathA() const { return pathA; }
    const std::string& PathB() const { return pathB; }

private:
    void Relay();

    bool ok = false;
    int controlA = -1, deviceA = -1, controlB = -1, deviceB = -1;
    int wake[2] = {-1, -1};
    std::string pathA, pathB;
    std::atomic<bool> stop{false};
    std::thread relay;
};
