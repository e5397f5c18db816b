// The monitoring views with 72 simulated controllers, each fed one real poll over Modbus TCP.
#include "SimBus.h"
#include "core/modbus/ModbusMaster.h"
#include "core/model/ControllerList.h"
#include "core/model/TQControllerModel.h"
#include "core/platform/LanguageLibrary.h"
#include "core/platform/MemoryProfileStore.h"
#include "core/tasks/AppSession.h"
#include "ui/framework/TextProvider.h"
#include "ui/monitor/BarGraphDlg.h"
#include "ui/monitor/MonitorDlg.h"
#include "ui/monitor/OverviewDlg.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

QString ShotDir() {
    return qEnvironmentVariable("CALORA_SCREENSHOT_DIR");
}

// A bus of 72 controllers (odd TQ100, even ZI102-VA402) with some variety: decimals, set
// points, a fault or two, a controller over range. Simulated time runs on by Advance only.
struct SimulatedPlant {
    sim::SimBus bus{sim::SimBusOptions{.timeScale = 0.0}};
    std::unique_ptr<CModbusMaster> master;

    SimulatedPlant() {
        bus.AddDefaultControllers();
        for (uint8_t a = 1; a <= 72; ++a) {
            sim::Controller& c = bus.At(a);
            const int16_t d = a % 3 == 0 ? 1 : 0;
            const int16_t factor = d ? 10 : 1;
            c.SetRegister(32, d);
            c.SetRegister(30, static_cast<int16_t>(600 * factor));
            c.SetRegister(1, static_cast<int16_t>((60 + (a % 12) * 12) * factor));
        }
        bus.SetFault(40, sim::FaultKind::Silent);
        bus.Advance(240);
        master = std::make_unique<CModbusMaster>("127.0.0.1", bus.StartTcp(0));
    }

    // One read of every controller as the polling engine makes it.
    template <class OnData, class OnError> void PollOnce(OnData onData, OnError onError) {
        for (uint8_t a = 1; a <= 72; ++a) {
            short registers[43] = {};
            unsigned char coils[11] = {};
            try {
                if (master->ReadRegisters(a, registers, 43, 16, 100) == 0 &&
                    master->ReadCoils(a, coils, bus.At(a).CoilCount(), bus.At(a).CoilCount(),
                                      100) == 0) {
                    onData(a, registers, coils);
                    continue;
                }
            } catch (CModbusMaster::tErrorCom) {
            }
            onError(a);
        }
    }
};

void UseEnglish() {
    auto library = std::make_shared<CLanguageLibrary>();
    ASSERT_TRUE(library->Load(qEnvironmentVariable("CALORA_TEST_BIN").toStdString() +
                              "/Languages/English.so"));
    SetActiveLanguage(library);
    SetTextProvider([library](int id) { return library->FindText(id); });
}

void Save(QWidget& window, const QString& name) {
    window.show();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    EXPECT_TRUE(window.grab().save(QDir(ShotDir()).filePath(name + ".png"))) << name.toStdString();
}

} // namespace

TEST(Screenshots, BarGraphOf72Controllers) {
    if (ShotDir().isEmpty())
        GTEST_SKIP() << "CALORA_SCREENSHOT_DIR not set";
    QDir().mkpath(ShotDir());
    UseEnglish();
    SimulatedPlant plant;
    std::vector<CBarChart::Entry> entries;
    for (uint8_t a = 1; a <= 72; ++a)
        entries.push_back({a, QStringLiteral("Zone %1").arg(a)});
    CMemoryProfileStore profile;
    CBarGraphDlg view(entries, profile);
    plant.PollOnce([&](uint8_t a, short* r, unsigned char* c) { view.Chart().OnData(a, r, c); },
                   [&](uint8_t a) { view.Chart().OnError(a); });
    Save(view, "bar-graph-72");
    SetTextProvider({});
}

TEST(Screenshots, ControllersOverviewOf72Controllers) {
    if (ShotDir().isEmpty())
        GTEST_SKIP() << "CALORA_SCREENSHOT_DIR not set";
    QDir().mkpath(ShotDir());
    UseEnglish();
    SimulatedPlant plant;
    CControllerList list("Zone");
    COverviewDlg view(list, *plant.master, [] { return 200; });
    const CDialogUnits units = CDialogUnits::System();
    view.resize(units.X(558), units.Y(339));
    view.EnsureInitialized();
    plant.PollOnce(
        [&](uint8_t a, short* r, unsigned char* c) {
            view.OnPollStart(a);
            view.OnData(a, r, c);
            view.OnPollEnd(a);
        },
        [&](uint8_t a) {
            view.OnPollStart(a);
            view.OnError(a);
            view.OnPollEnd(a);
        });
    Save(view, "overview-72-page1");
    view.NextPage();
    Save(view, "overview-72-page2");
    view.NextPage();
    Save(view, "overview-72-page3");
    SetTextProvider({});
}

namespace {

// What the monitoring window takes from the application, over the simulated plant.
class CShotSession : public ISession {
public:
    explicit CShotSession(std::string folder) : folder(std::move(folder)) {
        QDir().mkpath(QString::fromStdString(LogsDir()));
        QDir().mkpath(QString::fromStdString(GraphsDir()));
    }
    CommSettings& Settings() override { return settings; }
    CTQControllerModel& GetModel() override { return model; }
    CControllerList& MonitorList() override { return list; }
    int32_t& LogMode() override { return logMode; }
    std::unique_ptr<CModbusMaster> CreateMaster() const override { return nullptr; }
    std::string LogsDir() const override { return folder + "/logs/"; }
    std::string GraphsDir() const override { return folder + "/gf/"; }

private:
    std::string folder;
    CommSettings settings;
    CTQControllerModel model;
    CControllerList list{"Zone"};
    int32_t logMode = 0;
};

void Settle(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

// The whole monitoring window, its polling engine reading the 72 controllers.
TEST(Screenshots, MonitoringWindowShowingEachView) {
    if (ShotDir().isEmpty())
        GTEST_SKIP() << "CALORA_SCREENSHOT_DIR not set";
    QDir().mkpath(ShotDir());
    UseEnglish();
    SimulatedPlant plant;
    QTemporaryDir folder;
    CShotSession session(folder.path().toStdString());
    CMonitorDlg window(*plant.master, 0, session);
    window.show();
    for (int i = 0; i < 2400 && window.Engine().Cycles() < 1; ++i)
        Settle(25);
    ASSERT_GE(window.Engine().Cycles(), 1u);
    Settle(200);
    Save(window, "monitor-overview");
    window.SelectView(kViewBarGraph);
    Settle(200);
    Save(window, "monitor-bar-graph");
    window.hide();
    SetTextProvider({});
}
