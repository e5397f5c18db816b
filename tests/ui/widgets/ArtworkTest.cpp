#include "ui/widgets/Artwork.h"
#include "ui/app/AboutDlg.h"
#include "ui/app/SplashDlg.h"
#include "ui/framework/ResourceIds.h"
#include "ui/widgets/BitmapStatic.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <gtest/gtest.h>

TEST(BitmapStatic, StretchesItsBitmapOverTheWholeControl) {
    QImage two(2, 1, QImage::Format_RGB32);
    two.setPixel(0, 0, qRgb(255, 0, 0));
    two.setPixel(1, 0, qRgb(0, 0, 255));
    CBitmapStatic control;
    control.SetBitmap(QPixmap::fromImage(two));
    control.resize(100, 10);
    const QImage shot = control.grab().toImage();
    EXPECT_EQ(qRgb(255, 0, 0), shot.pixel(10, 5));
    EXPECT_EQ(qRgb(0, 0, 255), shot.pixel(90, 8));
}

TEST(BitmapStatic, ReplacesItsBitmapAndRefusesUnknownIds) {
    CBitmapStatic control;
    EXPECT_TRUE(control.SetBitmap(IDB_SPLASH));
    EXPECT_FALSE(control.Bitmap().isNull());
    EXPECT_FALSE(control.SetBitmap(4242));
    EXPECT_TRUE(control.Bitmap().isNull());
}

TEST(Artwork, TheProgramsPicturesExist) {
    for (int id : {IDR_MAINFRAME, IDB_LOGO, IDB_SPLASH})
        EXPECT_FALSE(LoadBitmapResource(id).isNull()) << id;
    EXPECT_FALSE(ProgramIcon().isNull());
}

TEST(AboutDlg, ShowsTheVersionLineLogoAndAnOkButton) {
    CAboutDlg dlg;
    dlg.show();
    EXPECT_EQ(IDD_ABOUTBOX, dlg.TemplateId());
    EXPECT_EQ("Calora Version " CALORA_PROJECT_VERSION, dlg.GetDlgItemText(IDC_ABOUT_VERSION));
    EXPECT_TRUE(dlg.GetDlgItemText(IDC_ABOUT_ADDRESS).startsWith("Norvane"));
    auto* logo = dlg.Control<CBitmapStatic>(IDC_ABOUT_LOGO);
    ASSERT_NE(nullptr, logo);
    EXPECT_EQ(LoadBitmapResource(IDB_LOGO).size(), logo->size());
    EXPECT_EQ(nullptr, dlg.GetDlgItem(IDCANCEL));
    dlg.Control<QPushButton>(IDOK)->click();
    EXPECT_EQ(IDOK, dlg.result());
}

TEST(SplashDlg, TakesTheBitmapsSizeStaysOnTopAndIsCentred) {
    CSplashDlg dlg(60000);
    dlg.show();
    EXPECT_EQ(IDD_SPLASH, dlg.TemplateId());
    auto* picture = dlg.Control<CBitmapStatic>(IDC_SPLASH_PICTURE);
    ASSERT_NE(nullptr, picture);
    EXPECT_EQ(picture->Bitmap().size(), dlg.size());
    EXPECT_EQ(dlg.rect(), picture->geometry());
    EXPECT_TRUE(dlg.windowFlags() & Qt::WindowStaysOnTopHint);
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((dlg.geometry().center() - centre).manhattanLength(), 2);
}

TEST(SplashDlg, ClosesItselfWhenItsTimeIsUp) {
    CSplashDlg dlg(50);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_GE(clock.elapsed(), 40);
}
