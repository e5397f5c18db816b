#pragma once

#include "core/files/GraphCurve.h"
#include "core/files/GraphSet.h"

#include <QImage>
#include <QWidget>

#include <atomic>
#include <climits>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CChartLegend;

// The chart: curves drawn one sample per pixel column on a white plot with a dotted grid,
// value labels on both sides, clock-time labels along the top and a cursor the user drags or
// steps. It fills its legend with the values under the cursor, and saves and loads its
// content as a graph set.
//
// Curves and the time line are appended by a poll thread while the user-interface thread
// paints: both sides hold the chart's lock (LockData) while they touch them. Every public
// function takes the lock itself; a caller that needs several steps to be seen together
// (one poll's samples and timestamp) holds it around them.
class CChartCtrl : public QWidget {
    Q_OBJECT
public:
    using CurveRef = std::shared_ptr<CGraphCurve>;

    explicit CChartCtrl(QWidget* parent = nullptr);

    std::unique_lock<std::recursive_mutex> LockData() const;

    int AddCurve(CurveRef curve);
    // Null when index is out of range.
    CurveRef GetCurve(int index) const;
    int GetCurveCount() const;
    void AddTimestamp(const GraphTimestamp& timestamp);
    // Every timestamp added or loaded, also those no longer held.
    size_t GetTimelineCount() const;
    // An empty timestamp for an index not held.
    GraphTimestamp GetTimestamp(size_t index) const;

    void SetLegend(CChartLegend* legend);
    void CursorLeft();
    void CursorRight();
    int GetCursorX() const { return cursorX; }

    // Range and decimals of the value labels.
    void SetAxis(float max, float min, int decimals);
    float GetAxisMax() const;
    float GetAxisMin() const;
    int GetAxisDecimals() const;

    // Writes the header and every curve's points of time-line indices [from, to) as
    // `segment`, each file replaced atomically, and the time line: anew on the first save to
    // `path`, after that by appending the entries added since. Any failure makes it return
    // false and is shown once. Safe from the poll thread: the files are written from a copy
    // taken under the lock, and the message is handed to the user-interface thread. Saves of
    // one set are made one at a time (the owner serialises them): each appends from where the
    // last one ended.
    bool Save(const std::string& path, int segment, int from, int to);
    // After a save of everything before time-line index `index`: lets go of the samples and
    // timestamps before it that are not on screen (`screen` columns wide, or as wide as the
    // chart was last painted) and, for timestamps, are in the time-line file. Later saves go
    // to the same set. What is drawn and the legend's extremes stay as they were.
    void ForgetSavedBefore(int64_t index, int screen);
    // Rewrites the header with today's colours and visibility, keeping the entries of
    // curves the shown segment lacks. Does nothing before a save or load.
    bool SaveHeader(const std::string& path);
    // Replaces the curves and time line by a segment of a graph set. Curves without a points
    // file for the segment are left out, and with `showErrors` each file missing or unreadable
    // is named; for a segment other than 0, a set whose curve count differs from the chart's
    // is refused and the chart is left unchanged.
    bool Load(const std::string& path, int segment, bool showErrors);
    bool HasFile() const;
    int GetSegment() const;

    // The plot is the whole client area.
    PlotRect Plot() const;

    // Asks for a repaint from any thread; requests made before the repaint ran are merged.
    void RequestRepaint();

    // Draws the chart and fills the legend; paintEvent calls it with the widget's painter.
    void Paint(QPainter& painter);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct HeaderSlot {
        GraphHeaderEntry entry; // as loaded, for a curve this segment lacks
        int curve = -1;         // index of the chart's curve, or -1
    };

    void ReportSaveFailure(const GraphSaveResult& result);
    std::vector<GraphHeaderEntry> HeaderEntries() const;
    // The grid in two passes: its lines under the curves, its labels over them.
    enum class GridPass { Lines, Labels };
    void PaintGrid(QPainter& painter, const PlotRect& plot, GridPass pass);
    void FillLegend(const PlotRect& plot);

    mutable std::recursive_mutex mutex;
    std::vector<CurveRef> curves;
    // The timestamp at a time-line index, or null when it is not held.
    const GraphTimestamp* TimestampAt(int64_t index) const;

    std::vector<GraphTimestamp> timeline; // from index timelineFirst on
    size_t timelineFirst = 0;
    std::string timelineFile; // the set whose time-line file holds [0, timelineOnDisk)
    size_t timelineOnDisk = 0;
    int paintedWidth = 0;
    std::vector<HeaderSlot> headerSlots;
    CChartLegend* legend = nullptr;
    bool dragging = false;
    int cursorX = INT_MAX;
    bool hasFile = false;
    float axisMax = 600.0f;
    float axisMin = 0.0f;
    int axisDecimals = 0;
    int segment = 0;
    std::atomic<bool> repaintPending{false};
    std::atomic<bool> failureBoxPending{false}; // a save failure's box is waiting or open
    QImage frame;                               // the off-screen frame, kept between paints
};
