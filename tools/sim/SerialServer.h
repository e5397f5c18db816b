#pragma once

#include "SimBus.h"
#include "StopSignal.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sim {

// Modbus RTU on a pseudo-terminal the server creates, or on a serial device it is given.
// On a pseudo-terminal the line the master set is read back from the master side: the rate
// and odd parity show there, but the driver drops the parity-enable flag, so even parity
// cannot be told from none.
class SerialServer {
public:
    explicit SerialServer(SimBus& bus);
    ~SerialServer();

    // Returns the path of the terminal the master is to open. Throws std::runtime_error.
    std::string StartPty(const std::string& linkPath);
    void StartDevice(const std::string& path, LineSettings line);
    void Stop();
    std::string Path() const { return path; }

private:
    using Clock = std::chrono::steady_clock;

    void Loop();
    HeardLine Heard() const;
    // Pulls complete requests out of the buffer; with gapPassed, whatever is left ends too.
    void TakeFrames(bool gapPassed);
    void Handle(const std::vector<uint8_t>& request, Clock::time_point firstByte);
    bool WriteAll(const std::vector<uint8_t>& bytes);
    void ReleaseExclusive();

    SimBus& bus;
    StopSignal stop;
    int fd = -1;
    int ownSlave = -1; // keeps the terminal alive between the master's opens
    int watch = -1;    // inotify descriptor: the master closing the terminal
    bool pty = false;
    LineSettings deviceLine;
    std::string path;
    std::string link;
    std::thread thread;
    std::vector<uint8_t> buffer;
    Clock::time_point firstByte;
    Clock::time_point lastByte;
};

// Seconds one character takes on the line: start, 8 data bits, parity if any, one stop bit.
double CharacterTime(const LineSettings& line);

} // namespace sim
