#pragma once

#include "ModbusSlave.h"
#include "SimBus.h"
#include "support/FdRead.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace simtest {

// A bus whose time moves only when the test says so.
inline sim::SimBusOptions Frozen(bool wireTime = false) {
    sim::SimBusOptions options;
    options.timeScale = 0;
    options.wireTime = wireTime;
    options.uniformPlants = true;
    return options;
}

// Address + PDU of a request as the master builds it (no CRC).
inline std::vector<uint8_t> Request(uint8_t address, uint8_t function, uint16_t start,
                                    uint16_t value) {
    return {address,
            function,
            static_cast<uint8_t>(start >> 8),
            static_cast<uint8_t>(start & 0xFF),
            static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value & 0xFF)};
}

// A raw Modbus TCP client for the framing tests.
class RawTcp {
public:
    explicit RawTcp(uint16_t port) {
        fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            close(fd);
            fd = -1;
        }
    }
    ~RawTcp() {
        if (fd >= 0)
            close(fd);
    }
    RawTcp(const RawTcp&) = delete;
    RawTcp& operator=(const RawTcp&) = delete;

    bool Ok() const { return fd >= 0; }
    bool Send(const std::vector<uint8_t>& bytes) {
        return send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
    }
    // False once the socket would block (the peer stopped reading).
    bool SendSome(const std::vector<uint8_t>& bytes) {
        return send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT) > 0;
    }
    // ADU for a request frame (address + PDU) with the given transaction identifier.
    static std::vector<uint8_t> Adu(uint16_t id, const std::vector<uint8_t>& frame) {
        std::vector<uint8_t> adu = {uint8_t(id >> 8),     uint8_t(id & 0xFF), 0, 0, 0,
                                    uint8_t(frame.size())};
        adu.insert(adu.end(), frame.begin(), frame.end());
        return adu;
    }
    // Reads until count bytes came, the peer closed, or the time ran out.
    std::vector<uint8_t> Read(size_t count, int timeoutMs = 2000) {
        return ReadUpTo(fd, count, timeoutMs, &closedByPeer);
    }
    bool closedByPeer = false;

private:
    int fd = -1;
};

} // namespace simtest
