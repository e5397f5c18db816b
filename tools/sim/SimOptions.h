#pragma once

#include "SimBus.h"
#include "SimTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// Controllers from first to last; no family given = odd addresses TQ100, even ZI102-VA402.
struct ControllerSpec {
    uint8_t first = 1;
    uint8_t last = 1;
    std::optional<ModelFamily> family;
    LineSettings line;
};

struct FaultSpec {
    uint8_t first = 1;
    uint8_t last = 247;
    Fault fault;
};

// The command line of calora-sim.
struct SimOptions {
    bool help = false;
    bool version = false;
    bool verbose = false;
    std::optional<uint16_t> tcpPort;
    std::string tcpHost = "127.0.0.1";
    bool pty = false;
    std::string link;
    std::string device;
    LineSettings deviceLine;
    std::vector<ControllerSpec> controllers; // empty = the default bus
    std::vector<FaultSpec> faults;
    SimBusOptions bus;
};

inline constexpr uint16_t kDefaultTcpPort = 1502;

// Throws std::invalid_argument with a message fit for the user.
SimOptions ParseOptions(const std::vector<std::string>& args);
// "1-72", "5:tq100:2400:O", "10-20:zi102", several joined by commas.
std::vector<ControllerSpec> ParseControllers(const std::string& text);
// "ADDR:KIND:RATE[:N]", ADDR a number, a range or "all".
FaultSpec ParseFault(const std::string& text);
// Puts the controllers and faults of the options on the bus.
void Populate(SimBus& bus, const SimOptions& options);
std::string HelpText();

} // namespace sim
