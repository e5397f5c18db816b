#include "ui/framework/FileError.h"

#include "ui/framework/UiServices.h"

#include <cerrno>
#include <cstring>

QString FileErrorText(const std::string& path, int error) {
    const QString name = QString::fromStdString(path);
    QString text;
    switch (error) {
    case ENOENT:
        text = QString("%1 was not found.").arg(name);
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        text = QString("Access to %1 was denied.").arg(name);
        break;
    default:
        text = QString("An error occurred while accessing %1.").arg(name);
        break;
    }
    if (error != 0)
        text += QString(" (%1)").arg(QString::fromLocal8Bit(std::strerror(error)));
    return text;
}

void ShowFileError(QWidget* parent, const std::string& path, int error) {
    MessageBoxText(parent, FileErrorText(path, error), MbIcon::Stop);
}
