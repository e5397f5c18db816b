// The line graph's chart with 216 curves (72 controllers x 3) of 1,000 visible samples each,
// all shown, beside QPainter drawing the same grid, labels, lines and cursor directly.
#include "PaintCase.h"

#include "ui/graph/ChartCtrl.h"
#include "ui/graph/ChartLegend.h"

#include <QApplication>
#include <QPainter>

#include <cmath>

namespace {

constexpr int kCurves = 216;
constexpr int kWidth = 999; // one column per sample: 1,000 visible
constexpr int kHeight = 600;
constexpr int kSamples = 1500;

float SampleOf(int curve, int i) {
    if (i % 250 == 249)
        return -INFINITY; // a controller that did not answer
    return static_cast<float>(300.0 + 250.0 * std::sin((i + curve * 37) * 0.01 + curve));
}

uint32_t ColourOf(int curve) {
    return static_cast<uint32_t>((curve * 2654435761u) & 0xFFFFFF);
}

class CChartSubject : public IPaintSubject {
public:
    CChartSubject() {
        chart.resize(kWidth, kHeight);
        legend.resize(220, kHeight);
        chart.SetLegend(&legend);
        for (int c = 0; c < kCurves; ++c) {
            auto curve = std::make_shared<CGraphCurve>(ColourOf(c), 600.0f, 0.0f,
                                                       "Zone " + std::to_string(c / 3 + 1), "Val");
            curve->SetVisible(true);
            for (int i = 0; i < kSamples; ++i)
                curve->AddSample(SampleOf(c, i));
            chart.AddCurve(curve);
        }
        for (int i = 0; i < kSamples; ++i)
            chart.AddTimestamp({2026, 12, 1, 7, static_cast<uint16_t>(10 + i / 3600),
                                static_cast<uint16_t>(i / 60 % 60), static_cast<uint16_t>(i % 60),
                                0});
        chart.SetAxis(600.0f, 0.0f, 0);
    }

    QSize Size() const override { return {kWidth, kHeight}; }

    void PaintWindow(QImage& target) override { chart.render(&target); }

    void PaintDirect(QImage& target) override {
        QPainter p(&target);
        p.fillRect(0, 0, kWidth, kHeight, Qt::white);
        p.setFont(QApplication::font());
        const int ascent = p.fontMetrics().ascent();
        QPen grid(QColor(200, 200, 200), 1, Qt::DotLine);
        grid.setCosmetic(true);
        const int step = kHeight / 5;
        p.setPen(grid);
        for (int i = 1; i <= 4; ++i)
            p.drawLine(0, i * step, kWidth, i * step);
        const int first = kSamples - kWidth - 1;
        for (int k = (kWidth + first) / 100 * 100; k > first; k -= 100) {
            p.setPen(grid);
            p.drawLine(k - first, 0, k - first, kHeight);
            p.setPen(Qt::black);
            p.drawText(k - first - 20, ascent,
                       QStringLiteral("%1:%2:%3")
                           .arg(10 + k / 3600)
                           .arg(k / 60 % 60, 2, 10, QLatin1Char('0'))
                           .arg(k % 60, 2, 10, QLatin1Char('0')));
        }
        p.setPen(Qt::black);
        for (int i = 1; i <= 4; ++i) {
            const QString text = QString::number(600.0 - 600.0 * 0.2 * i, 'f', 0);
            p.drawText(5, i * step + ascent, text);
            p.drawText(kWidth - 25, i * step + ascent, text);
        }
        QVector<QPoint> run;
        run.reserve(kWidth + 1);
        const double h = kHeight - 1;
        for (int c = 0; c < kCurves; ++c) {
            const std::vector<float>& samples = chart.GetCurve(c)->GetSamples();
            const uint32_t colour = ColourOf(c);
            QPen pen(QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF), 1);
            pen.setCosmetic(true);
            p.setPen(pen);
            auto flush = [&] {
                if (run.size() > 1)
                    p.drawPolyline(run.constData(), static_cast<int>(run.size()));
                run.clear();
            };
            for (int x = 0; x <= kWidth; ++x) {
                const float v = samples[static_cast<size_t>(first + x)];
                if (!std::isfinite(v)) {
                    flush();
                    continue;
                }
                run.push_back(QPoint(x, static_cast<int>(h - h * v / 600.0)));
            }
            flush();
        }
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(kWidth, 0, kWidth, kHeight);
    }

private:
    CChartCtrl chart;
    CChartLegend legend;
};

} // namespace

REGISTER_PAINT_CASE(Chart, PaintCase{"chart: 216 curves x 1000 samples", 1.5, 16,
                                     [] { return std::make_unique<CChartSubject>(); }});
