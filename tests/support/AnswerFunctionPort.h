#pragma once

#include "core/modbus/CommPort.h"
#include "core/modbus/ModbusMaster.h"

#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// A transport whose answers come from a script, for answers a real controller cannot be made
// to give. Records every request and the wait it was given.
class CAnswerFunctionPort : public CCommPort {
public:
    struct Exchange {
        std::vector<uint8_t> request;
        int waitMs;
    };
    using Script = std::function<std::vector<uint8_t>(const std::vector<uint8_t>& request)>;

    explicit CAnswerFunctionPort(Script script, std::shared_ptr<std::vector<Exchange>> log)
        : script(std::move(script)), log(std::move(log)) {
        open = true;
    }

    void Close() override { open = false; }
    int Send(const uint8_t*, int) override { return 1; }
    int Receive(uint8_t*, uint32_t* length) override {
        *length = 0;
        return 1;
    }
    int Transact(const uint8_t* request, int requestLength, uint8_t* response,
                 uint32_t* responseLength, int waitMs) override {
        std::vector<uint8_t> frame(request, request + requestLength);
        log->push_back({frame, waitMs});
        std::vector<uint8_t> answer = script(frame);
        const uint32_t n =
            std::min<uint32_t>(static_cast<uint32_t>(answer.size()), *responseLength);
        if (n > 0)
            std::memcpy(response, answer.data(), n);
        *responseLength = n;
        return 1;
    }

private:
    Script script;
    std::shared_ptr<std::vector<Exchange>> log;
};

// Appends the RTU CRC, low byte first.
inline std::vector<uint8_t> WithCrc(std::vector<uint8_t> frame) {
    const uint16_t crc = Crc16(frame.data(), static_cast<int>(frame.size()));
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    return frame;
}

inline uint16_t RequestRegister(const std::vector<uint8_t>& request) {
    return static_cast<uint16_t>((request[2] << 8) | request[3]);
}
inline uint16_t RequestValue(const std::vector<uint8_t>& request) {
    return static_cast<uint16_t>((request[4] << 8) | request[5]);
}

// A serial master over a scripted transport.
inline MasterFactory
ScriptedMasterFactory(CAnswerFunctionPort::Script script,
                      std::shared_ptr<std::vector<CAnswerFunctionPort::Exchange>> log) {
    return [script, log](const CommSettings&) {
        return std::make_unique<CModbusMaster>(std::make_unique<CAnswerFunctionPort>(script, log),
                                               0);
    };
}
