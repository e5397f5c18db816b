// Pictures of the line graph recording 72 simulated controllers and of the viewer showing
// the set it saved; written only when CALORA_SCREENSHOT_DIR names a folder.
#include "SimBus.h"
#include "core/modbus/ModbusMaster.h"
#include "core/platform/LanguageLibrary.h"
#include "ui/framework/TextProvider.h"
#include "ui/graph/ChartCtrl.h"
#include "ui/graph/GraphScaling.h"
#include "ui/graph/GraphViewerDlg.h"
#include "ui/graph/LineGraphDlg.h"

#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void Save(QWidget& window, const QString& name) {
    window.show();
    const QPixmap shot = window.grab();
    EXPECT_FALSE(shot.isNull());
    EXPECT_TRUE(
        shot.save(QDir(qEnvironmentVariable("CALORA_SCREENSHOT_DIR")).filePath(name + ".png")));
}

} // namespace

TEST(Screenshots, LineGraphOf72ControllersAndTheViewer) {
    if (qEnvironmentVariableIsEmpty("CALORA_SCREENSHOT_DIR"))
        GTEST_SKIP() << "CALORA_SCREENSHOT_DIR not set";
    QDir().mkpath(qEnvironmentVariable("CALORA_SCREENSHOT_DIR"));
    const std::string bin = qEnvironmentVariable("CALORA_TEST_BIN").toStdString() + "/";
    auto library = std::make_shared<CLanguageLibrary>();
    if (library->Load(LanguagesDirOf(bin) + "English.so"))
        SetTextProvider([library](int id) { return library->FindText(id); });

    sim::SimBusOptions options;
    options.timeScale = 0; // the picture's time is stepped below, 2 s per poll
    sim::SimBus bus(options);
    bus.AddDefaultControllers();
    auto setPoints = [&](int base) { // spread over the zones
        for (uint8_t a = 1; a <= 72; ++a)
            bus.At(a).SetRegister(1, static_cast<int16_t>(base + 3 * a));
    };
    setPoints(150);
    CModbusMaster master("127.0.0.1", bus.StartTcp());

    QTemporaryDir dir;
    std::vector<GraphController> controllers;
    for (int a = 1; a <= 72; ++a)
        controllers.push_back({static_cast<uint8_t>(a), "Zone " + std::to_string(a)});
    int tick = 0;
    auto clock = [&tick] {
        const int t = 8 * 3600 + 2 * tick++;
        return GraphTimestamp{2026,
                              12,
                              1,
                              7,
                              static_cast<uint16_t>(t / 3600),
                              static_cast<uint16_t>(t / 60 % 60),
                              static_cast<uint16_t>(t % 60),
                              0};
    };
    auto graph = std::make_unique<CLineGraphDlg>(controllers, dir.path().toStdString() + "/",
                                                 nullptr, clock);
    graph->show();
    CChartCtrl& chart = graph->Chart();
    // Process values of six zones, and the set point and output of the first.
    for (int i : {0, 1, 2, 5, 8, 11, 14, 17}) {
        chart.GetCurve(i)->SetVisible(true);
    }
    const int cycles = chart.width() + 60;
    short registers[43];
    for (int cycle = 0; cycle < cycles; ++cycle) {
        if (cycle == cycles / 2)
            setPoints(100);
        bus.Advance(2.0);
        for (uint8_t a = 1; a <= 72; ++a) {
            if (master.ReadRegisters(a, registers, 43, 16, 200) == 0)
                graph->OnData(a, registers, nullptr);
            else
                graph->OnError(a);
        }
    }
    AutoScale(chart);
    for (int i = 0; i < 240; ++i)
        chart.CursorLeft();
    Save(*graph, "line-graph");
    const std::string path = graph->GraphPath();
    graph.reset(); // writes the last segment

    CGraphViewerDlg viewer(path, dir.path().toStdString() + "/");
    viewer.EnsureInitialized();
    for (int i = 0; i < 300; ++i)
        viewer.Chart().CursorLeft();
    Save(viewer, "graph-viewer");
    SetTextProvider({});
}
