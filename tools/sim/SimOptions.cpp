#include "SimOptions.h"

#include <charconv>
#include <map>
#include <sstream>
#include <stdexcept>

namespace sim {

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

long Integer(const std::string& text, long low, long high, const std::string& what) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
        value > high)
        throw std::invalid_argument(what + " must be a whole number from " + std::to_string(low) +
                                    " to " + std::to_string(high) + ", not \"" + text + "\"");
    return value;
}

double Real(const std::string& text, double low, double high, const std::string& what) {
    size_t used = 0;
    double value = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (text.empty() || used != text.size() || !(value >= low && value <= high))
        throw std::invalid_argument(what + " must be a number from " + std::to_string(low) +
                                    " to " + std::to_string(high) + ", not \"" + text + "\"");
    return value;
}

void Range(const std::string& text, uint8_t& first, uint8_t& last) {
    const auto dash = text.find('-');
    if (dash == std::string::npos) {
        first = last = static_cast<uint8_t>(Integer(text, 1, 247, "an address"));
        return;
    }
    first = static_cast<uint8_t>(Integer(text.substr(0, dash), 1, 247, "an address"));
    last = static_cast<uint8_t>(Integer(text.substr(dash + 1), 1, 247, "an address"));
    if (last < first)
        throw std::invalid_argument("address range \"" + text + "\" runs backwards");
}

Parity ParityOf(const std::string& text) {
    const auto parity = text.size() == 1 ? ParityFromLetter(text[0]) : std::nullopt;
    if (!parity)
        throw std::invalid_argument("parity must be N, E or O, not \"" + text + "\"");
    return *parity;
}

uint32_t BaudOf(const std::string& text) {
    const long baud = Integer(text, 300, 230400, "a rate");
    for (long allowed : {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400}) {
        if (baud == allowed)
            return static_cast<uint32_t>(baud);
    }
    throw std::invalid_argument("rate " + text + " is not a standard serial rate");
}

LineSettings LineOf(const std::string& text) {
    const auto parts = Split(text, ':');
    if (parts.size() != 2)
        throw std::invalid_argument("a line is BAUD:PARITY, such as 19200:N");
    return {BaudOf(parts[0]), ParityOf(parts[1])};
}

} // namespace

std::vector<ControllerSpec> ParseControllers(const std::string& text) {
    std::vector<ControllerSpec> specs;
    for (const std::string& item : Split(text, ',')) {
        const auto parts = Split(item, ':');
        if (parts.empty() || parts.size() > 4)
            throw std::invalid_argument("controllers are RANGE[:FAMILY[:BAUD[:PARITY]]], not \"" +
                                        item + "\"");
        ControllerSpec spec;
        Range(parts[0], spec.first, spec.last);
        if (parts.size() > 1 && parts[1] != "alt") {
            spec.family = FamilyFromName(parts[1]);
            if (!spec.family)
                throw std::invalid_argument("family must be tq100, zi102 or alt, not \"" +
                                            parts[1] + "\"");
        }
        if (parts.size() > 2)
            spec.line.baud = BaudOf(parts[2]);
        if (parts.size() > 3)
            spec.line.parity = ParityOf(parts[3]);
        specs.push_back(spec);
    }
    return specs;
}

FaultSpec ParseFault(const std::string& text) {
    const auto parts = Split(text, ':');
    if (parts.size() < 3 || parts.size() > 4)
        throw std::invalid_argument("a fault is ADDR:KIND:RATE[:N], not \"" + text + "\"");
    FaultSpec spec;
    if (parts[0] != "all" && parts[0] != "*")
        Range(parts[0], spec.first, spec.last);
    const auto kind = FaultKindFromName(parts[1]);
    if (!kind)
        throw std::invalid_argument("unknown fault kind \"" + parts[1] + "\"");
    spec.fault.kind = *kind;
    spec.fault.rate = Real(parts[2], 0.0, 1.0, "a fault rate");
    if (parts.size() == 4)
        spec.fault.param = static_cast<int>(Integer(parts[3], 0, 600000, "a fault parameter"));
    if (spec.fault.kind == FaultKind::Slow && spec.fault.param == 0)
        spec.fault.param = 1000;
    if (spec.fault.kind == FaultKind::Exception && (spec.fault.param < 1 || spec.fault.param > 255))
        spec.fault.param = 4;
    return spec;
}

SimOptions ParseOptions(const std::vector<std::string>& args) {
    SimOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw std::invalid_argument(arg + " needs a value");
            return args[++i];
        };
        if (arg == "-h" || arg == "--help")
            options.help = true;
        else if (arg == "--version")
            options.version = true;
        else if (arg == "-v" || arg == "--verbose")
            options.verbose = true;
        else if (arg == "--tcp")
            options.tcpPort = static_cast<uint16_t>(Integer(value(), 0, 65535, "--tcp"));
        else if (arg == "--tcp-host")
            options.tcpHost = value();
        else if (arg == "--pty")
            options.pty = true;
        else if (arg == "--link") {
            options.link = value();
            options.pty = true;
        } else if (arg == "--device")
            options.device = value();
        else if (arg == "--line")
            options.deviceLine = LineOf(value());
        else if (arg == "--controllers") {
            const auto specs = ParseControllers(value());
            options.controllers.insert(options.controllers.end(), specs.begin(), specs.end());
        } else if (arg == "--fault")
            options.faults.push_back(ParseFault(value()));
        else if (arg == "--seed")
            options.bus.seed = static_cast<uint64_t>(Integer(value(), 0, 2147483647L, "--seed"));
        else if (arg == "--time-scale")
            options.bus.timeScale = Real(value(), 0.0, 10000.0, "--time-scale");
        else if (arg == "--tune-seconds")
            options.bus.tuneSeconds = Real(value(), 0.1, 86400.0, "--tune-seconds");
        else if (arg == "--uniform-plants")
            options.bus.uniformPlants = true;
        else if (arg == "--no-wire-time")
            options.bus.wireTime = false;
        else
            throw std::invalid_argument("unknown option \"" + arg + "\" (see --help)");
    }
    if (options.pty && !options.device.empty())
        throw std::invalid_argument("--pty and --device exclude each other");
    if (!options.tcpPort && !options.pty && options.device.empty()) {
        options.tcpPort = kDefaultTcpPort;
        options.pty = true;
    }
    return options;
}

void Populate(SimBus& bus, const SimOptions& options) {
    std::map<uint8_t, std::pair<ModelFamily, LineSettings>> plan;
    std::vector<ControllerSpec> specs = options.controllers;
    if (specs.empty())
        specs.push_back({1, 72, std::nullopt, {}});
    for (const ControllerSpec& spec : specs) {
        for (int a = spec.first; a <= spec.last; ++a) {
            const ModelFamily family = spec.family ? *spec.family : a % 2 ? TQ100 : TQ102_TQ402;
            plan[static_cast<uint8_t>(a)] = {family, spec.line}; // later items win
        }
    }
    for (const auto& [address, setting] : plan)
        bus.AddController(address, setting.first, setting.second.baud, setting.second.parity);
    for (const FaultSpec& spec : options.faults) {
        for (int a = spec.first; a <= spec.last; ++a) {
            if (bus.Has(static_cast<uint8_t>(a)))
                bus.At(static_cast<uint8_t>(a)).AddFault(spec.fault);
        }
    }
}

std::string HelpText() {
    return R"(Usage: calora-sim [OPTIONS]

A bus of simulated TQ100 and ZI102-VA402 temperature controllers, served as Modbus TCP
and as Modbus RTU on a serial line. Runs until SIGINT or SIGTERM.

Transports (without any of them: --tcp 1502 and --pty):
  --tcp PORT            Modbus TCP on PORT; 0 picks a free port. Any number of clients;
                        a connection silent for 60 s (10 s within a frame) is closed.
  --tcp-host ADDR       IPv4 address to listen on (default 127.0.0.1).
  --pty                 Modbus RTU on a new pseudo-terminal; the master opens its path.
  --link PATH           Also make a symbolic link PATH to the pseudo-terminal (implies
                        --pty; removed on exit). An existing file that is not a link is
                        left alone and the program stops.
  --device PATH         Modbus RTU on an existing serial device instead of a pty.
  --line BAUD:PARITY    Line of --device (default 19200:N).

Controllers:
  --controllers SPEC    Comma-separated items RANGE[:FAMILY[:BAUD[:PARITY]]]:
                          RANGE   an address (1..247) or FIRST-LAST
                          FAMILY  tq100, zi102 (ZI102-VA402) or alt (odd addresses
                                  TQ100, even ZI102-VA402; the default)
                          BAUD    2400, 4800, 9600, 19200 ... (default 19200)
                          PARITY  N, E or O (default N)
                        Repeatable; a later item replaces an earlier one at the same
                        address. Default: 1-72 (alternating families, 19200 N).
                        Examples: "1-72"  "5:tq100:2400:O"  "1-10:zi102,11:tq100:9600:E"

Faults (each request a controller would answer draws once per fault, in order given):
  --fault ADDR:KIND:RATE[:N]
                        ADDR an address, FIRST-LAST or all; RATE 0..1; KIND one of:
                          silent         no answer
                          short          only the first bytes (3 on RTU, 2 on TCP)
                          bad-crc        RTU answer with a spoiled CRC (TCP: no effect)
                          exception      exception answer, code N (default 4)
                          slow           answer N ms late (default 1000)
                          mbap-id        TCP answer with another transaction identifier
                                         (RTU: no effect)
                          drop           TCP connection closed instead of answering
                                         (RTU: like silent)
                          wrong-address  answer from another slave address
                        A silent or dropping controller does not act on the request.

Time and chance:
  --seed N              Seed of the fault draws and of each controller's load (default 1).
  --time-scale X        Simulated seconds per real second (default 1; 0 freezes).
  --tune-seconds S      Length of a self-tuning run in simulated seconds (default 60).
  --uniform-plants      The same load behind every controller.
  --no-wire-time        Answer serial requests at once. By default an answer waits for
                        the wire time of request and answer at the controller's rate
                        (11 bits a character with parity, 10 without) plus the 3.5-
                        character gap, as on a real line.

Other:
  -v, --verbose         Log each request to standard error.
  -h, --help            This text.
  --version             The version of calora-sim.

Line settings: each controller answers only requests sent at its own rate and parity. On
a pseudo-terminal the simulator reads the line the master set from its own side of the
terminal. Linux keeps the rate and the odd-parity flag there but drops the parity-enable
flag, so odd parity can be told apart while none and even look alike: a controller at N
or E answers a master at N or E; a controller at O answers only a master at O. On a
--device line the parity is exact.

Register map: holding registers 0-53 on a TQ100, 0-42 on a ZI102-VA402, plus register
56 (0 on a TQ100, 1 on a ZI102-VA402); 41 and 42 hold the software and hardware
versions in tenths (12 = 1.2). Status coils 0-10 on a TQ100, 0-9 on a ZI102-VA402:
0 over range, 1 under range, 2 alarm 1, 3 alarm 2, 4 self-tuning (writable),
5 manual mode (writable), 7 degrees F (register 20), 8 digital input, 9 ramp running,
10 output on. Functions 1, 3, 5 and 6; exception 2 for an address outside the map
(and for writes to register 56 and to read-only coils), 3 for a value outside a
register's range or a bad quantity, 1 for any other function. Address 0 writes to all
controllers without an answer.

Process: each controller heats a first-order load (ambient about 20 C) with its PID
(register 8 band, 9 integral s, 10 derivative s, 11 integral limit %, 39 output limit)
or ON-OFF action (band 0, hysteresis register 33); register 24 bit 0 = 1 cools instead.
Register 0 = process value scaled by register 32 (decimals), register 3 = output in
tenths of a percent (in manual mode, coil 5, the output written there is used), register
4 = working set point (ramped over register 40 minutes when register 29 is non-zero).
Alarm types (registers 22/23 bits 0-2, set points 5/6, hystereses 34/35): 1 absolute
high, 2 absolute low, 3/4 deviation high, 5 deviation low, 6 outside band, 7 inside band.
Over and under range follow the input type in register 19.

On start one line per service is printed to standard output, then READY:
  TCP_PORT=<port>
  PTY=<device path>
  LINK=<link path>
  DEVICE=<device path>
  READY
)";
}

} // namespace sim
