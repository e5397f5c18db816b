// The retransmission page: the limits' scale by variable and input, codes with no entry, the
// hints, single writes.
#include "PageTestSupport.h"

#include "ui/framework/DataExchange.h"
#include "ui/pages/PageIds.h"
#include "ui/pages/RetransmissionPage.h"

#include <QSpinBox>

using namespace retx;

namespace {

class RetransmissionPageTest : public PageFixture<CRetransmissionPage> {
protected:
    void SetUp() override { Start(TQ100); }
    void Variable(int index) { Choose(kVariable, index); }
    // True when both limits are accepted.
    bool Limits(const QString& low, const QString& high) {
        Type(kLowLimit, low);
        Type(kHighLimit, high);
        return Save();
    }
};

TEST_F(RetransmissionPageTest, LimitsFollowTheVariableAndTheInput) {
    Variable(1); // U%
    EXPECT_TRUE(Limits("0.0", "100.0"));
    EXPECT_EQ(Value(reg::kRetransUpperLimit), 1000);
    EXPECT_FALSE(Limits("0.0", "100.1"));
    EXPECT_EQ(recorder.LastText(), RangeMessage("0.0", "100.0"));

    Variable(2); // PV, thermocouple K, no decimals: the sensor's span
    EXPECT_TRUE(Limits("0", "1372"));
    EXPECT_FALSE(Limits("-1", "1372"));
    EXPECT_EQ(FocusId(), kLowLimit);
    session.model.SetValue(reg::kDecimalPoint, 1);
    EXPECT_TRUE(Limits("-199.9", "999.9"));
    EXPECT_EQ(Value(reg::kRetransLowerLimit), -1999);

    // SP on a linear input: the setpoint limits.
    session.model.SetValue(reg::kInputType, 10);
    session.model.SetValue(reg::kSetpointLowerLimit, -50);
    session.model.SetValue(reg::kSetpointUpperLimit, 500);
    Variable(3);
    EXPECT_FALSE(Limits("-5.0", "50.1"));
    EXPECT_EQ(recorder.LastText(), RangeMessage("-5.0", "50.0"));
    // A reversed scale (lower above upper) is a setting like any other.
    EXPECT_TRUE(Limits("40.0", "30.0")) << recorder.LastText().toStdString();
    EXPECT_EQ(Value(reg::kRetransLowerLimit), 400);
    EXPECT_TRUE(Limits("30.0", "40.0"));

    Variable(0); // None: limits off and unchecked
    EXPECT_FALSE(page->GetDlgItem(kLowLimit)->isEnabled());
    EXPECT_TRUE(Limits("99999", "abc"));
    EXPECT_EQ(Value(reg::kRetransLowerLimit), 300);
    EXPECT_EQ(Value(reg::kRetransVariable), 0);
}

TEST_F(RetransmissionPageTest, CodesWithoutAnEntryAreKept) {
    session.model.SetValue(reg::kRetransBaud, 7);
    session.model.SetValue(reg::kRetransParity, 3);
    session.model.SetValue(reg::kRetransSignal, 2);
    Reload();
    EXPECT_EQ(Selected(kBaud), -1);
    EXPECT_FALSE(Checked(kParityNone) || Checked(kParityOdd) || Checked(kParityEven));
    EXPECT_EQ(Selected(kSignal), 2);
    ASSERT_TRUE(Save());
    EXPECT_EQ(Value(reg::kRetransBaud), 7);
    EXPECT_EQ(Value(reg::kRetransParity), 3);

    Choose(kBaud, 3);
    Click(kParityOdd);
    ASSERT_TRUE(Save());
    EXPECT_EQ(Value(reg::kRetransBaud), 3);
    EXPECT_EQ(Value(reg::kRetransParity), 1);
}

TEST_F(RetransmissionPageTest, ChoiceWithoutAnEntryIsNotWrittenAndTheCodeIsKept) {
    struct Choice {
        uint32_t index;
        int write;
        int nameId;
    };
    const Choice choices[] = {{reg::kRetransBaud, kWriteBaud, IDS_BAUD_RATE},
                              {reg::kRetransParity, kWriteParity, IDS_PARITY},
                              {reg::kRetransVariable, kWriteVariable, IDS_PARAM_RETX_VARIABLE},
                              {reg::kRetransSignal, kWriteSignal, IDS_PARAM_RETX_SIGNAL}};
    for (const Choice& c : choices) {
        session.model.SetValue(c.index, 5);
        bus.At(1).SetRegister(static_cast<uint16_t>(c.index), 5);
    }
    Reload();
    bus.ClearRequestLog();
    for (const Choice& c : choices) {
        Click(c.write);
        EXPECT_EQ(recorder.LastText(), TextById(IDS_MSG_NOTHING_CHOSEN) + " " + TextById(c.nameId));
        EXPECT_EQ(Value(c.index), 5) << c.index;
        EXPECT_EQ(bus.At(1).Register(static_cast<uint16_t>(c.index)), 5) << c.index;
    }
    EXPECT_TRUE(bus.RequestLog().empty());

    // Once chosen, the choice is written.
    Choose(kBaud, 1);
    Click(kWriteBaud);
    EXPECT_EQ(bus.At(1).Register(reg::kRetransBaud), 1);
    EXPECT_EQ(recorder.LastText(), TextById(IDS_MSG_WRITE_DONE));
}

TEST_F(RetransmissionPageTest, SignalChoiceNamesTheOutputKind) {
    Choose(kSignal, 3);
    EXPECT_EQ(recorder.LastText(), TextById(IDS_INFO_VOLTAGE_OUTPUT));
    Choose(kSignal, 1);
    EXPECT_EQ(recorder.LastText(), TextById(IDS_INFO_CURRENT_OUTPUT));
    EXPECT_EQ(Value(reg::kRetransSignal), 1);
}

TEST_F(RetransmissionPageTest, AddressIsWrittenFromTheSpin) {
    page->Control<QSpinBox>(kAddressSpin)->setValue(17);
    Click(kWriteAddress);
    EXPECT_EQ(bus.At(1).Register(reg::kRetransAddress), 17);
    EXPECT_EQ(Value(reg::kRetransAddress), 17);
    EXPECT_EQ(recorder.LastText(), TextById(IDS_MSG_WRITE_DONE));
}

} // namespace
