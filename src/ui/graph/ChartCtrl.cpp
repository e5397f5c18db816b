#include "ui/graph/ChartCtrl.h"

#include "languages/StringIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"
#include "ui/framework/UiThread.h"
#include "ui/graph/ChartLegend.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace {

// Draws curves straight into a 32-bit frame. One sample per column means every segment
// joins neighbouring columns: the first half of its rows goes in the left column, the rest
// in the right one, as a line rasteriser would set them, clipped to the frame. Anything else
// goes through the painter.
class CFrameCanvas : public ICurveCanvas {
public:
    // `bits` is the frame's memory, taken before the painter began on it.
    CFrameCanvas(const QImage& frame, uchar* bits, QPainter& painter)
        : painter(painter), bits(bits), stride(frame.bytesPerLine()), width(frame.width()),
          height(frame.height()) {}

    void DrawPolyline(uint32_t colour, int penWidth, const CurvePoint* points,
                      size_t count) override {
        const QColor qcolour = ColourFromRgbWord(colour);
        const uint32_t pixel = qcolour.rgb(); // opaque: the same in both 32-bit formats
        for (size_t i = 1; i < count; ++i) {
            const CurvePoint& a = points[i - 1];
            const CurvePoint& b = points[i];
            if (penWidth == 1 && b.x == a.x + 1) {
                Neighbours(a, b, pixel);
            } else {
                QPen pen(qcolour, penWidth);
                pen.setCosmetic(true);
                painter.setPen(pen);
                painter.drawLine(a.x, a.y, b.x, b.y);
            }
        }
    }

private:
    void Neighbours(const CurvePoint& a, const CurvePoint& b, uint32_t pixel) {
        const int64_t dy = int64_t{b.y} - a.y;
        const int64_t middle = a.y + dy / 2; // last row of the left column
        const int64_t step = dy < 0 ? -1 : 1;
        const bool steep = std::abs(dy) > 1;
        Span(a.x, a.y, steep ? middle : a.y, pixel);
        Span(b.x, steep ? middle + step : b.y, b.y, pixel);
    }

    // Rows y0..y1 (either order) of column x, clipped.
    void Span(int x, int64_t y0, int64_t y1, uint32_t pixel) {
        if (x < 0 || x >= width)
            return;
        int64_t lo = std::max<int64_t>(std::min(y0, y1), 0);
        const int64_t hi = std::min<int64_t>(std::max(y0, y1), height - 1);
        for (; lo <= hi; ++lo)
            reinterpret_cast<uint32_t*>(bits + lo * stride)[x] = pixel;
    }

    QPainter& painter;
    uchar* bits;
    qsizetype stride;
    int width;
    int height;
};

QString Fixed(double value, int decimals) {
    return QString::number(value, 'f', std::clamp(decimals, 0, 9));
}

QString TwoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString ClockText(const GraphTimestamp& t) {
    return QStringLiteral("%1:%2:%3").arg(t.hour).arg(TwoDigits(t.minute), TwoDigits(t.second));
}

QString DateTimeText(const GraphTimestamp& t) {
    return QStringLiteral("%1/%2/%3 %4")
        .arg(TwoDigits(t.day), TwoDigits(t.month), TwoDigits(t.year), ClockText(t));
}

} // namespace

CChartCtrl::CChartCtrl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

std::unique_lock<std::recursive_mutex> CChartCtrl::LockData() const {
    return std::unique_lock<std::recursive_mutex>(mutex);
}

int CChartCtrl::AddCurve(CurveRef curve) {
    auto lock = LockData();
    curves.push_back(std::move(curve));
    return static_cast<int>(curves.size()) - 1;
}

CChartCtrl::CurveRef CChartCtrl::GetCurve(int index) const {
    auto lock = LockData();
    if (index < 0 || static_cast<size_t>(index) >= curves.size())
        return nullptr;
    return curves[static_cast<size_t>(index)];
}

int CChartCtrl::GetCurveCount() const {
    auto lock = LockData();
    return static_cast<int>(curves.size());
}

void CChartCtrl::AddTimestamp(const GraphTimestamp& timestamp) {
    auto lock = LockData();
    timeline.push_back(timestamp);
}

size_t CChartCtrl::GetTimelineCount() const {
    auto lock = LockData();
    return timelineFirst + timeline.size();
}

GraphTimestamp CChartCtrl::GetTimestamp(size_t index) const {
    auto lock = LockData();
    const GraphTimestamp* t = TimestampAt(static_cast<int64_t>(index));
    return t != nullptr ? *t : GraphTimestamp{};
}

const GraphTimestamp* CChartCtrl::TimestampAt(int64_t index) const {
    const int64_t at = index - static_cast<int64_t>(timelineFirst);
    if (at < 0 || at >= static_cast<int64_t>(timeline.size()))
        return nullptr;
    return &timeline[static_cast<size_t>(at)];
}

void CChartCtrl::SetLegend(CChartLegend* value) {
    legend = value;
}

void CChartCtrl::CursorLeft() {
    cursorX = std::max(std::min(cursorX, width()) - 1, 0);
    update();
}

void CChartCtrl::CursorRight() {
    cursorX = std::min(cursorX + 1, width());
    update();
}

void CChartCtrl::SetAxis(float max, float min, int decimals) {
    auto lock = LockData();
    axisMax = max;
    axisMin = min;
    axisDecimals = decimals;
}

float CChartCtrl::GetAxisMax() const {
    auto lock = LockData();
    return axisMax;
}

float CChartCtrl::GetAxisMin() const {
    auto lock = LockData();
    return axisMin;
}

int CChartCtrl::GetAxisDecimals() const {
    auto lock = LockData();
    return axisDecimals;
}

bool CChartCtrl::HasFile() const {
    auto lock = LockData();
    return hasFile;
}

int CChartCtrl::GetSegment() const {
    auto lock = LockData();
    return segment;
}

PlotRect CChartCtrl::Plot() const {
    return {0, 0, width(), height()};
}

bool CChartCtrl::Save(const std::string& path, int newSegment, int from, int to) {
    GraphSegmentData data;
    {
        auto lock = LockData();
        for (const CurveRef& curve : curves) {
            data.entries.push_back(curve->HeaderEntry());
            data.points.push_back(curve->PointsBetween(from, to));
        }
        // Only the entries the set's file lacks; a time line held from its start is written
        // anew to a set it was not saved to yet.
        const size_t written = path == timelineFile ? timelineOnDisk : timelineFirst;
        data.timelineFrom = static_cast<int32_t>(written);
        data.timeline.assign(timeline.begin() +
                                 static_cast<std::ptrdiff_t>(written - timelineFirst),
                             timeline.end());
    }
    const GraphSaveResult result = SaveGraphSegment(path, newSegment, data);
    {
        auto lock = LockData();
        if (result.timelineSaved) {
            timelineFile = path;
            timelineOnDisk = static_cast<size_t>(data.timelineFrom) + data.timeline.size();
        }
        hasFile = true;
        segment = newSegment + 1;
        headerSlots.clear();
        for (size_t i = 0; i < curves.size(); ++i)
            headerSlots.push_back({{}, static_cast<int>(i)});
    }
    if (!result.Ok())
        ReportSaveFailure(result);
    return result.Ok();
}

void CChartCtrl::ForgetSavedBefore(int64_t index, int screen) {
    auto lock = LockData();
    const size_t keep = static_cast<size_t>(std::max({screen, paintedWidth, 0})) + 1;
    const int64_t total = static_cast<int64_t>(timelineFirst + timeline.size());
    // Timestamps stay for every sample held, so the grid and legend find theirs.
    int64_t first = std::min<int64_t>(index, static_cast<int64_t>(timelineOnDisk));
    if (curves.empty())
        first = std::min(first, total - static_cast<int64_t>(keep));
    for (const CurveRef& curve : curves) {
        curve->ForgetBefore(index, keep);
        first = std::min<int64_t>(first, curve->GetFirstIndex());
    }
    if (first <= static_cast<int64_t>(timelineFirst))
        return;
    timeline.erase(timeline.begin(),
                   timeline.begin() + static_cast<std::ptrdiff_t>(first - timelineFirst));
    timelineFirst = static_cast<size_t>(first);
}

std::vector<GraphHeaderEntry> CChartCtrl::HeaderEntries() const {
    std::vector<GraphHeaderEntry> entries;
    for (const HeaderSlot& slot : headerSlots) {
        if (slot.curve >= 0 && static_cast<size_t>(slot.curve) < curves.size())
            entries.push_back(curves[static_cast<size_t>(slot.curve)]->HeaderEntry());
        else
            entries.push_back(slot.entry);
    }
    return entries;
}

bool CChartCtrl::SaveHeader(const std::string& path) {
    std::vector<GraphHeaderEntry> entries;
    {
        auto lock = LockData();
        if (!hasFile)
            return true;
        entries = HeaderEntries();
    }
    const GraphSaveResult result = SaveGraphHeader(path, entries);
    if (!result.Ok())
        ReportSaveFailure(result);
    return result.Ok();
}

void CChartCtrl::ReportSaveFailure(const GraphSaveResult& result) {
    const GraphFileProblem problem = result.first;
    auto show = [this, problem] {
        QString text;
        switch (problem.kind) {
        case GraphFileProblem::EmptyInterval:
            text = QStringLiteral("Intervalo de guardado vacio");
            break;
        case GraphFileProblem::CannotCreate:
            text = TextById(IDS_MSG_GRAPH_CREATE_FAILED);
            break;
        default:
            text = TextById(IDS_MSG_GRAPH_WRITE_FAILED);
            break;
        }
        MessageBoxText(this, text + QString::fromStdString(problem.file), MbIcon::Stop);
    };
    // A save from the poll thread must not wait for the user: the box is shown later, one at a
    // time. Saves that fail while it waits or is open add none, so a disk that stays full for
    // days does not pile up boxes.
    if (QThread::currentThread() == thread()) {
        show();
    } else if (!failureBoxPending.exchange(true)) {
        PostToUi(this, [this, show] {
            show();
            failureBoxPending = false;
        });
    }
}

bool CChartCtrl::Load(const std::string& path, int newSegment, bool showErrors) {
    GraphFileProblem problem;
    const std::optional<LoadedGraphSegment> set = LoadGraphSegment(path, newSegment, problem);
    if (!set) {
        if (showErrors)
            MessageBoxText(
                this, TextById(IDS_MSG_GRAPH_OPEN_FAILED) + QString::fromStdString(problem.file),
                MbIcon::Stop);
        return false;
    }
    std::vector<CurveRef> loaded;
    std::vector<HeaderSlot> newSlots;
    for (size_t i = 0; i < set->entries.size(); ++i) {
        const GraphHeaderEntry& entry = set->entries[i];
        if (!set->points[i]) {
            newSlots.push_back({entry, -1});
            continue;
        }
        auto curve = std::make_shared<CGraphCurve>(entry.colour,
                                                   entry.variableName == "Out" ? 100.0f : 600.0f,
                                                   0.0f, entry.controllerName, entry.variableName);
        curve->SetPoints(*set->points[i]);
        curve->SetVisible(entry.visible);
        newSlots.push_back({{}, static_cast<int>(loaded.size())});
        loaded.push_back(std::move(curve));
    }
    {
        auto lock = LockData();
        // Paging past the last segment, or onto one that lacks curves, changes nothing.
        if (newSegment != 0 && (loaded.empty() || loaded.size() != curves.size()))
            return false;
        curves = std::move(loaded);
        timeline = set->timeline;
        timelineFirst = 0;
        timelineFile.clear();
        timelineOnDisk = 0;
        headerSlots = std::move(newSlots);
        segment = newSegment;
        hasFile = true;
    }
    update();
    if (showErrors && !set->unusable.empty()) {
        // One box for all the curves left out, a line for each file.
        QStringList lines;
        for (const GraphFileProblem& unusable : set->unusable)
            lines << TextById(IDS_MSG_GRAPH_OPEN_FAILED) + QString::fromStdString(unusable.file);
        MessageBoxText(this, lines.join(QLatin1Char('\n')), MbIcon::Stop);
    }
    return true;
}

void CChartCtrl::RequestRepaint() {
    if (!repaintPending.exchange(true)) {
        PostToUi(this, [this] {
            repaintPending = false;
            update();
        });
    }
}

void CChartCtrl::paintEvent(QPaintEvent*) {
    // Qt's backing store is the off-screen bitmap: the frame reaches the screen in one block.
    QPainter painter(this);
    Paint(painter);
}

void CChartCtrl::Paint(QPainter& target) {
    auto lock = LockData();
    const PlotRect plot = Plot();
    if (cursorX > plot.right)
        cursorX = plot.right;
    paintedWidth = plot.Width();
    // The frame is drawn off-screen and copied in one block.
    if (frame.size() != size())
        frame = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    if (frame.isNull())
        return;
    uchar* bits = frame.bits(); // detached now, before a painter holds the frame
    {
        QPainter painter(&frame);
        painter.fillRect(frame.rect(), Qt::white);
        painter.setFont(QApplication::font());
        PaintGrid(painter, plot, GridPass::Lines);
        {
            CFrameCanvas canvas(frame, bits, painter);
            for (const CurveRef& curve : curves)
                curve->Draw(canvas, 1, plot);
        }
        // The labels go over the curves, so a curve never hides a value.
        PaintGrid(painter, plot, GridPass::Labels);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(cursorX, 0, cursorX, height());
    }
    target.drawImage(0, 0, frame);
    FillLegend(plot);
}

void CChartCtrl::PaintGrid(QPainter& painter, const PlotRect& plot, GridPass pass) {
    const bool lines = pass == GridPass::Lines;
    const int w = plot.Width();
    const int step = height() / 5;
    QPen gridPen(QColor(200, 200, 200), 1, Qt::DotLine);
    gridPen.setCosmetic(true);
    painter.setPen(gridPen);
    if (lines) {
        for (int i = 1; i <= 4; ++i)
            painter.drawLine(0, i * step, w, i * step);
    } else {
        // On white, so a curve under a label does not cross its digits.
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(Qt::white);
    }

    const QFontMetrics metrics = painter.fontMetrics();
    const int ascent = metrics.ascent();
    const int64_t count = static_cast<int64_t>(timelineFirst + timeline.size());
    if (w > 1 && count >= 100 && !curves.empty()) {
        int first = 0;
        if (!curves[0]->IndexAt(0, plot, first))
            first = 0;
        auto line = [&](int column, int64_t index) {
            const GraphTimestamp* t = TimestampAt(index);
            if (t == nullptr)
                return;
            if (lines) {
                painter.setPen(gridPen);
                painter.drawLine(column, 0, column, height());
            } else {
                painter.setPen(Qt::black);
                // Kept inside the plot: a line near the right edge has its label to its left.
                const QString text = ClockText(*t);
                painter.drawText(std::min(column - 20, w - 1 - metrics.horizontalAdvance(text)),
                                 ascent, text);
            }
        };
        if (w < count - first && segment > 0) {
            for (int64_t k = (int64_t{w} + first) / 100 * 100; k > first; k -= 100) {
                const int column = static_cast<int>(k - first);
                if (column < w)
                    line(column, k);
            }
        } else if (count - first > 100) {
            for (int x = 100; x < w && x < count - first; x += 100)
                line(x, first + x);
        }
    }
    if (lines)
        return;
    painter.setPen(Qt::black);
    for (int i = 1; i <= 4; ++i) {
        const double value = axisMax - (double{axisMax} - axisMin) * 0.2 * i;
        const QString text = Fixed(value, axisDecimals);
        painter.drawText(5, i * step + ascent, text);
        // Ends 5 pixels from the right edge, as the left one starts 5 in: a long value
        // (250.000) is not cut by the edge.
        painter.drawText(std::min(w - 25, w - 5 - metrics.horizontalAdvance(text)),
                         i * step + ascent, text);
    }
    painter.setBackgroundMode(Qt::TransparentMode);
}

void CChartCtrl::FillLegend(const PlotRect& plot) {
    if (legend == nullptr)
        return;
    legend->SetRowCount(static_cast<int>(curves.size()) + 1);
    int index = 0;
    if (!curves.empty() && curves[0]->IndexAt(cursorX, plot, index)) {
        if (const GraphTimestamp* t = TimestampAt(index))
            legend->SetRowText(0, DateTimeText(*t));
    }
    int row = 1;
    for (const CurveRef& curve : curves) {
        if (!curve->IsVisible())
            continue;
        legend->SetRowColour(row, curve->GetColour());
        // The label is plain text: a '%' in a name is shown as it is.
        const QString label = QString::fromStdString(curve->GetLabel());
        float value = 0;
        if (curve->IndexAt(cursorX, plot, index) && curve->ValueAt(cursorX, plot, value)) {
            const int d = curve->GetDecimals();
            legend->SetRowText(row, QStringLiteral("%1 %2 ( M:%3, m:%4 )")
                                        .arg(label, Fixed(value, d), Fixed(curve->GetMaxSeen(), d),
                                             Fixed(curve->GetMinSeen(), d)));
        } else {
            legend->SetRowText(row, label + QStringLiteral(": ????"));
        }
        ++row;
    }
    legend->update();
}

void CChartCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    dragging = true;
    cursorX = std::clamp(event->position().toPoint().x(), 0, width());
    update();
}

void CChartCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging)
        return;
    cursorX = std::clamp(event->position().toPoint().x(), 0, width());
    update();
}

void CChartCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        dragging = false;
}

bool CChartCtrl::event(QEvent* event) {
    // The press grabs the mouse; when the grab ends another way, the drag ends with it.
    if (event->type() == QEvent::Hide || event->type() == QEvent::WindowDeactivate)
        dragging = false;
    return QWidget::event(event);
}
