#include "core/tasks/CommSettings.h"

#include "core/modbus/ModbusMaster.h"
#include "core/modbus/SerialCommPort.h"
#include "core/modbus/TcpCommPort.h"

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

TransportChoice CreateTransport(const CommSettings& settings) {
    if (settings.interface == kInterfaceSerial) {
        if (settings.port.empty())
            return {};
        return {std::make_unique<CSerialCommPort>(
                    settings.port, BaudFromIndex(static_cast<int16_t>(settings.baudIndex)),
                    ParityFromIndex(static_cast<int16_t>(settings.parityIndex)), 0, 8),
                0};
    }
    if (settings.interface == kInterfaceTcp)
        return {std::make_unique<CTcpCommPort>(settings.ip, settings.ipPort), 1};
    return {};
}

std::unique_ptr<CModbusMaster> CreateMaster(const CommSettings& settings) {
    TransportChoice choice = CreateTransport(settings);
    if (!choice.port)
        return nullptr;
    return std::make_unique<CModbusMaster>(std::move(choice.port), choice.mode);
}
