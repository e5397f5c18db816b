#pragma once

#include "core/modbus/CommPort.h"
#include "core/modbus/ModbusMaster.h"

#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

// A transport that plays back prepared answers and records what the master asked of it.
struct ScriptedLink {
    struct Reply {
        std::vector<uint8_t> bytes;
        bool transportFails = false;
    };
    std::deque<Reply> answers; // once used up, every exchange gets silence
    std::vector<std::vector<uint8_t>> requests;
    std::vector<int> waits;
    std::vector<uint32_t> capacities;
    std::function<void()> onTransact; // runs inside each exchange, on the caller's thread
    bool closed = false;

    void Answer(std::vector<uint8_t> bytes) { answers.push_back({std::move(bytes), false}); }
    void Silence() { answers.push_back({{}, false}); }
    void Fail() { answers.push_back({{}, true}); }
};

class CScriptedPort : public CCommPort {
public:
    explicit CScriptedPort(std::shared_ptr<ScriptedLink> link_) : link(std::move(link_)) {
        open = true;
    }
    void Close() override {
        link->closed = true;
        open = false;
    }
    int Send(const uint8_t*, int) override { return 0; }
    int Receive(uint8_t*, uint32_t* length) override {
        *length = 0;
        return 1;
    }
    int Transact(const uint8_t* request, int requestLength, uint8_t* response,
                 uint32_t* responseLength, int waitMs) override {
        link->requests.emplace_back(request, request + requestLength);
        link->waits.push_back(waitMs);
        link->capacities.push_back(*responseLength);
        if (link->onTransact)
            link->onTransact();
        ScriptedLink::Reply answer;
        if (!link->answers.empty()) {
            answer = link->answers.front();
            link->answers.pop_front();
        }
        if (answer.transportFails)
            return 0;
        const uint32_t count =
            std::min<uint32_t>(*responseLength, static_cast<uint32_t>(answer.bytes.size()));
        if (count > 0)
            std::memcpy(response, answer.bytes.data(), count);
        *responseLength = count;
        return 1;
    }

private:
    std::shared_ptr<ScriptedLink> link;
};

// The bytes with their Modbus CRC appended, low byte first.
inline std::vector<uint8_t> WithCrc(std::vector<uint8_t> bytes) {
    const uint16_t crc = Crc16(bytes.data(), static_cast<int>(bytes.size()));
    bytes.push_back(static_cast<uint8_t>(crc & 0xFF));
    bytes.push_back(static_cast<uint8_t>(crc >> 8));
    return bytes;
}

// A master in the given mode (0 serial, 1 TCP) over a scripted link.
inline std::unique_ptr<CModbusMaster> ScriptedMaster(std::shared_ptr<ScriptedLink> link,
                                                     int mode = 0) {
    return std::make_unique<CModbusMaster>(std::make_unique<CScriptedPort>(link), mode);
}
