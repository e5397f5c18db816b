// The main sheet's menus: families, the Interface submenu from the port list, command states,
// the connection commands and the keys that must not close the sheet.
#include "support/UiTestSupport.h"

#include "core/model/TQControllerModel.h"
#include "core/platform/SerialPortList.h"
#include "languages/StringIds.h"
#include "support/RecordingUiServices.h"
#include "support/ScopedDesktopOpener.h"
#include "ui/app/MainSheet.h"
#include "ui/comm/SerialSettingsDlg.h"
#include "ui/comm/TcpSettingsDlg.h"
#include "ui/framework/ControlIds.h"
#include "ui/framework/DialogBase.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

std::vector<std::string> FakeDevices(int count) {
    std::vector<std::string> devices;
    for (int i = 0; i < count; ++i)
        devices.push_back("/dev/ttyFAKE" + std::to_string(i));
    return devices;
}

class SheetMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseLanguage("English");
        ClearConnectionProfile();
        services = std::make_unique<CScopedUiServices>(recorder);
    }
    void TearDown() override {
        app.reset();
        SetSerialDeviceScanner({});
        ClearConnectionProfile();
    }
    // Builds the sheet with `ports` serial devices and the stored interface and port.
    void Build(int ports, const char* interface = nullptr, const char* port = nullptr) {
        SetSerialDeviceScanner([ports] { return FakeDevices(ports); });
        QSettings settings("Norvane", "Calora");
        if (interface)
            settings.setValue("TipoComunicaciones", interface);
        if (port)
            settings.setValue("Puerto", port);
        settings.sync();
        app = MakeApp(false);
        ASSERT_TRUE(app->InitInstance());
        sheet = app->BuildSheet();
        ASSERT_NE(sheet, nullptr);
    }
    std::vector<QString> InterfaceItems() const {
        std::vector<QString> items;
        for (QAction* action : sheet->InterfaceMenu()->actions())
            items.push_back(action->isSeparator() ? QString("-") : action->text());
        return items;
    }
    bool Checked(int id) const { return sheet->FindCommand(id)->isChecked(); }
    // Runs `drive` on the next modal dialog once it is shown.
    void OnNextDialog(std::function<void(QWidget*)> drive) {
        QTimer::singleShot(0, [drive] {
            QWidget* dialog = nullptr;
            WaitUntil([&] {
                dialog = QApplication::activeModalWidget();
                return dialog != nullptr;
            });
            drive(dialog);
        });
    }

    CRecordingUiServices recorder;
    std::unique_ptr<CScopedUiServices> services;
    std::unique_ptr<CCaloraApp> app;
    CMainSheet* sheet = nullptr;
};

TEST_F(SheetMenuTest, MenusHoldTheCommandsInOrderWithLanguageTexts) {
    Build(1);
    QList<QAction*> top = sheet->MenuBar()->actions();
    ASSERT_GE(top.size(), 3);
    EXPECT_EQ(top[0]->text(), TextById(8));
    EXPECT_EQ(top[1]->text(), TextById(11));
    EXPECT_EQ(top.last()->text(), "?");

    std::vector<int> first;
    for (QAction* action : top[0]->menu()->actions())
        first.push_back(action->isSeparator() ? 0 : action->data().toInt());
    EXPECT_EQ(first,
              (std::vector<int>{32771, 32772, 0, 32773, 32774, 0, 32779, 32780, 0, 32778, 0, 1}));
    EXPECT_EQ(sheet->FindCommand(ID_READ_ALL)->text(), TextById(4));
    EXPECT_EQ(sheet->FindCommand(IDOK)->text(), TextById(7));
    EXPECT_EQ(sheet->FindCommand(ID_FAMILY_TQ100)->text(), "TQ100");
    EXPECT_EQ(sheet->FindCommand(ID_FAMILY_TQ102_TQ402)->text(), "ZI102-VA402");

    QList<QAction*> second = top[1]->menu()->actions();
    ASSERT_EQ(second.size(), 5);
    EXPECT_EQ(second[0]->menu(), sheet->InterfaceMenu());
    EXPECT_EQ(second[0]->text(), TextById(9));
    EXPECT_EQ(second[1]->data().toInt(), ID_CONNECTION_SETTINGS);
    EXPECT_EQ(second[3]->data().toInt(), ID_DETECT);
    EXPECT_EQ(second[4]->data().toInt(), ID_DETECT_LINE);
    // The build puts the user guide beside the program: About, then Help.
    QList<QAction*> help = top.last()->menu()->actions();
    ASSERT_EQ(help.size(), 2);
    EXPECT_EQ(help[0]->data().toInt(), ID_ABOUT);
    EXPECT_EQ(help[1]->data().toInt(), ID_HELP_FILE);
    EXPECT_EQ(sheet->windowTitle(), "Calora");
}

TEST_F(SheetMenuTest, TextsFollowTheLanguageLibrary) {
    UseLanguage("Italiano");
    Build(1);
    const QString italian = sheet->FindCommand(ID_READ_ALL)->text();
    app.reset();
    UseLanguage("English");
    Build(1);
    EXPECT_NE(sheet->FindCommand(ID_READ_ALL)->text(), italian);
    EXPECT_FALSE(italian.isEmpty());
    EXPECT_NE(italian, "Text Error");
}

TEST_F(SheetMenuTest, FamilyCommandsSwitchTheModelAndTheirChecks) {
    Build(1);
    sheet->UpdateCommandStates();
    EXPECT_FALSE(Checked(ID_FAMILY_TQ100));
    EXPECT_TRUE(Checked(ID_FAMILY_TQ102_TQ402));

    sheet->OnCommand(ID_FAMILY_TQ100);
    sheet->UpdateCommandStates();
    EXPECT_EQ(app->GetModel().GetFamily(), TQ100);
    EXPECT_EQ(app->GetModel().GetCount(), 54u);
    EXPECT_TRUE(Checked(ID_FAMILY_TQ100));
    EXPECT_FALSE(Checked(ID_FAMILY_TQ102_TQ402));

    sheet->OnCommand(ID_FAMILY_TQ102_TQ402);
    sheet->UpdateCommandStates();
    EXPECT_EQ(app->GetModel().GetCount(), 43u);
    EXPECT_TRUE(Checked(ID_FAMILY_TQ102_TQ402));
}

TEST_F(SheetMenuTest, NoSerialPortLeavesOnlyModbusTcpChecked) {
    Build(0, "Serie", "COM4:");
    EXPECT_EQ(InterfaceItems(), (std::vector<QString>{"ModbusTCP"}));
    EXPECT_TRUE(Checked(ID_INTERFACE_TCP));
    EXPECT_EQ(app->settings.interface, "TCP/IP");
    sheet->UpdateCommandStates();
    EXPECT_FALSE(sheet->FindCommand(ID_DETECT_LINE)->isEnabled());
    EXPECT_TRUE(sheet->FindCommand(ID_DETECT)->isEnabled());
}

TEST_F(SheetMenuTest, StoredPortIsChecked) {
    Build(3, "Serie", "COM2:");
    EXPECT_EQ(InterfaceItems(),
              (std::vector<QString>{"COM1:", "COM2:", "COM3:", "-", "ModbusTCP"}));
    EXPECT_TRUE(Checked(ID_INTERFACE_PORT_FIRST + 1));
    EXPECT_FALSE(Checked(ID_INTERFACE_PORT_FIRST));
    EXPECT_FALSE(Checked(ID_INTERFACE_TCP));
    EXPECT_EQ(app->settings.port, "COM2:");
    EXPECT_EQ(sheet->FindCommand(ID_INTERFACE_PORT_FIRST + 2)->toolTip(), "/dev/ttyFAKE2");
}

TEST_F(SheetMenuTest, MissingStoredPortFallsBackToTheFirst) {
    Build(3, "Serie", "COM9:");
    EXPECT_TRUE(Checked(ID_INTERFACE_PORT_FIRST));
    EXPECT_EQ(app->settings.port, "COM1:");
    EXPECT_EQ(app->settings.interface, "Serie");
}

TEST_F(SheetMenuTest, StoredTcpKeepsTcpButFillsThePort) {
    Build(3, "TCP/IP", "");
    EXPECT_TRUE(Checked(ID_INTERFACE_TCP));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(Checked(ID_INTERFACE_PORT_FIRST + i));
    EXPECT_EQ(app->settings.port, "COM1:");
    EXPECT_EQ(app->settings.interface, "TCP/IP");
}

TEST_F(SheetMenuTest, TwentyFivePortsShowTheFirstTwentyInTextOrder) {
    Build(25, "Serie", "COM25:");
    std::vector<QString> items = InterfaceItems();
    ASSERT_EQ(items.size(), 22u);
    // Plain byte order, where '0' comes before ':': COM10: ... COM19:, COM1:, COM20: ...
    // COM25:, COM2:, COM3:, COM4:; COM5: to COM9: do not fit.
    EXPECT_EQ(items[0], "COM10:");
    EXPECT_EQ(items[9], "COM19:");
    EXPECT_EQ(items[10], "COM1:");
    EXPECT_EQ(items[11], "COM20:");
    EXPECT_EQ(items[16], "COM25:");
    EXPECT_EQ(items[17], "COM2:");
    EXPECT_EQ(items[19], "COM4:");
    EXPECT_EQ(items[20], "-");
    EXPECT_EQ(items[21], "ModbusTCP");
    EXPECT_EQ(sheet->PortNames().size(), 25u);
    EXPECT_TRUE(Checked(ID_INTERFACE_PORT_FIRST + 16));
    EXPECT_EQ(sheet->FindCommand(ID_INTERFACE_PORT_FIRST + 20), nullptr);
}

TEST_F(SheetMenuTest, PortBeyondTheTwentiethIsNotKept) {
    Build(25, "Serie", "COM9:"); // 25th in text order
    EXPECT_TRUE(Checked(ID_INTERFACE_PORT_FIRST));
    EXPECT_EQ(app->settings.port, "COM10:");
}

TEST_F(SheetMenuTest, DisabledMenusDisableEveryCommand) {
    Build(3, "Serie", "COM1:");
    sheet->SetMenusEnabled(0);
    sheet->UpdateCommandStates();
    for (int id : {1, 32771, 32772, 32773, 32774, 32776, 32777, 32778, 32779, 32780, 32781, 32783,
                   32784, 32785})
        EXPECT_FALSE(sheet->FindCommand(id)->isEnabled()) << id;
    sheet->OnCommand(ID_FAMILY_TQ100);
    sheet->OnCommand(ID_INTERFACE_PORT_FIRST + 2);
    EXPECT_EQ(app->GetModel().GetFamily(), TQ102_TQ402);
    EXPECT_EQ(app->settings.port, "COM1:");
    sheet->SetMenusEnabled(1);
    sheet->UpdateCommandStates();
    EXPECT_TRUE(sheet->FindCommand(ID_DETECT_LINE)->isEnabled());
}

TEST_F(SheetMenuTest, FileCommandsNeedAHandler) {
    Build(3, "Serie", "COM1:");
    // The application plugs its handler in; without one the commands are off.
    sheet->SetFileCommand(nullptr);
    sheet->UpdateCommandStates();
    EXPECT_FALSE(sheet->FindCommand(ID_FILE_LOAD)->isEnabled());
    EXPECT_FALSE(sheet->FindCommand(ID_FILE_SAVE)->isEnabled());

    std::vector<int> handled;
    sheet->SetFileCommand([&](int id) { handled.push_back(id); });
    sheet->UpdateCommandStates();
    EXPECT_TRUE(sheet->FindCommand(ID_FILE_LOAD)->isEnabled());
    sheet->OnCommand(ID_FILE_SAVE);
    EXPECT_EQ(handled, std::vector<int>{ID_FILE_SAVE});
}

TEST_F(SheetMenuTest, AnotherPortWhileSerialChangesOnlyThePort) {
    Build(3, "Serie", "COM1:");
    app->settings.baudIndex = 1;
    sheet->FindCommand(ID_INTERFACE_PORT_FIRST + 2)->trigger();
    EXPECT_EQ(app->settings.port, "COM3:");
    EXPECT_EQ(app->settings.baudIndex, 1);
    EXPECT_TRUE(Checked(ID_INTERFACE_PORT_FIRST + 2));
    EXPECT_FALSE(Checked(ID_INTERFACE_PORT_FIRST));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(SheetMenuTest, PortFromTcpAsksForTheLineAndCancelKeepsEverything) {
    Build(3, "TCP/IP", "");
    const CommSettings before = app->settings;
    OnNextDialog([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "COM2:");
        QTest::mouseClick(FindControl<QPushButton>(dialog, IDCANCEL), Qt::LeftButton);
    });
    sheet->OnCommand(ID_INTERFACE_PORT_FIRST + 1);
    EXPECT_TRUE(Checked(ID_INTERFACE_TCP));
    EXPECT_FALSE(Checked(ID_INTERFACE_PORT_FIRST + 1));
    EXPECT_EQ(app->settings.interface, before.interface);
    EXPECT_EQ(app->settings.port, before.port);
}

TEST_F(SheetMenuTest, PortFromTcpTakesTheDialogsValuesOnOk) {
    Build(3, "TCP/IP", "");
    OnNextDialog([](QWidget* dialog) {
        QTest::mouseClick(FindControl<QPushButton>(dialog, IDC_FACTORY_TQ100), Qt::LeftButton);
        QTest::mouseClick(FindControl<QPushButton>(dialog, IDOK), Qt::LeftButton);
    });
    sheet->OnCommand(ID_INTERFACE_PORT_FIRST + 1);
    EXPECT_EQ(app->settings.interface, "Serie");
    EXPECT_EQ(app->settings.port, "COM2:");
    EXPECT_EQ(app->settings.address, 247);
    EXPECT_EQ(app->settings.baudIndex, 2);
    EXPECT_EQ(app->settings.parityIndex, 0);
    EXPECT_TRUE(Checked(ID_INTERFACE_PORT_FIRST + 1));
    EXPECT_FALSE(Checked(ID_INTERFACE_TCP));
}

TEST_F(SheetMenuTest, ModbusTcpTakesTheDialogsValuesOrNothingOnCancelAndWritesThemAtOnce) {
    Build(3, "Serie", "COM1:");
    OnNextDialog([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "ModbusTCP");
        QTest::mouseClick(FindControl<QPushButton>(dialog, IDCANCEL), Qt::LeftButton);
    });
    sheet->FindCommand(ID_INTERFACE_TCP)->trigger();
    EXPECT_FALSE(Checked(ID_INTERFACE_TCP));
    EXPECT_TRUE(Checked(ID_INTERFACE_PORT_FIRST));
    EXPECT_EQ(app->settings.interface, "Serie");

    OnNextDialog([](QWidget* dialog) {
        auto* port = FindControl<QLineEdit>(dialog, IDC_TCP_PORT_EDIT);
        port->setText("5020");
        QTest::mouseClick(FindControl<QPushButton>(dialog, IDOK), Qt::LeftButton);
    });
    sheet->FindCommand(ID_INTERFACE_TCP)->trigger();
    EXPECT_TRUE(Checked(ID_INTERFACE_TCP));
    EXPECT_FALSE(Checked(ID_INTERFACE_PORT_FIRST));
    EXPECT_EQ(app->settings.interface, "TCP/IP");
    EXPECT_EQ(app->settings.ipPort, 5020);
    EXPECT_EQ(app->settings.ip, "192.168.0.1");
    // In the profile already: a run that ends abnormally keeps them.
    QSettings profile("Norvane", "Calora");
    EXPECT_EQ(profile.value("TipoComunicaciones").toString(), "TCP/IP");
    EXPECT_EQ(profile.value("PuertoIP").toInt(), 5020);
}

TEST_F(SheetMenuTest, ConnectionSettingsOpenTheCurrentInterfacesDialog) {
    Build(3, "Serie", "COM3:");
    OnNextDialog([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "COM3:");
        FindControl<QSpinBox>(dialog, IDC_ADDRESS_SPIN)->setValue(12);
        QTest::mouseClick(FindControl<QPushButton>(dialog, IDOK), Qt::LeftButton);
    });
    sheet->OnCommand(ID_CONNECTION_SETTINGS);
    EXPECT_EQ(app->settings.address, 12);
    EXPECT_EQ(app->settings.interface, "Serie");
}

TEST_F(SheetMenuTest, EnterAndEscapeNeverCloseTheSheet) {
    Build(1);
    sheet->show();
    QTest::keyClick(sheet, Qt::Key_Escape);
    QTest::keyClick(sheet, Qt::Key_Return);
    EXPECT_TRUE(sheet->isVisible());
    sheet->close();
    EXPECT_FALSE(sheet->isVisible());
}

TEST_F(SheetMenuTest, SettingsAreWrittenBackAtExit) {
    Build(3, "Serie", "COM2:");
    app->settings.address = 42;
    app->settings.baudIndex = 0;
    app->ExitInstance();
    QSettings settings("Norvane", "Calora");
    settings.sync();
    EXPECT_EQ(settings.value("ModbusDir").toInt(), 42);
    EXPECT_EQ(settings.value("Baud").toInt(), 0);
    EXPECT_EQ(settings.value("Puerto").toString(), "COM2:");
    EXPECT_EQ(settings.value("TipoComunicaciones").toString(), "Serie");
}

TEST_F(SheetMenuTest, FirstStartTakesTheDefaults) {
    Build(0);
    EXPECT_EQ(app->settings.address, 1);
    EXPECT_EQ(app->settings.baudIndex, 3);
    EXPECT_EQ(app->settings.parityIndex, 0);
    EXPECT_EQ(app->settings.ip, "192.168.0.1");
    EXPECT_EQ(app->settings.ipPort, 405);
}

} // namespace

namespace {
TEST_F(SheetMenuTest, AboutShowsTheAboutBox) {
    Build(0);
    int shown = 0;
    CScopedModalHandler handler([&](CDialogBase& dialog) {
        shown = dialog.TemplateId();
        dialog.EndDialog(IDOK);
    });
    sheet->OnCommand(ID_ABOUT);
    EXPECT_EQ(shown, IDD_ABOUTBOX);
}
} // namespace

namespace {
TEST_F(SheetMenuTest, KeysOpenSaveAndHelpAndAHelpNobodyOpensSaysWhereItIs) {
    Build(1);
    std::vector<int> handled;
    sheet->SetFileCommand([&](int id) { handled.push_back(id); });
    sheet->show();
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    QTest::keyClick(sheet, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(sheet, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(handled, (std::vector<int>{ID_FILE_LOAD, ID_FILE_SAVE}));

    const QString help = QString::fromStdString(app->HelpFile());
    ASSERT_TRUE(app->HasHelpFile());
    {
        CScopedDesktopOpener opener(kOpenerNotes);
        QTest::keyClick(sheet, Qt::Key_F1);
        ASSERT_TRUE(WaitUntil([&] { return !opener.Read("asked").isEmpty(); }));
        EXPECT_EQ(opener.Read("asked"), help);
        QTest::qWait(100);
        EXPECT_TRUE(recorder.messages.empty()); // the opener took it: nothing to say
    }
    {
        // No browser set up: xdg-open starts, complains and ends with a failure.
        CScopedDesktopOpener opener(kOpenerFails);
        QTest::keyClick(sheet, Qt::Key_F1);
        ASSERT_TRUE(WaitUntil([&] { return !recorder.messages.empty(); }));
        EXPECT_TRUE(recorder.LastText().endsWith(help)) << recorder.LastText().toStdString();
        EXPECT_TRUE(recorder.LastText().startsWith(TextById(IDS_MSG_OPEN_BY_HAND)));
    }
}
} // namespace
