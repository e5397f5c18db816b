#include "launcher/LauncherActions.h"

#include "launcher/LauncherIds.h"

#include <QFileInfo>

#include <algorithm>

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

// Debian's order of version strings: runs of digits compare as numbers (3.10 after 3.9),
// letters before other characters, and '~' before anything, even the end (3.10~rc1 before
// 3.10).
int CharOrder(QChar c) {
    if (c == QLatin1Char('~'))
        return -1;
    if (c.isDigit())
        return 0;
    if (c.isLetter())
        return c.unicode();
    return c.unicode() + 0x10000;
}

int CompareVersions(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() || j < b.size()) {
        while ((i < a.size() && !a[i].isDigit()) || (j < b.size() && !b[j].isDigit())) {
            const int ca = i < a.size() ? CharOrder(a[i]) : 0;
            const int cb = j < b.size() ? CharOrder(b[j]) : 0;
            if (ca != cb)
                return ca < cb ? -1 : 1;
            ++i;
            ++j;
        }
        while (i < a.size() && a[i] == QLatin1Char('0'))
            ++i;
        while (j < b.size() && b[j] == QLatin1Char('0'))
            ++j;
        int firstDifference = 0;
        while (i < a.size() && a[i].isDigit() && j < b.size() && b[j].isDigit()) {
            if (firstDifference == 0 && a[i] != b[j])
                firstDifference = a[i] < b[j] ? -1 : 1;
            ++i;
            ++j;
        }
        // The longer run of digits is the larger number.
        if (i < a.size() && a[i].isDigit())
            return 1;
        if (j < b.size() && b[j].isDigit())
            return -1;
        if (firstDifference != 0)
            return firstDifference;
    }
    return 0;
}

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
        // Several versions side by side: the newest by version, not by text order.
        const QStringList found =
            named.dir().entryList({named.fileName()}, QDir::Files | QDir::Readable, QDir::Name);
        if (found.isEmpty())
            return {};
        const QString pattern = named.fileName();
        const qsizetype star = pattern.indexOf(QLatin1Char('*'));
        const qsizetype fixedLength = pattern.size() - 1;
        // What the '*' matched, less a trailing "_architecture".
        auto version = [&](const QString& name) {
            const QString matched = name.mid(star, name.size() - fixedLength);
            const qsizetype arch = matched.lastIndexOf(QLatin1Char('_'));
            return arch < 0 ? matched : matched.left(arch);
        };
        const QString newest =
            *std::max_element(found.begin(), found.end(), [&](const QString& a, const QString& b) {
                return CompareVersions(version(a), version(b)) < 0;
            });
        path = named.dir().filePath(newest);
    }
    // The desktop's opener reports success for a file that is not there, so look first.
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable())
        return {};
    return QUrl::fromLocalFile(file.absoluteFilePath());
}
