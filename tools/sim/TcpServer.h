#pragma once

#include "StopSignal.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace sim {

class SimBus;

// Modbus TCP: one thread accepts, one thread per connection serves it, so a slow answer on
// one connection holds up no other. There is no cap on connections: one that stays silent,
// or stops in the middle of a frame, is closed after a while, so none is held for ever.
class TcpServer {
public:
    // The time-outs come from the bus's options.
    explicit TcpServer(SimBus& bus);
    ~TcpServer();

    // Binds and listens; returns the bound port. Throws std::runtime_error.
    uint16_t Start(const std::string& host, uint16_t port);
    void Stop();
    uint16_t Port() const { return port; }
    size_t ClientCount() const;

private:
    struct Client {
        int fd = -1;
        std::thread thread;
        std::atomic<bool> done{false};
    };

    void AcceptLoop();
    void Serve(Client& client);
    // Handles one complete frame; false when the connection must end.
    bool Answer(int fd, const uint8_t* adu, size_t length);
    void ReapFinished();

    SimBus& bus;
    StopSignal stop;
    int listener = -1;
    uint16_t port = 0;
    std::chrono::milliseconds idleTimeout;
    std::chrono::milliseconds halfFrameTimeout;
    std::thread acceptor;
    mutable std::mutex clientsLock;
    std::list<std::unique_ptr<Client>> clients;
};

} // namespace sim
