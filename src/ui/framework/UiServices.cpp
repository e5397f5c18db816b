#include "ui/framework/UiServices.h"

#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace {

CUiServices*& Installed() {
    static CUiServices* installed = nullptr;
    return installed;
}

QMessageBox::Icon ToQt(MbIcon icon) {
    switch (icon) {
    case MbIcon::Stop:
        return QMessageBox::Critical;
    case MbIcon::Exclamation:
        return QMessageBox::Warning;
    case MbIcon::Question:
        return QMessageBox::Question;
    case MbIcon::Information:
        return QMessageBox::Information;
    case MbIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(MbButtons buttons) {
    switch (buttons) {
    case MbButtons::Ok:
        return QMessageBox::Ok;
    case MbButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MbButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MbButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MbButtons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case MbButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

int FromQt(int button) {
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Abort:
        return IDABORT;
    case QMessageBox::Retry:
        return IDRETRY;
    case QMessageBox::Ignore:
        return IDIGNORE;
    default:
        return IDCANCEL;
    }
}

} // namespace

int CUiServices::MessageBox(QWidget* parent, const QString& text, const QString& caption,
                            MbIcon icon, MbButtons buttons) {
    QMessageBox box(ToQt(icon), caption, text, ToQt(buttons), parent);
    // Closing the box with Esc or the title bar answers like Windows does: Cancel, or the
    // single button of an OK box, or No where there is no Cancel.
    if (buttons == MbButtons::YesNo)
        box.setEscapeButton(QMessageBox::No);
    else if (buttons == MbButtons::AbortRetryIgnore)
        box.setEscapeButton(QMessageBox::Abort);
    return FromQt(box.exec());
}

QString CUiServices::GetOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                     const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString CUiServices::GetSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                     const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(parent, caption, dir, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

std::optional<QColor> CUiServices::GetColor(QWidget* parent, const QColor& initial,
                                            const QString& caption) {
    QColor chosen = QColorDialog::getColor(initial, parent, caption);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

CUiServices& UiServices() {
    static CUiServices real;
    CUiServices* installed = Installed();
    return installed ? *installed : real;
}

CUiServices* SetUiServices(CUiServices* services) {
    CUiServices* previous = Installed();
    Installed() = services;
    return previous;
}

int MessageBoxText(QWidget* parent, const QString& text, MbIcon icon, MbButtons buttons) {
    return UiServices().MessageBox(parent, text, QString::fromLatin1(kMessageCaption), icon,
                                   buttons);
}

int MessageBoxId(QWidget* parent, int stringId, MbIcon icon, MbButtons buttons) {
    return MessageBoxText(parent, TextById(stringId), icon, buttons);
}
