// The second configuration page: input and output codes by family, the decimal point range,
// the hints that follow the user's choices, the versions, the input box write.
#include "PageTestSupport.h"

#include "ui/framework/DataExchange.h"
#include "ui/pages/InputOutputPage.h"
#include "ui/pages/PageIds.h"

#include <QSpinBox>

using namespace cfg2;

namespace {

class InputOutputPageTest : public PageFixture<CInputOutputPage> {
protected:
    QSpinBox* Spin(int id) { return page->Control<QSpinBox>(id); }
};

TEST_F(InputOutputPageTest, InputCodesSkipNineAndUnknownCodesAreKept) {
    Start(TQ102_TQ402);
    session.model.SetValue(reg::kInputType, 10);
    Reload();
    EXPECT_EQ(Selected(kInputType), 9);
    Choose(kInputType, 12);
    ASSERT_TRUE(Save());
    EXPECT_EQ(Value(reg::kInputType), 13);

    // Codes the lists do not hold select nothing and are stored back unchanged.
    session.model.SetValue(reg::kInputType, 9);
    session.model.SetValue(reg::kDigitalInputConfig, 7);
    session.model.SetValue(reg::kUnit, 2);
    Reload();
    EXPECT_EQ(Selected(kInputType), -1);
    EXPECT_EQ(Selected(kDigitalInput), -1);
    EXPECT_FALSE(Checked(kUnitCelsius) || Checked(kUnitFahrenheit));
    ASSERT_TRUE(Save());
    EXPECT_EQ(Value(reg::kInputType), 9);
    EXPECT_EQ(Value(reg::kDigitalInputConfig), 7);
    EXPECT_EQ(Value(reg::kUnit), 2);
}

TEST_F(InputOutputPageTest, ChosenInputTypeSetsTheDecimalRangeAndGivesItsHint) {
    Start(TQ100);
    session.model.SetValue(reg::kInputType, 12); // 4-20mA, entry 11
    session.model.SetValue(reg::kDecimalPoint, 3);
    session.model.SetValue(reg::kInputBias, 1234);
    Reload();
    EXPECT_TRUE(recorder.messages.empty()); // the program's own refill says nothing
    EXPECT_EQ(Spin(kDecimalPointSpin)->value(), 3);
    EXPECT_EQ(Text(kBias), "1.234");

    Choose(kInputType, 1); // J thermocouple
    EXPECT_EQ(Spin(kDecimalPointSpin)->value(), 1);
    EXPECT_EQ(Spin(kDecimalPointSpin)->maximum(), 1);
    EXPECT_EQ(Text(kBias), "1.2"); // shown with the new decimals
    EXPECT_EQ(recorder.LastText(), TextById(IDS_INFO_INPUT_TC_TQ100));
    Choose(kInputType, 11);
    EXPECT_EQ(Spin(kDecimalPointSpin)->maximum(), 3);
    EXPECT_EQ(recorder.LastText(), TextById(IDS_INFO_INPUT_MA_TQ100));
    ASSERT_TRUE(Save());
    EXPECT_EQ(Value(reg::kDecimalPoint), 1);
    EXPECT_EQ(Value(reg::kInputBias), 12);
}

TEST_F(InputOutputPageTest, OutputCodesFollowTheFamily) {
    Start(TQ102_TQ402);
    session.model.SetValue(reg::kOutputConfig, 6 | 1); // 0-20mA, reverse
    session.model.SetValue(reg::kManualModeConfig, 8 | 2);
    Reload();
    EXPECT_TRUE(Checked(kOutput0to20));
    EXPECT_TRUE(Checked(kActionReverse));
    EXPECT_TRUE(Checked(kManual));
    EXPECT_TRUE(Checked(kPowerOnLast));
    Click(kOutputRelay);
    Click(kActionDirect);
    Click(kManual);
    ASSERT_TRUE(Save());
    EXPECT_EQ(Value(reg::kOutputConfig), 0);
    EXPECT_EQ(Value(reg::kManualModeConfig), 8 | 4);
    Click(kOutput4to20);
    EXPECT_EQ(recorder.LastText(), TextById(IDS_INFO_ANALOG_OUTPUT));

    // The TQ100 has neither output types nor the manual check: register 24 is the action.
    session.model.SetFamily(nullptr, TQ100);
    page->ReloadTexts(); // as the sheet does after a family switch
    Reload();
    EXPECT_FALSE(page->GetDlgItem(kOutputRelay)->isEnabled());
    EXPECT_FALSE(page->GetDlgItem(kManual)->isEnabled());
    EXPECT_EQ(page->Control<QComboBox>(kDigitalInput)->count(), 3);
    Click(kActionReverse);
    ASSERT_TRUE(Save());
    EXPECT_EQ(Value(reg::kOutputConfig), 1);
    EXPECT_EQ(Value(reg::kManualModeConfig), 8);
}

TEST_F(InputOutputPageTest, VersionsAndOutputLimit) {
    Start(TQ102_TQ402);
    session.model.SetValue(reg::kHardwareVersion, 12);
    Reload();
    EXPECT_EQ(Text(kVersion), "Hw: v?.? Sw: v?.?");
    session.model.SetValue(reg::kSoftwareVersion, 15);
    session.model.SetValue(reg::kOutputLimit, 995);
    Reload();
    EXPECT_EQ(Text(kVersion), "Hw: v1.2 Sw: v1.5");
    EXPECT_EQ(Text(kOutputLimitEdit), "99.5");

    QSpinBox* limit = Spin(kOutputLimitSpin);
    limit->stepBy(10);
    EXPECT_EQ(Text(kOutputLimitEdit), "100.0");
    limit->setValue(3);
    limit->stepBy(-10);
    EXPECT_EQ(Text(kOutputLimitEdit), "0.0");
    // A typed percentage is what gets stored.
    Type(kOutputLimitEdit, "42.5");
    ASSERT_TRUE(Save());
    EXPECT_EQ(Value(reg::kOutputLimit), 425);
}

TEST_F(InputOutputPageTest, InputBoxIsWrittenAsOneGroup) {
    Start(TQ102_TQ402);
    Type(kBias, "2000");
    Click(kWriteInputBox);
    EXPECT_EQ(recorder.LastText(), RangeMessage("-1999", "1999"));
    EXPECT_TRUE(bus.RequestLog().empty());

    Type(kBias, "-15");
    Choose(kInputType, 3);
    CAutoCloseTasks tasks;
    Click(kWriteInputBox);
    EXPECT_EQ(tasks.modes, std::vector<int>{7});
    std::vector<uint16_t> written;
    for (const sim::RequestRecord& record : bus.RequestLog())
        if (record.function == 6)
            written.push_back(record.start);
    EXPECT_EQ(written, (std::vector<uint16_t>{16, 19, 20, 32, 37}));
    EXPECT_EQ(bus.At(1).Register(reg::kInputBias), -15);
    EXPECT_EQ(bus.At(1).Register(reg::kInputType), 3);
}

} // namespace
