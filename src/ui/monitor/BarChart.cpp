#include "ui/monitor/BarChart.h"

#include "languages/StringIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiThread.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
struct ShadeColours {
    QRgb edge;
    QRgb main;
};
constexpr ShadeColours kShades[kBarShadeCount] = {
    {qRgb(64, 64, 64), qRgb(255, 0, 0)},        {qRgb(64, 64, 64), qRgb(0, 255, 0)},
    {qRgb(64, 64, 64), qRgb(0, 0, 255)},        {qRgb(64, 64, 64), qRgb(255, 255, 0)},
    {qRgb(128, 128, 128), qRgb(255, 255, 255)}, {qRgb(96, 96, 96), qRgb(0, 0, 0)},
};
constexpr double kCentreFraction = 0.2;
constexpr int kMaxFontHeight = 20;

int Blend(int from, int to, int i, int n) {
    return static_cast<int>(std::ceil(from + (to - from) * static_cast<double>(i) / n));
}

QRgb BlendRgb(QRgb from, QRgb to, int i, int n) {
    return qRgb(Blend(qRed(from), qRed(to), i, n), Blend(qGreen(from), qGreen(to), i, n),
                Blend(qBlue(from), qBlue(to), i, n));
}
} // namespace

void CBarPalette::BuildPalette(int w, int depth) {
    width = std::max(1, w);
    const int m = static_cast<int>(width * kCentreFraction);
    const int k = (width - m) / 2;
    const int rest = width - k - m;
    const QImage::Format format =
        depth == 8 || depth == 16 ? QImage::Format_RGB16 : QImage::Format_RGB32;
    for (int s = 0; s < kBarShadeCount; ++s) {
        QImage row(width, 1, format);
        const ShadeColours& c = kShades[s];
        for (int i = 0; i < k; ++i)
            row.setPixel(i, 0, BlendRgb(c.edge, c.main, i, k));
        for (int i = 0; i < m; ++i)
            row.setPixel(k + i, 0, c.main);
        for (int i = 0; i < rest; ++i)
            row.setPixel(k + m + i, 0, BlendRgb(c.main, c.edge, i, rest));
        rows[s] = row;
    }
    fontHeight = std::min(width, kMaxFontHeight);
    font = QFont(QStringLiteral("Arial"));
    font.setPixelSize(fontHeight);
    stretched.clear();
}

const QPixmap& CBarPalette::Column(int index, int barWidth, int height) {
    for (const Stretched& s : stretched)
        if (s.barWidth == barWidth && s.height == height)
            return s.columns[index];
    if (stretched.size() >= 4)
        stretched.clear();
    Stretched s{barWidth, height, {}};
    for (int i = 0; i < kBarShadeCount; ++i) {
        QPixmap column(barWidth, height);
        QPainter p(&column);
        p.drawImage(QRect(0, 0, barWidth, height), rows[i]);
        s.columns[i] = column;
    }
    stretched.push_back(std::move(s));
    return stretched.back().columns[index];
}

CBarChart::CBarChart(const std::vector<Entry>& entries, const HysteresisValues& hy, QWidget* parent)
    : QWidget(parent), hy(hy) {
    barOfAddress.fill(-1);
    for (const Entry& entry : entries) {
        CBarItem bar;
        bar.name = entry.name;
        barOfAddress[entry.address] = static_cast<int>(bars.size());
        bars.push_back(bar);
    }
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool CBarChart::SetBar(uint8_t address, int16_t processValue, int16_t setpoint, int16_t lowLimit,
                       bool over, bool under, bool error, int16_t decimals) {
    const int index = barOfAddress[address];
    if (index < 0)
        return false;
    {
        std::lock_guard<std::mutex> guard(lock);
        CBarItem& bar = bars[index];
        if (error) {
            bar.processValue = bar.setpoint = bar.lowLimit = 0;
            bar.overRange = bar.underRange = 0;
            bar.error = 1;
            bar.decimals = 0;
        } else {
            bar.processValue = processValue;
            bar.setpoint = setpoint;
            bar.lowLimit = lowLimit;
            bar.overRange = over;
            bar.underRange = under;
            bar.error = 0;
            bar.decimals = std::clamp<int16_t>(decimals, 0, 3);
        }
        bar.hasData = 1;
    }
    AfterChange(static_cast<size_t>(index));
    return true;
}

void CBarChart::OnData(unsigned char address, short* registers, unsigned char* coils) {
    SetBar(address, registers[0], registers[1], registers[31], coils[0] != 0, coils[1] != 0, false,
           registers[32]);
}

void CBarChart::OnError(unsigned char address) {
    SetBar(address, 0, 0, 0, false, false, true, 0);
}

void CBarChart::AfterChange(size_t index) {
    changed = true;
    // The last bar belongs to the last controller of a cycle: one repaint shows them all.
    if (index + 1 == bars.size() && !repaintPosted.exchange(true))
        PostToUi(this, [this] {
            repaintPosted = false;
            update();
        });
}

void CBarChart::SetHysteresis(const HysteresisValues& values) {
    hy = values;
    changed = true;
    update();
}

std::vector<CBarItem> CBarChart::Bars() const {
    std::lock_guard<std::mutex> guard(lock);
    return bars;
}

void CBarChart::paintEvent(QPaintEvent* event) {
    const QSize pixels = size() * devicePixelRatioF();
    if (buffer.size() != pixels) {
        buffer = QPixmap(pixels);
        buffer.setDevicePixelRatio(devicePixelRatioF());
        changed = true;
    }
    if (changed.exchange(false))
        Render(buffer);
    QPainter p(this);
    p.drawPixmap(event->rect(), buffer,
                 QRectF(event->rect().topLeft() * devicePixelRatioF(),
                        event->rect().size() * devicePixelRatioF()));
}

void CBarChart::Render(QPaintDevice& target) {
    const std::vector<CBarItem> shown = Bars();
    QPainter p(&target);
    const QRect client = rect();
    p.fillRect(client, palette().window());
    const int n = static_cast<int>(shown.size());
    if (n == 0)
        return;
    const int w = std::max(1, client.width() / n);
    // Built again when the bars get wider or narrower, so shades and font fit them.
    if (barPalette.Width() != w)
        barPalette.BuildPalette(w, depth());
    const BarScale scale = ComputeBarScale(shown, hy);
    const QString errorText = TextById(IDS_BAR_COMM_ERROR);
    const int height = client.height();
    const QFontMetrics metrics(barPalette.Font());
    p.setFont(barPalette.Font());
    for (int i = 0; i < n; ++i) {
        const int left = static_cast<int>(int64_t{client.width()} * i / n);
        const int right = static_cast<int>(int64_t{client.width()} * (i + 1) / n);
        const int barWidth = right - left;
        if (barWidth <= 0)
            continue;
        const CBarItem& bar = shown[i];
        const BarLayout layout =
            LayoutBar(bar, scale, hy[std::clamp<int>(bar.decimals, 0, 3)], height, errorText);
        const QRect upper(left, 0, barWidth, height - layout.fill);
        const QRect lower(left, height - layout.fill, barWidth, layout.fill);
        p.drawPixmap(upper, barPalette.Column(kShadeEmpty, barWidth, height),
                     QRect(0, 0, barWidth, upper.height()));
        p.drawPixmap(lower, barPalette.Column(layout.lowerShade, barWidth, height),
                     QRect(0, upper.height(), barWidth, lower.height()));

        if (!layout.text.isEmpty()) {
            const int x = left + barWidth / 2 - barPalette.FontHeight() / 2;
            const int y = height - height / 4;
            for (const auto& [part, colour] : {std::pair{upper, Qt::black}, {lower, Qt::white}}) {
                if (part.isEmpty())
                    continue;
                p.save();
                p.setClipRect(part);
                p.setPen(colour);
                p.translate(x, y);
                p.rotate(-90);
                p.drawText(0, metrics.ascent(), layout.text);
                p.restore();
            }
        }
        if (layout.lines) {
            p.save();
            p.setClipRect(QRect(left, 0, barWidth, height));
            const std::pair<int, QColor> lines[] = {{layout.setpointY, QColor(0, 200, 0)},
                                                    {layout.upperBandY, QColor(200, 0, 0)},
                                                    {layout.lowerBandY, QColor(0, 0, 200)}};
            for (const auto& [y, colour] : lines) {
                p.setPen(QPen(colour, 0));
                p.drawLine(left, y, right - 1, y);
            }
            p.restore();
        }
    }
}
