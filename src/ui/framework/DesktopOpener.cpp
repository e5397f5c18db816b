#include "ui/framework/DesktopOpener.h"

#include "languages/StringIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"

#include <QDir>
#include <QPointer>
#include <QProcess>
#include <QWidget>

namespace {

constexpr const char* kOpener = "xdg-open";

void TellOpenByHand(const QPointer<QWidget>& parent, const QString& path) {
    MessageBoxText(parent.data(), TextById(IDS_MSG_OPEN_BY_HAND) + QDir::toNativeSeparators(path),
                   MbIcon::Exclamation);
}

} // namespace

void OpenOnDesktop(QWidget* parent, const QString& path) {
    // Not parented: closing the window must not kill a viewer the opener is still waiting on.
    auto* process = new QProcess;
    QPointer<QWidget> owner(parent);
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, owner, path](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return; // a crash is reported by finished
                         process->deleteLater();
                         TellOpenByHand(owner, path);
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, owner, path](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status != QProcess::NormalExit || exitCode != 0)
                             TellOpenByHand(owner, path);
                     });
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(QString::fromLatin1(kOpener), {path});
}
