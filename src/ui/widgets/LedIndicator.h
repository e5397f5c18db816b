#pragma once

#include "ui/framework/AppMessages.h"

#include <QFont>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

// A round lamp with a caption that behaves like a check box: its state (0/1) is read and set
// like a check box's, a click toggles it, and it can blink. The caption is the window text.
// A lamp with the notify flag asks its owner first: the owner's answer to kMsgLamp decides
// whether a click changes the state.
class CLedIndicator : public QWidget {
    Q_OBJECT
public:
    CLedIndicator(int litBitmapId, int darkBitmapId, int maskBitmapId, bool notify,
                  QWidget* parent = nullptr);

    // The check-box protocol: the state, and setting it (any value but 1 counts as 0).
    int GetCheck() const { return state; }
    LRESULT SetCheck(WPARAM value);

    // As SetCheck; a changed state is drawn at once unless the lamp is blinking (its next
    // tick shows it).
    void SetState(int value);
    int State() const { return state; }

    // A period in ms starts blinking; 0 stops it and leaves the blink phase on.
    void SetBlink(int milliseconds);
    bool IsBlinking() const { return blinkMs != 0; }

    // Caption face; false (and the old face kept) when no font can be built from it.
    bool SetFontName(const QString& face);
    QString FontName() const { return face; }
    // The caption font for the current size and caption: the lamp's height, made smaller when
    // the caption would not fit its rectangle with kCaptionGap pixels to spare.
    const QFont& CaptionFont();
    // Where the caption is drawn: the client area right of the picture.
    QRect CaptionRect() const;
    static constexpr int kCaptionGap = 2;

    // Whether the lamp shows its lit picture now.
    bool ShowsLit() const;

    // Where the lamp's picture goes in a client area of this size.
    static QRect BitmapRect(const QSize& client, const QSize& bitmap);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Tick();
    void RenderBuffer();

    QPixmap lit;  // pictures already put through the mask onto the button face
    QPixmap dark; //
    bool notify;
    int state = 0;
    int latched = 0; // the state at the last blink tick
    bool phaseOn = true;
    int blinkMs = 0;
    QTimer blinkTimer;
    QString face;
    QFont captionFont;
    int fontHeight = -1;
    int fontWidth = -1;
    QString fontFace;
    QString fontCaption;
    QPixmap buffer;
    bool bufferLit = false;
    QString bufferCaption;
    QFont bufferFont;
};
