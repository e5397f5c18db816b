#include "CliConnection.h"

#include "CliProfile.h"

#include "core/modbus/ModbusMaster.h"
#include "core/modbus/SerialCommPort.h"
#include "core/platform/SerialPortList.h"
#include "core/tasks/CommSettings.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

std::optional<std::string> ResolveIPv4(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        return std::nullopt;
    char text[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const bool ok = inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) != nullptr;
    freeaddrinfo(found);
    if (!ok)
        return std::nullopt;
    return std::string(text);
}

CommSettings SettingsFromOptions(const CliOptions& options, const std::string& ip) {
    CommSettings settings;
    settings.address = options.address;
    settings.baudIndex = options.baudIndex;
    settings.parityIndex = options.parityIndex;
    if (options.useTcp) {
        settings.interface = kInterfaceTcp;
        settings.ip = ip;
        settings.ipPort = options.tcpPort;
    } else {
        settings.interface = kInterfaceSerial;
        settings.port = options.serialPort;
    }
    return settings;
}

bool PrepareSerialPort(const CliOptions& options, std::string& error) {
    if (options.useTcp || options.serialPort.front() == '/')
        return true;
    CCliProfile profile(CCliProfile::DefaultPath());
    const auto ports = EnumerateSerialPorts(profile);
    if (!ResolveSerialDevice(options.serialPort).empty())
        return true;
    error = "unknown serial port '" + options.serialPort + "'";
    if (ports.empty()) {
        error += "; no serial device was found";
    } else {
        error += "; known:";
        for (const auto& port : ports)
            error += " " + port.name + " (" + port.devicePath + ")";
    }
    return false;
}

std::unique_ptr<CModbusMaster> OpenCliMaster(const CliOptions& options, std::string& error) {
    if (!PrepareSerialPort(options, error))
        return nullptr;
    std::string ip;
    if (options.useTcp) {
        auto resolved = ResolveIPv4(options.host);
        if (!resolved) {
            error = "cannot resolve host '" + options.host + "'";
            return nullptr;
        }
        ip = *resolved;
    }
    auto master = CreateMaster(SettingsFromOptions(options, ip));
    if (!master || !master->IsOpen()) {
        if (options.useTcp)
            error = "cannot connect to " + ip + ":" + std::to_string(options.tcpPort);
        else
            error = "cannot open serial port '" + options.serialPort + "'";
        return nullptr;
    }
    return master;
}
