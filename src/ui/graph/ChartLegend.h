#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <vector>

// The legend beside a chart: rows of coloured text, drawn top to bottom. The chart fills it
// each time it paints.
class CChartLegend : public QWidget {
    Q_OBJECT
public:
    explicit CChartLegend(QWidget* parent = nullptr);

    // Clears every row and makes n empty rows (colour 0, no text).
    void SetRowCount(int n);
    void SetRowColour(int row, uint32_t colour);
    void SetRowText(int row, const QString& text);

    int RowCount() const { return static_cast<int>(rows.size()); }
    QString RowText(int row) const;
    uint32_t RowColour(int row) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Row {
        uint32_t colour = 0;
        QString text;
    };
    std::vector<Row> rows;
};

// A colour held as in the graph files (red in the low byte) and as Qt shows it.
QColor ColourFromRgbWord(uint32_t colour);
uint32_t RgbWordFromColour(const QColor& colour);
