#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <modbus.h>

// A Modbus slave made by libmodbus, serving in its own thread: 60 holding registers and
// 16 coils. Anything past them is answered with the "illegal data address" exception.
class CLibmodbusSlave {
public:
    static constexpr int kRegisters = 60;
    static constexpr int kCoils = 16;

    // RTU on a serial device, answering one slave address.
    static std::unique_ptr<CLibmodbusSlave> Rtu(const std::string& device, int slaveId);
    // TCP on 127.0.0.1 with a port the system picks.
    static std::unique_ptr<CLibmodbusSlave> Tcp();
    ~CLibmodbusSlave();

    uint16_t Port() const { return port; }
    void SetRegister(int index, uint16_t value);
    uint16_t Register(int index);
    void SetCoil(int index, bool on);
    bool Coil(int index);
    // Requests addressed to this slave that it answered (with data or an exception).
    int Served() const { return served.load(); }

private:
    explicit CLibmodbusSlave(modbus_t* ctx);
    void ServeRtu();
    void ServeTcp();
    void ServeConnection(bool tcp);

    modbus_t* ctx;
    modbus_mapping_t* mapping;
    std::mutex lock;
    int listenSocket = -1;
    uint16_t port = 0;
    std::atomic<int> served{0};
    std::atomic<bool> stop{false};
    std::thread thread;
};
