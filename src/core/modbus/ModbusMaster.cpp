#include "core/modbus/ModbusMaster.h"

#include "core/modbus/SerialCommPort.h"
#include "core/modbus/TcpCommPort.h"

#include <algorithm>

namespace {

constexpr uint32_t kFrameCapacity = sizeof(ModbusFrame::data);
constexpr int kMaxAttempts = 5;

} // namespace

CModbusMaster::CModbusMaster(const std::string& portName, uint32_t baud, uint8_t parity,
                             uint8_t stopBits, uint8_t byteSize)
    : transport(std::make_unique<CSerialCommPort>(portName, baud, parity, stopBits, byteSize)),
      mode(0) {}

CModbusMaster::CModbusMaster(const std::string& ip, uint16_t port)
    : transport(std::make_unique<CTcpCommPort>(ip, port)), mode(1) {}

CModbusMaster::CModbusMaster(std::unique_ptr<CCommPort> transport_, int mode_)
    : transport(std::move(transport_)), mode(mode_) {}

CModbusMaster::~CModbusMaster() {
    if (transport)
        transport->Close();
}

void CModbusMaster::SetStopEvent(CManualResetEvent* event) {
    std::lock_guard<std::recursive_mutex> guard(lock);
    stopEvent = event;
    if (transport)
        transport->SetStopEvent(event);
}

void CModbusMaster::ThrowIfStopped() const {
    if (stopEvent && stopEvent->IsSet())
        throw comStopped;
}

bool CModbusMaster::IsOpen() const {
    return transport && transport->IsOpen();
}

CModbusMaster::tErrorCom CModbusMaster::CheckResponse(const uint8_t* request,
                                                      const uint8_t* response, uint32_t length,
                                                      int16_t* value) const {
    return static_cast<tErrorCom>(CheckAnswer(request, response, length, mode == 0, value));
}

bool CModbusMaster::ResendAfterLostConnection(int& attempt) const {
    // The four functions sent are idempotent, so a request whose connection ended before the
    // answer is sent again on a new one, as one more attempt of the same budget.
    return transport && transport->ConnectionLost() && ++attempt < kMaxAttempts;
}

CModbusMaster::tErrorCom CModbusMaster::Transaction(const uint8_t* request, ModbusFrame& answer,
                                                    int16_t* value, bool retry, int waitMs,
                                                    int extraWaitMs) {
    int attempt = retry ? 0 : kMaxAttempts - 1;
    std::lock_guard<std::recursive_mutex> guard(lock);
    tErrorCom code = comNoResponse;
    for (;;) {
        answer.count = kFrameCapacity;
        ThrowIfStopped();
        if (!transport || !transport->Transact(request, 8, answer.data, &answer.count, waitMs)) {
            ThrowIfStopped();
            if (!ResendAfterLostConnection(attempt))
                throw comPortError;
            continue;
        }
        answer.count = std::min(answer.count, kFrameCapacity);
        code = CheckResponse(request, answer.data, answer.count, value);
        if (code == comOk || code == comException)
            return code;
        ThrowIfStopped();
        if (code == comShortFrame || code == comNoResponse)
            waitMs += extraWaitMs;
        if (++attempt >= kMaxAttempts)
            break;
    }
    throw code;
}

int CModbusMaster::Request(uint8_t address, uint8_t function, uint16_t reg, uint16_t value,
                           int16_t* dest, bool retry, int waitMs) {
    uint8_t request[8];
    BuildRequestFrame(request, address, function, reg, value);
    ModbusFrame answer;
    return Transaction(request, answer, dest, retry, waitMs, 100);
}

int CModbusMaster::RequestFrame(uint8_t address, uint8_t function, uint16_t reg, uint16_t value,
                                ModbusFrame* frame, bool retry, int waitMs) {
    uint8_t request[8];
    BuildRequestFrame(request, address, function, reg, value);
    ModbusFrame scratchFrame;
    int16_t scratchValue = 0;
    // A whole-frame request waits longer after a silent or short answer: its answers are long.
    return Transaction(request, frame ? *frame : scratchFrame, &scratchValue, retry, waitMs, 1000);
}

namespace {

// The chunk loop shared by the register and coil reads: function `function` for items
// [start, start + n), chunk by chunk from 0; `store(start, n, data)` takes the items out of an
// answer whose byte count the check has already matched to n.
template <class Store>
int ReadInChunks(CModbusMaster& master, uint8_t address, uint8_t function, uint16_t count,
                 uint16_t chunk, int waitMs, Store store) {
    // A chunk of 0 would never advance: read everything in one request instead.
    const uint32_t step = chunk == 0 ? count : chunk;
    for (uint32_t start = 0; start < count; start += step) {
        const uint16_t n = static_cast<uint16_t>(std::min<uint32_t>(count - start, step));
        ModbusFrame frame;
        if (master.RequestFrame(address, function, static_cast<uint16_t>(start), n, &frame, true,
                                waitMs) == CModbusMaster::comException)
            return CModbusMaster::comException;
        store(start, n, frame.data + 3);
    }
    return CModbusMaster::comOk;
}

} // namespace

int CModbusMaster::ReadRegisters(uint8_t address, int16_t* dest, uint16_t count, uint16_t chunk,
                                 int waitMs) {
    if (dest == nullptr && count > 0)
        throw comNoDestination;
    std::lock_guard<std::recursive_mutex> guard(lock);
    return ReadInChunks(*this, address, 3, count, chunk, waitMs,
                        [dest](uint32_t start, uint32_t n, const uint8_t* data) {
                            for (uint32_t k = 0; k < n; ++k)
                                dest[start + k] =
                                    static_cast<int16_t>(data[2 * k] * 256 + data[2 * k + 1]);
                        });
}

int CModbusMaster::ReadCoils(uint8_t address, uint8_t* dest, uint16_t count, uint16_t chunk,
                             int waitMs) {
    if (dest == nullptr && count > 0)
        throw comNoDestination;
    std::lock_guard<std::recursive_mutex> guard(lock);
    return ReadInChunks(*this, address, 1, count, chunk, waitMs,
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

bool CModbusMaster::SetLineParameters(uint32_t baud, uint8_t parity, uint8_t stopBits,
                                      uint8_t byteSize) {
    if (mode != 0)
        return false;
    std::lock_guard<std::recursive_mutex> guard(lock);
    auto* serial = dynamic_cast<CSerialCommPort*>(transport.get());
    return serial != nullptr && serial->SetLineParameters(baud, parity, stopBits, byteSize);
}
