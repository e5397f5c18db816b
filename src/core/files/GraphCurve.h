#pragma once

#include "core/files/GraphFormat.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The rectangle a curve is drawn in, in pixels; right and bottom are exclusive edges.
struct PlotRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
};

struct CurvePoint {
    int x = 0;
    int y = 0;
};

// Where a curve draws its lines: runs of joined points in one colour and pen width.
class ICurveCanvas {
public:
    virtual ~ICurveCanvas() = default;
    virtual void DrawPolyline(uint32_t colour, int penWidth, const CurvePoint* points,
                              size_t count) = 0;
};

// One time series of a chart: the values of one variable of one controller, in arrival
// order. One sample is one pixel column; when there are more samples than columns the
// newest are shown, right-aligned. A non-finite sample is a gap (negative infinity marks a
// controller that did not answer). A live curve holds only its newest samples (see
// ForgetBefore); the extremes seen stay those of its whole life. Not locked: its owner
// serialises use.
class CGraphCurve {
public:
    static constexpr float kNoValue = -9999.0f; // left out of the extremes
    static constexpr float kNoMin = 9999.0f;

    CGraphCurve(uint32_t colour, float scaleMax, float scaleMin, std::string controllerName,
                std::string variableName);

    void AddSample(float value);
    void AddMissing();

    uint32_t GetColour() const { return colour; }
    void SetColour(uint32_t value) { colour = value; }
    float GetScaleMax() const { return scaleMax; }
    float GetScaleMin() const { return scaleMin; }
    void SetScaleMax(float value) { scaleMax = value; }
    void SetScaleMin(float value) { scaleMin = value; }
    bool IsVisible() const { return visible; }
    void SetVisible(bool value) { visible = value; }
    int16_t GetDecimals() const { return decimals; }
    void SetDecimals(int16_t value) { decimals = value; }
    const std::string& GetControllerName() const { return controllerName; }
    const std::string& GetVariableName() const { return variableName; }
    std::string GetLabel() const { return controllerName + ": " + variableName; }

    float GetMaxSeen() const { return maxSeen; }
    float GetMinSeen() const { return minSeen; }
    int32_t GetFirstIndex() const { return firstIndex; }
    // The samples held, from time-line index GetFirstIndex() on.
    const std::vector<float>& GetSamples() const { return samples; }
    size_t GetSampleCount() const { return samples.size(); }
    // Time-line index one past the newest sample: every sample added so far.
    int64_t GetEndIndex() const { return firstIndex + static_cast<int64_t>(samples.size()); }
    // Lets go of the samples before time-line index `index`, but never of the newest `keep`.
    void ForgetBefore(int64_t index, size_t keep);

    // Time-line index of the sample at column x of the plot.
    bool IndexAt(int x, const PlotRect& plot, int& index) const;
    // The finite sample at column x.
    bool ValueAt(int x, const PlotRect& plot, float& value) const;
    // Extremes of the samples on screen, without gaps and kNoValue; kNoValue / kNoMin when
    // there is none.
    float VisibleMax(const PlotRect& plot) const;
    float VisibleMin(const PlotRect& plot) const;
    void Draw(ICurveCanvas& canvas, int penWidth, const PlotRect& plot) const;

    // The samples with time-line indices [from, to), limited to what the curve holds.
    GraphPoints PointsBetween(int from, int to) const;
    // Replaces the samples and the figures that come with them by those of a file.
    void SetPoints(const GraphPoints& points);
    GraphHeaderEntry HeaderEntry() const;

private:
    // First sample index and count on screen for a plot `width` wide.
    void VisibleRange(int width, size_t& first, size_t& count) const;
    bool RowOf(float value, int height, int& row) const;

    std::vector<float> samples;
    std::string controllerName;
    std::string variableName;
    uint32_t colour;
    float scaleMax;
    float scaleMin;
    float maxSeen = kNoValue;
    float minSeen = kNoMin;
    int32_t firstIndex = 0;
    bool visible = false;
    int16_t decimals = 0;
};
