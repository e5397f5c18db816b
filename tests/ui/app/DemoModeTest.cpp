// The program's demo mode: an in-process simulated bus that detect and read all reach,
// while the user's saved connection settings stay untouched.
#include "support/UiTestSupport.h"

#include "SimBus.h"
#include "core/model/TQControllerModel.h"
#include "core/platform/SerialPortList.h"
#include "support/RecordingUiServices.h"
#include "ui/app/MainSheet.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"

#include <QSettings>
#include <gtest/gtest.h>

namespace {

class DemoModeTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseLanguage("English");
        ClearConnectionProfile();
        SetSerialDeviceScanner([] { return std::vector<std::string>{"/dev/ttyFAKE0"}; });
        QSettings saved("Norvane", "Calora");
        saved.setValue("TipoComunicaciones", "Serie");
        saved.setValue("Puerto", "COM7:");
        saved.setValue("ModbusDir", 33);
        saved.setValue("Ip", "10.1.2.3");
        saved.sync();
    }
    void TearDown() override {
        SetSerialDeviceScanner({});
        ClearConnectionProfile();
    }
    CRecordingUiServices recorder;
    CScopedUiServices services{recorder};
};

TEST_F(DemoModeTest, DetectAndReadAllWorkAgainstTheEmbeddedBus) {
    std::shared_ptr<sim::SimBus> bus;
    auto app = MakeApp(true, &bus);
    ASSERT_TRUE(app->InitInstance());
    ASSERT_NE(app->DemoPort(), 0);
    EXPECT_EQ(app->settings.interface, "TCP/IP");
    EXPECT_EQ(app->settings.ip, "127.0.0.1");
    EXPECT_EQ(app->settings.ipPort, app->DemoPort());
    EXPECT_FALSE(app->settings.port.empty());

    CMainSheet* sheet = app->BuildSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->FindCommand(ID_INTERFACE_TCP)->isChecked());
    std::vector<BusTaskRecord> records;
    AutoCloseBusTasks(*sheet, records);
    bus->At(1).SetRegister(1, 321);

    sheet->OnCommand(ID_DETECT);

    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].status,
              TextById(51) + QString("\nModbus1 127.0.0.1:%1").arg(app->DemoPort()));
    EXPECT_EQ(records[1].status, TextById(58));
    EXPECT_EQ(app->GetModel().GetFamily(), TQ100);
    EXPECT_EQ(app->GetModel().GetValue(1), 321);

    // The second demo controller is of the other family.
    app->settings.address = 2;
    sheet->OnCommand(ID_READ_ALL);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(app->GetModel().GetFamily(), TQ102_TQ402);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(DemoModeTest, SavedConnectionSettingsAreNeitherReadNorWritten) {
    {
        auto app = MakeApp(true);
        ASSERT_TRUE(app->InitInstance());
        EXPECT_NE(app->settings.address, 33);
        EXPECT_NE(app->settings.ip, "10.1.2.3");
        ASSERT_NE(app->BuildSheet(), nullptr);
        app->settings.address = 99;
        app->ExitInstance();
    }
    QSettings saved("Norvane", "Calora");
    saved.sync();
    EXPECT_EQ(saved.value("TipoComunicaciones").toString(), "Serie");
    EXPECT_EQ(saved.value("Puerto").toString(), "COM7:");
    EXPECT_EQ(saved.value("ModbusDir").toInt(), 33);
    EXPECT_EQ(saved.value("Ip").toString(), "10.1.2.3");
    EXPECT_FALSE(saved.contains("PuertoIP"));
}

TEST_F(DemoModeTest, WithoutALanguageTheProgramEndsWithoutAWindow) {
    QSettings saved("Norvane", "Calora");
    saved.setValue("LanguageDll", "/nonexistent/English.so");
    saved.sync();
    // The stored library is missing: a warning, then the selection (answered with Cancel by
    // the modal handler below), then the stop message.
    CScopedModalHandler cancel([](CDialogBase& dialog) { dialog.EndDialog(IDCANCEL); });
    auto app = MakeApp(true);
    ASSERT_TRUE(app->InitInstance());
    EXPECT_EQ(app->BuildSheet(), nullptr);
    ASSERT_FALSE(recorder.messages.empty());
    EXPECT_EQ(recorder.messages.back().text, "Error loading language dll");
    EXPECT_EQ(recorder.messages.back().icon, MbIcon::Stop);
}

} // namespace
