#pragma once

#include "core/modbus/CommPort.h"

#include <chrono>
#include <cstdint>
#include <random>
#include <string>

// Modbus TCP under the master's RTU-shaped frames: the CRC is dropped from each request and an
// MBAP header put in front; answers come back as unit identifier + PDU.
class CTcpCommPort : public CCommPort {
public:
    static constexpr int kConnectTimeoutMs = 3000;
    static constexpr int kAnswerWindowMs = 1000;
    static constexpr int kMismatchPauseMs = 500;
    // Exchanges repeated after answers with another identifier before the exchange fails.
    static constexpr int kMaxIdRepeats = 3;

    // A connection the peer closes is opened again on the next exchange, once per exchange.
    CTcpCommPort(const std::string& ip, uint16_t port, int connectTimeoutMs = kConnectTimeoutMs);
    ~CTcpCommPort() override;

    void Close() override;
    int Send(const uint8_t* data, int length) override;
    // Waits up to 1 s for an answer.
    int Receive(uint8_t* buffer, uint32_t* length) override;
    // The answer may take the wait plus 1 s from the send; it is taken as soon as it is whole.
    int Transact(const uint8_t* request, int requestLength, uint8_t* response,
                 uint32_t* responseLength, int waitMs) override;

    // The peer closed or reset the connection before the whole answer came.
    bool ConnectionLost() const override { return connectionLost; }

    uint16_t TransactionId() const { return transactionId; }

private:
    using Clock = std::chrono::steady_clock;

    bool Connect();
    // Drops a connection that cannot be used any more; the next exchange connects again.
    void Disconnect();
    int ReceiveUntil(uint8_t* buffer, uint32_t* length, Clock::time_point deadline);
    // False when the window ran out or the peer went; the latter also sets connectionLost.
    bool ReadExactly(uint8_t* buffer, uint32_t count, Clock::time_point deadline);
    // False when the peer has closed the connection.
    bool DiscardPending();

    std::string ip;
    uint16_t port;
    int connectTimeoutMs;
    int sock = -1;
    uint16_t transactionId = 0;
    bool idMismatch = false;
    bool connectionLost = false;
    std::minstd_rand random;
};
