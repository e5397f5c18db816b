#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class CliCommand { None, Read, Write, Coil, Probe, Scan, Graph, Config, Monitor };
enum class CliConfigAction { Save, Show, Write };

// Everything the command line says, checked but not yet acted on.
struct CliOptions {
    CliCommand command = CliCommand::None;
    bool help = false;
    bool version = false; // --version: print the release and do nothing else

    // Connection: a serial port ("COMn:" or a device path) or a TCP host.
    bool useTcp = false;
    std::string serialPort;
    uint16_t baudIndex = 3;   // 0..3 = 2400, 4800, 9600, 19200
    uint16_t parityIndex = 0; // 0 none, 1 even, 2 odd (the settings' order)
    std::string host;
    uint16_t tcpPort = 405;
    uint16_t address = 1;

    bool json = false;      // read
    bool scanLines = false; // scan: every line setting (mode 1) instead of addresses only

    uint16_t reg = 0;    // write
    uint16_t value = 0;  // write, as the 16-bit word sent
    uint16_t coil = 0;   // coil
    bool coilOn = false; // coil

    std::string graphFile;                                // graph export
    CliConfigAction configAction = CliConfigAction::Show; // config
    std::string configFile;                               // config
    bool skipInvalid = false;          // config write: leave out the file's out-of-range words
    std::vector<uint16_t> addressList; // --address as given: one address, or a list (1,3,5-8)
    int graphSegment = -1;             // graph export: one segment, or -1 for all

    // monitor: configFile is the configuration file; these override it.
    int cycles = 0;      // stop after this many complete cycles; 0 = until a signal
    std::string logsDir; // "" = the desktop program's logs folder
    int logMode = -1;    // -1 = the file's
    int period = 0;      // seconds; 0 = the file's

    // monitor --mqtt: publish every cycle to a broker ("" = do not).
    std::string mqttHost;
    uint16_t mqttPort = 1883;
    std::string mqttTopic = "calora";
    std::string mqttClientId; // "" = calora-<hostname>-<pid>
    std::string mqttUser;
    std::string mqttPasswordFile; // the password is never given on the command line
    std::string mqttCaFile;
    int mqttQos = 1;
    int mqttQueue = 10000;
};

struct CliParseResult {
    CliOptions options;
    std::string error; // empty when the line was understood
    bool Ok() const { return error.empty(); }
};

// args excludes the program name. Options may stand before or after the command.
CliParseResult ParseCliArgs(const std::vector<std::string>& args);

// Help text of one command, or the general one for CliCommand::None.
std::string CliUsage(CliCommand command);
const char* CliCommandName(CliCommand command);
