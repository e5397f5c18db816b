#pragma once

#include "core/platform/ProfileStore.h"

#include <map>
#include <string>

// The desktop program's user profile as the command line sees it: read from the settings
// file the windows keep (INI, keys in [General]), never written back. Writes stay in memory,
// so a port the windows have not numbered yet gets a number for this run only.
class CCliProfile : public IProfileStore {
public:
    // $XDG_CONFIG_HOME/Norvane/Calora.conf, or ~/.config/Norvane/Calora.conf.
    static std::string DefaultPath();
    // A missing or unreadable file gives an empty profile.
    explicit CCliProfile(const std::string& path);

    std::string GetString(const std::string& key, const std::string& fallback) override;
    int GetInt(const std::string& key, int fallback) override;
    void WriteString(const std::string& key, const std::string& value) override;
    void WriteInt(const std::string& key, int value) override;

private:
    std::map<std::string, std::string> values;
};

// One INI value as the settings file stores it: quotes removed, backslash escapes undone.
std::string UnquoteIniValue(const std::string& raw);
