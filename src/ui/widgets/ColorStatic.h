#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPixmap>

// A static text that can report clicks to its window (when its notify flag is set).
class CNotifyStatic : public QLabel {
    Q_OBJECT
public:
    explicit CNotifyStatic(QWidget* parent = nullptr) : QLabel(parent) {}

    void SetNotify(bool on) { notify = on; }
    bool Notify() const { return notify; }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool notify = false;
};

// A static text with its own colours and face; its font's cell is as tall as the control less
// a pixel above and below (two fields stacked edge to edge keep their digits apart), so the
// text grows with the control; a text too long for the width gets a smaller font. Painted through
// an off-screen buffer that is redrawn only when the text, size or alignment changed.
class CColorStatic : public CNotifyStatic {
    Q_OBJECT
public:
    // An empty face takes the face of the control's own font.
    CColorStatic(const QColor& textColor, const QColor& background, const QString& face,
                 QWidget* parent = nullptr);

    const QColor& TextColor() const { return textColor; }
    const QColor& Background() const { return background; }
    // The font the text is drawn with (built for the current size and text).
    const QFont& CellFont();
    // Where the text is drawn: the client area less kInset pixels above and below.
    QRect TextRect() const;
    static constexpr int kInset = 1;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void RenderBuffer();

    QColor textColor;
    QColor background;
    QString face;
    QFont cellFont;
    int fontHeight = -1; // control size and text the font was built for
    int fontWidth = -1;
    QString fontText;
    QPixmap buffer;
    QString bufferText;
    Qt::Alignment bufferAlignment;
};
