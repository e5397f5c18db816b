// calora: configures and monitors TQ series temperature controllers.
#include "ui/app/CaloraApp.h"

#include "SimBus.h"

#include <QApplication>

#include <cstring>
#include <exception>
#include <memory>

int main(int argc, char** argv) {
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
