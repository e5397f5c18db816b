#include "ui/widgets/HysteresisDlg.h"
#include "core/platform/MemoryProfileStore.h"
#include "support/RecordingUiServices.h"
#include "ui/framework/QtProfileStore.h"
#include "ui/framework/ResourceIds.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>

#include <map>

namespace {

class HysteresisDlgTest : public ::testing::Test {
protected:
    CRecordingUiServices ui;
    CScopedUiServices scope{ui};
    CMemoryProfileStore profile;

    static void Type(CDialogBase& dlg, int id, const QString& text) {
        auto* edit = dlg.Control<QLineEdit>(id);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    static void PressOk(CDialogBase& dlg) { dlg.Control<QPushButton>(IDOK)->click(); }
};

} // namespace

TEST_F(HysteresisDlgTest, ShowsTheDefaultsEachInItsScale) {
    CHysteresisDlg dlg(profile);
    dlg.show();
    EXPECT_EQ(IDD_HYSTERESIS, dlg.TemplateId());
    EXPECT_EQ("5", dlg.GetDlgItemText(IDC_HY_DP0));
    EXPECT_EQ("0.5", dlg.GetDlgItemText(IDC_HY_DP1));
    EXPECT_EQ("0.05", dlg.GetDlgItemText(IDC_HY_DP2));
    EXPECT_EQ("0.005", dlg.GetDlgItemText(IDC_HY_DP3));
    EXPECT_EQ("DP = 3", dlg.GetDlgItemText(IDC_HY_DP3_LABEL));
}

TEST_F(HysteresisDlgTest, OkWritesTheFourValuesToTheProfile) {
    profile.ints["Hy2"] = 250;
    CHysteresisDlg dlg(profile);
    dlg.show();
    EXPECT_EQ("2.50", dlg.GetDlgItemText(IDC_HY_DP2));
    Type(dlg, IDC_HY_DP0, "9999");
    Type(dlg, IDC_HY_DP1, "0.1");
    Type(dlg, IDC_HY_DP3, "0.005");
    PressOk(dlg);
    EXPECT_EQ(IDOK, dlg.result());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(9999, profile.ints["Hy0"]);
    EXPECT_EQ(1, profile.ints["Hy1"]);
    EXPECT_EQ(250, profile.ints["Hy2"]);
    EXPECT_EQ(5, profile.ints["Hy3"]);
    EXPECT_EQ((HysteresisValues{9999, 1, 250, 5}), dlg.hy);
}

TEST_F(HysteresisDlgTest, ThousandthsRefuseTenAndNothingIsWritten) {
    CHysteresisDlg dlg(profile);
    dlg.show();
    Type(dlg, IDC_HY_DP3, "10");
    PressOk(dlg);
    EXPECT_TRUE(dlg.isVisible());
    ASSERT_EQ(1u, ui.messages.size());
    EXPECT_EQ("Please enter a value between 0.001 and 9.999.", ui.messages[0].text);
    EXPECT_EQ(dlg.Control<QLineEdit>(IDC_HY_DP3), dlg.focusWidget());
    EXPECT_EQ(0, profile.writes);
}

TEST_F(HysteresisDlgTest, EachFieldHasItsOwnRange) {
    struct Case {
        int id;
        const char* text;
        const char* message;
    } cases[] = {
        {IDC_HY_DP0, "0", "Please enter a value between 1 and 9999."},
        {IDC_HY_DP0, "10000", "Please enter a value between 1 and 9999."},
        {IDC_HY_DP0, "0.5", "Please enter a number."},
        {IDC_HY_DP1, "0.04", "Please enter a value between 0.1 and 999.9."}, // rounds to 0.0
        {IDC_HY_DP1, "1000", "Please enter a value between 0.1 and 999.9."},
        {IDC_HY_DP2, "-0.01", "Please enter a value between 0.01 and 99.99."},
        {IDC_HY_DP2, "x", "Please enter a number."},
    };
    for (const Case& c : cases) {
        CHysteresisDlg dlg(profile);
        dlg.show();
        ui.messages.clear();
        Type(dlg, c.id, c.text);
        PressOk(dlg);
        EXPECT_TRUE(dlg.isVisible()) << c.text;
        ASSERT_EQ(1u, ui.messages.size()) << c.text;
        EXPECT_EQ(c.message, ui.messages[0].text) << c.text;
    }
    EXPECT_EQ(0, profile.writes);
}

TEST_F(HysteresisDlgTest, UpperBoundsAreAccepted) {
    CHysteresisDlg dlg(profile);
    dlg.show();
    Type(dlg, IDC_HY_DP1, "999.9");
    Type(dlg, IDC_HY_DP2, "99.99");
    Type(dlg, IDC_HY_DP3, "9.999");
    PressOk(dlg);
    EXPECT_EQ(IDOK, dlg.result());
    EXPECT_EQ((HysteresisValues{5, 9999, 9999, 9999}), dlg.hy);
}

TEST_F(HysteresisDlgTest, CancelWritesNothing) {
    CHysteresisDlg dlg(profile);
    dlg.show();
    Type(dlg, IDC_HY_DP0, "7");
    dlg.Control<QPushButton>(IDCANCEL)->click();
    EXPECT_EQ(IDCANCEL, dlg.result());
    EXPECT_EQ(0, profile.writes);
}

TEST_F(HysteresisDlgTest, UsesTheUserProfileByDefault) {
    {
        QSettings settings("Norvane", "Calora");
        settings.clear();
        settings.setValue("Hy1", 12);
    }
    CHysteresisDlg dlg;
    dlg.show();
    EXPECT_EQ("1.2", dlg.GetDlgItemText(IDC_HY_DP1));
    Type(dlg, IDC_HY_DP0, "8");
    PressOk(dlg);
    ASSERT_EQ(IDOK, dlg.result());
    QSettings settings("Norvane", "Calora");
    EXPECT_EQ(8, settings.value("Hy0").toInt());
    EXPECT_EQ(12, settings.value("Hy1").toInt());
    EXPECT_EQ(5, settings.value("Hy3").toInt());
}
