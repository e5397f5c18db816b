#include "ui/framework/DataExchange.h"
#include "support/RecordingUiServices.h"
#include "ui/framework/DialogBase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

enum {
    kCount = 100,
    kShort = 101,
    kPort = 102,
    kName = 103,
    kCombo = 104,
    kList = 105,
    kCheck = 106,
    kRadioA = 107,
    kRadioB = 108,
    kRadioC = 109,
    kReal = 110
};

class CExchangeForm : public CDialogBase {
public:
    CExchangeForm() : CDialogBase(998) {
        AddControl<QLineEdit>(kCount, 0, 0, 40, 12);
        AddControl<QLineEdit>(kShort, 0, 14, 40, 12);
        AddControl<QLineEdit>(kPort, 0, 28, 40, 12);
        AddControl<QLineEdit>(kName, 0, 42, 40, 12);
        auto* combo = AddControl<QComboBox>(kCombo, 0, 56, 40, 12);
        combo->addItems({"2400", "4800", "9600", "19200"});
        auto* list = AddControl<QListWidget>(kList, 50, 0, 40, 40);
        list->addItems({"a", "b", "c"});
        AddControl<QCheckBox>(kCheck, 50, 42, 40, 12);
        AddControl<QRadioButton>(kRadioA, 50, 56, 40, 12);
        AddControl<QRadioButton>(kRadioB, 50, 70, 40, 12);
        AddControl<QRadioButton>(kRadioC, 50, 84, 40, 12);
        AddControl<QLineEdit>(kReal, 0, 70, 40, 12);
    }
    int count = 5;
    int16_t shortValue = -3;
    uint32_t port = 405;
    std::string name = "TQ";
    int comboIndex = 3;
    int listIndex = 1;
    int check = 1;
    int radio = 2;
    int real = 0; // a scaled field checked exactly on its raw bounds

protected:
    void DoDataExchange(CDataExchange& dx) override {
        ExchangeInt(dx, kCount, count);
        ValidateRange(dx, count, 1, 9999);
        ExchangeInt(dx, kShort, shortValue);
        ExchangeInt(dx, kPort, port);
        ValidateRange(dx, port, 0, 65535);
        ExchangeText(dx, kName, name);
        ExchangeIndex(dx, kCombo, comboIndex);
        ExchangeIndex(dx, kList, listIndex);
        ExchangeCheck(dx, kCheck, check);
        ExchangeRadio(dx, {kRadioA, kRadioB, kRadioC}, radio);
        ExchangeInt(dx, kReal, real);
        ValidateScaledRange(dx, real, -1999, 9999, 1);
    }
};

class DataExchangeTest : public ::testing::Test {
protected:
    CRecordingUiServices ui;
    CScopedUiServices scope{ui};
    CExchangeForm form;

    void SetUp() override {
        form.show();
        ASSERT_TRUE(form.UpdateData(false));
        form.Control<QLineEdit>(kName)->setFocus();
    }
    QLineEdit* Edit(int id) { return form.Control<QLineEdit>(id); }
    void ExpectRefusedOn(int id, const QString& message) {
        ASSERT_EQ(1u, ui.messages.size());
        EXPECT_EQ(message, ui.messages[0].text);
        EXPECT_EQ(MbIcon::Exclamation, ui.messages[0].icon);
        EXPECT_EQ(MbButtons::Ok, ui.messages[0].buttons);
        EXPECT_EQ("Calora", ui.messages[0].caption);
        EXPECT_EQ(Edit(id), form.focusWidget());
        EXPECT_TRUE(Edit(id)->hasSelectedText() || Edit(id)->text().isEmpty());
    }
};

} // namespace

TEST_F(DataExchangeTest, ShowDirectionFillsEveryKindOfControl) {
    EXPECT_EQ("5", Edit(kCount)->text());
    EXPECT_EQ("-3", Edit(kShort)->text());
    EXPECT_EQ("405", Edit(kPort)->text());
    EXPECT_EQ("TQ", Edit(kName)->text());
    EXPECT_EQ(3, form.Control<QComboBox>(kCombo)->currentIndex());
    EXPECT_EQ(1, form.Control<QListWidget>(kList)->currentRow());
    EXPECT_TRUE(form.Control<QCheckBox>(kCheck)->isChecked());
    EXPECT_TRUE(form.Control<QRadioButton>(kRadioC)->isChecked());
    EXPECT_FALSE(form.Control<QRadioButton>(kRadioA)->isChecked());
}

TEST_F(DataExchangeTest, SaveDirectionReadsEveryKindOfControl) {
    Edit(kCount)->setText(" 42 ");
    Edit(kShort)->setText("-32768");
    Edit(kPort)->setText("65535");
    Edit(kName)->setText("ZI102");
    form.Control<QComboBox>(kCombo)->setCurrentIndex(0);
    form.Control<QListWidget>(kList)->setCurrentRow(2);
    form.Control<QCheckBox>(kCheck)->setChecked(false);
    form.Control<QRadioButton>(kRadioA)->setChecked(true);
    ASSERT_TRUE(form.UpdateData(true));
    EXPECT_EQ(42, form.count);
    EXPECT_EQ(-32768, form.shortValue);
    EXPECT_EQ(65535u, form.port);
    EXPECT_EQ("ZI102", form.name);
    EXPECT_EQ(0, form.comboIndex);
    EXPECT_EQ(2, form.listIndex);
    EXPECT_EQ(0, form.check);
    EXPECT_EQ(0, form.radio);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DataExchangeTest, RadioIndexMinusOneClearsTheGroupAndReadsBackAsMinusOne) {
    form.radio = -1;
    ASSERT_TRUE(form.UpdateData(false));
    EXPECT_FALSE(form.Control<QRadioButton>(kRadioA)->isChecked());
    EXPECT_FALSE(form.Control<QRadioButton>(kRadioB)->isChecked());
    EXPECT_FALSE(form.Control<QRadioButton>(kRadioC)->isChecked());
    form.radio = 1;
    ASSERT_TRUE(form.UpdateData(true));
    EXPECT_EQ(-1, form.radio);
    // The group stays exclusive afterwards.
    form.Control<QRadioButton>(kRadioA)->setChecked(true);
    form.Control<QRadioButton>(kRadioB)->setChecked(true);
    EXPECT_FALSE(form.Control<QRadioButton>(kRadioA)->isChecked());
}

TEST_F(DataExchangeTest, LettersAreRefusedAsNotANumberAndThePassStops) {
    Edit(kCount)->setText("12a");
    Edit(kName)->setText("changed");
    EXPECT_FALSE(form.UpdateData(true));
    ExpectRefusedOn(kCount, "Please enter a number.");
    EXPECT_EQ(5, form.count);
    EXPECT_EQ("TQ", form.name); // later fields were not read
}

TEST_F(DataExchangeTest, EmptyAndFractionalTextsAreNotWholeNumbers) {
    Edit(kCount)->setText("");
    EXPECT_FALSE(form.UpdateData(true));
    Edit(kCount)->setText("1.5");
    EXPECT_FALSE(form.UpdateData(true));
    ASSERT_EQ(2u, ui.messages.size());
    EXPECT_EQ("Please enter a number.", ui.messages[1].text);
}

TEST_F(DataExchangeTest, OutOfRangeValueShowsTheRangeAndFocusesTheField) {
    Edit(kPort)->setText("65536");
    EXPECT_FALSE(form.UpdateData(true));
    ExpectRefusedOn(kPort, "Please enter a value between 0 and 65535.");
    EXPECT_EQ("TQ", form.name); // the pass ended at the port
}

TEST_F(DataExchangeTest, ValueTheMemberCannotHoldIsARangeRefusal) {
    Edit(kShort)->setText("40000");
    EXPECT_FALSE(form.UpdateData(true));
    ExpectRefusedOn(kShort, "Please enter a value between -32768 and 32767.");
    EXPECT_EQ(-3, form.shortValue);
}

TEST_F(DataExchangeTest, HugeNumbersDoNotWrapAround) {
    Edit(kCount)->setText("99999999999999999999999");
    EXPECT_FALSE(form.UpdateData(true));
    ASSERT_EQ(1u, ui.messages.size());
    EXPECT_EQ(Edit(kCount), form.focusWidget());
}

TEST_F(DataExchangeTest, BoundsAreInclusive) {
    Edit(kCount)->setText("9999");
    Edit(kReal)->setText("-1999");
    EXPECT_TRUE(form.UpdateData(true));
    Edit(kCount)->setText("0");
    EXPECT_FALSE(form.UpdateData(true));
    ExpectRefusedOn(kCount, "Please enter a value between 1 and 9999.");
}

TEST_F(DataExchangeTest, ScaledBoundsAreShownInShownUnits) {
    Edit(kReal)->setText("10000");
    EXPECT_FALSE(form.UpdateData(true));
    ExpectRefusedOn(kReal, "Please enter a value between -199.9 and 999.9.");
}

TEST_F(DataExchangeTest, ShowingNeverValidates) {
    form.count = 0; // outside 1..9999
    EXPECT_TRUE(form.UpdateData(false));
    EXPECT_TRUE(ui.messages.empty());
}
