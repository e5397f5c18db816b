#include "CliArgs.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>

namespace {

// Decimal, or hexadecimal with a 0x prefix; the whole text must be the number.
std::optional<long> ParseInteger(const std::string& text, long minimum, long maximum) {
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
        negative = digits[0] == '-';
        digits.remove_prefix(1);
    }
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.remove_prefix(2);
    }
    if (digits.empty() || digits[0] == '-' || digits[0] == '+')
        return std::nullopt;
    long value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (ec != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    if (negative)
        value = -value;
    if (value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

std::optional<CliCommand> CommandFromName(const std::string& name) {
    if (name == "read")
        return CliCommand::Read;
    if (name == "write")
        return CliCommand::Write;
    if (name == "coil")
        return CliCommand::Coil;
    if (name == "probe")
        return CliCommand::Probe;
    if (name == "scan")
        return CliCommand::Scan;
    if (name == "graph")
        return CliCommand::Graph;
    if (name == "config")
        return CliCommand::Config;
    if (name == "monitor")
        return CliCommand::Monitor;
    return std::nullopt;
}

size_t OperandCount(CliCommand command) {
    switch (command) {
    case CliCommand::Write:
    case CliCommand::Coil:
    case CliCommand::Graph:
    case CliCommand::Config:
        return 2;
    case CliCommand::Monitor:
        return 1;
    default:
        return 0;
    }
}

std::string ParseOperands(CliOptions& o, const std::vector<std::string>& operands) {
    const size_t wanted = OperandCount(o.command);
    if (operands.size() < wanted)
        return std::string(CliCommandName(o.command)) + ": missing operand";
    if (operands.size() > wanted)
        return std::string(CliCommandName(o.command)) + ": unexpected argument '" +
               operands[wanted] + "'";
    if (o.command == CliCommand::Write) {
        auto reg = ParseInteger(operands[0], 0, 65535);
        if (!reg)
            return "write: register must be a number from 0 to 65535, not '" + operands[0] + "'";
        // A register holds a signed word; its unsigned spelling is accepted too.
        auto value = ParseInteger(operands[1], -32768, 65535);
        if (!value)
            return "write: value must be a number from -32768 to 65535, not '" + operands[1] + "'";
        o.reg = static_cast<uint16_t>(*reg);
        o.value = static_cast<uint16_t>(*value & 0xFFFF);
    } else if (o.command == CliCommand::Coil) {
        auto coil = ParseInteger(operands[0], 0, 65535);
        if (!coil)
            return "coil: coil number must be from 0 to 65535, not '" + operands[0] + "'";
        o.coil = static_cast<uint16_t>(*coil);
        if (operands[1] == "on" || operands[1] == "1")
            o.coilOn = true;
        else if (operands[1] == "off" || operands[1] == "0")
            o.coilOn = false;
        else
            return "coil: state must be 'on' or 'off', not '" + operands[1] + "'";
    } else if (o.command == CliCommand::Graph) {
        if (operands[0] != "export")
            return "graph: unknown action '" + operands[0] + "' (export)";
        o.graphFile = operands[1];
    } else if (o.command == CliCommand::Config) {
        if (operands[0] == "save")
            o.configAction = CliConfigAction::Save;
        else if (operands[0] == "show")
            o.configAction = CliConfigAction::Show;
        else if (operands[0] == "write")
            o.configAction = CliConfigAction::Write;
        else
            return "config: unknown action '" + operands[0] + "' (save, show or write)";
        o.configFile = operands[1];
    } else if (o.command == CliCommand::Monitor) {
        o.configFile = operands[0];
    }
    return {};
}

// HOST[:PORT] of --tcp and --mqtt; the port is left as it was when none is given.
std::string ParseHostAndPort(const std::string& option, const std::string& value, const char* what,
                             std::string& host, uint16_t& port) {
    std::string name = value;
    const size_t colon = value.rfind(':');
    if (colon != std::string::npos) {
        name = value.substr(0, colon);
        const auto number = ParseInteger(value.substr(colon + 1), 1, 65535);
        if (!number)
            return option + ": port must be a number from 1 to 65535 in '" + value + "'";
        port = static_cast<uint16_t>(*number);
    }
    if (name.empty())
        return option + " needs " + what;
    host = name;
    return {};
}

std::string ApplyMqttOption(CliOptions& o, const std::string& name, const std::string& value) {
    if (name == "--mqtt") {
        return ParseHostAndPort(name, value, "a broker's host name or address", o.mqttHost,
                                o.mqttPort);
    } else if (name == "--mqtt-topic") {
        // Wildcards are for subscribers; a publisher's topic is plain.
        if (value.empty() || value.find_first_of("+#") != std::string::npos)
            return "--mqtt-topic must be a topic without + or #, not '" + value + "'";
        o.mqttTopic = value;
    } else if (name == "--mqtt-client-id") {
        if (value.empty())
            return "--mqtt-client-id needs an identifier";
        o.mqttClientId = value;
    } else if (name == "--mqtt-user") {
        if (value.empty())
            return "--mqtt-user needs a user name";
        o.mqttUser = value;
    } else if (name == "--mqtt-password-file") {
        if (value.empty())
            return "--mqtt-password-file needs a file";
        o.mqttPasswordFile = value;
    } else if (name == "--mqtt-cafile") {
        if (value.empty())
            return "--mqtt-cafile needs a file";
        o.mqttCaFile = value;
    } else if (name == "--mqtt-qos") {
        auto qos = ParseInteger(value, 0, 1);
        if (!qos)
            return "--mqtt-qos must be 0 or 1, not '" + value + "'";
        o.mqttQos = static_cast<int>(*qos);
    } else if (name == "--mqtt-queue") {
        auto queue = ParseInteger(value, 1, 10000000);
        if (!queue)
            return "--mqtt-queue must be a number of messages from 1 up, not '" + value + "'";
        o.mqttQueue = static_cast<int>(*queue);
    } else {
        return "unknown option '" + name + "'";
    }
    return {};
}

std::string ApplyOption(CliOptions& o, const std::string& name, const std::string& value) {
    if (name == "--port") {
        if (value.empty())
            return "--port needs a port name";
        o.serialPort = value;
    } else if (name == "--baud") {
        static const char* const rates[] = {"2400", "4800", "9600", "19200"};
        bool found = false;
        for (uint16_t i = 0; i < 4; ++i) {
            if (value == rates[i]) {
                o.baudIndex = i;
                found = true;
            }
        }
        if (!found)
            return "--baud must be 2400, 4800, 9600 or 19200, not '" + value + "'";
    } else if (name == "--parity") {
        if (value == "N" || value == "n")
            o.parityIndex = 0;
        else if (value == "E" || value == "e")
            o.parityIndex = 1;
        else if (value == "O" || value == "o")
            o.parityIndex = 2;
        else
            return "--parity must be N, E or O, not '" + value + "'";
    } else if (name == "--tcp") {
        o.useTcp = true;
        return ParseHostAndPort(name, value, "a host name or address", o.host, o.tcpPort);
    } else if (name == "--address") {
        // One address, or a list of addresses and ranges: 1,3,5-8.
        o.addressList.clear();
        const std::string bad = "--address must be an address from 1 to 255 or a list such as "
                                "1,3,5-8, not '" +
                                value + "'";
        size_t start = 0;
        while (start <= value.size()) {
            const size_t comma = std::min(value.find(',', start), value.size());
            const std::string item = value.substr(start, comma - start);
            const size_t dash = item.find('-', 1);
            auto first = ParseInteger(item.substr(0, dash), 1, 255);
            auto last =
                dash == std::string::npos ? first : ParseInteger(item.substr(dash + 1), 1, 255);
            if (!first || !last || *last < *first)
                return bad;
            for (long a = *first; a <= *last; ++a)
                o.addressList.push_back(static_cast<uint16_t>(a));
            start = comma + 1;
        }
        o.address = o.addressList.front();
    } else if (name == "--segment") {
        auto segment = ParseInteger(value, 0, 1000000);
        if (!segment)
            return "--segment must be a number from 0, not '" + value + "'";
        o.graphSegment = static_cast<int>(*segment);
    } else if (name == "--cycles") {
        auto cycles = ParseInteger(value, 1, 1000000000);
        if (!cycles)
            return "--cycles must be a number from 1 up, not '" + value + "'";
        o.cycles = static_cast<int>(*cycles);
    } else if (name == "--logs") {
        if (value.empty())
            return "--logs needs a folder";
        o.logsDir = value;
    } else if (name == "--log-mode") {
        auto mode = ParseInteger(value, 0, 2);
        if (!mode)
            return "--log-mode must be 0 (none), 1 (one file) or 2 (a file per controller), "
                   "not '" +
                   value + "'";
        o.logMode = static_cast<int>(*mode);
    } else if (name == "--period") {
        auto period = ParseInteger(value, 1, 900);
        if (!period)
            return "--period must be a number of seconds from 1 to 900, not '" + value + "'";
        o.period = static_cast<int>(*period);
    } else if (name.rfind("--mqtt", 0) == 0) {
        return ApplyMqttOption(o, name, value);
    } else {
        return "unknown option '" + name + "'";
    }
    return {};
}

bool IsMqttOption(const std::string& name) {
    return name == "--mqtt" || name == "--mqtt-topic" || name == "--mqtt-client-id" ||
           name == "--mqtt-user" || name == "--mqtt-password-file" || name == "--mqtt-cafile" ||
           name == "--mqtt-qos" || name == "--mqtt-queue";
}

bool TakesValue(const std::string& name) {
    return name == "--port" || name == "--baud" || name == "--parity" || name == "--tcp" ||
           name == "--address" || name == "--segment" || name == "--cycles" || name == "--logs" ||
           name == "--log-mode" || name == "--period" || IsMqttOption(name);
}

bool IsOption(const std::string& arg) {
    // "-5" is a value (write 3 -5), not an option.
    return arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9');
}

// The command as the option table names it: the action counts for graph and config.
std::string CommandKey(const CliOptions& o) {
    std::string key = CliCommandName(o.command);
    if (o.command == CliCommand::Graph)
        key += " export";
    if (o.command == CliCommand::Config)
        key += o.configAction == CliConfigAction::Save   ? " save"
               : o.configAction == CliConfigAction::Show ? " show"
                                                         : " write";
    return key;
}

// The commands that take each option, '|'-separated; an option on any other command's line
// is refused rather than silently ignored. --help goes with every command.
const char* CommandsTaking(const std::string& option) {
    static constexpr const char* kBus =
        "|read|write|coil|probe|scan|config save|config write|monitor|";
    static const std::pair<const char*, const char*> kTable[] = {
        {"--port", kBus},
        {"--baud", kBus},
        {"--parity", kBus},
        {"--tcp", kBus},
        // scan searches every address; monitor takes its addresses from the file.
        {"--address", "|read|write|coil|probe|config save|config write|"},
        {"--json", "|read|config show|"},
        {"--lines", "|scan|"},
        {"--segment", "|graph export|"},
        {"--all", "|graph export|"},
        {"--cycles", "|monitor|"},
        {"--logs", "|monitor|"},
        {"--log-mode", "|monitor|"},
        {"--period", "|monitor|"},
        {"--skip-invalid", "|config write|"},
        {"--mqtt", "|monitor|"},
        {"--mqtt-topic", "|monitor|"},
        {"--mqtt-client-id", "|monitor|"},
        {"--mqtt-user", "|monitor|"},
        {"--mqtt-password-file", "|monitor|"},
        {"--mqtt-cafile", "|monitor|"},
        {"--mqtt-qos", "|monitor|"},
        {"--mqtt-queue", "|monitor|"},
    };
    for (const auto& [name, commands] : kTable)
        if (option == name)
            return commands;
    return nullptr;
}

std::string CheckOptionsBelong(const CliOptions& o, const std::vector<std::string>& seen) {
    const std::string key = CommandKey(o);
    for (const std::string& option : seen) {
        const char* commands = CommandsTaking(option);
        if (commands == nullptr || std::string(commands).find("|" + key + "|") != std::string::npos)
            continue;
        std::string list(commands + 1, std::strlen(commands) - 2);
        for (size_t bar = list.find('|'); bar != std::string::npos; bar = list.find('|', bar))
            list.replace(bar, 1, ", ");
        return key + " takes no " + option + " (it applies to " + list + ")";
    }
    return {};
}

std::string Check(const CliOptions& o, const std::vector<std::string>& seen) {
    if (o.command == CliCommand::None)
        return "no command given (read, write, coil, probe, scan, graph, config or monitor)";
    if (std::string error = CheckOptionsBelong(o, seen); !error.empty())
        return error;
    auto saw = [&](const char* option) {
        return std::find(seen.begin(), seen.end(), option) != seen.end();
    };
    const bool configWrite =
        o.command == CliCommand::Config && o.configAction == CliConfigAction::Write;
    if (o.addressList.size() > 1 && !configWrite)
        return "a list of addresses applies to config write only";
    if (configWrite && o.addressList.empty())
        return "config write: give --address with the controllers to write";
    if (saw("--all") && saw("--segment"))
        return "--segment and --all exclude each other";
    if (!o.serialPort.empty() && o.useTcp)
        return "--port and --tcp exclude each other";
    // monitor falls back on the desktop program's connection settings; the file commands
    // take none (the table above has refused one already).
    const bool needsConnection =
        o.command != CliCommand::Monitor && o.command != CliCommand::Graph &&
        !(o.command == CliCommand::Config && o.configAction == CliConfigAction::Show);
    if (needsConnection && o.serialPort.empty() && !o.useTcp)
        return std::string(CliCommandName(o.command)) + ": give --port or --tcp";
    if (o.useTcp && (saw("--baud") || saw("--parity")))
        return "--baud and --parity apply to a serial port, not to --tcp";
    if (o.scanLines && o.useTcp)
        return "scan --lines searches serial line settings; it needs --port";
    if (o.mqttHost.empty())
        for (const std::string& option : seen)
            if (option.rfind("--mqtt-", 0) == 0)
                return option + " applies only with --mqtt";
    if (!o.mqttPasswordFile.empty() && o.mqttUser.empty())
        return "--mqtt-password-file needs --mqtt-user";
    return {};
}

} // namespace

const char* CliCommandName(CliCommand command) {
    switch (command) {
    case CliCommand::Read:
        return "read";
    case CliCommand::Write:
        return "write";
    case CliCommand::Coil:
        return "coil";
    case CliCommand::Probe:
        return "probe";
    case CliCommand::Scan:
        return "scan";
    case CliCommand::Monitor:
        return "monitor";
    case CliCommand::Graph:
        return "graph";
    case CliCommand::Config:
        return "config";
    case CliCommand::None:
        break;
    }
    return "";
}

CliParseResult ParseCliArgs(const std::vector<std::string>& args) {
    CliParseResult result;
    CliOptions& o = result.options;
    std::vector<std::string> operands;
    std::vector<std::string> seen; // option names as given, for the per-command check
    bool endOfOptions = false;

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!endOfOptions && arg == "--") {
            endOfOptions = true;
            continue;
        }
        if (!endOfOptions && IsOption(arg)) {
            std::string name = arg;
            std::string value;
            bool hasValue = false;
            const size_t eq = arg.find('=');
            if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
                hasValue = true;
            }
            if (hasValue && !TakesValue(name)) {
                result.error = name + " takes no value";
                return result;
            }
            seen.push_back(name);
            if (name == "--help" || name == "-h") {
                o.help = true;
            } else if (name == "--version") {
                o.version = true;
            } else if (name == "--json") {
                o.json = true;
            } else if (name == "--lines") {
                o.scanLines = true;
            } else if (name == "--skip-invalid") {
                o.skipInvalid = true;
            } else if (name == "--all") {
                // the default; named only to be explicit
            } else if (TakesValue(name)) {
                if (!hasValue) {
                    if (i + 1 >= args.size()) {
                        result.error = name + " needs a value";
                        return result;
                    }
                    value = args[++i];
                }
                result.error = ApplyOption(o, name, value);
                if (!result.Ok())
                    return result;
            } else {
                result.error = "unknown option '" + name + "'";
                return result;
            }
            continue;
        }
        if (o.command == CliCommand::None) {
            auto command = CommandFromName(arg);
            if (!command) {
                result.error = "unknown command '" + arg + "'";
                return result;
            }
            o.command = *command;
            continue;
        }
        operands.push_back(arg);
    }

    // Help and the version win over everything else on the line, so "read --help" works
    // without a port.
    if (o.help || o.version)
        return result;
    result.error = ParseOperands(o, operands);
    if (result.Ok())
        result.error = Check(o, seen);
    return result;
}

std::string CliUsage(CliCommand command) {
    const std::string connection =
        "Connection (one of):\n"
        "  --port NAME          serial port: a listed name such as COM1: or a device path\n"
        "    --baud RATE        2400, 4800, 9600 or 19200 (default 19200)\n"
        "    --parity N|E|O     none, even or odd (default N); always 8 data bits, 1 stop bit\n"
        "  --tcp HOST[:PORT]    Modbus TCP (default port 405)\n";
    // scan searches every address and monitor takes them from its file.
    const std::string address =
        "  --address N          Modbus address of the controller, 1-255 (default 1)\n";
    switch (command) {
    case CliCommand::Read:
        return "Usage: calora-cli read [--json] CONNECTION\n"
               "Reads a controller's family (register 56), all its parameter registers\n"
               "(54 on a TQ100, 43 on a ZI102-VA402) and its status coils.\n"
               "  --json               print {\"family\": ..., \"registers\": [...], "
               "\"coils\": [...]}\n" +
               connection + address;
    case CliCommand::Write:
        return "Usage: calora-cli write REG VALUE CONNECTION\n"
               "Writes one holding register (function 6) and prints the value the controller\n"
               "echoed. VALUE is -32768..32767 (or its unsigned form up to 65535).\n" +
               connection + address;
    case CliCommand::Coil:
        return "Usage: calora-cli coil N on|off CONNECTION\n"
               "Switches one coil (function 5) and prints the echoed state.\n" +
               connection + address;
    case CliCommand::Probe:
        return "Usage: calora-cli probe CONNECTION\n"
               "Asks for register 0 once, without retries, to see whether the address "
               "answers.\n" +
               connection + address;
    case CliCommand::Scan:
        return "Usage: calora-cli scan [--lines] CONNECTION\n"
               "Searches addresses 1 to 255 for the first controller that answers and prints\n"
               "its address and line settings.\n"
               "  --lines              also try every serial line setting (19200 down to 2400\n"
               "                       baud, parity none, even, odd); serial only\n" +
               connection;
    case CliCommand::Graph:
        return "Usage: calora-cli graph export FILE.gf [--segment S | --all]\n"
               "Writes a saved line graph as CSV to standard output: a line\n"
               "time,<controller> <variable>,... then one line per sample time (ISO 8601\n"
               "local time) with each curve's value; a missing sample is an empty cell.\n"
               "  --segment S          only segment S (0 is the first)\n"
               "  --all                every segment (the default)\n"
               "Exit status: 0 success, 1 a missing or damaged file, 2 usage error.\n";
    case CliCommand::Config:
        return "Usage: calora-cli config save FILE.TQ --address N CONNECTION\n"
               "       calora-cli config show FILE.TQ [--json]\n"
               "       calora-cli config write FILE.TQ --address LIST [--skip-invalid] "
               "CONNECTION\n"
               "save: reads every parameter of one controller and saves a configuration file\n"
               "  as the program's Save does (log mode 0, the default monitoring list).\n"
               "show: prints the file's family, registers, log mode and monitoring list.\n"
               "write: for each address of LIST (such as 1,3,5-8) checks the family and writes\n"
               "  every parameter; one line per controller, progress on standard error; a\n"
               "  controller written only in part lists the registers written and not.\n"
               "Values of the file outside their parameter's range are named on standard\n"
               "error; show prints the value kept instead, and write refuses the file.\n"
               "  --skip-invalid       write: write the rest, leaving those parameters as the\n"
               "                       controller holds them\n"
               "Exit status: 0 success (every controller written), 1 a bus or file failure,\n"
               "2 usage error.\n" +
               connection + address;
    case CliCommand::Monitor:
        return "Usage: calora-cli monitor FILE.TQ [CONNECTION] [--cycles N] [--logs DIR]\n"
               "                          [--log-mode 0|1|2] [--period S] [--mqtt HOST]\n"
               "Polls the enabled controllers of a configuration file's monitoring list once\n"
               "per sampling period and records them in the log files, as the monitoring\n"
               "window does. Prints one line per cycle (number, controllers read, failed,\n"
               "cycle time); lines a stalled reader does not take are dropped, and counted on\n"
               "standard error. Ctrl-C or SIGTERM stops after the controller being read,\n"
               "keeping every complete row. A log file that cannot be created or written ends\n"
               "the run with exit status 1. Without a connection the desktop program's settings\n"
               "are used.\n"
               "  --cycles N           stop after N complete cycles\n"
               "  --logs DIR           folder of the day folders (default: the program's logs\n"
               "                       folder)\n"
               "  --log-mode M         0 none, 1 one file, 2 a file per controller (default:\n"
               "                       the file's)\n"
               "  --period S           sampling period, 1-900 seconds (default: the file's)\n"
               "  --mqtt HOST[:PORT]   also publish every cycle to an MQTT broker (default port\n"
               "                       1883): one JSON message per controller on PREFIX/ADDRESS,\n"
               "                       and PREFIX/status online/offline (retained). Messages\n"
               "                       wait while the broker is away; the cycle line then says\n"
               "                       'mqtt: queued N, dropped M'\n"
               "    --mqtt-topic PREFIX         topic prefix (default calora)\n"
               "    --mqtt-client-id ID         client identifier (default calora-HOST-PID)\n"
               "    --mqtt-user USER            log in as USER\n"
               "    --mqtt-password-file FILE   the password: the first line of FILE\n"
               "    --mqtt-cafile FILE          TLS, trusting the certificates in FILE\n"
               "    --mqtt-qos 0|1              quality of service (default 1)\n"
               "    --mqtt-queue N              messages kept while the broker is away; the\n"
               "                                oldest go first (default 10000)\n" +
               connection;
    case CliCommand::None:
        break;
    }
    return "Usage: calora-cli COMMAND [ARGS] CONNECTION [--help]\n"
           "  or:  calora-cli --version\n"
           "Commands:\n"
           "  read                 read the family, registers and status coils\n"
           "  write REG VALUE      write one holding register\n"
           "  coil N on|off        switch one coil\n"
           "  probe                check whether an address answers\n"
           "  scan                 find a controller on the bus\n"
           "  graph export FILE.gf write a saved line graph as CSV (no connection)\n"
           "  config save|show|write FILE.TQ  configuration files\n"
           "  monitor FILE.TQ      poll and log a configuration's monitoring list\n"
           "'calora-cli COMMAND --help' describes one command.\n"
           "Exit status: 0 success, 1 bus failure or output not written, 2 usage error.\n\n" +
           connection + address;
}
