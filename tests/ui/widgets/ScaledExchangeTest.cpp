#include "ui/widgets/ScaledExchange.h"
#include "support/RecordingUiServices.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/DialogBase.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

constexpr int kScaled = 1100;
constexpr int kOther = 1101;

class CScaledForm : public CDialogBase {
public:
    CScaledForm() : CDialogBase(999) {
        AddControl<QLineEdit>(kScaled, 5, 5, 40, 12);
        AddControl<QLineEdit>(kOther, 5, 20, 40, 12);
    }
    int16_t raw = 0;
    int d = 1;

protected:
    void DoDataExchange(CDataExchange& dx) override { ExchangeScaled(dx, kScaled, raw, d); }
};

class ScaledExchangeTest : public ::testing::Test {
protected:
    CRecordingUiServices ui;
    CScopedUiServices scope{ui};
    CScaledForm form;

    QLineEdit* Edit() { return form.Control<QLineEdit>(kScaled); }
    bool Save(const QString& text) {
        Edit()->setText(text);
        return form.UpdateData(true);
    }
};

} // namespace

TEST_F(ScaledExchangeTest, StoresRoundedValueAndShowsCanonicalText) {
    ASSERT_TRUE(Save("12.34"));
    EXPECT_EQ(123, form.raw);
    EXPECT_EQ("12.3", Edit()->text());
}

TEST_F(ScaledExchangeTest, RoundsHalfAwayFromZeroBelowZero) {
    ASSERT_TRUE(Save("-0.05"));
    EXPECT_EQ(-1, form.raw);
    EXPECT_EQ("-0.1", Edit()->text());
}

TEST_F(ScaledExchangeTest, LimitsTheStoredValue) {
    ASSERT_TRUE(Save("99999"));
    EXPECT_EQ(32767, form.raw);
    EXPECT_EQ("3276.7", Edit()->text());
    ASSERT_TRUE(Save("-99999"));
    EXPECT_EQ(-32767, form.raw);
}

TEST_F(ScaledExchangeTest, RefusesTextThatIsNotANumberAndKeepsTheValue) {
    form.raw = 77;
    form.show();
    form.Control<QLineEdit>(kOther)->setFocus();
    EXPECT_FALSE(Save("12,5"));
    EXPECT_EQ(77, form.raw);
    ASSERT_EQ(1u, ui.messages.size());
    EXPECT_EQ(NumberMessage(), ui.messages[0].text);
    EXPECT_EQ(MbIcon::Exclamation, ui.messages[0].icon);
    EXPECT_EQ(Edit(), form.focusWidget());
    EXPECT_EQ("12,5", Edit()->text()); // left for the user to correct
}

TEST_F(ScaledExchangeTest, ShowingUsesTheDecimalsModuloFour) {
    form.raw = -1999;
    form.d = 6; // 6 & 3 = 2
    ASSERT_TRUE(form.UpdateData(false));
    EXPECT_EQ("-19.99", Edit()->text());
}

TEST_F(ScaledExchangeTest, ReformatRewritesParsableTextWithoutLimits) {
    Edit()->setText(" 99999 ");
    ReformatScaled(&form, kScaled, 1);
    EXPECT_EQ("99999.0", Edit()->text());
    Edit()->setText("25.06");
    ReformatScaled(&form, kScaled, 1);
    EXPECT_EQ("25.1", Edit()->text());
}

TEST_F(ScaledExchangeTest, ReformatLeavesOtherTextAndMissingControlsAlone) {
    Edit()->setText("ON-OFF");
    ReformatScaled(&form, kScaled, 1);
    EXPECT_EQ("ON-OFF", Edit()->text());
    ReformatScaled(&form, 4242, 1); // no such control: nothing happens
    ReformatScaled(nullptr, kScaled, 1);
    EXPECT_TRUE(ui.messages.empty());
}
