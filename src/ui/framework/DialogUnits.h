#pragma once

#include <QRect>

class QFont;

// Dialog units: a horizontal unit is a quarter of the font's average character width, a
// vertical unit an eighth of its height. Template rectangles are given in these units.
struct CDialogUnits {
    int baseX = 8;  // average character width in pixels
    int baseY = 16; // character height in pixels

    static CDialogUnits FromFont(const QFont& font);
    // The base units of the application's font (the system's dialog base units).
    static CDialogUnits System();

    int X(int units) const { return units * baseX / 4; }
    int Y(int units) const { return units * baseY / 8; }
    QRect Rect(int x, int y, int cx, int cy) const { return QRect(X(x), Y(y), X(cx), Y(cy)); }
};
