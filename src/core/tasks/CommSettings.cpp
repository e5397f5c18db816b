#include "core/tasks/CommSettings.h"

#include "core/modbus/ModbusMaster.h"
#include "core/modbus/SerialCommPort.h"

void CommSettings::Load(IProfileStore& profile) {
    interface = profile.GetString("TipoComunicaciones", kInterfaceSerial);
    port = profile.GetString("Puerto", "");
    address = static_cast<uint16_t>(profile.GetInt("ModbusDir", 1));
    baudIndex = static_cast<uint16_t>(profile.GetInt("Baud", 3));
    parityIndex = static_cast<uint16_t>(profile.GetInt("Paridad", 0));
    ip = profile.GetString("Ip", "192.168.0.1");
    ipPort = static_cast<uint16_t>(profile.GetInt("PuertoIP", 405));
}

void CommSettings::Store(IProfileStore& profile) const {
    profile.WriteString("TipoComunicaciones", interface);
    profile.WriteString("Puerto", port);
    profile.WriteInt("ModbusDir", address);
    profile.WriteInt("Baud", baudIndex);
    profile.WriteInt("Paridad", parityIndex);
    profile.WriteString("Ip", ip);
    profile.WriteInt("PuertoIP", ipPort);
}

std::unique_ptr<CTramaModbusAsincrona> CreateMaster(const CommSettings& settings) {
    // The interface menu fills the port even for TCP/IP, so an empty port means the settings
    // were never completed, whatever the interface.
    if (settings.port.empty())
        return nullptr;
    if (settings.interface == kInterfaceSerial)
        return std::make_unique<CTramaModbusAsincrona>(
            settings.port, BaudFromIndex(static_cast<int16_t>(settings.baudIndex)),
            ParityFromIndex(static_cast<int16_t>(settings.parityIndex)), 0, 8);
    if (settings.interface == kInterfaceTcp)
        return std::make_unique<CTramaModbusAsincrona>(settings.ip, settings.ipPort);
    return nullptr;
}
