#include "ui/widgets/LedIndicator.h"

#include "ui/framework/ControlIds.h"
#include "ui/widgets/Artwork.h"
#include "ui/widgets/CellFont.h"

#include <QApplication>
#include <QHash>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

namespace {

QColor ButtonFace() {
    return QApplication::palette().color(QPalette::Button);
}

// The picture as it shows through the mask: inside the mask's disc the bitmap's own pixels,
// outside it the background ANDed with the bitmap (white there, so the background shows).
QPixmap Masked(int bitmapId, int maskId, const QColor& background) {
    static QHash<QString, QPixmap> cache;
    const QString key =
        QStringLiteral("%1/%2/%3").arg(bitmapId).arg(maskId).arg(background.rgb(), 0, 16);
    const auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    const QImage bitmap =
        LoadBitmapResource(bitmapId).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage mask = LoadBitmapResource(maskId).toImage().convertToFormat(QImage::Format_RGB32);
    QImage out(bitmap.size(), QImage::Format_RGB32);
    const QRgb back = background.rgb();
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            const QRgb pixel = bitmap.pixel(x, y);
            // A mask bit of 1 is drawn black.
            const bool inside = mask.valid(x, y) && qGray(mask.pixel(x, y)) < 128;
            out.setPixel(x, y, inside ? pixel : (pixel & back) | 0xff000000u);
        }
    }
    const QPixmap result = QPixmap::fromImage(out);
    cache.insert(key, result);
    return result;
}

} // namespace

CLedIndicator::CLedIndicator(int litBitmapId, int darkBitmapId, int maskBitmapId, bool notify,
                             QWidget* parent)
    : QWidget(parent), lit(Masked(litBitmapId, maskBitmapId, ButtonFace())),
      dark(Masked(darkBitmapId, maskBitmapId, ButtonFace())), notify(notify) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    blinkTimer.setSingleShot(true);
    connect(&blinkTimer, &QTimer::timeout, this, &CLedIndicator::Tick);
}

LRESULT CLedIndicator::SetCheck(WPARAM value) {
    state = value == 1 ? 1 : 0;
    return 0;
}

void CLedIndicator::SetState(int value) {
    const int old = state;
    SetCheck(value == 1 ? 1 : 0);
    if (state != old && !IsBlinking())
        update();
}

void CLedIndicator::SetBlink(int milliseconds) {
    blinkMs = milliseconds > 0 ? milliseconds : 0;
    if (blinkMs) {
        blinkTimer.start(blinkMs);
    } else {
        blinkTimer.stop();
        phaseOn = true;
        update();
    }
}

void CLedIndicator::Tick() {
    latched = state;
    phaseOn = !phaseOn;
    update();
    blinkTimer.start(blinkMs);
}

bool CLedIndicator::ShowsLit() const {
    return (IsBlinking() ? latched : state) == 1 && phaseOn;
}

bool CLedIndicator::SetFontName(const QString& name) {
    if (name == face)
        return true;
    // A font needs a face to be built from.
    if (name.trimmed().isEmpty())
        return false;
    face = name;
    fontHeight = -1;
    update();
    return true;
}

const QFont& CLedIndicator::CaptionFont() {
    // No face of its own: the face of the window's font (the dialog's).
    const QString want = face.isEmpty() ? font().family() : face;
    const QString caption = windowTitle();
    if (fontHeight != height() || fontWidth != width() || fontFace != want ||
        fontCaption != caption) {
        // As high as the lamp, unless the caption would then not fit beside the picture.
        captionFont = FitToWidth(CellHeightFont(want, height(), QFont::Bold), caption,
                                 CaptionRect().width() - kCaptionGap);
        fontHeight = height();
        fontWidth = width();
        fontFace = want;
        fontCaption = caption;
    }
    return captionFont;
}

QRect CLedIndicator::BitmapRect(const QSize& client, const QSize& bitmap) {
    const int middle = client.height() / 2;
    const int top = middle - bitmap.height() / 2;
    const int bottom = middle + (bitmap.height() + 1) / 2;
    return QRect(0, top, bitmap.width(), bottom - top);
}

QRect CLedIndicator::CaptionRect() const {
    return rect().adjusted(lit.width() + 3, 0, 0, 0);
}

void CLedIndicator::RenderBuffer() {
    const qreal ratio = devicePixelRatioF();
    const bool showsLit = ShowsLit();
    const QString caption = windowTitle();
    const QFont& font = CaptionFont();
    if (buffer.size() == size() * ratio && bufferLit == showsLit && bufferCaption == caption &&
        bufferFont == font)
        return;
    if (buffer.size() != size() * ratio) {
        buffer = QPixmap(size() * ratio);
        buffer.setDevicePixelRatio(ratio);
    }
    buffer.fill(ButtonFace());
    QPainter p(&buffer);
    const QPixmap& picture = showsLit ? lit : dark;
    p.drawPixmap(BitmapRect(size(), picture.size()).topLeft(), picture);
    // A lamp too narrow for a caption beside its picture (the compact OUT) shows none.
    if (!caption.isEmpty() && CaptionRect().width() > 0) {
        p.setFont(font);
        p.setPen(Qt::black);
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(Qt::white);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.drawText(CaptionRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
    }
    bufferLit = showsLit;
    bufferCaption = caption;
    bufferFont = font;
}

void CLedIndicator::paintEvent(QPaintEvent*) {
    // Drawn again only when the picture, caption, font or size changed.
    RenderBuffer();
    QPainter(this).drawPixmap(0, 0, buffer);
}

void CLedIndicator::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int wanted = state == 0 ? 1 : 0;
    update(BitmapRect(size(), lit.size()));
    if (notify) {
        if (SendToOwner(this, kMsgLamp, static_cast<WPARAM>(ControlId(this)), wanted) != 0)
            SetState(wanted);
    } else {
        SetState(wanted);
    }
}
