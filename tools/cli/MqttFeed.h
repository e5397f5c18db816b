#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class CControllerList;
class CMqttPublisher;
class CPollingEngine;

// Hands each complete cycle of a polling engine to an MQTT publisher: one message per polled
// controller on PREFIX/<address>, with the values or the reason its read failed. The values
// are kept as the callbacks bring them and published together once the cycle is complete,
// so a cycle cut short by a stop publishes nothing, as it logs nothing.
class CMqttFeed {
public:
    // Subscribes to the engine's start, data and error lists; before the engine starts.
    CMqttFeed(CPollingEngine& engine, const CControllerList& list, CMqttPublisher& publisher);

    // On the worker, after the cycle's log row: publishes what the cycle read, stamped `when`.
    void PublishCycle(std::chrono::system_clock::time_point when);

private:
    struct Entry {
        std::string name;
        bool ok = false;
        int failure = 0;
        int16_t registers[43] = {};
        uint8_t coils[11] = {};
    };

    void OnStart(unsigned char address);
    void OnData(unsigned char address, short* registers, unsigned char* coils);
    void OnError(unsigned char address);

    CPollingEngine& engine;
    CMqttPublisher& publisher;
    std::vector<Entry> entries; // one per polled controller, in poll order
    size_t current = 0;         // the entry being read; entries of one address are told apart
                                // by their place in the cycle
};
