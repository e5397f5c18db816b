#pragma once

#include "app/CommSettings.h"

#include <string>
#include <vector>

// Command ids of the main sheet's menus.
namespace SheetCmd {
inline constexpr int Exit = 1;
inline constexpr int LoadFile = 32771;
inline constexpr int SaveFile = 32772;
inline constexpr int ReadAll = 32773;
inline constexpr int WriteAll = 32774;
inline constexpr int Detect = 32776;
inline constexpr int DetectLine = 32777;
inline constexpr int ChooseLanguage = 32778;
inline constexpr int FamilyTQ100 = 32779;
inline constexpr int FamilyZI102 = 32780;
inline constexpr int About = 32781;
inline constexpr int Help = 32782;
inline constexpr int ConnectionSettings = 32783;
inline constexpr int ModbusTcp = 32784;
inline constexpr int FirstPort = 32785; // 32785 + i for serial port i
inline constexpr int MaxPortItems = 20;
} // namespace SheetCmd

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
// MaxPortItems become items) and brings the settings in line: with no matching port item the
// first port becomes the port setting, and with no port at all the interface becomes TCP/IP.
InterfaceChecks PlanInterfaceChecks(const std::vector<SheetPort>& ports, CommSettings& settings);
