#pragma once

#include "core/platform/ProfileStore.h"

#include <functional>
#include <string>
#include <vector>

// The machine's serial devices under stable "COMn:" names. A device keeps its number across
// runs: the numbers live in the profile, and a new device gets the lowest free one.
struct SerialPortInfo {
    std::string name;       // "COM3:"
    std::string devicePath; // "/dev/ttyUSB0", shown beside the name
};

// Profile keys: the number map ("COM1:=/dev/ttyS0;COM2:=/dev/serial/by-id/usb-...") and the
// extra device paths the user lists (separated by ';').
inline constexpr const char* kSerialPortMapKey = "SerialPortMap";
inline constexpr const char* kSerialPortExtraKey = "SerialPortExtra";

// Present devices in number order; also makes their names resolvable by ResolveSerialDevice.
std::vector<SerialPortInfo> EnumerateSerialPorts(IProfileStore& profile);

// The device path for a port name: a path (starting with '/') as is, a "COMn:" name through
// the last enumeration; "" when the name is unknown.
std::string ResolveSerialDevice(const std::string& name);

// Device paths present on this machine: real /dev/ttyS* ports, /dev/ttyUSB*, /dev/ttyACM*.
std::vector<std::string> ScanSerialDevices();

// Tests replace the machine's scan by a fixed list; an empty function restores the real scan.
void SetSerialDeviceScanner(std::function<std::vector<std::string>()> scanner);
