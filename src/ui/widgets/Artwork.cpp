#include "ui/widgets/Artwork.h"

#include "core/Version.h"
#include "ui/framework/ResourceIds.h"

#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

const QColor kNavy(0x12, 0x26, 0x3f);
const QColor kNavyLight(0x24, 0x45, 0x6e);
const QColor kOrange(0xf0, 0x7a, 0x1a);
const QColor kRed(0xc8, 0x1e, 0x14);

QFont SansFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont SegmentFont(int pixelSize) {
    const QString face = QStringLiteral("DSEG7 Classic");
    QFont font(QFontDatabase::families().contains(face) ? face
                                                        : QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

QPixmap Transparent(int w, int h) {
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A thermometer in a warm rounded square, scaled to `size`.
void PaintIcon(QPainter& p, qreal size) {
    p.save();
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient warm(0, 0, 0, 64);
    warm.setColorAt(0, kOrange);
    warm.setColorAt(1, kRed);
    p.setPen(Qt::NoPen);
    p.setBrush(warm);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(26, 8, 12, 40), 6, 6);
    p.drawEllipse(QPointF(32, 47), 10, 10);
    p.setBrush(kRed);
    p.drawRoundedRect(QRectF(29.5, 22, 5, 26), 2.5, 2.5);
    p.drawEllipse(QPointF(32, 47), 6.5, 6.5);

    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(42, 14 + i * 7), QPointF(i % 2 ? 46 : 49, 14 + i * 7));
    p.restore();
}

// The maker's mark: a white N under an orange vane on navy, scaled to `size`.
void PaintMark(QPainter& p, qreal size) {
    p.save();
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient deep(0, 0, 64, 64);
    deep.setColorAt(0, kNavyLight);
    deep.setColorAt(1, kNavy);
    p.setPen(Qt::NoPen);
    p.setBrush(deep);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);

    QPainterPath n;
    n.moveTo(18, 50);
    n.lineTo(18, 20);
    n.lineTo(44, 50);
    n.lineTo(44, 20);
    p.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(n);

    QPainterPath vane;
    vane.moveTo(30, 9);
    vane.lineTo(54, 9);
    vane.lineTo(48, 15);
    vane.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kOrange);
    p.drawPath(vane);
    p.restore();
}

QPixmap ProgramIconPixmap(int size) {
    QPixmap pixmap = Transparent(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    PaintIcon(p, size);
    return pixmap;
}

QPixmap Logo() {
    QPixmap pixmap = Transparent(64, 64);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    PaintMark(p, 64);
    return pixmap;
}

// A TQ front panel: process value in red, set point in green, three lamps, four keys.
void PaintPanel(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(0x0a, 0x0a, 0x0a), 1));
    QLinearGradient bezel(r.topLeft(), r.bottomLeft());
    bezel.setColorAt(0, QColor(0x4a, 0x4d, 0x52));
    bezel.setColorAt(1, QColor(0x26, 0x28, 0x2b));
    p.setBrush(bezel);
    p.drawRoundedRect(r, 8, 8);

    const QRectF screen(r.left() + 12, r.top() + 14, r.width() - 24, 92);
    p.setBrush(QColor(0x08, 0x08, 0x08));
    p.drawRoundedRect(screen, 3, 3);

    p.setFont(SegmentFont(34));
    p.setPen(QColor(0xff, 0x3b, 0x22));
    p.drawText(screen.adjusted(0, 6, -8, -46), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("250.0"));
    p.setFont(SegmentFont(22));
    p.setPen(QColor(0x3c, 0xe0, 0x4a));
    p.drawText(screen.adjusted(0, 52, -8, -6), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("248.5"));

    const char* lamps[] = {"OUT", "AL1", "AL2"};
    const QColor lit[] = {QColor(0xff, 0x8c, 0x1a), QColor(0x55, 0x22, 0x10),
                          QColor(0x55, 0x22, 0x10)};
    p.setFont(SansFont(9, true));
    for (int i = 0; i < 3; ++i) {
        const qreal x = r.left() + 26 + i * 44;
        const qreal y = screen.bottom() + 14;
        p.setPen(Qt::NoPen);
        p.setBrush(lit[i]);
        p.drawEllipse(QPointF(x, y), 4.5, 4.5);
        p.setPen(QColor(0xd0, 0xd0, 0xd0));
        p.drawText(QRectF(x + 7, y - 7, 30, 14), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromLatin1(lamps[i]));
    }
    for (int i = 0; i < 4; ++i) {
        const QRectF key(r.left() + 14 + i * 36, r.bottom() - 30, 28, 18);
        QLinearGradient shine(key.topLeft(), key.bottomLeft());
        shine.setColorAt(0, QColor(0x8a, 0x8e, 0x94));
        shine.setColorAt(1, QColor(0x5a, 0x5d, 0x62));
        p.setPen(QPen(QColor(0x1a, 0x1a, 0x1a), 1));
        p.setBrush(shine);
        p.drawRoundedRect(key, 4, 4);
    }
}

QPixmap Splash() {
    const int w = 480;
    const int h = 280;
    QPixmap pixmap(w, h);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, w, h);
    sky.setColorAt(0, kNavy);
    sky.setColorAt(1, QColor(0x1d, 0x5a, 0x74));
    p.fillRect(pixmap.rect(), sky);
    QRadialGradient glow(QPointF(120, 150), 180);
    glow.setColorAt(0, QColor(255, 140, 40, 70));
    glow.setColorAt(1, QColor(255, 140, 40, 0));
    p.fillRect(pixmap.rect(), glow);

    PaintPanel(p, QRectF(34, 40, 172, 196));

    p.setPen(Qt::white);
    p.setFont(SansFont(46, true));
    p.drawText(QRectF(232, 56, 240, 60), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Calora"));
    p.setPen(kOrange);
    p.setFont(SansFont(16, false));
    p.drawText(QRectF(236, 114, 240, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Version ") + QString::fromLatin1(kCaloraVersion));
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.drawLine(QPointF(236, 146), QPointF(450, 146));
    p.setPen(QColor(0xdc, 0xe6, 0xf0));
    p.setFont(SansFont(12, false));
    p.drawText(
        QRectF(236, 154, 230, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
        QStringLiteral("Configuration and monitoring\nof TQ series temperature controllers"));

    p.save();
    p.translate(w - 150, h - 50);
    PaintMark(p, 28);
    p.restore();
    p.setPen(Qt::white);
    p.setFont(SansFont(18, true));
    p.drawText(QRectF(w - 116, h - 50, 110, 28), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Norvane"));

    p.fillRect(QRect(0, h - 5, w, 5), kOrange);
    return pixmap;
}

constexpr int kLampSize = 14;

// A lamp: a shaded disc on white, lit or dark.
QPixmap Lamp(const QColor& color, bool lit) {
    QImage image(kLampSize, kLampSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shade(QPointF(5.0, 5.0), 9.0);
    shade.setColorAt(0, lit ? color.lighter(170) : color.darker(220));
    shade.setColorAt(0.45, lit ? color : color.darker(330));
    shade.setColorAt(1, color.darker(lit ? 160 : 480));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(QRectF(0, 0, kLampSize, kLampSize));
    return QPixmap::fromImage(image);
}

// The lamps' disc, one bit per pixel: 1 (drawn black) inside.
QPixmap LampMask() {
    QImage image(kLampSize, kLampSize, QImage::Format_RGB32);
    const double centre = (kLampSize - 1) / 2.0;
    const double radius = kLampSize / 2.0 - 0.5;
    for (int y = 0; y < kLampSize; ++y) {
        for (int x = 0; x < kLampSize; ++x) {
            const double dx = x - centre;
            const double dy = y - centre;
            image.setPixel(
                x, y, dx * dx + dy * dy <= radius * radius ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    }
    return QPixmap::fromImage(image.convertToFormat(QImage::Format_Mono));
}

} // namespace

QPixmap LoadBitmapResource(int bitmapId) {
    switch (bitmapId) {
    case IDR_MAINFRAME:
        return ProgramIconPixmap(64);
    case IDB_LOGO:
        return Logo();
    case IDB_SPLASH:
        return Splash();
    case IDB_LAMP_GREEN_ON:
        return Lamp(QColor(40, 230, 40), true);
    case IDB_LAMP_GREEN_OFF:
        return Lamp(QColor(40, 230, 40), false);
    case IDB_LAMP_RED_ON:
        return Lamp(QColor(240, 30, 20), true);
    case IDB_LAMP_RED_OFF:
        return Lamp(QColor(240, 30, 20), false);
    case IDB_LAMP_MASK:
        return LampMask();
    default:
        return QPixmap();
    }
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(ProgramIconPixmap(size));
    return icon;
}
