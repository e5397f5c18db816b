#include "launcher/LauncherShell.h"

#include <QMessageBox>
#include <QProcess>
#include <QUrl>

void CDesktopShell::Open(const QUrl& target, std::function<void()> failed) {
    // xdg-open is run here rather than through QDesktopServices, which reports success as
    // soon as xdg-open starts, even when it then finds no program for the target. Not
    // parented: the viewer it waits on must outlive the dialog.
    auto* process = new QProcess;
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, failed](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return; // a crash is reported by finished
                         process->deleteLater();
                         failed();
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, failed](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status != QProcess::NormalExit || exitCode != 0)
                             failed();
                     });
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    const QString argument = target.isLocalFile() ? target.toLocalFile() : target.toString();
    process->start(QStringLiteral("xdg-open"), {argument});
}

void CDesktopShell::ShowMessage(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, owner);
    box.exec();
}
