#include "ui/graph/GraphScaling.h"

#include "ui/framework/ResourceIds.h"
#include "ui/graph/ChartCtrl.h"
#include "ui/graph/GraphRangeDlg.h"

#include <algorithm>

namespace {

constexpr float kOutputMax = 100.0f;
constexpr float kMargin = 5.0f;

bool IsOutput(const CGraphCurve& curve) {
    return curve.GetVariableName() == "Out";
}

void SetScales(CChartCtrl& chart, float max, float min) {
    for (int i = 0; i < chart.GetCurveCount(); ++i) {
        CGraphCurve& curve = *chart.GetCurve(i);
        curve.SetScaleMax(IsOutput(curve) ? kOutputMax : max);
        curve.SetScaleMin(IsOutput(curve) ? 0.0f : min);
    }
}

} // namespace

void AutoScale(CChartCtrl& chart) {
    {
        auto lock = chart.LockData();
        const PlotRect plot = chart.Plot();
        bool foundHi = false, foundLo = false;
        float hi = 0, lo = 0;
        for (int i = 0; i < chart.GetCurveCount(); ++i) {
            const CGraphCurve& curve = *chart.GetCurve(i);
            if (!curve.IsVisible() || IsOutput(curve))
                continue;
            const float max = curve.VisibleMax(plot);
            const float min = curve.VisibleMin(plot);
            if (max != CGraphCurve::kNoValue) {
                hi = foundHi ? std::max(hi, max) : max;
                foundHi = true;
            }
            if (min != CGraphCurve::kNoMin) {
                lo = foundLo ? std::min(lo, min) : min;
                foundLo = true;
            }
        }
        if (foundHi && foundLo) {
            chart.SetAxis(hi + kMargin, lo - kMargin, 3);
            SetScales(chart, hi + kMargin, lo - kMargin);
        }
    }
    chart.update();
}

void ApplyRange(CChartCtrl& chart, float max, float min) {
    {
        auto lock = chart.LockData();
        chart.SetAxis(max, min, 3);
        SetScales(chart, max, min);
    }
    chart.update();
}

void AskRange(CChartCtrl& chart, QWidget* parent) {
    CGraphRangeDlg range(chart.GetAxisMax(), chart.GetAxisMin(), parent);
    if (range.DoModal() == IDOK)
        ApplyRange(chart, range.max, range.min);
    chart.update();
}
