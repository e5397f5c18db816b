#include "ui/app/AboutDlg.h"

#include "core/Version.h"
#include "ui/framework/ResourceIds.h"
#include "ui/widgets/BitmapStatic.h"

#include <QLabel>

namespace {
// The maker's lines are fixed, like the version line; they are not translated. The maker is
// invented: reserved ".example" addresses, no street and no telephone number.
const char* const kAddressLines = "Norvane\n"
                                  "Temperature controllers\n"
                                  "www.norvane.example\n"
                                  "info@norvane.example";
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : CDialogBase(IDD_ABOUTBOX, parent) {
    setWindowTitle(QStringLiteral("Calora"));
    SetClientSize(246, 92);
    auto* logo = AddControl<CBitmapStatic>(IDC_ABOUT_LOGO, 10, 10, 0, 0);
    logo->SetBitmap(IDB_LOGO);
    logo->setFixedSize(logo->Bitmap().size()); // the picture keeps its own size
    auto* version = AddControl<QLabel>(IDC_ABOUT_VERSION, 52, 10, 186, 10);
    version->setText(QStringLiteral("Calora Version ") + QString::fromLatin1(kCaloraVersion));
    QFont bold = version->font();
    bold.setBold(true);
    version->setFont(bold);
    auto* address = AddControl<QLabel>(IDC_ABOUT_ADDRESS, 52, 24, 186, 46);
    address->setText(QString::fromUtf8(kAddressLines));
    address->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    AddButton(IDOK, QStringLiteral("OK"), 188, 72, 50, 14, true);
}
