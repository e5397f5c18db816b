#pragma once

#include "core/modbus/CommPort.h"

#include <cstdint>
#include <string>
#include <termios.h>

// Modbus RTU over a serial line (normally an RS-485 bus), on termios.
// The name is a listed port name such as "COM1:" or a device path such as "/dev/pts/3".
class CSerialCommPort : public CCommPort {
public:
    // parity: 0 none, 1 odd, 2 even; stopBits: 0 one, 1 one and a half (taken as two), 2 two.
    CSerialCommPort(const std::string& name, uint32_t baud, uint8_t parity, uint8_t stopBits,
                    uint8_t byteSize);
    ~CSerialCommPort() override;

    void Close() override;
    int Send(const uint8_t* data, int length) override;
    int Receive(uint8_t* buffer, uint32_t* length) override;
    int Transact(const uint8_t* request, int requestLength, uint8_t* response,
                 uint32_t* responseLength, int waitMs) override;

    // Applies a new line to the open port; the line in force stays when the new one is refused.
    bool SetLineParameters(uint32_t baud, uint8_t parity, uint8_t stopBits, uint8_t byteSize);

    // "Ninguno" once closed.
    const std::string& Name() const { return name; }
    // Whether the driver switches the RS-485 transmitter itself.
    bool DriverSwitchesDirection() const { return driverRs485; }

private:
    bool ApplyLine(termios& settings, uint32_t baud, uint8_t parity, uint8_t stopBits,
                   uint8_t byteSize);
    bool WriteAll(const uint8_t* data, int length);
    // Reads and drops bytes until none has come for quietMs; false when the device is gone.
    bool WaitForQuietLine(int quietMs);
    // Waits up to timeoutMs for input or the stop event; false when poll failed.
    bool PollInput(int timeoutMs);
    bool StopRequested() const;

    // An exchange that ended without a whole answer: its answer may still come.
    struct Unsettled {
        bool pending = false;
        bool heardBytes = false;
        uint8_t address = 0;
        int waitMs = 0;
    };

    int handle = -1;
    termios line{};
    std::string name;
    bool driverRs485 = false;
    bool exclusive = false; // we set the device's exclusive flag and clear it on close
    Unsettled unsettled;
};

// The stored serial settings are indices; these turn them into line values.
uint32_t BaudFromIndex(int16_t index);
uint8_t ParityFromIndex(int16_t index);
// "COM1:9600N1 8Bits"; "Error" for a parity index above 2. An index below 0 reads as no
// parity, the line ParityFromIndex gives for it.
std::string DescribeSerialLine(const std::string& name, uint32_t baud, int16_t parityIndex);
