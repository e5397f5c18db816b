// start: the launcher of the distribution medium. It installs Calora, opens the manuals and
// the maker's web site through the desktop.
#include "launcher/LauncherDlg.h"
#include "launcher/LauncherShell.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Start"));
    CDesktopShell shell;
    // The targets are on the medium, beside this program: a file manager does not make that
    // folder the current one.
    CLauncherDlg dialog(shell, QDir(QCoreApplication::applicationDirPath()));
    dialog.exec();
    return 0;
}
