// The configuration page: register codes, the order of its checks, the write buttons.
#include "PageTestSupport.h"

#include "ui/framework/DataExchange.h"
#include "ui/pages/ConfigurationPage.h"
#include "ui/pages/PageIds.h"

using namespace cfg;

namespace {

class ConfigurationPageTest : public PageFixture<CConfigurationPage> {
protected:
    void SetUp() override { Start(TQ102_TQ402); }
};

TEST_F(ConfigurationPageTest, AlarmAndRampCodesRoundTrip) {
    session.model.SetValue(reg::kSoftwareVersion, 12);
    session.model.SetValue(reg::kAlarm1Config, 5);     // type code 5: entry 4
    session.model.SetValue(reg::kAlarm2Config, 4 | 8); // code 4: entry 3, held
    session.model.SetValue(reg::kAlarmContacts, 2);    // alarm 2 NC->NO
    session.model.SetValue(reg::kRampConfig, 8 | 2);   // on, continuous
    Reload();
    EXPECT_EQ(Selected(kAlarm1Type), 4);
    EXPECT_FALSE(Checked(kAlarm1Hold));
    EXPECT_EQ(Selected(kAlarm2Type), 3);
    EXPECT_TRUE(Checked(kAlarm2Hold));
    EXPECT_TRUE(Checked(kAlarm1ActionNoNc));
    EXPECT_TRUE(Checked(kAlarm2ActionNcNo));
    EXPECT_TRUE(Checked(kRampOn));
    EXPECT_TRUE(Checked(kRampContinuous));

    ASSERT_TRUE(Save());
    EXPECT_EQ(Value(reg::kAlarm1Config), 5);
    EXPECT_EQ(Value(reg::kAlarm2Config), 3 | 8);
    EXPECT_EQ(Value(reg::kAlarmContacts), 2);
    EXPECT_EQ(Value(reg::kRampConfig), 8 | 2);

    Choose(kAlarm1Type, 6);
    Click(kAlarm1ActionNcNo);
    Click(kRampOneShot);
    Click(kRampPowerOn);
    ASSERT_TRUE(Save());
    EXPECT_EQ(Value(reg::kAlarm1Config), 7);
    EXPECT_EQ(Value(reg::kAlarmContacts), 3);
    EXPECT_EQ(Value(reg::kRampConfig), 8 | 4 | 1);
}

TEST_F(ConfigurationPageTest, RampIsLeftAloneBeforeSoftware12) {
    session.model.SetValue(reg::kRampConfig, 8 | 2);
    session.model.SetValue(reg::kRampTime, 77);
    Reload();
    EXPECT_FALSE(page->GetDlgItem(kRampTime)->isEnabled());
    EXPECT_FALSE(page->GetDlgItem(kWriteRampBox)->isEnabled());
    Type(kRampTime, "5000"); // out of range, but not checked
    ASSERT_TRUE(Save());
    EXPECT_EQ(Value(reg::kRampTime), 77);
    EXPECT_EQ(Value(reg::kRampConfig), 8 | 2);
}

TEST_F(ConfigurationPageTest, SetpointsAreCheckedAgainstTheLimitsOfTheSamePass) {
    session.model.SetValue(reg::kDecimalPoint, 1);
    Reload();
    EXPECT_EQ(Text(kSetpoint), "20.0"); // raw 200
    // New limits typed together with a setpoint inside them: accepted in one pass.
    Type(kSetpointHigh, "999.9");
    Type(kSetpointLow, "-199.9");
    Type(kSetpoint, "25.06");
    Type(kSetpoint2, "700.04");
    ASSERT_TRUE(Save()) << recorder.LastText().toStdString();
    EXPECT_EQ(Value(reg::kSetpointUpperLimit), 9999);
    EXPECT_EQ(Value(reg::kSetpointLowerLimit), -1999);
    EXPECT_EQ(Value(reg::kSetpoint), 251);
    EXPECT_EQ(Value(reg::kSecondarySetpoint), 7000);

    Type(kSetpointHigh, "50.0");
    EXPECT_FALSE(Save()); // the second setpoint 700.0 is now above the limit
    EXPECT_EQ(recorder.LastText(), RangeMessage("-199.9", "50.0"));
    EXPECT_EQ(FocusId(), kSetpoint2);
    EXPECT_EQ(Value(reg::kSetpointUpperLimit), 9999); // nothing stored
}

TEST_F(ConfigurationPageTest, RefusedEntryKeepsTheTypedTextAndWritesNothing) {
    session.model.SetValue(reg::kDecimalPoint, 1);
    Reload();
    bus.ClearRequestLog();
    page->GetDlgItem(kSetpoint)->setFocus(); // where the user types
    Type(kSetpointHigh, "80.04");            // accepted, but the pass fails later: still as typed
    Type(kSetpoint, "99999");
    Click(kWriteSetpoint);
    EXPECT_EQ(recorder.LastText(), RangeMessage("0.0", "80.0"));
    EXPECT_EQ(Text(kSetpoint), "99999");
    EXPECT_EQ(Text(kSetpointHigh), "80.04");
    EXPECT_EQ(FocusId(), kSetpoint);
    EXPECT_TRUE(bus.RequestLog().empty());

    // An accepted pass shows every field in its canonical form.
    Type(kSetpoint, "25.06");
    ASSERT_TRUE(Save());
    EXPECT_EQ(Text(kSetpoint), "25.1");
    EXPECT_EQ(Text(kSetpointHigh), "80.0");
}

TEST_F(ConfigurationPageTest, CrossingLimitsAreRefusedOnTheLowerLimit) {
    Type(kSetpointHigh, "100");
    Type(kSetpointLow, "150");
    Type(kSetpoint, "120");
    EXPECT_FALSE(Save());
    EXPECT_EQ(recorder.LastText(), RangeMessage("-1999", "100"));
    EXPECT_EQ(FocusId(), kSetpointLow);
    EXPECT_EQ(Value(reg::kSetpointLowerLimit), 0);

    Type(kSetpointLow, "90");
    Type(kSetpoint, "95");
    Type(kSetpoint2, "95");
    EXPECT_TRUE(Save()) << recorder.LastText().toStdString();
    EXPECT_EQ(Value(reg::kSetpointLowerLimit), 90);
}

TEST_F(ConfigurationPageTest, ShownDecimalsFollowTheirRules) {
    session.model.SetValue(reg::kDecimalPoint, 2);
    session.model.SetValue(reg::kInputType, 3); // thermocouple: one decimal for hystereses
    session.model.SetValue(reg::kHysteresis, 15);
    session.model.SetValue(reg::kProportionalBand, 0);
    Reload();
    EXPECT_EQ(Text(kHysteresis), "1.5");
    EXPECT_EQ(Text(kPropBand), "ON-OFF");
    ASSERT_TRUE(Save());
    EXPECT_EQ(Value(reg::kProportionalBand), 0);

    session.model.SetValue(reg::kInputType, 12); // linear input: register 32 decimals
    Reload();
    EXPECT_EQ(Text(kHysteresis), "0.15");

    // Leaving a field reformats it without checking: 0.004 rounds to 0, shown as ON-OFF.
    auto* band = page->Control<QLineEdit>(kPropBand);
    band->setFocus();
    band->setText("0.004");
    page->Control<QLineEdit>(kOffset)->setFocus();
    EXPECT_EQ(Text(kPropBand), "ON-OFF");
    auto* setpoint = page->Control<QLineEdit>(kSetpoint);
    setpoint->setFocus();
    setpoint->setText("3.14159");
    band->setFocus();
    EXPECT_EQ(Text(kSetpoint), "3.14");
}

TEST_F(ConfigurationPageTest, ComingBackShowsTheFieldsWithTodaysDecimals) {
    // Left with a valid page; another page then sets one decimal: the raw setpoint 200 now
    // reads 20.0, so saving again cannot multiply it by ten.
    ASSERT_TRUE(Save());
    page->hide();
    session.model.SetValue(reg::kDecimalPoint, 1);
    page->show();
    EXPECT_EQ(Text(kSetpoint), "20.0");
    ASSERT_TRUE(Save());
    EXPECT_EQ(Value(reg::kSetpoint), 200);

    // Sent back by a refusal: the text stays as typed, for the user to fix.
    page->hide();
    Type(kSetpoint, "abc");
    EXPECT_FALSE(Save());
    page->show();
    EXPECT_EQ(Text(kSetpoint), "abc");
}

TEST_F(ConfigurationPageTest, WriteButtonsSendTheFieldsToTheController) {
    session.model.SetValue(reg::kSoftwareVersion, 12);
    Reload();
    Type(kSetpoint, "321");
    Click(kWriteSetpoint);
    EXPECT_EQ(bus.At(1).Register(reg::kSetpoint), 321);
    EXPECT_EQ(recorder.LastText(), TextById(IDS_MSG_WRITE_DONE));
    const std::vector<sim::RequestRecord> log = bus.RequestLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().function, 6);
    EXPECT_EQ(log.back().start, reg::kSetpoint);
    EXPECT_EQ(log.back().quantity, 321);

    // A refused field writes nothing.
    bus.ClearRequestLog();
    Type(kCycleTime, "0");
    Click(kWriteCycleTime);
    EXPECT_TRUE(bus.RequestLog().empty());
    EXPECT_EQ(recorder.LastText(), RangeMessage("1", "100"));

    // The alarms box goes in one group, register by register, in its order.
    Type(kCycleTime, "4");
    Choose(kAlarm2Type, 5);
    Type(kAlarm1Setpoint, "250");
    CAutoCloseTasks tasks;
    Click(kWriteAlarmsBox);
    EXPECT_EQ(tasks.modes, std::vector<int>{6});
    std::vector<uint16_t> written;
    for (const sim::RequestRecord& record : bus.RequestLog())
        if (record.function == 6)
            written.push_back(record.start);
    EXPECT_EQ(written, (std::vector<uint16_t>{5, 6, 22, 23, 34, 35, 25}));
    EXPECT_EQ(bus.At(1).Register(reg::kAlarm2Config), 6);
    EXPECT_EQ(bus.At(1).Register(reg::kAlarm1Setpoint), 250);
    EXPECT_EQ(bus.At(1).Register(reg::kCycleTime), 1); // not in the box
}

} // namespace
