// calora-sim: a bus of simulated controllers on Modbus TCP and Modbus RTU.
#include "SimBus.h"
#include "SimOptions.h"
#include "core/Version.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <pthread.h>

namespace {

void PrintRequest(const sim::RequestRecord& r) {
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    std::fprintf(stderr, "%s addr %u fn %u start %u qty/value %u",
                 r.link == sim::Link::Tcp ? "tcp" : "rtu", r.address, r.function, r.start,
                 r.quantity);
    if (r.exception)
        std::fprintf(stderr, " exception %u", r.exception);
    if (r.fault)
        std::fprintf(stderr, " fault %s", sim::FaultKindName(*r.fault));
    std::fputc('\n', stderr);
}

} // namespace

int main(int argc, char** argv) {
    sim::SimOptions options;
    try {
        options = sim::ParseOptions({argv + 1, argv + argc});
    } catch (const std::exception& e) {
        std::cerr << "calora-sim: " << e.what() << "\n";
        return 2;
    }
    if (options.help) {
        std::cout << sim::HelpText();
        return 0;
    }
    if (options.version) {
        std::cout << "calora-sim " << kCaloraVersion << "\n";
        return 0;
    }

    // Signals are taken by sigwait below, never by the server threads. A shell may have
    // started us with SIGINT ignored; an ignored signal never reaches sigwait.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    sim::SimBus bus(options.bus);
    try {
        sim::Populate(bus, options);
        if (options.verbose)
            bus.SetRequestObserver(PrintRequest);
        if (options.tcpPort)
            std::cout << "TCP_PORT=" << bus.StartTcp(*options.tcpPort, options.tcpHost) << "\n";
        if (options.pty) {
            std::cout << "PTY=" << bus.StartPty(options.link) << "\n";
            if (!options.link.empty())
                std::cout << "LINK=" << options.link << "\n";
        }
        if (!options.device.empty()) {
            bus.StartDevice(options.device, options.deviceLine);
            std::cout << "DEVICE=" << options.device << "\n";
        }
    } catch (const std::exception& e) {
        std::cerr << "calora-sim: " << e.what() << "\n";
        bus.Stop();
        return 1;
    }
    std::cout << "READY" << std::endl;

    int received = 0;
    sigwait(&stopSignals, &received);
    bus.Stop();
    return 0;
}
