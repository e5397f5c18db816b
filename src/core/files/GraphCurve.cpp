#include "core/files/GraphCurve.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Rows are kept within what a painter handles; a value far outside the scale still lands
// far outside the plot.
constexpr double kRowLimit = 1.0e6;

bool IsExtremeCandidate(float value) {
    return std::isfinite(value) && value != CGraphCurve::kNoValue;
}

} // namespace

CGraphCurve::CGraphCurve(uint32_t colour, float scaleMax, float scaleMin,
                         std::string controllerName, std::string variableName)
    : controllerName(std::move(controllerName)), variableName(std::move(variableName)),
      colour(colour), scaleMax(scaleMax), scaleMin(scaleMin) {}

void CGraphCurve::AddSample(float value) {
    if (IsExtremeCandidate(value)) {
        maxSeen = std::max(maxSeen, value);
        minSeen = std::min(minSeen, value);
    }
    samples.push_back(value);
}

void CGraphCurve::AddMissing() {
    samples.push_back(-std::numeric_limits<float>::infinity());
}

void CGraphCurve::ForgetBefore(int64_t index, size_t keep) {
    const size_t held = samples.size();
    const size_t spare = held > keep ? held - keep : 0;
    const auto drop = static_cast<size_t>(
        std::clamp<int64_t>(index - firstIndex, 0, static_cast<int64_t>(spare)));
    // The array keeps its capacity: a live curve stays at the same size from segment to segment.
    samples.erase(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(drop));
    firstIndex += static_cast<int32_t>(drop);
}

void CGraphCurve::VisibleRange(int width, size_t& first, size_t& count) const {
    const size_t n = samples.size();
    first = static_cast<size_t>(width) < n ? n - 1 - static_cast<size_t>(width) : 0;
    count = n - first;
}

bool CGraphCurve::IndexAt(int x, const PlotRect& plot, int& index) const {
    const int w = plot.Width();
    const size_t n = samples.size();
    if (w <= 0 || n <= 1)
        return false;
    x = std::clamp(x, 0, w);
    const int64_t count = static_cast<int64_t>(n);
    const int64_t at = w < count ? count + x - w - 1 : std::min<int64_t>(x, count - 1);
    index = static_cast<int>(firstIndex + at);
    return true;
}

bool CGraphCurve::ValueAt(int x, const PlotRect& plot, float& value) const {
    int index = 0;
    if (!IndexAt(x, plot, index))
        return false;
    const float sample = samples[static_cast<size_t>(index - firstIndex)];
    if (!std::isfinite(sample))
        return false;
    value = sample;
    return true;
}

float CGraphCurve::VisibleMax(const PlotRect& plot) const {
    float result = kNoValue;
    if (plot.Width() <= 1 || samples.size() <= 1)
        return result;
    size_t first = 0, count = 0;
    VisibleRange(plot.Width(), first, count);
    for (size_t i = first; i < first + count; ++i) {
        if (IsExtremeCandidate(samples[i]) && (result == kNoValue || samples[i] > result))
            result = samples[i];
    }
    return result;
}

float CGraphCurve::VisibleMin(const PlotRect& plot) const {
    float result = kNoMin;
    if (plot.Width() <= 1 || samples.size() <= 1)
        return result;
    size_t first = 0, count = 0;
    VisibleRange(plot.Width(), first, count);
    for (size_t i = first; i < first + count; ++i) {
        if (IsExtremeCandidate(samples[i]) && (result == kNoMin || samples[i] < result))
            result = samples[i];
    }
    return result;
}

bool CGraphCurve::RowOf(float value, int height, int& row) const {
    if (!std::isfinite(value) || scaleMax == scaleMin)
        return false;
    const double h = height;
    const double y = h - h * (static_cast<double>(value) - scaleMin) /
                             (static_cast<double>(scaleMax) - scaleMin);
    if (!std::isfinite(y))
        return false;
    row = static_cast<int>(std::clamp(y, -kRowLimit, kRowLimit));
    return true;
}

void CGraphCurve::Draw(ICurveCanvas& canvas, int penWidth, const PlotRect& plot) const {
    const int w = plot.Width();
    if (!visible || w <= 1 || samples.size() <= 1)
        return;
    const int height = plot.bottom - plot.top - 1;
    size_t first = 0, count = 0;
    VisibleRange(w, first, count);
    std::vector<CurvePoint> run;
    run.reserve(count);
    auto flush = [&] {
        if (run.size() > 1)
            canvas.DrawPolyline(colour, penWidth, run.data(), run.size());
        run.clear();
    };
    for (size_t i = 0; i < count; ++i) {
        int row = 0;
        if (!RowOf(samples[first + i], height, row)) {
            flush();
            continue;
        }
        run.push_back({plot.left + static_cast<int>(i), plot.top + row});
    }
    flush();
}

GraphPoints CGraphCurve::PointsBetween(int from, int to) const {
    const int64_t held = static_cast<int64_t>(samples.size());
    const int64_t lo = std::clamp<int64_t>(int64_t{from} - firstIndex, 0, held);
    const int64_t hi = std::clamp<int64_t>(int64_t{to} - firstIndex, lo, held);
    GraphPoints points;
    points.decimals = decimals;
    points.from = static_cast<int32_t>(firstIndex + lo);
    points.to = static_cast<int32_t>(firstIndex + hi);
    points.maxSeen = maxSeen;
    points.minSeen = minSeen;
    points.samples.assign(samples.begin() + lo, samples.begin() + hi);
    return points;
}

void CGraphCurve::SetPoints(const GraphPoints& points) {
    firstIndex = points.from;
    decimals = points.decimals;
    maxSeen = points.maxSeen;
    minSeen = points.minSeen;
    samples = points.samples;
}

GraphHeaderEntry CGraphCurve::HeaderEntry() const {
    return {controllerName, variableName, colour, visible};
}
