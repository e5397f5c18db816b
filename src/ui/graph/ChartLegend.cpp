#include "ui/graph/ChartLegend.h"

#include <QApplication>
#include <QPainter>

QColor ColourFromRgbWord(uint32_t colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

uint32_t RgbWordFromColour(const QColor& colour) {
    return static_cast<uint32_t>(colour.red()) | static_cast<uint32_t>(colour.green()) << 8 |
           static_cast<uint32_t>(colour.blue()) << 16;
}

CChartLegend::CChartLegend(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CChartLegend::SetRowCount(int n) {
    rows.assign(static_cast<size_t>(std::max(n, 0)), Row{});
}

void CChartLegend::SetRowColour(int row, uint32_t colour) {
    if (row >= 0 && row < RowCount())
        rows[static_cast<size_t>(row)].colour = colour;
}

void CChartLegend::SetRowText(int row, const QString& text) {
    if (row >= 0 && row < RowCount())
        rows[static_cast<size_t>(row)].text = text;
}

QString CChartLegend::RowText(int row) const {
    return row >= 0 && row < RowCount() ? rows[static_cast<size_t>(row)].text : QString();
}

uint32_t CChartLegend::RowColour(int row) const {
    return row >= 0 && row < RowCount() ? rows[static_cast<size_t>(row)].colour : 0;
}

void CChartLegend::paintEvent(QPaintEvent*) {
    // Qt's backing store is the off-screen bitmap: the frame reaches the screen in one block.
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setFont(QApplication::font());
    painter.setClipRect(rect());
    const QFontMetrics metrics(painter.font());
    const int step = metrics.height() + 1;
    for (int i = 0; i < RowCount(); ++i) {
        const int top = i * step + 7 - (i == 0 ? 2 : 0);
        if (top > height())
            break;
        painter.setPen(ColourFromRgbWord(rows[static_cast<size_t>(i)].colour));
        painter.drawText(5, top + metrics.ascent(), rows[static_cast<size_t>(i)].text);
    }
}
