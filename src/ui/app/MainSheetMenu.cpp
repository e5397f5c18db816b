#include "ui/app/MainSheetMenu.h"

#include "ui/framework/ResourceIds.h"

#include <algorithm>

std::vector<SheetPort> FilterSheetPorts(std::vector<SheetPort> ports) {
    std::erase_if(ports, [](const SheetPort& p) {
        return p.name.size() < 4 || p.name.compare(0, 3, "COM") != 0 || p.name.back() != ':';
    });
    std::stable_sort(ports.begin(), ports.end(),
                     [](const SheetPort& a, const SheetPort& b) { return a.name < b.name; });
    return ports;
}

InterfaceChecks PlanInterfaceChecks(const std::vector<SheetPort>& ports, CommSettings& settings) {
    InterfaceChecks checks;
    const int items = std::min<int>(static_cast<int>(ports.size()), kMaxInterfacePorts);
    for (int i = 0; i < items; ++i) {
        if (settings.interface == kInterfaceSerial && settings.port == ports[i].name)
            checks.port = i;
    }
    if (checks.port >= 0)
        return checks;
    if (!ports.empty()) {
        // The menu names the first port even for TCP/IP, ready for a switch to serial.
        settings.port = ports[0].name;
        if (settings.interface != kInterfaceTcp) {
            settings.interface = kInterfaceSerial;
            checks.port = 0;
        } else {
            checks.tcp = true;
        }
    } else {
        settings.interface = kInterfaceTcp;
        checks.tcp = true;
    }
    return checks;
}
