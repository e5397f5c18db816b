#include "ui/widgets/DisplayDlg.h"
#include "ui/framework/ControlIds.h"
#include "ui/framework/DialogUnits.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/UiThread.h"
#include "ui/widgets/ColorStatic.h"
#include "ui/widgets/LedIndicator.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

struct Sent {
    unsigned message;
    WPARAM wParam;
    LPARAM lParam;
};

// The window a display reports its clicks to; answers every message with `answer`.
class COwner : public QWidget, public IAppMessageTarget {
public:
    LRESULT OnAppMessage(unsigned message, WPARAM wParam, LPARAM lParam) override {
        sent.push_back({message, wParam, lParam});
        return answer;
    }
    std::vector<Sent> sent;
    LRESULT answer = 1;
};

struct Poll {
    std::array<int16_t, CDisplayDlg::kRegisterCount> registers{};
    std::array<uint8_t, CDisplayDlg::kStatusCount> status{};
};

class DisplayTest : public ::testing::Test {
protected:
    void Build(int templateId) {
        ASSERT_EQ(1, display.Create(1, templateId, 0, 0, 400, 450, &owner));
        display.SetController(7, QStringLiteral("Oven"));
        owner.resize(400, 450);
        owner.show();
    }
    void Show(const Poll& poll, int error = 0) {
        display.Update(error, poll.registers.data(), poll.status.data());
        display.Refresh();
    }
    QString Text(int id) const { return display.GetDlgItemText(id); }
    CLedIndicator* Lamp(int id) const { return display.Control<CLedIndicator>(id); }
    void Click(int id) { QTest::mouseClick(display.GetDlgItem(id), Qt::LeftButton); }

    COwner owner;
    CDisplayDlg display;
};

} // namespace

TEST_F(DisplayTest, ScalesValuesWithTheDecimalsClampedToThree) {
    Build(IDD_DISPLAY_FULL);
    Poll poll;
    poll.registers[32] = 2;
    poll.registers[0] = -1234;
    poll.registers[1] = 2500;
    poll.registers[2] = -5;
    poll.registers[4] = 1000;
    poll.registers[3] = 755;
    Show(poll);
    EXPECT_EQ("-12.34", Text(IDC_DISPLAY_PV));
    EXPECT_EQ("25.00", Text(IDC_DISPLAY_SP));
    EXPECT_EQ("-0.05", Text(IDC_DISPLAY_SP2));
    EXPECT_EQ("10.00", Text(IDC_DISPLAY_UPPER_SP));
    EXPECT_EQ("75", Text(IDC_DISPLAY_OUTPUT));
    EXPECT_EQ("%", Text(IDC_DISPLAY_OUTPUT_UNIT));
    poll.registers[3] = -5;
    for (int16_t decimals : {int16_t(7), int16_t(-1)}) {
        poll.registers[32] = decimals;
        Show(poll);
        EXPECT_EQ("-1.234", Text(IDC_DISPLAY_PV)) << decimals;
        EXPECT_EQ(3, display.GetDecimals());
        EXPECT_EQ("0", display.GetOutputText());
    }
}

TEST_F(DisplayTest, OverRangeWinsOverUnderRange) {
    Build(IDD_DISPLAY_COMPACT);
    Poll poll;
    poll.status[0] = poll.status[1] = 1;
    Show(poll);
    EXPECT_EQ("oooo", Text(IDC_DISPLAY_PV));
    poll.status[0] = 0;
    Show(poll);
    EXPECT_EQ("uuuu", Text(IDC_DISPLAY_PV));
    EXPECT_EQ("Oven", Text(IDC_DISPLAY_TITLE));
}

TEST_F(DisplayTest, LampsFollowTheStatusAndAnErrorKeepsOnlyTheDigitalInput) {
    Build(IDD_DISPLAY_FULL);
    Poll poll;
    poll.registers[3] = 500;
    poll.status = {0, 0, 1, 1, 1, 1, 0, 1, 1, 1, 2};
    Show(poll);
    EXPECT_EQ(0, Lamp(IDC_DISPLAY_OUT)->State()) << "only 1 lights OUT";
    for (int id :
         {IDC_DISPLAY_AL1, IDC_DISPLAY_AL2, IDC_DISPLAY_AT, IDC_DISPLAY_DIG_INP, IDC_DISPLAY_RAMP})
        EXPECT_EQ(1, Lamp(id)->State()) << id;
    EXPECT_EQ("MAN", Text(IDC_DISPLAY_MODE));
    EXPECT_EQ("F", Text(IDC_DISPLAY_PV_UNIT));
    poll.status[10] = 1;
    Show(poll);
    EXPECT_EQ(1, Lamp(IDC_DISPLAY_OUT)->State());

    display.SetPolling(1);
    EXPECT_EQ(1, Lamp(IDC_DISPLAY_SER)->State());
    Show(poll, 1);
    for (int id : {IDC_DISPLAY_PV, IDC_DISPLAY_SP, IDC_DISPLAY_SP2, IDC_DISPLAY_UPPER_SP,
                   IDC_DISPLAY_OUTPUT})
        EXPECT_EQ("???", Text(id)) << id;
    for (int id : {IDC_DISPLAY_AL1, IDC_DISPLAY_AL2, IDC_DISPLAY_AT, IDC_DISPLAY_RAMP,
                   IDC_DISPLAY_OUT, IDC_DISPLAY_SER})
        EXPECT_EQ(0, Lamp(id)->State()) << id;
    EXPECT_EQ(1, Lamp(IDC_DISPLAY_DIG_INP)->State());
    EXPECT_EQ("AUTO", Text(IDC_DISPLAY_MODE));
    EXPECT_EQ("F", Text(IDC_DISPLAY_PV_UNIT)) << "units stay";
    EXPECT_EQ(1, display.Record().error);
}

TEST_F(DisplayTest, FixedLabelsSurviveUpdatesButTheOutputUnitIsPercent) {
    Build(IDD_DISPLAY_FULL);
    Poll poll;
    Show(poll);
    EXPECT_EQ("\u00baC", Text(IDC_DISPLAY_SP_UNIT));
    display.SetLabels("bar", "kPa", "psi", "mbar", "A");
    poll.status[7] = 1;
    Show(poll);
    EXPECT_EQ("bar", Text(IDC_DISPLAY_SP_UNIT));
    EXPECT_EQ("kPa", Text(IDC_DISPLAY_UPPER_SP_UNIT));
    EXPECT_EQ("psi", Text(IDC_DISPLAY_SP2_UNIT));
    EXPECT_EQ("mbar", Text(IDC_DISPLAY_PV_UNIT));
    EXPECT_EQ("%", Text(IDC_DISPLAY_OUTPUT_UNIT));
}

TEST_F(DisplayTest, ClearHidesAndAddress255IsARealController) {
    Build(IDD_DISPLAY_COMPACT);
    display.Refresh();
    EXPECT_TRUE(display.isVisible());
    display.Clear();
    EXPECT_FALSE(display.IsController(255));
    display.Refresh();
    EXPECT_FALSE(display.isVisible());
    display.SetController(255, QStringLiteral("Last"));
    EXPECT_TRUE(display.IsController(255));
    display.Refresh();
    EXPECT_TRUE(display.isVisible());
}

TEST_F(DisplayTest, ClicksReachTheOwnerOnlyWhereTheyMeanSomething) {
    Build(IDD_DISPLAY_FULL);
    Poll poll;
    Show(poll);
    Click(IDC_DISPLAY_SP);
    Click(IDC_DISPLAY_SP2);
    Click(IDC_DISPLAY_UPPER_SP); // the full layout's upper field is not clickable
    Click(IDC_DISPLAY_OUTPUT);   // in AUTO: nothing
    Click(IDC_DISPLAY_MODE);
    Click(IDC_DISPLAY_AL1); // disabled
    poll.status[5] = 1;
    Show(poll);
    Click(IDC_DISPLAY_OUTPUT);
    Click(IDC_DISPLAY_MODE);
    const std::vector<std::pair<unsigned, LPARAM>> expected = {{kMsgSetpointClicked, 0},
                                                               {kMsgSecondSetpointClicked, 0},
                                                               {kMsgModeClicked, 1},
                                                               {kMsgOutputClicked, 0},
                                                               {kMsgModeClicked, 0}};
    ASSERT_EQ(expected.size(), owner.sent.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].first, owner.sent[i].message) << i;
        EXPECT_EQ(expected[i].second, owner.sent[i].lParam) << i;
        EXPECT_EQ(7u, owner.sent[i].wParam) << i;
    }
    EXPECT_EQ(0, Lamp(IDC_DISPLAY_AL1)->State());
}

TEST_F(DisplayTest, TheAutoTuneLampChangesOnlyWhenTheOwnerAgrees) {
    Build(IDD_DISPLAY_COMPACT);
    display.Refresh();
    owner.answer = 0;
    Click(IDC_DISPLAY_AT);
    EXPECT_EQ(0, Lamp(IDC_DISPLAY_AT)->State());
    owner.answer = 1;
    Click(IDC_DISPLAY_AT);
    EXPECT_EQ(1, Lamp(IDC_DISPLAY_AT)->State());
    Click(IDC_DISPLAY_UPPER_SP); // clickable in the compact layout
    ASSERT_EQ(3u, owner.sent.size());
    EXPECT_EQ(kMsgAutoTuneClicked, owner.sent[0].message);
    EXPECT_EQ(1, owner.sent[0].lParam);
    EXPECT_EQ(1, owner.sent[1].lParam);
    EXPECT_EQ(kMsgUpperSetpointClicked, owner.sent[2].message);
}

TEST(LedIndicator, BlinkingShowsTheStateLatchedAtTheLastTick) {
    CLedIndicator lamp(IDB_LAMP_GREEN_ON, IDB_LAMP_GREEN_OFF, IDB_LAMP_MASK, false);
    lamp.resize(60, 20);
    lamp.SetState(1);
    const QImage lit = lamp.grab().toImage();
    lamp.SetState(0);
    const QImage dark = lamp.grab().toImage();
    EXPECT_GT(qGreen(lit.pixel(7, 10)), qGreen(dark.pixel(7, 10)) + 80);
    EXPECT_EQ(lit.pixel(0, 0), dark.pixel(0, 0)) << "outside the disc the background shows";

    lamp.SetBlink(30);
    lamp.SetState(1);
    EXPECT_FALSE(lamp.ShowsLit()) << "a blinking lamp shows the state of its last tick";
    bool sawLit = false;
    bool sawDark = false;
    WaitServingEvents([&] {
        (lamp.ShowsLit() ? sawLit : sawDark) = true;
        return sawLit && sawDark;
    });
    lamp.SetBlink(0);
    EXPECT_TRUE(lamp.ShowsLit());
    EXPECT_EQ(0, lamp.SetCheck(2));
    EXPECT_EQ(0, lamp.GetCheck()) << "any value but 1 counts as 0";
}

TEST_F(DisplayTest, DigitsUseTheSevenSegmentFaceWithACellAsTallAsTheField) {
    Build(IDD_DISPLAY_FULL);
    auto* field = display.Control<CColorStatic>(IDC_DISPLAY_PV);
    const QFont& font = field->CellFont();
    EXPECT_EQ("DSEG7 Classic", QFontInfo(font).family());
    EXPECT_LE(QFontMetrics(font).height(), field->height());
    EXPECT_GE(QFontMetrics(font).height(), field->height() * 9 / 10);
}

namespace {

// Where the ink of `text` lands when drawn in `font` inside `area` with `align`.
QRect InkRect(const QFont& font, const QString& text, const QRect& area, Qt::Alignment align) {
    const QFontMetrics metrics(font);
    const int advance = metrics.horizontalAdvance(text);
    int x = area.left();
    if (align & Qt::AlignRight)
        x = area.right() + 1 - advance;
    else if (align & Qt::AlignHCenter)
        x = area.left() + (area.width() - advance) / 2;
    int baseline = area.top() + metrics.ascent();
    if (align & Qt::AlignVCenter)
        baseline += (area.height() - metrics.height()) / 2;
    return metrics.boundingRect(text).translated(x, baseline);
}

struct Ink {
    QString text;
    QRect control; // in the display's coordinates
    QRect ink;
};

std::vector<Ink> Inks(const CDisplayDlg& display) {
    std::vector<Ink> inks;
    for (QWidget* child : display.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QRect ink;
        QString text;
        if (auto* lamp = qobject_cast<CLedIndicator*>(child)) {
            if (lamp->CaptionRect().width() > 0) // else no caption is drawn
                text = lamp->windowTitle();
            ink = InkRect(lamp->CaptionFont(), text, lamp->CaptionRect(), Qt::AlignLeft);
        } else if (auto* field = qobject_cast<CColorStatic*>(child)) {
            text = field->text();
            ink = InkRect(field->CellFont(), text, field->TextRect(),
                          field->alignment() & Qt::AlignHorizontal_Mask);
        } else if (auto* label = qobject_cast<QLabel*>(child)) {
            text = label->text();
            ink = InkRect(label->font(), text, label->contentsRect(), label->alignment());
        }
        if (!text.isEmpty())
            inks.push_back({text, child->geometry(), ink.translated(child->pos())});
    }
    return inks;
}

} // namespace

TEST(DisplayLayoutTest, EveryTextFitsItsControlAndTouchesNoOtherAtTheDefaultSize) {
    Poll poll;
    poll.registers[32] = 1;
    for (int r : {0, 1, 2, 4})
        poll.registers[r] = -1999;
    poll.registers[3] = 1000;
    const CDialogUnits units = CDialogUnits::System();
    for (int templateId : {IDD_DISPLAY_FULL, IDD_DISPLAY_COMPACT}) {
        QWidget owner;
        CDisplayDlg display;
        const QSize size = *CDisplayDlg::TemplateSize(templateId);
        ASSERT_EQ(1, display.Create(1, templateId, 0, 0, units.X(size.width()),
                                    units.Y(size.height()), &owner));
        display.SetController(7, QStringLiteral("Furnace 1"));
        display.Update(0, poll.registers.data(), poll.status.data());
        display.Refresh();
        owner.show();
        const std::vector<Ink> inks = Inks(display);
        for (const Ink& a : inks) {
            EXPECT_TRUE(a.control.contains(a.ink))
                << templateId << " '" << a.text.toStdString() << "' is cut";
            for (const Ink& b : inks)
                EXPECT_TRUE(&a == &b || !a.ink.adjusted(0, 0, 1, 1).intersects(b.ink))
                    << templateId << " '" << a.text.toStdString() << "' runs into '"
                    << b.text.toStdString() << "'";
        }
    }
}
