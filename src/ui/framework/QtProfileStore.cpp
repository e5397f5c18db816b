#include "ui/framework/QtProfileStore.h"

CQtProfileStore::CQtProfileStore()
    : settings(QStringLiteral("Norvane"), QStringLiteral("Calora")) {}

std::string CQtProfileStore::GetString(const std::string& key, const std::string& fallback) {
    const QVariant value = settings.value(QString::fromStdString(key));
    if (!value.isValid())
        return fallback;
    return value.toString().toStdString();
}

int CQtProfileStore::GetInt(const std::string& key, int fallback) {
    const QVariant value = settings.value(QString::fromStdString(key));
    if (!value.isValid())
        return fallback;
    // A value that is not a whole number reads like a missing one.
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? number : fallback;
}

void CQtProfileStore::WriteString(const std::string& key, const std::string& value) {
    settings.setValue(QString::fromStdString(key), QString::fromStdString(value));
}

void CQtProfileStore::WriteInt(const std::string& key, int value) {
    settings.setValue(QString::fromStdString(key), value);
}
