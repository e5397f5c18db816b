// Pictures of the main window and its dialogs in English and Italian, for a person to look
// at; written only when CALORA_SCREENSHOT_DIR names a folder.
#include "support/UiTestSupport.h"

#include "SimBus.h"
#include "core/model/TQControllerModel.h"
#include "core/platform/SerialPortList.h"
#include "ui/app/MainSheet.h"
#include "ui/comm/BusTaskDlg.h"
#include "ui/comm/SerialSettingsDlg.h"
#include "ui/comm/TcpSettingsDlg.h"
#include "ui/framework/ResourceIds.h"

#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QString ShotDir() {
    return qEnvironmentVariable("CALORA_SCREENSHOT_DIR");
}

void Save(const QPixmap& shot, const QString& name) {
    EXPECT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(QDir(ShotDir()).filePath(name + ".png"))) << name.toStdString();
}

void Save(QWidget& window, const QString& name) {
    window.show();
    WaitUntil([] { return false; }, 50);
    Save(window.grab(), name);
}

// The window with the second menu and its Interface submenu open, drawn over it.
QPixmap WindowWithInterfaceMenu(CMainSheet& sheet) {
    QMenuBar* bar = sheet.MenuBar();
    QAction* second = bar->actions().value(1);
    QMenu* menu = second->menu();
    QMenu* interface = sheet.InterfaceMenu();
    sheet.UpdateCommandStates();
    const QPoint menuAt = bar->mapTo(&sheet, bar->actionGeometry(second).bottomLeft());
    menu->popup(sheet.mapToGlobal(menuAt));
    menu->setActiveAction(menu->actions().value(0));
    interface->popup(sheet.mapToGlobal(menuAt + QPoint(menu->width() - 4, 0)));
    WaitUntil([] { return false; }, 50);
    const QPixmap window = sheet.grab();
    const QPixmap first = menu->grab();
    const QPixmap sub = interface->grab();
    const QPoint subAt = menuAt + QPoint(first.width() - 4, 0);
    QPixmap shot(std::max(window.width(), subAt.x() + sub.width()),
                 std::max(window.height(), subAt.y() + sub.height()));
    shot.fill(Qt::transparent);
    QPainter painter(&shot);
    painter.drawPixmap(0, 0, window);
    painter.drawPixmap(menuAt, first);
    painter.drawPixmap(subAt, sub);
    painter.end();
    interface->hide();
    menu->hide();
    return shot;
}

void TakeAll(const std::string& language, const QString& suffix) {
    UseLanguage(language);
    ClearConnectionProfile();
    SetSerialDeviceScanner([] {
        return std::vector<std::string>{"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyUSB1"};
    });
    auto app = MakeApp(true);
    ASSERT_TRUE(app->InitInstance());
    CMainSheet* sheet = app->BuildSheet();
    ASSERT_NE(sheet, nullptr);
    sheet->show();
    Save(*sheet, "main-window" + suffix);
    Save(WindowWithInterfaceMenu(*sheet), "interface-menu" + suffix);

    CSerialSettingsDlg serial("COM1:", 3, 0, 1, 1, sheet);
    Save(serial, "serial-settings" + suffix);
    serial.hide();
    CTcpSettingsDlg tcp("ModbusTCP", "192.168.0.1", 405, 1, 1, sheet);
    Save(tcp, "tcp-settings" + suffix);
    tcp.hide();

    // During: a controller far up the bus, so the scan is still probing.
    sim::SimBus far;
    far.AddController(200, TQ100);
    CommSettings settings = app->settings;
    settings.ipPort = far.StartTcp(0);
    CTQControllerModel model;
    {
        CBusTaskDlg scanning(kModeScanAddress, sheet, settings, model, {});
        scanning.show();
        WaitUntil([] { return false; }, 1700);
        Save(scanning.grab(), "bus-task-scanning" + suffix);
        scanning.OnButton();
    }
    // After: the demo bus answers at address 1.
    settings = app->settings;
    CBusTaskDlg found(kModeScanAddress, sheet, settings, model, {});
    found.show();
    WaitUntil([&] { return !found.TaskRunning(); });
    WaitUntil([] { return false; }, 100);
    Save(found.grab(), "bus-task-found" + suffix);
    found.OnButton();
    far.Stop();
    SetSerialDeviceScanner({});
    ClearConnectionProfile();
}

} // namespace

TEST(UiScreenshots, MainWindowAndConnectionDialogs) {
    if (ShotDir().isEmpty())
        GTEST_SKIP() << "CALORA_SCREENSHOT_DIR not set";
    QDir().mkpath(ShotDir());
    TakeAll("English", "-en");
    TakeAll("Italiano", "-it");
}
