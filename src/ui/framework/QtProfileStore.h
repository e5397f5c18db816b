#pragma once

#include "core/platform/ProfileStore.h"

#include <QSettings>

// The user profile: QSettings under the maker "Norvane" and the application "Calora",
// every key directly in the application's section.
class CQtProfileStore : public IProfileStore {
public:
    CQtProfileStore();

    std::string GetString(const std::string& key, const std::string& fallback) override;
    int GetInt(const std::string& key, int fallback) override;
    void WriteString(const std::string& key, const std::string& value) override;
    void WriteInt(const std::string& key, int value) override;

    // Writes pending changes to disk now (QSettings also does so on destruction).
    void Flush() { settings.sync(); }

private:
    QSettings settings;
};
