// The monitoring window with its three views over a Modbus TCP bus for a long run: the shown
// view changes every 10 s so each one paints, sixteen line-graph curves are drawn, and one
// file is logged. Resident memory is printed each minute.
// Usage: bench_window_soak HOST PORT MINUTES WORKDIR [CONTROLLERS]
#include "../ResidentMemory.h"
#include "core/modbus/ModbusMaster.h"
#include "core/model/ControllerList.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/AppSession.h"
#include "core/tasks/PollingEngine.h"
#include "ui/framework/ControlIds.h"
#include "ui/framework/ResourceIds.h"
#include "ui/graph/ChartCtrl.h"
#include "ui/graph/LineGraphDlg.h"
#include "ui/monitor/MonitorDlg.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class CSoakSession : public ISession {
public:
    explicit CSoakSession(std::string dir) : dir(std::move(dir)) {}
    CommSettings& Settings() override { return settings; }
    CTQControllerModel& GetModel() override { return model; }
    CControllerList& MonitorList() override { return list; }
    int32_t& LogMode() override { return logMode; }
    std::unique_ptr<CModbusMaster> CreateMaster() const override { return nullptr; }
    std::string LogsDir() const override { return dir + "logs/"; }
    std::string GraphsDir() const override { return dir + "gf/"; }

    CommSettings settings;
    CTQControllerModel model;
    CControllerList list{"Zona"};
    int32_t logMode = 1;
    std::string dir;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s HOST PORT MINUTES WORKDIR [CONTROLLERS]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const int minutes = std::atoi(argv[3]);
    const std::string dir = std::string(argv[4]) + "/";
    const int count = argc > 5 ? std::atoi(argv[5]) : 72;
    std::filesystem::create_directories(dir + "logs");
    std::filesystem::create_directories(dir + "gf");

    CSoakSession session(dir);
    std::vector<int32_t> enabled(static_cast<size_t>(count), 1);
    std::vector<uint8_t> address;
    std::vector<std::string> name, unit;
    for (int a = 1; a <= count; ++a) {
        address.push_back(static_cast<uint8_t>(a));
        name.push_back(CControllerList::DefaultName("Zona", a));
        unit.push_back("\xC2\xBA"
                       "C");
    }
    session.list.SetEntries(enabled, address, name, unit);
    session.list.period = 1;
    CModbusMaster master(argv[1], static_cast<uint16_t>(std::atoi(argv[2])));
    if (!master.IsOpen()) {
        std::fprintf(stderr, "cannot reach %s:%s\n", argv[1], argv[2]);
        return 1;
    }

    CMonitorDlg window(master, session.logMode, session);
    window.show();
    window.EnsureInitialized();
    auto* graph = dynamic_cast<CLineGraphDlg*>(window.View(kViewLineGraph)->ViewWidget());
    for (int i = 0; i < 16 && graph != nullptr; ++i)
        graph->Chart().GetCurve(i)->SetVisible(true);

    QTimer views;
    QObject::connect(&views, &QTimer::timeout,
                     [&] { window.SelectView((window.SelectedView() + 1) % kViewCount); });
    views.start(10000);

    int minute = 0;
    std::printf("minute  resident kB  cycles  segments saved  samples held per curve\n");
    auto sample = [&] {
        size_t held = 0;
        if (graph != nullptr) {
            auto lock = graph->Chart().LockData();
            held = graph->Chart().GetCurve(0)->GetSampleCount();
        }
        std::printf("%6d  %11ld  %6llu  %14d  %22zu\n", minute, ResidentKb(),
                    static_cast<unsigned long long>(window.Engine().Cycles()),
                    graph != nullptr ? graph->SegmentsSaved() : -1, held);
        std::fflush(stdout);
    };
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        ++minute;
        sample();
        if (minute >= minutes)
            FindControl<QPushButton>(&window, IDCANCEL)->click();
    });
    sampler.start(60000);
    QObject::connect(&window, &QDialog::finished, &app, &QApplication::quit);
    sample();
    app.exec();
    std::printf("graph set: %s\n", graph != nullptr ? graph->GraphPath().c_str() : "-");
    return 0;
}
