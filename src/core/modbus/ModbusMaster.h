#pragma once

#include "core/modbus/CommPort.h"
#include "core/modbus/ModbusFraming.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

// A received frame as handed to callers of RequestFrame.
struct ModbusFrame {
    uint8_t data[256];
    uint32_t count;
};

// Modbus RTU master over a serial line (mode 0) or Modbus TCP (mode 1). Only functions 1, 3, 5
// and 6 are ever sent. Bus failures are thrown as tErrorCom values.
class CModbusMaster {
public:
    enum tErrorCom {
        comOk = kFrameOk,
        comCrcError = kFrameCrcError,
        comException = kFrameException,
        comShortFrame = kFrameShort,
        comMismatch = kFrameMismatch,
        comPortError = 5,
        comNoDestination = kFrameNoDestination,
        comNoResponse = kFrameNoResponse,
        // The stop event was set: the request was given up, the slave is not at fault.
        comStopped = 10,
    };

    // Serial: parity and stop bits are the line codes of the serial port (parity 0 none,
    // 1 odd, 2 even; stop bits 0 = one).
    CModbusMaster(const std::string& portName, uint32_t baud, uint8_t parity, uint8_t stopBits,
                  uint8_t byteSize);
    // TCP: dotted IPv4 address and port.
    CModbusMaster(const std::string& ip, uint16_t port);
    // Any transport (tests, simulated links). mode 0 checks the CRC, mode 1 does not.
    CModbusMaster(std::unique_ptr<CCommPort> transport, int mode);
    ~CModbusMaster();

    CModbusMaster(const CModbusMaster&) = delete;
    CModbusMaster& operator=(const CModbusMaster&) = delete;

    bool IsOpen() const;
    int Mode() const { return mode; }

    int Request(uint8_t address, uint8_t function, uint16_t reg, uint16_t value, int16_t* dest,
                bool retry, int waitMs);
    int RequestFrame(uint8_t address, uint8_t function, uint16_t reg, uint16_t value,
                     ModbusFrame* frame, bool retry, int waitMs);
    int ReadRegisters(uint8_t address, int16_t* dest, uint16_t count, uint16_t chunk, int waitMs);
    int ReadCoils(uint8_t address, uint8_t* dest, uint16_t count, uint16_t chunk, int waitMs);
    bool SetLineParameters(uint32_t baud, uint8_t parity, uint8_t stopBits, uint8_t byteSize);

    // CheckAnswer for this master's mode: the CRC is tested on a serial line only.
    tErrorCom CheckResponse(const uint8_t* request, const uint8_t* response, uint32_t length,
                            int16_t* value) const;

    // From now on a set `event` ends the wait of the request in flight and every later one
    // with comStopped; nullptr lifts it. Taken under the lock, so it waits for a transaction
    // in flight. The event must outlive its use here.
    void SetStopEvent(CManualResetEvent* event);

    // The master's recursive lock: callers that need several transactions undivided
    // (a write to all controllers) hold it across them.
    std::recursive_mutex& Lock() { return lock; }

private:
    // One request sent and its answer checked, again after a bad answer while attempts are
    // left (each wait extraWaitMs longer after a silent or short one). Returns comOk or
    // comException; every other outcome is thrown.
    tErrorCom Transaction(const uint8_t* request, ModbusFrame& answer, int16_t* value, bool retry,
                          int waitMs, int extraWaitMs);
    // Throws comStopped while the stop event is set.
    void ThrowIfStopped() const;
    // After a failed Transact: counts the attempt and says whether the request goes again.
    bool ResendAfterLostConnection(int& attempt) const;

    std::unique_ptr<CCommPort> transport;
    CManualResetEvent* stopEvent = nullptr;
    int mode;
    std::recursive_mutex lock;
};
