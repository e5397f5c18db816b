// The line graph inside the monitoring window, fed by the polling engine from simulated
// controllers: the chooser only when asked for, one time-line entry per cycle even with an address
// listed twice, the set on closing.
#include "SimBus.h"
#include "core/files/GraphSet.h"
#include "core/modbus/ModbusMaster.h"
#include "core/model/ControllerList.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/AppSession.h"
#include "support/RecordingUiServices.h"
#include "ui/framework/ControlIds.h"
#include "ui/framework/ResourceIds.h"
#include "ui/graph/ChartCtrl.h"
#include "ui/graph/GraphResourceIds.h"
#include "ui/graph/LineGraphDlg.h"
#include "ui/monitor/MonitorDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

class CGraphSession : public ISession {
public:
    explicit CGraphSession(std::string dir) : dir(std::move(dir)) {}
    CommSettings& Settings() override { return settings; }
    CTQControllerModel& GetModel() override { return model; }
    CControllerList& MonitorList() override { return list; }
    int32_t& LogMode() override { return logMode; }
    std::unique_ptr<CModbusMaster> CreateMaster() const override { return nullptr; }
    std::string LogsDir() const override { return dir + "logs/"; }
    std::string GraphsDir() const override { return dir + "gf/"; }

    CommSettings settings;
    CTQControllerModel model;
    CControllerList list{"Zone"};
    int32_t logMode = 0;
    std::string dir;
};

bool Wait(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 15000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
}

TEST(LineGraphViewTest, RecordsEveryCycleOfTheSimulatedBusAndSavesOnClosing) {
    const fs::path dir =
        fs::temp_directory_path() / ("calora-linegraph-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "gf");
    CGraphSession session(dir.string() + "/");
    sim::SimBusOptions options;
    options.timeScale = 0;
    sim::SimBus bus(options);
    for (uint8_t a : {1, 2, 3})
        bus.AddController(a, ModelFamily::TQ100);
    // Entry B is not polled, so it gets no curves.
    ASSERT_TRUE(session.list.SetEntries({1, 0, 1, 1}, {1, 2, 3, 3}, {"A", "B", "C", "D"},
                                        {"F", "F", "F", "F"}));
    session.list.period = 1;
    CModbusMaster master("127.0.0.1", bus.StartTcp());
    CRecordingUiServices ui;
    CScopedUiServices services(ui);
    ui.colorAnswers.push_back(QColor(Qt::red));
    std::vector<int> asked;
    CScopedModalHandler chooser([&](CDialogBase& dlg) {
        asked.push_back(dlg.TemplateId());
        dlg.Control<QListWidget>(IDC_CURVES_AVAILABLE)->setCurrentRow(0);
        dlg.Control<QPushButton>(IDC_CURVES_ADD)->click();
        dlg.Control<QPushButton>(IDOK)->click();
    });

    std::string path;
    {
        CMonitorDlg window(master, 0, session);
        window.show();
        window.EnsureInitialized();
        auto* graph = dynamic_cast<CLineGraphDlg*>(window.View(kViewLineGraph)->ViewWidget());
        ASSERT_NE(nullptr, graph);
        EXPECT_EQ(9, graph->Chart().GetCurveCount()); // three enabled entries
        EXPECT_LE(graph->width(), window.ViewAreaSize().width());
        EXPECT_LE(graph->height(), window.ViewAreaSize().height());
        auto* views = FindControl<QComboBox>(&window, IDC_MONITOR_VIEW_CHOOSER);
        views->setCurrentIndex(kViewLineGraph);
        emit views->activated(kViewLineGraph);
        ASSERT_TRUE(graph->isVisible());
        QTest::qWait(50);
        EXPECT_TRUE(asked.empty()) << "switching views asks for nothing";
        // The curves are chosen when asked for.
        FindControl<QPushButton>(graph, IDC_LINE_CHOOSE)->click();
        EXPECT_EQ(std::vector<int>{IDD_CURVE_CHOOSER}, asked);
        ASSERT_TRUE(Wait([&] { return window.Engine().Cycles() >= 2; }));
        path = graph->GraphPath();
        FindControl<QPushButton>(&window, IDCANCEL)->click();
    }
    GraphFileProblem problem;
    auto set = LoadGraphSegment(path, 0, problem);
    ASSERT_TRUE(set.has_value()) << problem.file << ": " << problem.detail;
    ASSERT_EQ(9u, set->entries.size());
    EXPECT_EQ("D", set->entries[6].controllerName);
    EXPECT_TRUE(set->entries[1].visible); // "A: Out" sorts first
    ASSERT_EQ(9u, set->PointsFileCount());
    const size_t cycles = set->timeline.size();
    EXPECT_GE(cycles, 2u);
    for (size_t i = 0; i < 9; ++i) {
        const auto& samples = set->points[i]->samples;
        EXPECT_EQ(cycles, samples.size()) << i;
        for (float v : samples)
            EXPECT_TRUE(std::isfinite(v)) << i;
    }
    fs::remove_all(dir);
}

} // namespace
