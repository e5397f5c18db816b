#include "ui/monitor/BarLayout.h"

#include "core/model/ScaledValue.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPowers[4] = {1.0, 10.0, 100.0, 1000.0};
constexpr int kNameChars = 20;

int Decimals(const CBarItem& bar) {
    return std::clamp<int>(bar.decimals, 0, 3);
}

QString Scaled(int raw, int d) {
    return QString::fromStdString(FormatScaled(raw, d));
}

// Rows from the bar's top of a line at `value` (raw). Outside the bar it lands on -1 or
// `height`, which the bar's clip hides.
int LineY(double value, double top, double bottom, int height) {
    const double y = std::trunc(height - height * (value - bottom) / (top - bottom));
    return static_cast<int>(std::clamp(y, -1.0, static_cast<double>(height)));
}
} // namespace

BarScale ComputeBarScale(const std::vector<CBarItem>& bars, const HysteresisValues& hy) {
    BarScale scale{-9999.0, 9999.0};
    for (const CBarItem& bar : bars) {
        // Bars without data or in error hold zeros and take part with them.
        const int d = Decimals(bar);
        const double h = hy[d];
        scale.top = std::max(scale.top, (bar.setpoint + h) / kPowers[d]);
        scale.bottom = std::min(scale.bottom, (bar.lowLimit - h) / kPowers[d]);
    }
    scale.top += 5;
    scale.bottom -= 5;
    return scale;
}

BarLayout LayoutBar(const CBarItem& bar, const BarScale& scale, int16_t hy, int height,
                    const QString& errorText) {
    BarLayout out;
    const int d = Decimals(bar);
    double top = scale.top * kPowers[d];
    const double bottom = scale.bottom * kPowers[d];
    if (top == 0)
        top = 1;
    if (bottom == top)
        top = top + 1;
    const QString name = bar.name.left(kNameChars);

    if (!bar.hasData) {
        out.fill = 0;
    } else if (bar.error) {
        out.fill = height;
        out.text = name + QStringLiteral(": ") + errorText;
    } else if (bar.overRange) {
        out.fill = height;
        out.text = name + QStringLiteral(": EEE");
    } else if (bar.underRange) {
        out.fill = height;
        out.text = name + QStringLiteral(": ---");
    } else {
        const double fill = std::trunc((bar.processValue - bottom) * height / (top - bottom));
        out.fill = static_cast<int>(std::clamp(fill, 0.0, static_cast<double>(height)));
        out.text = name + QStringLiteral(": ") + Scaled(bar.processValue, d) +
                   QStringLiteral("(SP:") + Scaled(bar.setpoint, d) + QStringLiteral(")");
    }

    if (!bar.hasData)
        out.lowerShade = kShadeEmpty;
    else if (bar.error)
        out.lowerShade = kShadeError;
    else if (bar.underRange)
        out.lowerShade = kShadeBelow;
    else if (bar.overRange)
        out.lowerShade = kShadeAbove;
    else if (bar.processValue < bar.setpoint - hy)
        out.lowerShade = kShadeBelow;
    else if (bar.processValue > bar.setpoint + hy)
        out.lowerShade = kShadeAbove;
    else
        out.lowerShade = kShadeInside;

    out.lines = bar.hasData && !bar.error;
    if (out.lines) {
        out.setpointY = LineY(bar.setpoint, top, bottom, height);
        out.upperBandY = LineY(static_cast<double>(bar.setpoint) + hy, top, bottom, height);
        out.lowerBandY = LineY(static_cast<double>(bar.setpoint) - hy, top, bottom, height);
    }
    return out;
}

QString BandText(const HysteresisValues& hy) {
    QString text = QStringLiteral("Hy : ");
    for (int d = 0; d < 4; ++d) {
        if (d > 0)
            text += QStringLiteral(", ");
        text += QStringLiteral("dp = %1: ").arg(d) + Scaled(hy[d], d);
    }
    return text;
}
