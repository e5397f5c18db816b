// One controller's monitoring poll (registers 0-42 in requests of 16, 16 and 11, then the
// 11 status coils in one request), repeated against the simulated bus: over TCP loopback and
// over a pseudo-terminal whose answers keep the wire time of 19200 8N1. The same frames are
// sent with libmodbus for comparison. Prints medians and ratios of this run.
#include "SimBus.h"

#include "core/modbus/ModbusMaster.h"

#include <modbus.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint8_t kAddress = 1;
constexpr int kRegisters = 43;
constexpr int kChunk = 16;
constexpr int kCoils = 11;
constexpr int kBaud = 19200;
constexpr int kBitsPerChar = 10; // 8N1: start, 8 data, stop

// Median of the cycle times in milliseconds; a failed cycle ends the run.
double MedianMs(int cycles, const std::function<bool()>& cycle) {
    std::vector<double> times;
    times.reserve(static_cast<size_t>(cycles));
    for (int i = 0; i < cycles; ++i) {
        const auto start = Clock::now();
        if (!cycle()) {
            std::fprintf(stderr, "cycle %d failed\n", i);
            std::exit(1);
        }
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool CaloraCycle(CModbusMaster& master, int wait) {
    int16_t regs[kRegisters];
    uint8_t coils[kCoils];
    try {
        return master.ReadRegisters(kAddress, regs, kRegisters, kChunk, wait) == 0 &&
               master.ReadCoils(kAddress, coils, kCoils, kCoils, wait) == 0;
    } catch (CModbusMaster::tErrorCom code) {
        std::fprintf(stderr, "calora master: error %d\n", static_cast<int>(code));
        return false;
    }
}

bool LibmodbusCycle(modbus_t* ctx) {
    uint16_t regs[kRegisters];
    uint8_t coils[kCoils];
    for (int start = 0; start < kRegisters; start += kChunk) {
        const int n = std::min(kChunk, kRegisters - start);
        if (modbus_read_registers(ctx, start, n, regs + start) != n)
            return false;
    }
    return modbus_read_bits(ctx, 0, kCoils, coils) == kCoils;
}

// Wire time of one poll at 19200 8N1, as the bus emulates it: each request, a silent
// interval of 3.5 characters, then the answer.
double WireTimeMs(int& bytes, int& frames) {
    bytes = 0;
    frames = 0;
    auto transaction = [&](int answer) {
        bytes += 8 + answer;
        ++frames;
    };
    for (int start = 0; start < kRegisters; start += kChunk)
        transaction(5 + 2 * std::min(kChunk, kRegisters - start)); // addr fn count data crc
    transaction(5 + (kCoils + 7) / 8);
    const double chars = bytes + 3.5 * frames;
    return chars * kBitsPerChar * 1000.0 / kBaud;
}

modbus_t* Connect(modbus_t* ctx) {
    if (!ctx || modbus_set_slave(ctx, kAddress) != 0 || modbus_connect(ctx) != 0) {
        std::fprintf(stderr, "libmodbus: %s\n", modbus_strerror(errno));
        std::exit(1);
    }
    return ctx;
}

void Close(modbus_t* ctx) {
    modbus_close(ctx);
    modbus_free(ctx);
}

} // namespace

int main(int argc, char** argv) {
    const int tcpCycles = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int serialCycles = argc > 2 ? std::atoi(argv[2]) : 60;
    const int wait = 200; // the controller model's base time-out

    sim::SimBusOptions options;
    options.timeScale = 0;
    options.wireTime = true;
    sim::SimBus bus(options);
    bus.AddController(kAddress, TQ100);
    const uint16_t port = bus.StartTcp(0);
    const std::string pty = bus.StartPty();

    std::printf("Poll of one controller: %d registers in requests of %d, then %d coils.\n",
                kRegisters, kChunk, kCoils);

    // TCP loopback.
    double caloraTcp = 0;
    {
        CModbusMaster master("127.0.0.1", port);
        if (!master.IsOpen())
            return 1;
        MedianMs(tcpCycles / 10, [&] { return CaloraCycle(master, wait); }); // warm-up
        caloraTcp = MedianMs(tcpCycles, [&] { return CaloraCycle(master, wait); });
    }
    double libmodbusTcp = 0;
    {
        modbus_t* ctx = Connect(modbus_new_tcp("127.0.0.1", port));
        MedianMs(tcpCycles / 10, [&] { return LibmodbusCycle(ctx); });
        libmodbusTcp = MedianMs(tcpCycles, [&] { return LibmodbusCycle(ctx); });
        Close(ctx);
    }
    std::printf("\nTCP loopback, %d cycles each:\n", tcpCycles);
    std::printf("  calora     median %8.3f ms\n", caloraTcp);
    std::printf("  libmodbus  median %8.3f ms\n", libmodbusTcp);
    std::printf("  ratio calora / libmodbus = %.2f (target <= 1.10)\n", caloraTcp / libmodbusTcp);

    // Pseudo-terminal with the wire time of 19200 8N1.
    int bytes = 0, frames = 0;
    const double wire = WireTimeMs(bytes, frames);
    double caloraSerial = 0;
    {
        CModbusMaster master(pty, kBaud, 0, 0, 8);
        if (!master.IsOpen())
            return 1;
        MedianMs(3, [&] { return CaloraCycle(master, wait); });
        caloraSerial = MedianMs(serialCycles, [&] { return CaloraCycle(master, wait); });
    }
    double libmodbusSerial = 0;
    {
        modbus_t* ctx = Connect(modbus_new_rtu(pty.c_str(), kBaud, 'N', 8, 1));
        MedianMs(3, [&] { return LibmodbusCycle(ctx); });
        libmodbusSerial = MedianMs(serialCycles, [&] { return LibmodbusCycle(ctx); });
        Close(ctx);
    }
    std::printf("\nRTU on a pseudo-terminal at emulated %d 8N1, %d cycles each:\n", kBaud,
                serialCycles);
    std::printf("  wire-time limit   %8.3f ms (%d frames, %d bytes + 3.5 characters of silence "
                "per answer, %d bits a character)\n",
                wire, frames * 2, bytes, kBitsPerChar);
    std::printf("  calora     median %8.3f ms = %.2f x wire time (target <= 1.25)\n", caloraSerial,
                caloraSerial / wire);
    std::printf("  libmodbus  median %8.3f ms = %.2f x wire time\n", libmodbusSerial,
                libmodbusSerial / wire);
    std::printf("  ratio calora / libmodbus = %.2f\n", caloraSerial / libmodbusSerial);
    bus.Stop();
    return 0;
}
