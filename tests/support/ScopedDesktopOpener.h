#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

// Puts an "xdg-open" shell script running `body` first on PATH while the object lives, so a
// test sees what the program hands to the desktop and how it takes a failure.
class CScopedDesktopOpener {
public:
    explicit CScopedDesktopOpener(const QString& body) : savedPath(qgetenv("PATH")) {
        QFile script(dir.filePath("xdg-open"));
        if (script.open(QIODevice::WriteOnly))
            script.write(("#!/bin/sh\n" + body + "\n").toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", dir.path().toUtf8() + ":" + savedPath);
    }
    ~CScopedDesktopOpener() { qputenv("PATH", savedPath); }
    CScopedDesktopOpener(const CScopedDesktopOpener&) = delete;
    CScopedDesktopOpener& operator=(const CScopedDesktopOpener&) = delete;

    // A file in the script's folder ("$(dirname "$0")" in the script).
    QString FilePath(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // Its content, trimmed; empty when missing.
    QString Read(const char* name) const {
        QFile file(FilePath(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed()
                                              : QString();
    }

private:
    QTemporaryDir dir;
    QByteArray savedPath;
};

// Script bodies: one that notes its argument in "asked" and succeeds, one that fails as
// xdg-open does where no browser or file manager is set up.
inline const char* const kOpenerNotes = "echo \"$1\" > \"$(dirname \"$0\")/asked\"";
inline const char* const kOpenerFails = "echo 'xdg-open: no method available' >&2; exit 3";
