#pragma once

#include "Controller.h"
#include "SimClock.h"
#include "SimTypes.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sim {

class TcpServer;
class SerialServer;

struct SimBusOptions {
    uint64_t seed = 1;
    // Simulated seconds per real second; 0 = time moves only by Advance.
    double timeScale = 1.0;
    // Serial answers wait for the wire time of request and answer at the line's rate.
    bool wireTime = true;
    // How long a self-tuning run lasts, simulated seconds.
    double tuneSeconds = 60.0;
    // Same load for every controller (PlantParams defaults) instead of one drawn per address.
    bool uniformPlants = false;
    // Requests kept in the log; the oldest go first.
    size_t logCapacity = 100000;
    // A TCP connection without a byte for this long is closed: between frames, and within
    // a frame that stopped half-way.
    std::chrono::milliseconds tcpIdleTimeout{60000};
    std::chrono::milliseconds tcpHalfFrameTimeout{10000};
};

// What the line the request came on looks like to the controllers. On a pseudo-terminal
// even parity cannot be told from none, so both are heard as "none or even".
struct HeardLine {
    uint32_t baud = 19200;
    Parity parity = Parity::None;
    bool evenLooksLikeNone = false;

    bool Reaches(const LineSettings& line) const;
};

// What a server is to do with one request.
struct Reply {
    bool send = false;           // false: stay silent
    bool dropConnection = false; // TCP: close the connection instead
    std::vector<uint8_t> frame;  // address + answer PDU, no CRC
    std::optional<FaultKind> fault;
    int delayMs = 0;   // extra wait before answering
    LineSettings line; // the answering controller's line (serial timing)
};

// A bus of simulated controllers served over Modbus TCP and Modbus RTU.
class SimBus {
public:
    explicit SimBus(SimBusOptions options = {});
    ~SimBus();

    SimBus(const SimBus&) = delete;
    SimBus& operator=(const SimBus&) = delete;

    // Adds a controller (address 1..247). Throws std::invalid_argument for a bad or taken
    // address.
    Controller& AddController(uint8_t address, ModelFamily family, uint32_t baud = 19200,
                              Parity parity = Parity::None);
    // Addresses 1..72, odd ones TQ100, even ones ZI102-VA402, all at 19200 none.
    void AddDefaultControllers();
    void RemoveController(uint8_t address);
    bool Has(uint8_t address) const;
    // Throws std::out_of_range when no controller has the address. The reference stays
    // valid until the controller is removed or the bus destroyed.
    Controller& At(uint8_t address);
    std::vector<uint8_t> Addresses() const;

    // Faults on one controller (throws std::out_of_range when there is none).
    void SetFault(uint8_t address, FaultKind kind, double rate = 1.0, int param = 0);
    void ClearFaults(uint8_t address);
    void ClearAllFaults();

    // Modbus TCP on host:port; port 0 takes a free one. Returns the bound port. Throws
    // std::runtime_error when the socket cannot be bound.
    uint16_t StartTcp(uint16_t port = 0, const std::string& host = "127.0.0.1");
    // Modbus RTU on a new pseudo-terminal; returns the device path the master opens. With a
    // link path, a symbolic link to it is made there (and removed again by Stop).
    std::string StartPty(const std::string& linkPath = "");
    // Modbus RTU on an existing serial device, opened at the given line.
    void StartDevice(const std::string& path, LineSettings line);
    // Stops every server, closes every connection; safe to call twice.
    void Stop();

    // 0 / "" while the server is not running. PtyPath is the serial side's path, the
    // device's too when started with StartDevice.
    uint16_t TcpPort() const;
    std::string PtyPath() const;
    size_t TcpClientCount() const;

    SimClock& Clock() { return *clock; }
    // Moves simulated time forward and lets every controller catch up.
    void Advance(double seconds);
    const SimBusOptions& Options() const { return options; }

    // Requests the controllers received, oldest first.
    std::vector<RequestRecord> RequestLog() const;
    void ClearRequestLog();
    uint64_t RequestCount(uint8_t function) const;
    // Called (on a server thread) for every request a controller received.
    void SetRequestObserver(std::function<void(const RequestRecord&)> observer);

    // Servers hand every complete request here: address + PDU, no CRC. heard is null for TCP.
    Reply Serve(Link link, std::span<const uint8_t> frame, const HeardLine* heard);

private:
    void Record(const RequestRecord& record);

    SimBusOptions options;
    std::shared_ptr<SimClock> clock;
    mutable std::mutex controllersLock;
    std::map<uint8_t, std::shared_ptr<Controller>> controllers;

    mutable std::mutex logLock;
    std::deque<RequestRecord> log;
    std::map<uint8_t, uint64_t> counts;
    std::function<void(const RequestRecord&)> observer;

    mutable std::mutex serversLock;
    std::unique_ptr<TcpServer> tcp;
    std::unique_ptr<SerialServer> serial;
};

} // namespace sim
