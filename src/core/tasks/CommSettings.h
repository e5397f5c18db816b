#pragma once

#include "core/platform/ProfileStore.h"

#include <cstdint>
#include <memory>
#include <string>

class CTramaModbusAsincrona;

// Connection settings, kept in the user profile.
struct CommSettings {
    std::string interface = "Serie"; // "Serie" (serial RTU) or "TCP/IP" (Modbus TCP)
    std::string port;                // serial port name such as "COM1:"
    uint16_t address = 0;            // 0 until the profile is read (default there: 1)
    uint16_t baudIndex = 3;
    uint16_t parityIndex = 0;
    std::string ip = "192.168.0.1";
    uint16_t ipPort = 405;

    void Load(IProfileStore& profile);
    void Store(IProfileStore& profile) const;
};

inline constexpr const char* kInterfaceSerial = "Serie";
inline constexpr const char* kInterfaceTcp = "TCP/IP";

// A master for the settings, or none when they are incomplete (no port, unknown interface).
// The master may have failed to open: callers check IsOpen.
std::unique_ptr<CTramaModbusAsincrona> CreateMaster(const CommSettings& settings);
