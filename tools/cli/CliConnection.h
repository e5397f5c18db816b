#pragma once

#include "CliArgs.h"

#include <memory>
#include <optional>
#include <string>

class CModbusMaster;
struct CommSettings;

// Dotted IPv4 address of a host name or address; nothing when it cannot be resolved.
std::optional<std::string> ResolveIPv4(const std::string& host);

// The settings record the bus tasks read: interface, port or IP, address, line indices.
// The host must already be resolved (ip is a dotted address).
CommSettings SettingsFromOptions(const CliOptions& options, const std::string& ip);

// Makes a listed port name ("COM3:") openable: numbers the machine's serial devices as the
// desktop program does, from its profile. A device path needs nothing. False, with a reason,
// when the name is unknown.
bool PrepareSerialPort(const CliOptions& options, std::string& error);

// A master on the options' connection, open; or nullptr with a one-line reason.
std::unique_ptr<CModbusMaster> OpenCliMaster(const CliOptions& options, std::string& error);
