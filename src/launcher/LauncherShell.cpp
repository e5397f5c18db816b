#include "launcher/LauncherShell.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

bool CDesktopShell::Open(const QUrl& target) {
    return QDesktopServices::openUrl(target);
}

void CDesktopShell::ShowMessage(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, owner);
    box.exec();
}
