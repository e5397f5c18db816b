#include "ui/widgets/ColorStatic.h"

#include "ui/widgets/CellFont.h"

#include <QMouseEvent>
#include <QPainter>

void CNotifyStatic::mousePressEvent(QMouseEvent* event) {
    if (notify && event->button() == Qt::LeftButton) {
        emit clicked();
        return;
    }
    QLabel::mousePressEvent(event);
}

CColorStatic::CColorStatic(const QColor& textColor, const QColor& background, const QString& face,
                           QWidget* parent)
    : CNotifyStatic(parent), textColor(textColor), background(background), face(face) {
    if (face == QLatin1String(kSegmentFace))
        RegisterSegmentFace();
    // Every pixel comes from the buffer.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect CColorStatic::TextRect() const {
    return rect().adjusted(0, kInset, 0, -kInset);
}

const QFont& CColorStatic::CellFont() {
    if (fontHeight != height() || fontWidth != width() || fontText != text()) {
        const QString family = face.isEmpty() ? font().family() : face;
        // Thin strokes, as the instrument's own digits; narrower only when the text would not
        // fit across.
        const QRect area = TextRect();
        cellFont =
            FitToWidth(CellHeightFont(family, area.height(), QFont::Thin), text(), area.width());
        fontHeight = height();
        fontWidth = width();
        fontText = text();
        buffer = QPixmap();
    }
    return cellFont;
}

void CColorStatic::RenderBuffer() {
    const QFont& font = CellFont();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (!buffer.isNull() && buffer.size() == pixels && bufferText == text() &&
        bufferAlignment == alignment())
        return;
    if (buffer.size() != pixels) {
        buffer = QPixmap(pixels);
        buffer.setDevicePixelRatio(ratio);
    }
    buffer.fill(background);
    QPainter p(&buffer);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font);
    p.setPen(textColor);
    const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
    p.drawText(TextRect(), horizontal | Qt::AlignTop | Qt::TextSingleLine, text());
    bufferText = text();
    bufferAlignment = alignment();
}

void CColorStatic::paintEvent(QPaintEvent*) {
    RenderBuffer();
    QPainter(this).drawPixmap(0, 0, buffer);
}
