#include "ui/widgets/BitmapStatic.h"

#include "ui/widgets/Artwork.h"

#include <QPainter>

bool CBitmapStatic::SetBitmap(int bitmapId) {
    SetBitmap(LoadBitmapResource(bitmapId));
    return !bitmap.isNull();
}

void CBitmapStatic::SetBitmap(const QPixmap& newBitmap) {
    bitmap = newBitmap;
    update();
}

void CBitmapStatic::paintEvent(QPaintEvent*) {
    if (bitmap.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(rect(), bitmap);
}
