#include "launcher/LauncherActions.h"

#include "launcher/LauncherIds.h"

#include <QFileInfo>

namespace {

const char* const kManualMessage =
    "Impossibile aprire il manuale d'istruzioni.\n\nAndare nella cartella 'Manual' e fare "
    "doppio click sul file [TQMANITA.pdf] per aprirlo.\nPer visualizzare un file '.pdf', sul "
    "P.C. deve essere installato Adobe Acrobat o Acrobat Reader";

// Row 0 keeps its text; on this platform the medium carries the Debian package, which the
// desktop hands to its package installer.
const std::array<CLauncherAction, kLauncherRows> kActions{{
    {"Installa Calora per Windows 3.2", IDI_LAUNCHER_INSTALL, "Install/Calora/calora_*.deb",
     "Impossibile iniziare l'installazione.\n\nAndare nella cartella 'Install\\Calora' e fare "
     "doppio click su [Setup.exe] per iniziare l'installazione."},
    {"Apri il manuale d'istruzione dei regolatori TQ (ITALIANO)", IDI_LAUNCHER_MANUAL,
     "Manual/TQManITAV1_3.pdf", kManualMessage},
    {"Open the TQ series user's manual (ENGLISH)", IDI_LAUNCHER_MANUAL, "Manual/TQManUKV1_2.pdf",
     kManualMessage},
    {"Apri il manuale d'istruzione dei regolatori TQ100 (ITALIANO)", IDI_LAUNCHER_MANUAL,
     "Manual/TQ100Man_ITAV1_4.pdf", kManualMessage},
    {"Guarda il sito web Brevina", IDI_LAUNCHER_WEB, kMakerHomePage,
     "Impossibile aprire la Home Page Brevina."},
}};

} // namespace

const std::array<CLauncherAction, kLauncherRows>& LauncherActions() {
    return kActions;
}

QUrl ResolveLauncherTarget(int row, const QDir& mediumRoot) {
    if (row < 0 || row >= kLauncherRows)
        return {};
    const QString target = QString::fromUtf8(kActions[row].target);
    const QUrl url(target);
    if (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"))
        return url;

    const QFileInfo named(mediumRoot.filePath(target));
    QString path = named.filePath();
    if (named.fileName().contains(QLatin1Char('*'))) {
        // Several versions side by side: the last in name order is the newest.
        const QStringList found =
            named.dir().entryList({named.fileName()}, QDir::Files | QDir::Readable, QDir::Name);
        if (found.isEmpty())
            return {};
        path = named.dir().filePath(found.last());
    }
    // The desktop's opener reports success for a file that is not there, so look first.
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable())
        return {};
    return QUrl::fromLocalFile(file.absoluteFilePath());
}
