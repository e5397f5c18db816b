#pragma once

class CChartCtrl;
class QWidget;

// The value range of a chart's curves. Output curves ("Out") always keep 0..100.

// Fits the range to the visible curves' values on screen, 5 units of margin each side;
// changes nothing when no visible curve other than an output has a value there.
void AutoScale(CChartCtrl& chart);
// Sets the labels' range (3 decimals) and every other curve's scale to max..min.
void ApplyRange(CChartCtrl& chart, float max, float min);
// The Range button of the line graph and the viewer: asks for max and min (template 214)
// and applies them on OK; the chart is redrawn either way.
void AskRange(CChartCtrl& chart, QWidget* parent);
