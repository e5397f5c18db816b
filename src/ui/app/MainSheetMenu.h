#pragma once

#include "core/tasks/CommSettings.h"

#include <string>
#include <vector>

// One serial port as the system lists it: the "COMn:" name and the device behind it.
struct SheetPort {
    std::string name;
    std::string path;
};

// Keeps the names with the prefix "COM" and a trailing ':', sorted by plain byte comparison
// (so COM10: comes before COM2:).
std::vector<SheetPort> FilterSheetPorts(std::vector<SheetPort> ports);

// Which Interface item is checked. At most one of the two is set.
struct InterfaceChecks {
    int port = -1; // index of the checked port item, -1 for none
    bool tcp = false;
};

// Decides the initial checks of the Interface submenu from the sorted port list (only the first
// kMaxInterfacePorts become items) and brings the settings in line: with no matching port item the
// first port becomes the port setting, and with no port at all the interface becomes TCP/IP.
InterfaceChecks PlanInterfaceChecks(const std::vector<SheetPort>& ports, CommSettings& settings);
