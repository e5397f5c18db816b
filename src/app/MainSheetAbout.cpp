#include "app/MainSheetAbout.h"

#include "framework/ResourceIds.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>

CSheetAboutBox::CSheetAboutBox(QWidget* parent) : CDialogBase(IDD_ABOUTBOX, parent) {
    setWindowTitle("Calora");
    auto* logo = AddControl<QLabel>(IDC_ABOUT_LOGO, 10, 10, 24, 24);
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    logo->setPixmap(icon.pixmap(DialogUnits().X(20), DialogUnits().X(20)));
    AddControl<QLabel>(IDC_ABOUT_VERSION, 44, 10, 150, 9)->setText("Calora Version 3.2");
    auto* address = AddControl<QLabel>(IDC_ABOUT_ADDRESS, 44, 24, 150, 30);
    address->setText("Norvane\nTemperature controllers of the TQ series");
    address->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    AddButton(IDOK, "OK", 150, 60, 50, 14, true);
    SetClientSize(210, 81);
}
