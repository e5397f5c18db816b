#include "ui/framework/DialogUnits.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>

CDialogUnits CDialogUnits::FromFont(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width of the 52 letters, rounded, as the dialog manager measures it.
    const int extent = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    CDialogUnits units;
    units.baseX = (extent / 26 + 1) / 2;
    units.baseY = metrics.height();
    if (units.baseX < 1)
        units.baseX = 1;
    if (units.baseY < 1)
        units.baseY = 1;
    return units;
}

CDialogUnits CDialogUnits::System() {
    return FromFont(QApplication::font());
}
