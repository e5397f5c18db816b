#pragma once

#include "core/platform/ProfileStore.h"

#include <cstdint>
#include <memory>
#include <string>

class CCommPort;
class CModbusMaster;

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

// The transport the settings name and the master mode it calls for (0 serial, 1 TCP); no
// port when the settings are incomplete: an unknown interface, or "Serie" without a port name.
// "TCP/IP" needs only the address and port. The port may have failed to open.
struct TransportChoice {
    std::unique_ptr<CCommPort> port;
    int mode = 0;
};
TransportChoice CreateTransport(const CommSettings& settings);

// A master on CreateTransport's port, or none. The master may have failed to open: callers
// check IsOpen.
std::unique_ptr<CModbusMaster> CreateMaster(const CommSettings& settings);
