#include "launcher/LauncherArt.h"

#include "launcher/LauncherIds.h"

#include <QFont>
#include <QFontDatabase>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

const QColor kNavy(0x12, 0x26, 0x3f);
const QColor kNavyLight(0x24, 0x45, 0x6e);
const QColor kOrange(0xf0, 0x7a, 0x1a);
const QColor kRed(0xe0, 0x20, 0x10);
const QColor kGreen(0x2e, 0xa0, 0x43);

QFont Face(const QString& family, qreal pixelSize, int weight) {
    QFont font(family);
    font.setPixelSize(std::max(1, qRound(pixelSize)));
    font.setWeight(QFont::Weight(weight));
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont SegmentFace(qreal pixelSize) {
    const QString face = QStringLiteral("DSEG7 Classic");
    return Face(QFontDatabase::families().contains(face) ? face : QStringLiteral("Monospace"),
                pixelSize, QFont::Bold);
}

QPixmap Blank(QSize size) {
    QPixmap pixmap(size.expandedTo(QSize(1, 1)));
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// Product name and a settling temperature curve on navy.
void PaintBanner(QPainter& p, qreal w, qreal h) {
    QLinearGradient sky(0, 0, w, h);
    sky.setColorAt(0, kNavyLight);
    sky.setColorAt(1, kNavy);
    p.fillRect(QRectF(0, 0, w, h), sky);
    p.fillRect(QRectF(0, h * 0.94, w, h * 0.06), kOrange);

    // Right half: grid, set point and the process value overshooting and settling on it.
    const QRectF plot(w * 0.52, h * 0.14, w * 0.44, h * 0.62);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    for (int i = 0; i <= 4; ++i) {
        const qreal y = plot.top() + plot.height() * i / 4;
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    const qreal setPointY = plot.top() + plot.height() * 0.3;
    p.setPen(QPen(QColor(255, 255, 255, 160), 1.2, Qt::DashLine));
    p.drawLine(QPointF(plot.left(), setPointY), QPointF(plot.right(), setPointY));
    QPainterPath curve;
    for (int i = 0; i <= 100; ++i) {
        const qreal t = i / 100.0;
        const qreal k = t * 9;
        const qreal response = 1 - std::exp(-k * 0.7) * std::cos(k * 1.3);
        const QPointF point(plot.left() + plot.width() * t,
                            plot.bottom() - (plot.bottom() - setPointY) * response);
        if (i == 0)
            curve.moveTo(point);
        else
            curve.lineTo(point);
    }
    p.setPen(QPen(kOrange, std::max(1.5, h / 60), Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);

    p.setPen(Qt::white);
    p.setFont(Face(QStringLiteral("Sans Serif"), h * 0.30, QFont::Bold));
    p.drawText(QRectF(w * 0.05, h * 0.08, w * 0.5, h * 0.36), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Calora"));
    p.setPen(kOrange);
    p.setFont(Face(QStringLiteral("Sans Serif"), h * 0.13, QFont::Bold));
    p.drawText(QRectF(w * 0.05, h * 0.42, w * 0.5, h * 0.16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("3.2"));
    p.setPen(QColor(0xdd, 0xe6, 0xf0));
    p.setFont(Face(QStringLiteral("Sans Serif"), h * 0.085, QFont::Normal));
    p.drawText(QRectF(w * 0.05, h * 0.60, w * 0.5, h * 0.12), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Regolatori di temperatura serie TQ"));
}

// A panel controller's face: process value in red, set point in green, three lamps.
void PaintPicture(QPainter& p, qreal w, qreal h) {
    p.fillRect(QRectF(0, 0, w, h), QColor(0x3a, 0x3d, 0x42));
    const QRectF screen(w * 0.05, h * 0.1, w * 0.7, h * 0.8);
    p.fillRect(screen, QColor(0x10, 0x10, 0x10));
    p.setPen(kRed);
    p.setFont(SegmentFace(screen.height() * 0.45));
    p.drawText(QRectF(screen.left(), screen.top(), screen.width() * 0.94, screen.height() * 0.58),
               Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("250.0"));
    p.setPen(kGreen.lighter(130));
    p.setFont(SegmentFace(screen.height() * 0.26));
    p.drawText(QRectF(screen.left(), screen.top() + screen.height() * 0.58, screen.width() * 0.94,
                      screen.height() * 0.38),
               Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("248.5"));
    const qreal r = std::min(w, h) * 0.07;
    const QColor lamps[] = {kRed, QColor(0x55, 0x20, 0x20), kOrange};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(lamps[i]);
        p.drawEllipse(QPointF(w * 0.87, h * (0.25 + 0.25 * i)), r, r);
    }
}

void PaintInstall(QPainter& p) {
    // A box, open at the top, with an arrow going into it.
    QLinearGradient card(0, 20, 0, 46);
    card.setColorAt(0, QColor(0xe0, 0xa8, 0x5c));
    card.setColorAt(1, QColor(0xb0, 0x74, 0x30));
    p.setPen(QPen(QColor(0x6e, 0x45, 0x18), 1.5));
    p.setBrush(card);
    p.drawRect(QRectF(8, 22, 32, 22));
    p.setBrush(QColor(0xc8, 0x8c, 0x44));
    p.drawPolygon(QPolygonF{{8, 22}, {2, 15}, {20, 15}, {24, 22}});
    p.drawPolygon(QPolygonF{{40, 22}, {46, 15}, {28, 15}, {24, 22}});
    QPainterPath arrow;
    arrow.moveTo(20, 2);
    arrow.lineTo(28, 2);
    arrow.lineTo(28, 16);
    arrow.lineTo(34, 16);
    arrow.lineTo(24, 28);
    arrow.lineTo(14, 16);
    arrow.lineTo(20, 16);
    arrow.closeSubpath();
    p.setPen(QPen(kGreen.darker(150), 1.2));
    p.setBrush(kGreen);
    p.drawPath(arrow);
}

void PaintManual(QPainter& p) {
    // A page with a folded corner and a red band.
    QPainterPath page;
    page.moveTo(9, 2);
    page.lineTo(31, 2);
    page.lineTo(41, 12);
    page.lineTo(41, 46);
    page.lineTo(9, 46);
    page.closeSubpath();
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1.2));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setBrush(QColor(0xd8, 0xd8, 0xd8));
    p.drawPolygon(QPolygonF{{31, 2}, {31, 12}, {41, 12}});
    p.setPen(QPen(QColor(0xa0, 0xa8, 0xb4), 1.6));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(14, 18 + i * 4.5), QPointF(i == 3 ? 28 : 36, 18 + i * 4.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc0, 0x18, 0x18));
    p.drawRect(QRectF(5, 34, 30, 10));
    p.setPen(Qt::white);
    p.setFont(Face(QStringLiteral("Sans Serif"), 8.5, QFont::Bold));
    p.drawText(QRectF(5, 34, 30, 10), Qt::AlignCenter, QStringLiteral("PDF"));
}

void PaintWeb(QPainter& p) {
    // A globe.
    QRadialGradient sea(QPointF(18, 16), 26);
    sea.setColorAt(0, QColor(0x7c, 0xc4, 0xf4));
    sea.setColorAt(1, QColor(0x1c, 0x5c, 0xb0));
    p.setPen(QPen(QColor(0x12, 0x3c, 0x78), 1.5));
    p.setBrush(sea);
    const QPointF c(24, 24);
    p.drawEllipse(c, 21, 21);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.3));
    p.drawEllipse(c, 9, 21);
    p.drawLine(QPointF(24, 3), QPointF(24, 45));
    p.drawLine(QPointF(3, 24), QPointF(45, 24));
    p.drawLine(QPointF(7, 14), QPointF(41, 14));
    p.drawLine(QPointF(7, 34), QPointF(41, 34));
}

void PaintProgram(QPainter& p) {
    // A disc of the medium with the product's orange.
    QRadialGradient silver(QPointF(18, 16), 30);
    silver.setColorAt(0, QColor(0xfa, 0xfa, 0xfa));
    silver.setColorAt(1, QColor(0xa8, 0xb0, 0xbc));
    p.setPen(QPen(QColor(0x60, 0x68, 0x74), 1.2));
    p.setBrush(silver);
    p.drawEllipse(QPointF(24, 24), 22, 22);
    p.setPen(QPen(kOrange, 5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(9, 9, 30, 30), 30 * 16, 120 * 16);
    p.setPen(QPen(QColor(0x60, 0x68, 0x74), 1.2));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(24, 24), 5, 5);
}

} // namespace

QPixmap LauncherBitmap(int id, QSize size) {
    QPixmap pixmap = Blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (id == IDB_LAUNCHER_BANNER)
        PaintBanner(p, pixmap.width(), pixmap.height());
    else if (id == IDB_LAUNCHER_PICTURE)
        PaintPicture(p, pixmap.width(), pixmap.height());
    return pixmap;
}

QPixmap LauncherIcon(int id, int size) {
    QPixmap pixmap = Blank(QSize(size, size));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 48.0, size / 48.0); // drawn on a 48 x 48 grid
    switch (id) {
    case IDI_LAUNCHER_INSTALL:
        PaintInstall(p);
        break;
    case IDI_LAUNCHER_MANUAL:
        PaintManual(p);
        break;
    case IDI_LAUNCHER_WEB:
        PaintWeb(p);
        break;
    case IDI_LAUNCHER:
        PaintProgram(p);
        break;
    default:
        break; // an empty slot, as for an icon that is missing
    }
    return pixmap;
}
