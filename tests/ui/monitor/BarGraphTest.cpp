#include "core/platform/MemoryProfileStore.h"
#include "ui/framework/DialogBase.h"
#include "ui/framework/ResourceIds.h"
#include "ui/monitor/BarChart.h"
#include "ui/monitor/BarGraphDlg.h"
#include "ui/widgets/HysteresisDlg.h"

#include <QCoreApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

constexpr HysteresisValues kDefaults{5, 5, 5, 5};

CBarItem Bar(int16_t pv, int16_t sp, int16_t low, int16_t d) {
    CBarItem bar;
    bar.name = QStringLiteral("Oven 1");
    bar.processValue = pv;
    bar.setpoint = sp;
    bar.lowLimit = low;
    bar.decimals = d;
    bar.hasData = 1;
    return bar;
}

QRgb CentrePixel(CBarChart& chart, int y) {
    QImage image(chart.size(), QImage::Format_RGB32);
    chart.Render(image);
    return image.pixel(chart.width() / 2, y);
}

} // namespace

TEST(BarScale, FollowsTheBandsOfEveryBar) {
    // Before the first poll every bar is zeros: +-Hy0 around 0, plus 5.
    const BarScale empty = ComputeBarScale({CBarItem{}, CBarItem{}}, kDefaults);
    EXPECT_DOUBLE_EQ(10.0, empty.top);
    EXPECT_DOUBLE_EQ(-10.0, empty.bottom);

    const BarScale one = ComputeBarScale({Bar(1400, 1500, 0, 1)}, kDefaults);
    EXPECT_DOUBLE_EQ(155.5, one.top);
    EXPECT_DOUBLE_EQ(-5.5, one.bottom);
}

TEST(BarLayout, ColoursTextsAndLinesFollowTheBand) {
    const BarScale scale = ComputeBarScale({Bar(1400, 1500, 0, 1)}, kDefaults);
    EXPECT_EQ(kShadeInside, LayoutBar(Bar(1505, 1500, 0, 1), scale, 5, 600, "x").lowerShade);
    EXPECT_EQ(kShadeAbove, LayoutBar(Bar(1506, 1500, 0, 1), scale, 5, 600, "x").lowerShade);
    EXPECT_EQ(kShadeInside, LayoutBar(Bar(1495, 1500, 0, 1), scale, 5, 600, "x").lowerShade);
    EXPECT_EQ(kShadeBelow, LayoutBar(Bar(1494, 1500, 0, 1), scale, 5, 600, "x").lowerShade);

    const BarLayout normal = LayoutBar(Bar(1234, 1500, 0, 1), scale, 5, 600, "x");
    EXPECT_EQ("Oven 1: 123.4(SP:150.0)", normal.text);
    // (1234 + 55) * 600 / 1610, truncated
    EXPECT_EQ(480, normal.fill);
    EXPECT_EQ(20, normal.setpointY); // 600 - 600 * 1555 / 1610, truncated

    CBarItem over = Bar(0, 1500, 0, 1);
    over.overRange = 1;
    over.name = QStringLiteral("A name of more than twenty characters");
    const BarLayout o = LayoutBar(over, scale, 5, 600, "x");
    EXPECT_EQ(600, o.fill);
    EXPECT_EQ(kShadeAbove, o.lowerShade);
    EXPECT_EQ("A name of more than : EEE", o.text);
    EXPECT_TRUE(o.lines);

    CBarItem under = Bar(0, 1500, 0, 1);
    under.underRange = 1;
    EXPECT_EQ(kShadeBelow, LayoutBar(under, scale, 5, 600, "x").lowerShade);
    EXPECT_EQ("Oven 1: ---", LayoutBar(under, scale, 5, 600, "x").text);

    CBarItem failed = Bar(0, 0, 0, 0);
    failed.error = 1;
    const BarLayout f = LayoutBar(failed, scale, 5, 600, "no answer");
    EXPECT_EQ(kShadeError, f.lowerShade);
    EXPECT_EQ(600, f.fill);
    EXPECT_EQ("Oven 1: no answer", f.text);
    EXPECT_FALSE(f.lines);
}

TEST(BarLayout, MixedDecimalsAndExtremesStayInsideTheBar) {
    const std::vector<CBarItem> bars{Bar(32767, 32767, -32768, 3), Bar(-32768, 32767, -32768, 0)};
    const HysteresisValues wide{32767, 32767, 32767, 32767};
    const BarScale scale = ComputeBarScale(bars, wide);
    for (const CBarItem& bar : bars) {
        const BarLayout layout = LayoutBar(bar, scale, 32767, 300, "x");
        EXPECT_GE(layout.fill, 0);
        EXPECT_LE(layout.fill, 300);
        for (int y : {layout.setpointY, layout.upperBandY, layout.lowerBandY}) {
            EXPECT_GE(y, -1);
            EXPECT_LE(y, 300);
        }
    }
}

TEST(BarPalette, ShadesRunEdgeMainEdgeAndFollowTheBarWidth) {
    CBarPalette palette;
    palette.BuildPalette(10, 32); // centre 2 pixels, 4 on each side
    const QImage& green = palette.Shade(kShadeInside);
    EXPECT_EQ(qRgb(64, 64, 64), green.pixel(0, 0));
    EXPECT_EQ(qRgb(48, 112, 48), green.pixel(1, 0)); // ceil(64 + (255 - 64) / 4) on green
    EXPECT_EQ(qRgb(0, 255, 0), green.pixel(4, 0));
    EXPECT_EQ(qRgb(0, 255, 0), green.pixel(5, 0));
    EXPECT_EQ(qRgb(0, 255, 0), green.pixel(6, 0));
    EXPECT_EQ(10, palette.Font().pixelSize());
    palette.BuildPalette(40, 16);
    EXPECT_EQ(QImage::Format_RGB16, palette.Shade(0).format());
    EXPECT_EQ(20, palette.Font().pixelSize());

    CBarChart chart({{1, QStringLiteral("A")}, {2, QStringLiteral("B")}}, kDefaults);
    chart.resize(200, 100);
    QImage image(chart.size(), QImage::Format_RGB32);
    chart.Render(image);
    EXPECT_EQ(100, chart.Palette().Width());
    chart.resize(100, 100);
    QImage smaller(chart.size(), QImage::Format_RGB32);
    chart.Render(smaller);
    EXPECT_EQ(50, chart.Palette().Width());
}

TEST(BarChart, DrawsTheFillOfEachStateAndIgnoresUnknownAddresses) {
    // Address 7 twice: only the later bar takes its values.
    CBarChart chart({{7, QStringLiteral("first")}, {7, QStringLiteral("second")}}, kDefaults);
    chart.resize(40, 200);
    short registers[43] = {};
    unsigned char coils[11] = {};
    registers[0] = 150;
    registers[1] = 150;
    registers[32] = 7; // counts as 3 decimals
    chart.OnData(7, registers, coils);
    EXPECT_FALSE(chart.SetBar(9, 1, 1, 1, false, false, false, 0));
    const std::vector<CBarItem> bars = chart.Bars();
    EXPECT_EQ(0, bars[0].hasData);
    EXPECT_EQ(1, bars[1].hasData);
    EXPECT_EQ(3, bars[1].decimals);

    CBarChart one({{1, QStringLiteral("one")}}, kDefaults);
    one.resize(40, 200);
    EXPECT_EQ(qRgb(255, 255, 255), CentrePixel(one, 190)); // no data: white
    one.OnError(1);
    EXPECT_EQ(qRgb(0, 0, 0), CentrePixel(one, 190)); // error: black, full height
    coils[0] = 1;
    one.OnData(1, registers, coils);
    EXPECT_EQ(qRgb(255, 0, 0), CentrePixel(one, 190)); // over range: red, full height
}

TEST(BarChart, OneCycleOfManyControllersAsksForOneRepaint) {
    std::vector<CBarChart::Entry> entries;
    for (int a = 1; a <= 72; ++a)
        entries.push_back({static_cast<uint8_t>(a), QStringLiteral("C %1").arg(a)});
    CBarChart chart(entries, kDefaults);
    chart.resize(720, 300);
    chart.show();
    QCoreApplication::processEvents();

    int paints = 0;
    struct Counter : QObject {
        int& paints;
        explicit Counter(int& p) : paints(p) {}
        bool eventFilter(QObject*, QEvent* e) override {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } counter(paints);
    chart.installEventFilter(&counter);
    // The window gets to paint between any two controllers of the cycle.
    short registers[43] = {};
    unsigned char coils[11] = {};
    for (int a = 1; a <= 72; ++a) {
        chart.OnData(static_cast<unsigned char>(a), registers, coils);
        QCoreApplication::processEvents();
    }
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(1, paints);
}

TEST(BarGraphWindow, ConfigureAppliesAndKeepsTheNewValues) {
    CMemoryProfileStore profile;
    CBarGraphDlg view({{1, QStringLiteral("one")}}, profile);
    view.EnsureInitialized();
    EXPECT_EQ("Hy : dp = 0: 5, dp = 1: 0.5, dp = 2: 0.05, dp = 3: 0.005",
              view.GetDlgItemText(IDC_BAR_BAND_TEXT));
    CScopedModalHandler typing([](CDialogBase& dialog) {
        dialog.Control<QLineEdit>(IDC_HY_DP1)->setText(QStringLiteral("2.5"));
        dialog.Control<QPushButton>(IDOK)->click();
    });
    view.Control<QPushButton>(IDC_BAR_CONFIGURE)->click();
    EXPECT_EQ("Hy : dp = 0: 5, dp = 1: 2.5, dp = 2: 0.05, dp = 3: 0.005",
              view.GetDlgItemText(IDC_BAR_BAND_TEXT));
    EXPECT_EQ(25, view.Chart().Hysteresis()[1]);
    EXPECT_EQ(25, profile.ints["Hy1"]);
}
