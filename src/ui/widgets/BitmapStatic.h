#pragma once

#include <QPixmap>
#include <QWidget>

// A static control that shows one bitmap stretched over its whole area.
class CBitmapStatic : public QWidget {
    Q_OBJECT
public:
    explicit CBitmapStatic(QWidget* parent = nullptr) : QWidget(parent) {}

    // Loads one of the program's bitmaps and keeps it, replacing the one held before; false
    // (and nothing held) for an unknown id.
    bool SetBitmap(int bitmapId);
    void SetBitmap(const QPixmap& bitmap);
    const QPixmap& Bitmap() const { return bitmap; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap bitmap;
};
