#include "ui/widgets/ValueDlg.h"
#include "support/RecordingUiServices.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/widgets/ValuePairDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class ValueDlgTest : public ::testing::Test {
protected:
    CRecordingUiServices ui;
    CScopedUiServices scope{ui};

    void SetUp() override {
        SetTextProvider([](int id) -> std::optional<std::string> {
            switch (id) {
            case IDS_VALUE_PROMPT:
                return std::string("New value");
            case IDS_OK:
                return std::string("OK");
            default:
                return std::nullopt; // 118 missing on purpose
            }
        });
    }
    void TearDown() override { SetTextProvider({}); }

    static void Type(CDialogBase& dlg, int id, const QString& text) {
        auto* edit = dlg.Control<QLineEdit>(id);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    static void PressOk(CDialogBase& dlg) {
        QTest::mouseClick(dlg.Control<QPushButton>(IDOK), Qt::LeftButton);
    }
};

} // namespace

TEST_F(ValueDlgTest, OpensWithTheTextPassedInAndLibraryTexts) {
    CValueDlg dlg("-199.9", -1999, 9999, 1);
    dlg.show();
    EXPECT_EQ(IDD_VALUE, dlg.TemplateId());
    EXPECT_EQ("-199.9", dlg.Control<QLineEdit>(IDC_VALUE_EDIT)->text()); // not cut to 5
    EXPECT_EQ("New value", dlg.GetDlgItemText(IDC_VALUE_LABEL));
    EXPECT_EQ("OK", dlg.GetDlgItemText(IDOK));
    EXPECT_EQ("Text Error", dlg.GetDlgItemText(IDCANCEL));
    EXPECT_EQ(dlg.Control<QLineEdit>(IDC_VALUE_EDIT), dlg.focusWidget());
}

TEST_F(ValueDlgTest, TypedValueIsScaledRoundedAndRewritten) {
    CValueDlg dlg("25.0", -999, 9999, 1);
    dlg.show();
    Type(dlg, IDC_VALUE_EDIT, "12.34");
    PressOk(dlg);
    EXPECT_EQ(IDOK, dlg.result());
    EXPECT_EQ(123, dlg.value);
    EXPECT_EQ("12.3", dlg.text);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ValueDlgTest, HalvesRoundAwayFromZero) {
    CValueDlg dlg("0", -999, 9999, 2);
    dlg.show();
    Type(dlg, IDC_VALUE_EDIT, "-.125"); // exactly -12.5 hundredths
    PressOk(dlg);
    EXPECT_EQ(-13, dlg.value);
    EXPECT_EQ("-0.13", dlg.text);
}

TEST_F(ValueDlgTest, LimitsThemselvesAreAccepted) {
    CValueDlg high("0", -999, 9999, 1);
    high.show();
    Type(high, IDC_VALUE_EDIT, "999.9");
    PressOk(high);
    EXPECT_EQ(IDOK, high.result());
    EXPECT_EQ(9999, high.value);

    CValueDlg low("0", -999, 9999, 1);
    low.show();
    Type(low, IDC_VALUE_EDIT, "-99.9");
    PressOk(low);
    EXPECT_EQ(IDOK, low.result());
    EXPECT_EQ(-999, low.value);

    CValueDlg thousandths("0", 1, 9999, 3);
    thousandths.show();
    Type(thousandths, IDC_VALUE_EDIT, "0.001");
    PressOk(thousandths);
    EXPECT_EQ(IDOK, thousandths.result());
    EXPECT_EQ(1, thousandths.value);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ValueDlgTest, LettersAreRefusedAndNothingIsReturned) {
    CValueDlg dlg("25.0", -999, 9999, 1);
    dlg.show();
    Type(dlg, IDC_VALUE_EDIT, "12a");
    dlg.Control<QPushButton>(IDOK)->setFocus();
    PressOk(dlg);
    EXPECT_TRUE(dlg.isVisible());
    ASSERT_EQ(1u, ui.messages.size());
    EXPECT_EQ("Please enter a number.", ui.messages[0].text);
    EXPECT_EQ(0, dlg.value);
    EXPECT_EQ("25.0", dlg.text);
    EXPECT_EQ(dlg.Control<QLineEdit>(IDC_VALUE_EDIT), dlg.focusWidget());
}

TEST_F(ValueDlgTest, OutOfRangeIsRefusedInShownUnits) {
    CValueDlg dlg("25.0", -999, 9999, 1);
    dlg.show();
    Type(dlg, IDC_VALUE_EDIT, "1000");
    PressOk(dlg);
    EXPECT_TRUE(dlg.isVisible());
    ASSERT_EQ(1u, ui.messages.size());
    EXPECT_EQ("Please enter a value between -99.9 and 999.9.", ui.messages[0].text);
    EXPECT_EQ(0, dlg.value);
}

TEST_F(ValueDlgTest, TheTypedNumberNotItsRoundingIsChecked) {
    CValueDlg dlg("0", -999, 999, 2);
    dlg.show();
    Type(dlg, IDC_VALUE_EDIT, "9.994"); // would round to the limit, but lies above it
    PressOk(dlg);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(1u, ui.messages.size());
}

TEST_F(ValueDlgTest, MoreThanFiveCharactersCannotBeTyped) {
    CValueDlg dlg("", -999, 9999, 1);
    dlg.show();
    Type(dlg, IDC_VALUE_EDIT, "123456");
    EXPECT_EQ("12345", dlg.Control<QLineEdit>(IDC_VALUE_EDIT)->text());
}

TEST_F(ValueDlgTest, DecimalsAreTakenModuloFour) {
    CValueDlg dlg("0", 0, 100, 5); // 5 & 3 = 1
    dlg.show();
    Type(dlg, IDC_VALUE_EDIT, "2.25");
    PressOk(dlg);
    EXPECT_EQ(23, dlg.value);
    EXPECT_EQ("2.3", dlg.text);
}

TEST_F(ValueDlgTest, CancelReturnsNothing) {
    CValueDlg dlg("25.0", -999, 9999, 1);
    QTimer::singleShot(0, &dlg, [&] {
        Type(dlg, IDC_VALUE_EDIT, "30");
        dlg.Control<QPushButton>(IDCANCEL)->click();
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ("25.0", dlg.text);
    EXPECT_EQ(0, dlg.value);
}

TEST_F(ValueDlgTest, ModalRunWithEnterReturnsOk) {
    CValueDlg dlg("25.0", 0, 100, 0);
    QTimer::singleShot(0, &dlg, [&] {
        Type(dlg, IDC_VALUE_EDIT, "42");
        QTest::keyClick(dlg.Control<QLineEdit>(IDC_VALUE_EDIT), Qt::Key_Return);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(42, dlg.value);
    EXPECT_EQ("42", dlg.text);
}

TEST_F(ValueDlgTest, PairShowsBothTextsAndFixedLabels) {
    CValuePairDlg dlg("25.0", "30.0", -1999, 9999, -1999, 9999, 1);
    dlg.show();
    EXPECT_EQ(IDD_VALUE_PAIR, dlg.TemplateId());
    EXPECT_EQ("25.0", dlg.GetDlgItemText(IDC_PAIR_FIRST_EDIT));
    EXPECT_EQ("30.0", dlg.GetDlgItemText(IDC_PAIR_SECOND_EDIT));
    EXPECT_EQ("SP", dlg.GetDlgItemText(IDC_PAIR_FIRST_LABEL));
    EXPECT_EQ("SP2", dlg.GetDlgItemText(IDC_PAIR_SECOND_LABEL));
    EXPECT_EQ("OK", dlg.GetDlgItemText(IDOK));
}

TEST_F(ValueDlgTest, PairReturnsBothValuesWithSharedDecimals) {
    CValuePairDlg dlg("25.0", "30.0", -1999, 9999, 0, 500, 1);
    dlg.show();
    Type(dlg, IDC_PAIR_FIRST_EDIT, "-2.06");
    Type(dlg, IDC_PAIR_SECOND_EDIT, "50");
    PressOk(dlg);
    EXPECT_EQ(IDOK, dlg.result());
    EXPECT_EQ(-21, dlg.firstValue);
    EXPECT_EQ("-2.1", dlg.firstText);
    EXPECT_EQ(500, dlg.secondValue);
    EXPECT_EQ("50.0", dlg.secondText);
}

TEST_F(ValueDlgTest, PairChecksEachValueAgainstItsOwnLimits) {
    CValuePairDlg dlg("25.0", "30.0", -1999, 9999, 0, 500, 1);
    dlg.show();
    Type(dlg, IDC_PAIR_FIRST_EDIT, "60");
    Type(dlg, IDC_PAIR_SECOND_EDIT, "60"); // fine as the first, too high as the second
    dlg.Control<QLineEdit>(IDC_PAIR_FIRST_EDIT)->setFocus();
    PressOk(dlg);
    EXPECT_TRUE(dlg.isVisible());
    ASSERT_EQ(1u, ui.messages.size());
    EXPECT_EQ("Please enter a value between 0.0 and 50.0.", ui.messages[0].text);
    EXPECT_EQ(dlg.Control<QLineEdit>(IDC_PAIR_SECOND_EDIT), dlg.focusWidget());
    EXPECT_EQ(0, dlg.secondValue);
}

TEST_F(ValueDlgTest, PairEditsTakeFiveCharactersEach) {
    CValuePairDlg dlg("", "", -1999, 9999, -1999, 9999, 0);
    dlg.show();
    Type(dlg, IDC_PAIR_FIRST_EDIT, "1234567");
    Type(dlg, IDC_PAIR_SECOND_EDIT, "-12345");
    EXPECT_EQ("12345", dlg.GetDlgItemText(IDC_PAIR_FIRST_EDIT));
    EXPECT_EQ("-1234", dlg.GetDlgItemText(IDC_PAIR_SECOND_EDIT));
}
