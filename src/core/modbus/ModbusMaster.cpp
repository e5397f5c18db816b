#include "core/modbus/ModbusMaster.h"

#include "core/modbus/SerialCommPort.h"
#include "core/modbus/TcpCommPort.h"

#include <algorithm>

namespace {

constexpr uint32_t kFrameCapacity = sizeof(ModbusFrame::data);
constexpr int kMaxAttempts = 5;

// Bytes of the answer that carry data: the CRC of a serial answer is not data.
uint32_t PayloadLength(int mode, uint32_t length) {
    return mode == 0 ? length - 2 : length;
}

} // namespace

CTramaModbusAsincrona::CTramaModbusAsincrona(const std::string& portName, uint32_t baud,
                                             uint8_t parity, uint8_t stopBits, uint8_t byteSize)
    : transport(std::make_unique<CSerialCommPort>(portName, baud, parity, stopBits, byteSize)),
      mode(0) {}

CTramaModbusAsincrona::CTramaModbusAsincrona(const std::string& ip, uint16_t port)
    : transport(std::make_unique<CTcpCommPort>(ip, port)), mode(1) {}

CTramaModbusAsincrona::CTramaModbusAsincrona(std::unique_ptr<CCommPort> transport_, int mode_)
    : transport(std::move(transport_)), mode(mode_) {}

CTramaModbusAsincrona::~CTramaModbusAsincrona() {
    if (transport)
        transport->Close();
}

bool CTramaModbusAsincrona::IsOpen() const {
    return transport && transport->IsOpen();
}

void CTramaModbusAsincrona::BuildRequest(uint8_t frame[8], uint8_t address, uint8_t function,
                                         uint16_t reg, uint16_t value) {
    frame[0] = address;
    frame[1] = function;
    frame[2] = static_cast<uint8_t>(reg >> 8);
    frame[3] = static_cast<uint8_t>(reg & 0xFF);
    if (function == 5) {
        // The callers pass 0x00FF for "on"; on the wire that must read FF 00.
        frame[4] = static_cast<uint8_t>(value & 0xFF);
        frame[5] = static_cast<uint8_t>(value >> 8);
    } else {
        frame[4] = static_cast<uint8_t>(value >> 8);
        frame[5] = static_cast<uint8_t>(value & 0xFF);
    }
    const uint16_t crc = Crc16(frame, 6);
    frame[6] = static_cast<uint8_t>(crc & 0xFF);
    frame[7] = static_cast<uint8_t>(crc >> 8);
}

CTramaModbusAsincrona::tErrorCom CTramaModbusAsincrona::CheckResponse(const uint8_t* request,
                                                                      const uint8_t* response,
                                                                      uint32_t length,
                                                                      int16_t* value) const {
    const uint32_t minimum = mode == 0 ? 4 : 3;
    if (length < minimum || response == nullptr)
        return length == 0 ? comNoResponse : comShortFrame;

    if (mode == 0) {
        const uint16_t crc = Crc16(response, static_cast<int>(length - 2));
        const uint16_t received =
            static_cast<uint16_t>(response[length - 2] | (response[length - 1] << 8));
        if (crc != received)
            return comCrcError;
    }

    // Before the address test: an exception is recognised whatever address it carries.
    if (response[1] & 0x80)
        return comException;

    if (response[0] != request[0] || response[1] != request[1])
        return comMismatch;

    if (value == nullptr)
        return comNoDestination;

    // An answer too short to hold the value its function carries is short, not a value made
    // of whatever lay past its end.
    const uint32_t payload = PayloadLength(mode, length);
    switch (response[1]) {
    case 3:
    case 4:
        if (payload < 5)
            return comShortFrame;
        *value = static_cast<int16_t>(response[3] * 256 + response[4]);
        break;
    case 5:
    case 6:
        if (payload < 6)
            return comShortFrame;
        *value = static_cast<int16_t>(response[4] * 256 + response[5]);
        break;
    case 1:
    case 2:
        if (payload < 4)
            return comShortFrame;
        *value = static_cast<int16_t>(response[3] * 256);
        break;
    default:
        break;
    }
    return comOk;
}

int CTramaModbusAsincrona::Request(uint8_t address, uint8_t function, uint16_t reg, uint16_t value,
                                   int16_t* dest, bool retry, int waitMs) {
    uint8_t frame[8];
    BuildRequest(frame, address, function, reg, value);
    uint8_t response[kFrameCapacity];

    int attempt = retry ? 0 : kMaxAttempts - 1;
    std::lock_guard<std::recursive_mutex> guard(lock);
    tErrorCom code = comNoResponse;
    for (;;) {
        uint32_t length = kFrameCapacity;
        if (!transport || !transport->Transact(frame, 8, response, &length, waitMs))
            throw comPortError;
        code = CheckResponse(frame, response, std::min(length, kFrameCapacity), dest);
        if (code == comOk || code == comException)
            return code;
        if (code == comShortFrame || code == comNoResponse)
            waitMs += 100;
        if (++attempt >= kMaxAttempts)
            break;
    }
    throw code;
}

int CTramaModbusAsincrona::RequestFrame(uint8_t address, uint8_t function, uint16_t reg,
                                        uint16_t value, ModbusFrame* frame, bool retry,
                                        int waitMs) {
    uint8_t request[8];
    BuildRequest(request, address, function, reg, value);
    ModbusFrame scratchFrame;
    if (frame == nullptr)
        frame = &scratchFrame;
    int16_t scratchValue = 0;

    int attempt = retry ? 0 : kMaxAttempts - 1;
    std::lock_guard<std::recursive_mutex> guard(lock);
    tErrorCom code = comNoResponse;
    for (;;) {
        frame->count = kFrameCapacity;
        if (!transport || !transport->Transact(request, 8, frame->data, &frame->count, waitMs))
            throw comPortError;
        frame->count = std::min(frame->count, kFrameCapacity);
        code = CheckResponse(request, frame->data, frame->count, &scratchValue);
        if (code == comOk || code == comException)
            return code;
        if (code == comShortFrame || code == comNoResponse)
            waitMs += 1000;
        if (++attempt >= kMaxAttempts)
            break;
    }
    throw code;
}

namespace {

// The chunk loop shared by the register and coil reads: function `function` for items
// [start, start + n), chunk by chunk from 0. `dataBytes(n)` is what a whole answer carries after
// its 3-byte head; `store(start, n, data)` takes the items out of it.
template <class DataBytes, class Store>
int ReadInChunks(CTramaModbusAsincrona& master, int mode, uint8_t address, uint8_t function,
                 uint16_t count, uint16_t chunk, int waitMs, DataBytes dataBytes, Store store) {
    // A chunk of 0 would never advance: read everything in one request instead.
    const uint32_t step = chunk == 0 ? count : chunk;
    for (uint32_t start = 0; start < count; start += step) {
        const uint16_t n = static_cast<uint16_t>(std::min<uint32_t>(count - start, step));
        ModbusFrame frame;
        if (master.RequestFrame(address, function, static_cast<uint16_t>(start), n, &frame, true,
                                waitMs) == CTramaModbusAsincrona::comException)
            return CTramaModbusAsincrona::comException;
        // The byte count is not trusted, but the items must be in what was received.
        if (PayloadLength(mode, frame.count) < 3u + dataBytes(n))
            throw CTramaModbusAsincrona::comShortFrame;
        store(start, n, frame.data + 3);
    }
    return CTramaModbusAsincrona::comOk;
}

} // namespace

int CTramaModbusAsincrona::ReadRegisters(uint8_t address, int16_t* dest, uint16_t count,
                                         uint16_t chunk, int waitMs) {
    if (dest == nullptr && count > 0)
        throw comNoDestination;
    std::lock_guard<std::recursive_mutex> guard(lock);
    return ReadInChunks(
        *this, mode, address, 3, count, chunk, waitMs, [](uint32_t n) { return 2u * n; },
        [dest](uint32_t start, uint32_t n, const uint8_t* data) {
            for (uint32_t k = 0; k < n; ++k)
                dest[start + k] = static_cast<int16_t>(data[2 * k] * 256 + data[2 * k + 1]);
        });
}

int CTramaModbusAsincrona::ReadCoils(uint8_t address, uint8_t* dest, uint16_t count, uint16_t chunk,
                                     int waitMs) {
    if (dest == nullptr && count > 0)
        throw comNoDestination;
    std::lock_guard<std::recursive_mutex> guard(lock);
    return ReadInChunks(
        *this, mode, address, 1, count, chunk, waitMs, [](uint32_t n) { return (n + 7u) / 8u; },
        [dest, count](uint32_t start, uint32_t n, const uint8_t* data) {
            // Bit j of data byte i is coil start + 8i + j, least significant first.
            for (uint32_t i = 0; i < (n + 7u) / 8u; ++i)
                for (uint32_t j = 0; j < 8; ++j) {
                    const uint32_t coil = start + 8 * i + j;
                    if (coil < count)
                        dest[coil] = (data[i] >> j) & 1;
                }
        });
}

bool CTramaModbusAsincrona::SetLineParameters(uint32_t baud, uint8_t parity, uint8_t stopBits,
                                              uint8_t byteSize) {
    if (mode != 0)
        return false;
    std::lock_guard<std::recursive_mutex> guard(lock);
    auto* serial = dynamic_cast<CSerialCommPort*>(transport.get());
    return serial != nullptr && serial->SetLineParameters(baud, parity, stopBits, byteSize);
}
