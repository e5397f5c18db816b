#include "ui/app/SplashDlg.h"

#include "ui/framework/ResourceIds.h"
#include "ui/widgets/BitmapStatic.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

CSplashDlg::CSplashDlg(int durationMs, QWidget* parent)
    : CDialogBase(IDD_SPLASH, parent), timer(new QTimer(this)), durationMs(durationMs) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    auto* picture = new CBitmapStatic(this);
    SetControlId(picture, IDC_SPLASH_PICTURE);
    picture->SetBitmap(IDB_SPLASH);
    const QSize size = picture->Bitmap().size();
    picture->setGeometry(QRect(QPoint(0, 0), size));
    setFixedSize(size);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [this] { EndDialog(IDOK); });
}

void CSplashDlg::OnInitDialog() {
    CDialogBase::OnInitDialog();
    CentreOnScreen();
    timer->start(durationMs);
}

void CSplashDlg::CentreOnScreen() {
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}
