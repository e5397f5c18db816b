// Pictures of the monitoring window polling 72 simulated controllers, in each language;
// written only when CALORA_SCREENSHOT_DIR names a folder.
#include "SimBus.h"
#include "core/modbus/ModbusMaster.h"
#include "core/platform/LanguageLibrary.h"
#include "support/TestSession.h"
#include "ui/framework/TextProvider.h"
#include "ui/monitor/MonitorDlg.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void Save(QWidget& window, const QString& name) {
    const QPixmap shot = window.grab();
    EXPECT_FALSE(shot.isNull());
    EXPECT_TRUE(
        shot.save(QDir(qEnvironmentVariable("CALORA_SCREENSHOT_DIR")).filePath(name + ".png")));
}

void Serve(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

TEST(Screenshots, MonitoringWindowInEachLanguage) {
    if (qEnvironmentVariableIsEmpty("CALORA_SCREENSHOT_DIR"))
        GTEST_SKIP() << "CALORA_SCREENSHOT_DIR not set";
    QDir().mkpath(qEnvironmentVariable("CALORA_SCREENSHOT_DIR"));
    const std::string languages =
        LanguagesDirOf(qEnvironmentVariable("CALORA_TEST_BIN").toStdString() + "/");

    sim::SimBusOptions options;
    options.timeScale = 0;
    sim::SimBus bus(options);
    bus.AddDefaultControllers();
    CModbusMaster master("127.0.0.1", bus.StartTcp());
    QTemporaryDir dir;
    CTestSession session(dir.path().toStdString() + "/");
    session.list.period = 2;
    QDir().mkpath(QString::fromStdString(session.GraphsDir()));

    for (const char* language : {"English", "Espanol", "Italiano"}) {
        auto library = std::make_shared<CLanguageLibrary>();
        ASSERT_TRUE(library->Load(languages + language + ".so"));
        SetTextProvider([library](int id) { return library->FindText(id); });
        CMonitorDlg dialog(master, 0, session);
        dialog.show();
        dialog.EnsureInitialized();
        QElapsedTimer clock;
        clock.start();
        while (dialog.Engine().Cycles() < 1 && clock.elapsed() < 10000)
            Serve(20);
        Serve(200);
        Save(dialog, QString("monitor-%1").arg(QString(language).toLower()));
        dialog.EndDialog(0);
    }
    SetTextProvider({});
}
