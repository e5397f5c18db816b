// The bar graph with 72 bars: the chart repainting a frame after new values (its drawing
// into the off-screen buffer and the copy to the window), beside QPainter drawing the same
// primitives (two stretched shade rows, the rotated text twice with its clips, three lines
// per bar) straight into the image from geometry worked out beforehand.
#include "PaintCase.h"

#include "ui/monitor/BarChart.h"

#include <QPainter>

namespace {

constexpr int kBars = 72;
constexpr QSize kSize(1116, 640);

class CBarChartSubject : public IPaintSubject {
public:
    CBarChartSubject() : chart(Entries(), {5, 5, 5, 5}) {
        chart.resize(kSize);
        Feed();
        QImage first(kSize, QImage::Format_ARGB32_Premultiplied);
        chart.render(&first); // builds the palette the direct drawing borrows
        const std::vector<CBarItem> items = chart.Bars();
        const BarScale scale = ComputeBarScale(items, chart.Hysteresis());
        const int h = kSize.height();
        for (int i = 0; i < kBars; ++i) {
            const int left = kSize.width() * i / kBars;
            const int right = kSize.width() * (i + 1) / kBars;
            const BarLayout l = LayoutBar(items[i], scale, 5, h, QStringLiteral("No answer"));
            bars.push_back(
                {QRect(left, 0, right - left, h - l.fill),
                 QRect(left, h - l.fill, right - left, l.fill),
                 l.lowerShade,
                 l.text,
                 QPoint(left + (right - left) / 2 - chart.Palette().FontHeight() / 2, h - h / 4),
                 l.lines,
                 {l.setpointY, l.upperBandY, l.lowerBandY}});
        }
    }

    QSize Size() const override { return kSize; }

    // New values for one bar, as each poll brings, then the paint.
    void PaintWindow(QImage& target) override {
        chart.SetBar(2, static_cast<int16_t>(660 + (++frame % 2)), 620, 0, false, false, false, 0);
        chart.render(&target);
    }

    void PaintDirect(QImage& target) override {
        const CBarPalette& palette = chart.Palette();
        const QFontMetrics metrics(palette.Font());
        QPainter p(&target);
        p.setFont(palette.Font());
        const QColor colours[3] = {QColor(0, 200, 0), QColor(200, 0, 0), QColor(0, 0, 200)};
        for (const Bar& b : bars) {
            p.drawImage(b.upper, palette.Shade(kShadeEmpty));
            p.drawImage(b.lower, palette.Shade(b.shade));
            for (const auto& [clip, colour] :
                 {std::pair{b.upper, Qt::black}, std::pair{b.lower, Qt::white}}) {
                p.save();
                p.setClipRect(clip);
                p.setPen(colour);
                p.translate(b.textAt);
                p.rotate(-90);
                p.drawText(0, metrics.ascent(), b.text);
                p.restore();
            }
            if (!b.lines)
                continue;
            for (int k = 0; k < 3; ++k) {
                p.setPen(colours[k]);
                p.drawLine(b.upper.left(), b.lineY[k], b.upper.right(), b.lineY[k]);
            }
        }
    }

private:
    struct Bar {
        QRect upper;
        QRect lower;
        int shade;
        QString text;
        QPoint textAt;
        bool lines;
        int lineY[3];
    };

    static std::vector<CBarChart::Entry> Entries() {
        std::vector<CBarChart::Entry> entries;
        for (int a = 1; a <= kBars; ++a)
            entries.push_back({static_cast<uint8_t>(a), QStringLiteral("Zone %1").arg(a)});
        return entries;
    }

    // A spread of states: inside, above and below the band, over range, no answer.
    void Feed() {
        for (int a = 1; a <= kBars; ++a) {
            short registers[43] = {};
            unsigned char coils[11] = {};
            registers[1] = static_cast<short>(600 + a * 10);
            registers[0] = static_cast<short>(registers[1] + (a % 3 - 1) * 40);
            registers[32] = static_cast<short>(a % 2);
            coils[0] = a % 17 == 0;
            if (a % 23 == 0)
                chart.OnError(static_cast<unsigned char>(a));
            else
                chart.OnData(static_cast<unsigned char>(a), registers, coils);
        }
    }

    CBarChart chart;
    std::vector<Bar> bars;
    int frame = 0;
};

} // namespace

REGISTER_PAINT_CASE(BarChart, PaintCase{"bar graph: 72 bars", 2.0, 0,
                                        [] { return std::make_unique<CBarChartSubject>(); }});
