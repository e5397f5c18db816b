// The serial and TCP connection dialogs: what they show, what OK takes, what they refuse.
#include "support/UiTestSupport.h"

#include "support/RecordingUiServices.h"
#include "ui/comm/SerialSettingsDlg.h"
#include "ui/comm/TcpSettingsDlg.h"
#include "ui/framework/ControlIds.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ConnectionDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseLanguage("English");
        app = MakeApp(false);
        ASSERT_TRUE(app->InitInstance());
        ASSERT_NE(app->BuildSheet(), nullptr); // loads the language library
    }

    static void Press(QWidget* dialog, int id) { FindControl<QPushButton>(dialog, id)->click(); }
    static QString Text(QWidget* dialog, int id) { return ControlText(FindControl(dialog, id)); }
    static void Type(QWidget* dialog, int id, const QString& text) {
        auto* edit = FindControl<QLineEdit>(dialog, id);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    CRecordingUiServices recorder;
    CScopedUiServices services{recorder};
    std::unique_ptr<CCaloraApp> app;
};

TEST_F(ConnectionDialogsTest, SerialDialogShowsTheValuesAndLanguageTexts) {
    CSerialSettingsDlg dialog("COM3:", 1, 2, 17, 1);
    dialog.EnsureInitialized();
    EXPECT_EQ(dialog.windowTitle(), "COM3:");
    EXPECT_EQ(FindControl<QSpinBox>(&dialog, IDC_ADDRESS_SPIN)->value(), 17);
    EXPECT_EQ(Text(&dialog, IDC_ADDRESS_EDIT), "17");
    auto* baud = FindControl<QComboBox>(&dialog, IDC_BAUD_COMBO);
    ASSERT_EQ(baud->count(), 4);
    EXPECT_EQ(baud->itemText(0), "2400");
    EXPECT_EQ(baud->itemText(3), "19200");
    EXPECT_EQ(baud->currentIndex(), 1);
    EXPECT_TRUE(FindControl<QRadioButton>(&dialog, IDC_PARITY_ODD)->isChecked());
    EXPECT_EQ(Text(&dialog, IDOK), TextById(117));
    EXPECT_EQ(Text(&dialog, IDCANCEL), TextById(118));
    EXPECT_EQ(Text(&dialog, IDC_BAUD_LABEL), TextById(124));
    EXPECT_EQ(Text(&dialog, IDC_PARITY_NONE), TextById(123));
    EXPECT_EQ(Text(&dialog, IDC_PARITY_EVEN), TextById(121));
    EXPECT_EQ(Text(&dialog, IDC_PARITY_ODD), TextById(122));
    EXPECT_EQ(Text(&dialog, IDC_ADDRESS_LABEL), TextById(126));
    EXPECT_TRUE(baud->isEnabled());
}

TEST_F(ConnectionDialogsTest, SerialDialogLocksTheLineWhenMenusAreDisabled) {
    CSerialSettingsDlg dialog("COM1:", 3, 0, 1, 0);
    dialog.EnsureInitialized();
    EXPECT_FALSE(FindControl(&dialog, IDC_BAUD_COMBO)->isEnabled());
    for (int id : {IDC_PARITY_NONE, IDC_PARITY_EVEN, IDC_PARITY_ODD})
        EXPECT_FALSE(FindControl(&dialog, id)->isEnabled());
    EXPECT_TRUE(FindControl(&dialog, IDC_ADDRESS_SPIN)->isEnabled());
}

TEST_F(ConnectionDialogsTest, FactorySettingsTQ100ThenOk) {
    CSerialSettingsDlg dialog("COM1:", 0, 1, 5, 1);
    dialog.EnsureInitialized();
    Press(&dialog, IDC_FACTORY_TQ100);
    // Shown at once.
    EXPECT_EQ(FindControl<QComboBox>(&dialog, IDC_BAUD_COMBO)->currentIndex(), 2);
    EXPECT_TRUE(FindControl<QRadioButton>(&dialog, IDC_PARITY_NONE)->isChecked());
    EXPECT_EQ(FindControl<QSpinBox>(&dialog, IDC_ADDRESS_SPIN)->value(), 247);
    Press(&dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.BaudIndex(), 2);
    EXPECT_EQ(dialog.ParityIndex(), 0);
    EXPECT_EQ(dialog.Address(), 247);
}

TEST_F(ConnectionDialogsTest, FactorySettingsZI102ThenOk) {
    CSerialSettingsDlg dialog("COM1:", 3, 2, 99, 1);
    dialog.EnsureInitialized();
    Press(&dialog, IDC_FACTORY_ZI102);
    Press(&dialog, IDOK);
    EXPECT_EQ(dialog.BaudIndex(), 2);
    EXPECT_EQ(dialog.ParityIndex(), 0);
    EXPECT_EQ(dialog.Address(), 1);
}

TEST_F(ConnectionDialogsTest, SerialOkTakesTheEditedControls) {
    CSerialSettingsDlg dialog("COM1:", 3, 0, 1, 1);
    dialog.EnsureInitialized();
    FindControl<QComboBox>(&dialog, IDC_BAUD_COMBO)->setCurrentIndex(0);
    FindControl<QRadioButton>(&dialog, IDC_PARITY_EVEN)->setChecked(true);
    Type(&dialog, IDC_ADDRESS_EDIT, "33");
    Press(&dialog, IDOK);
    EXPECT_EQ(dialog.BaudIndex(), 0);
    EXPECT_EQ(dialog.ParityIndex(), 1);
    EXPECT_EQ(dialog.Address(), 33);
}

TEST_F(ConnectionDialogsTest, TypedAddressAboveTheRangeIsLimitedWhenRead) {
    CSerialSettingsDlg dialog("COM1:", 3, 0, 1, 1);
    dialog.EnsureInitialized();
    Type(&dialog, IDC_ADDRESS_EDIT, "999");
    Press(&dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.Address(), 255);
}

TEST_F(ConnectionDialogsTest, SerialCancelKeepsTheValues) {
    CSerialSettingsDlg dialog("COM1:", 1, 1, 9, 1);
    dialog.EnsureInitialized();
    Press(&dialog, IDC_FACTORY_TQ100);
    Press(&dialog, IDCANCEL);
    EXPECT_EQ(dialog.result(), IDCANCEL);
}

TEST_F(ConnectionDialogsTest, TcpDialogShowsTheValues) {
    CTcpSettingsDlg dialog("ModbusTCP", "10.0.20.3", 405, 4, 1);
    dialog.EnsureInitialized();
    EXPECT_EQ(dialog.windowTitle(), "ModbusTCP");
    auto* ip = FindControl<CIpAddressCtrl>(&dialog, IDC_IP_ADDRESS);
    ASSERT_NE(ip, nullptr);
    std::array<int, 4> fields{};
    EXPECT_EQ(ip->GetFields(fields), 4);
    EXPECT_EQ(fields, (std::array<int, 4>{10, 0, 20, 3}));
    EXPECT_EQ(Text(&dialog, IDC_TCP_PORT_EDIT), "405");
    EXPECT_EQ(FindControl<QSpinBox>(&dialog, IDC_ADDRESS_SPIN)->value(), 4);
    EXPECT_EQ(Text(&dialog, IDC_IP_LABEL), "IP");
    EXPECT_EQ(Text(&dialog, IDC_TCP_PORT_LABEL), TextById(125));
    EXPECT_EQ(Text(&dialog, IDC_ADDRESS_LABEL), TextById(126));
}

TEST_F(ConnectionDialogsTest, InvalidStoredAddressShowsAllOnes) {
    for (const char* stored : {"not an address", "300.1.2.3", ""}) {
        CTcpSettingsDlg dialog("ModbusTCP", stored, 405, 1, 1);
        dialog.EnsureInitialized();
        std::array<int, 4> fields{};
        FindControl<CIpAddressCtrl>(&dialog, IDC_IP_ADDRESS)->GetFields(fields);
        EXPECT_EQ(fields, (std::array<int, 4>{255, 255, 255, 255})) << stored;
    }
}

TEST_F(ConnectionDialogsTest, LeadingZerosDisappearFromTheStoredAddress) {
    CTcpSettingsDlg dialog("ModbusTCP", "192.168.0.1", 405, 1, 1);
    dialog.EnsureInitialized();
    auto* ip = FindControl<CIpAddressCtrl>(&dialog, IDC_IP_ADDRESS);
    const char* typed[] = {"010", "001", "000", "007"};
    for (int i = 0; i < 4; ++i)
        ip->Field(i)->setText(typed[i]);
    Press(&dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.Ip(), "10.1.0.7");
}

TEST_F(ConnectionDialogsTest, IncompleteAddressIsRefusedWithMessage128) {
    CTcpSettingsDlg dialog("ModbusTCP", "192.168.0.1", 405, 1, 1);
    dialog.EnsureInitialized();
    FindControl<CIpAddressCtrl>(&dialog, IDC_IP_ADDRESS)->Field(2)->clear();
    Press(&dialog, IDOK);
    EXPECT_EQ(dialog.result(), 0); // still open
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, TextById(128));
    EXPECT_EQ(recorder.messages[0].icon, MbIcon::Stop);
    EXPECT_EQ(dialog.Ip(), "192.168.0.1");
}

TEST_F(ConnectionDialogsTest, PortRangeIsChecked) {
    CTcpSettingsDlg dialog("ModbusTCP", "192.168.0.1", 405, 1, 1);
    dialog.EnsureInitialized();
    Type(&dialog, IDC_TCP_PORT_EDIT, "65536");
    Press(&dialog, IDOK);
    EXPECT_EQ(dialog.result(), 0);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, RangeMessage("0", "65535"));

    // A negative port is out of the same range, not of some wider one of the field's type.
    Type(&dialog, IDC_TCP_PORT_EDIT, "-1");
    Press(&dialog, IDOK);
    EXPECT_EQ(dialog.result(), 0);
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[1].text, RangeMessage("0", "65535"));

    Type(&dialog, IDC_TCP_PORT_EDIT, "65535");
    Press(&dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.Port(), 65535);
}

TEST_F(ConnectionDialogsTest, PortThatIsNoNumberIsRefused) {
    CTcpSettingsDlg dialog("ModbusTCP", "192.168.0.1", 405, 1, 1);
    dialog.EnsureInitialized();
    Type(&dialog, IDC_TCP_PORT_EDIT, "4x5");
    Press(&dialog, IDOK);
    EXPECT_EQ(dialog.result(), 0);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, NumberMessage());
}

TEST_F(ConnectionDialogsTest, TcpDialogLocksAddressAndPortWhenMenusAreDisabled) {
    CTcpSettingsDlg dialog("ModbusTCP", "192.168.0.1", 405, 1, 0);
    dialog.EnsureInitialized();
    EXPECT_FALSE(FindControl(&dialog, IDC_IP_ADDRESS)->isEnabled());
    EXPECT_FALSE(FindControl(&dialog, IDC_TCP_PORT_EDIT)->isEnabled());
}

TEST_F(ConnectionDialogsTest, IpFieldsClampAndAdvance) {
    CIpAddressCtrl ip;
    ip.show();
    ip.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ip));
    ip.Field(0)->setFocus();
    QTest::keyClicks(ip.Field(0), "1");
    QTest::keyClicks(ip.Field(0), ".");
    EXPECT_TRUE(ip.Field(1)->hasFocus());
    QTest::keyClicks(ip.Field(1), "999");
    EXPECT_TRUE(ip.Field(2)->hasFocus());
    std::array<int, 4> fields{};
    EXPECT_EQ(ip.GetFields(fields), 2);
    EXPECT_EQ(fields[0], 1);
    EXPECT_EQ(fields[1], 255);
}

TEST_F(ConnectionDialogsTest, TypingOrPastingAnAddressReplacesTheStoredOne) {
    CTcpSettingsDlg dialog("ModbusTCP", "192.168.0.1", 405, 1, 1);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* ip = FindControl<CIpAddressCtrl>(&dialog, IDC_IP_ADDRESS);
    auto typeKeys = [](const char* keys) {
        for (const char* k = keys; *k != '\0'; ++k)
            QTest::keyClick(QApplication::focusWidget(), *k); // wherever the focus went
    };
    std::array<int, 4> fields{};
    // The "." after the full "127" is the one the jump already made.
    ip->Field(0)->setFocus();
    typeKeys("127.0.0.1");
    ip->GetFields(fields);
    EXPECT_EQ(fields, (std::array<int, 4>{127, 0, 0, 1}));

    // A whole address pasted into any field, by key or by the field's own paste.
    QGuiApplication::clipboard()->setText(" 10.20.30.40\n");
    ip->Field(1)->setFocus();
    QTest::keySequence(QApplication::focusWidget(), QKeySequence::Paste);
    ip->GetFields(fields);
    EXPECT_EQ(fields, (std::array<int, 4>{10, 20, 30, 40}));
    QGuiApplication::clipboard()->setText("172.16.300.9");
    ip->Field(2)->selectAll();
    ip->Field(2)->paste();
    ip->GetFields(fields);
    EXPECT_EQ(fields, (std::array<int, 4>{172, 16, 255, 9}));
    // Anything else pasted changes nothing.
    QGuiApplication::clipboard()->setText("1.2.3");
    ip->Field(0)->selectAll();
    ip->Field(0)->paste();
    EXPECT_EQ(ip->Field(0)->text(), "172");

    Press(&dialog, IDOK);
    EXPECT_EQ(dialog.Ip(), "172.16.255.9");
}

} // namespace
