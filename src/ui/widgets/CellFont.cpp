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

void RegisterSegmentFace() {
    static const bool once = [] {
        QFont::insertSubstitution(QString::fromLatin1(kSegmentFace),
                                  QStringLiteral("DSEG7 Classic"));
        return true;
    }();
    (void)once;
}
