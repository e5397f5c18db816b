#include "ui/widgets/CellFont.h"

#include <QFontMetrics>

#include <algorithm>

QFont CellHeightFont(const QString& face, int cellHeight, int weight) {
    cellHeight = std::max(1, std::abs(cellHeight));
    QFont font(face);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setPixelSize(cellHeight);
    // A pixel size is the em height; the cell of most faces is taller than that.
    const int height = QFontMetrics(font).height();
    if (height > cellHeight)
        font.setPixelSize(std::max(1, cellHeight * cellHeight / height));
    return font;
}

QFont FitToWidth(QFont font, const QString& text, int width) {
    if (text.isEmpty() || width <= 0)
        return font;
    // The ink may reach past the advance (bold faces), so the wider of the two counts.
    auto extent = [&text](const QFont& f) {
        const QFontMetrics metrics(f);
        return std::max(metrics.horizontalAdvance(text), metrics.boundingRect(text).right() + 1);
    };
    int size = font.pixelSize();
    int wide = extent(font);
    while (wide > width && size > 1) {
        // Proportional first, then a pixel at a time: widths do not scale exactly.
        size = std::max(1, std::min(size - 1, size * width / wide));
        font.setPixelSize(size);
        wide = extent(font);
    }
    return font;
}

void RegisterSegmentFace() {
    static const bool once = [] {
        QFont::insertSubstitution(QString::fromLatin1(kSegmentFace),
                                  QStringLiteral("DSEG7 Classic"));
        return true;
    }();
    (void)once;
}
