#pragma once

#include "core/tasks/HysteresisSettings.h"

#include <QString>

#include <cstdint>
#include <vector>

// One bar of the bar graph: the last poll of one monitored controller.
struct CBarItem {
    QString name;
    int16_t processValue = 0; // register 0, raw
    int16_t setpoint = 0;     // register 1, raw
    int16_t lowLimit = 0;     // register 31, raw
    uint8_t overRange = 0;    // coil 0
    uint8_t underRange = 0;   // coil 1
    uint8_t error = 0;        // the last poll failed
    uint8_t hasData = 0;      // 0 until the first callback for this bar
    int16_t decimals = 0;     // register 32 limited to 0..3
};

// The shades of the palette, by what they mean.
enum BarShade {
    kShadeAbove = 0,
    kShadeInside = 1,
    kShadeBelow = 2,
    kShadeEmpty = 4,
    kShadeError = 5
};
inline constexpr int kBarShadeCount = 6;

// The common vertical scale in displayed units: every bar's band fits, plus 5 each way.
struct BarScale {
    double top = 0;
    double bottom = 0;
};
BarScale ComputeBarScale(const std::vector<CBarItem>& bars, const HysteresisValues& hy);

// What one bar of height `height` shows. All arithmetic is done in double and the results
// are clamped to the bar, so no mix of decimals or limits can overflow or draw outside it.
struct BarLayout {
    int fill = 0; // height of the lower, coloured part, 0..height
    int lowerShade = kShadeEmpty;
    bool lines = false; // set point and band lines are drawn
    int setpointY = 0;  // rows from the bar's top, -1..height (outside: not visible)
    int upperBandY = 0;
    int lowerBandY = 0;
    QString text;
};
BarLayout LayoutBar(const CBarItem& bar, const BarScale& scale, int16_t hy, int height,
                    const QString& errorText);

// "Hy : dp = 0: 5, dp = 1: 0.5, ..." for the values in use.
QString BandText(const HysteresisValues& hy);
