#include "support/UiTestSupport.h"

#include "SimBus.h"

#include "ui/app/MainSheet.h"
#include "ui/framework/ControlIds.h"
#include "ui/framework/QtProfileStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressBar>
#include <QSettings>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {
// Window tests run in parallel processes and each writes the profile: every process gets a
// profile and data folder of its own, set before anything reads the environment.
struct PrivateProfileFolder {
    std::filesystem::path dir;
    PrivateProfileFolder() {
        dir = std::filesystem::temp_directory_path() /
              ("calora-ui-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir / "config");
        std::filesystem::create_directories(dir / "data");
        ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    }
    ~PrivateProfileFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
};
const PrivateProfileFolder privateProfile;
} // namespace

std::string TestBinDir() {
    const char* bin = std::getenv("CALORA_TEST_BIN");
    return bin ? std::string(bin) : std::string(".");
}

void UseLanguage(const std::string& name) {
    CQtProfileStore profile;
    profile.WriteString("LanguageDll", TestBinDir() + "/Languages/" + name + ".so");
    profile.Flush();
}

void ClearConnectionProfile() {
    QSettings settings("Norvane", "Calora");
    for (const char* key : {"TipoComunicaciones", "Puerto", "ModbusDir", "Baud", "Paridad", "Ip",
                            "PuertoIP", "SerialPortMap", "SerialPortExtra"})
        settings.remove(key);
    settings.sync();
}

std::unique_ptr<CCaloraApp> MakeApp(bool demo, std::shared_ptr<sim::SimBus>* demoBus) {
    CCaloraApp::Options options;
    options.demo = demo;
    options.splashMs = 0;
    // The demo bus lives as long as the application's options hold the starter.
    auto bus = std::make_shared<sim::SimBus>([] {
        sim::SimBusOptions busOptions;
        busOptions.wireTime = false;
        return busOptions;
    }());
    bus->AddDefaultControllers();
    options.startDemoBus = [bus]() -> uint16_t { return bus->StartTcp(0, "127.0.0.1"); };
    if (demoBus)
        *demoBus = bus;
    return std::make_unique<CCaloraApp>(TestBinDir() + "/calora", options);
}

void AutoCloseBusTasks(CMainSheet& sheet, std::vector<BusTaskRecord>& records, int cancelAfterMs) {
    sheet.SetBusTaskHook([&records, cancelAfterMs](CBusTaskDlg& dialog) {
        auto* timer = new QTimer(&dialog);
        auto* clock = new QElapsedTimer;
        clock->start();
        QPointer<CBusTaskDlg> guard(&dialog);
        auto cancelled = std::make_shared<bool>(false);
        QObject::connect(timer, &QTimer::timeout, &dialog,
                         [guard, timer, clock, cancelled, &records, cancelAfterMs] {
                             if (!guard || !guard->isVisible())
                                 return;
                             CBusTaskDlg& d = *guard;
                             if (cancelAfterMs > 0 && !*cancelled &&
                                 clock->elapsed() >= cancelAfterMs && d.TaskRunning()) {
                                 *cancelled = true;
                                 d.OnButton();
                                 return;
                             }
                             if (d.TaskRunning())
                                 return;
                             QCoreApplication::sendPostedEvents(&d);
                             auto* bar = FindControl<QProgressBar>(&d, IDC_BUS_TASK_PROGRESS);
                             records.push_back({d.Mode(), d.StatusText(), d.windowTitle(),
                                                d.ButtonText(), bar ? bar->value() : -1,
                                                bar ? bar->maximum() : -1});
                             timer->stop();
                             delete clock;
                             d.OnButton();
                         });
        timer->start(20);
    });
}

bool WaitUntil(const std::function<bool()>& fn, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!fn()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}
