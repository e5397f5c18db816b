// calora: configures and monitors TQ series temperature controllers.
#include "core/Version.h"
#include "ui/app/CaloraApp.h"

#include "SimBus.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

namespace {

const char* const kHelp =
    "Usage: calora [--demo] [QT-OPTIONS]\n"
    "Configures and monitors TQ series temperature controllers (TQ100 and ZI102-VA402) over\n"
    "Modbus RTU on a serial line or Modbus TCP: finds a controller on the bus, reads, edits\n"
    "and writes its parameters, keeps them in .TQ configuration files, shows one controller\n"
    "live and monitors up to 72 at once with log and graph files.\n"
    "\n"
    "Options:\n"
    "  --demo       work on a simulated bus of 72 controllers (Modbus TCP on a free\n"
    "               loopback port); the saved connection settings are left alone\n"
    "  -h, --help   print this help and exit\n"
    "  --version    print the version and exit\n"
    "The windowing system's options are taken too, such as -platform NAME and -style NAME.\n"
    "\n"
    "Files:\n"
    "  ~/.config/Norvane/Calora.conf     connection settings, language and bar graph\n"
    "                                    hysteresis\n"
    "  ~/.local/share/Norvane/Calora/    log files (logs/) and graph files (gf/) when the\n"
    "                                    program's own folder is not writable\n"
    "\n"
    "calora-cli(1) does the same work from the command line; calora-sim(1) is a simulated\n"
    "bus to learn and test on.\n";

} // namespace

int main(int argc, char** argv) {
    // Answered before any window exists, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("calora %s\n", kCaloraVersion);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
    }
    QApplication qtApp(argc, argv);
    CCaloraApp::Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--demo") == 0)
            options.demo = true;
    }
    // The demo bus: controllers 1 to 72 (odd ones TQ100, even ones ZI102-VA402) on a free
    // loopback port, for as long as the program runs.
    std::unique_ptr<sim::SimBus> demoBus;
    options.startDemoBus = [&demoBus]() -> uint16_t {
        try {
            sim::SimBusOptions busOptions;
            busOptions.wireTime = false;
            demoBus = std::make_unique<sim::SimBus>(busOptions);
            demoBus->AddDefaultControllers();
            return demoBus->StartTcp(0, "127.0.0.1");
        } catch (const std::exception&) {
            demoBus.reset();
            return 0;
        }
    };
    int status = 0;
    {
        CCaloraApp app(QCoreApplication::applicationFilePath().toStdString(), options);
        status = app.Run();
    }
    if (demoBus)
        demoBus->Stop();
    return status;
}
