#include "LibmodbusSlave.h"

#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

CLibmodbusSlave::CLibmodbusSlave(modbus_t* context)
    : ctx(context), mapping(modbus_mapping_new(kCoils, 0, kRegisters, 0)) {}

CLibmodbusSlave::~CLibmodbusSlave() {
    stop = true;
    if (thread.joinable())
        thread.join();
    if (listenSocket >= 0)
        close(listenSocket);
    modbus_close(ctx);
    modbus_free(ctx);
    modbus_mapping_free(mapping);
}

std::unique_ptr<CLibmodbusSlave> CLibmodbusSlave::Rtu(const std::string& device, int slaveId) {
    modbus_t* ctx = modbus_new_rtu(device.c_str(), 19200, 'N', 8, 1);
    if (!ctx)
        return nullptr;
    std::unique_ptr<CLibmodbusSlave> slave(new CLibmodbusSlave(ctx));
    if (!slave->mapping || modbus_set_slave(ctx, slaveId) != 0 || modbus_connect(ctx) != 0)
        return nullptr;
    slave->thread = std::thread([s = slave.get()] { s->ServeRtu(); });
    return slave;
}

std::unique_ptr<CLibmodbusSlave> CLibmodbusSlave::Tcp() {
    modbus_t* ctx = modbus_new_tcp("127.0.0.1", 0);
    if (!ctx)
        return nullptr;
    std::unique_ptr<CLibmodbusSlave> slave(new CLibmodbusSlave(ctx));
    slave->listenSocket = modbus_tcp_listen(ctx, 1);
    if (!slave->mapping || slave->listenSocket < 0)
        return nullptr;
    sockaddr_in bound{};
    socklen_t size = sizeof bound;
    if (getsockname(slave->listenSocket, reinterpret_cast<sockaddr*>(&bound), &size) != 0)
        return nullptr;
    slave->port = ntohs(bound.sin_port);
    slave->thread = std::thread([s = slave.get()] { s->ServeTcp(); });
    return slave;
}

void CLibmodbusSlave::ServeRtu() {
    ServeConnection(false);
}

void CLibmodbusSlave::ServeTcp() {
    while (!stop) {
        pollfd p{listenSocket, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        if (modbus_tcp_accept(ctx, &listenSocket) < 0)
            continue;
        ServeConnection(true);
        close(modbus_get_socket(ctx));
        modbus_set_socket(ctx, -1);
    }
}

void CLibmodbusSlave::ServeConnection(bool tcp) {
    // A short indication time-out lets the thread notice the stop flag.
    modbus_set_indication_timeout(ctx, 0, 100000);
    uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
    while (!stop) {
        const int rc = modbus_receive(ctx, query);
        if (rc > 0) {
            std::lock_guard<std::mutex> hold(lock);
            ++served; // before the answer leaves, so a master that has it sees the count
            modbus_reply(ctx, query, rc, mapping);
        } else if (rc < 0 && errno != ETIMEDOUT) {
            if (tcp)
                return;        // the client went away: wait for the next one
            modbus_flush(ctx); // a damaged frame on the line
            usleep(1000);
        }
    }
}

void CLibmodbusSlave::SetRegister(int index, uint16_t value) {
    std::lock_guard<std::mutex> hold(lock);
    mapping->tab_registers[index] = value;
}

uint16_t CLibmodbusSlave::Register(int index) {
    std::lock_guard<std::mutex> hold(lock);
    return mapping->tab_registers[index];
}

void CLibmodbusSlave::SetCoil(int index, bool on) {
    std::lock_guard<std::mutex> hold(lock);
    mapping->tab_bits[index] = on ? 1 : 0;
}

bool CLibmodbusSlave::Coil(int index) {
    std::lock_guard<std::mutex> hold(lock);
    return mapping->tab_bits[index] != 0;
}
