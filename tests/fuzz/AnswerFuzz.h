#pragma once

#include "core/modbus/ModbusMaster.h"

#include <cstring>
#include <vector>

// Plays one fuzz input to the master: the input's bytes are the answers, each prefixed by its
// length byte. Returns normally whatever the answers are; only tErrorCom may leave the master.
class CReplayPort : public CCommPort {
public:
    CReplayPort(const uint8_t* data, size_t size) : input(data, data + size) { open = true; }
    void Close() override { open = false; }
    int Send(const uint8_t*, int) override { return 0; }
    int Receive(uint8_t*, uint32_t* length) override {
        *length = 0;
        return 1;
    }
    int Transact(const uint8_t*, int, uint8_t* response, uint32_t* responseLength, int) override {
        if (at >= input.size()) {
            *responseLength = 0;
            return 1;
        }
        const uint8_t head = input[at++];
        if (head == 0xFF)
            return 0; // the transport fails
        uint32_t count = std::min<uint32_t>(head, static_cast<uint32_t>(input.size() - at));
        count = std::min(count, *responseLength);
        std::memcpy(response, input.data() + at, count);
        at += count;
        *responseLength = count;
        return 1;
    }

private:
    std::vector<uint8_t> input;
    size_t at = 0;
};

// Runs every transaction kind of the master against the answers in data.
inline void FuzzMasterWithAnswers(const uint8_t* data, size_t size) {
    if (size < 4)
        return;
    const int mode = data[0] & 1;
    const uint8_t address = data[1];
    const uint16_t count = static_cast<uint16_t>(data[2] % 80);
    const uint16_t chunk = static_cast<uint16_t>(data[3] % 40);
    CModbusMaster master(std::make_unique<CReplayPort>(data + 4, size - 4), mode);
    int16_t registers[80];
    uint8_t coils[80];
    int16_t value = 0;
    ModbusFrame frame;
    for (int kind = 0; kind < 5; ++kind) {
        try {
            switch (kind) {
            case 0:
                master.Request(address, 3, 0, 1, &value, true, 0);
                break;
            case 1:
                master.Request(address, 5, 4, 0x00FF, nullptr, false, 0);
                break;
            case 2:
                master.RequestFrame(address, 6, 1, 2, &frame, true, 0);
                break;
            case 3:
                master.ReadRegisters(address, registers, count, chunk, 0);
                break;
            default:
                master.ReadCoils(address, coils, count, chunk, 0);
                break;
            }
        } catch (CModbusMaster::tErrorCom) {
        }
    }
}
