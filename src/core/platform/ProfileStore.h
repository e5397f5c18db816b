#pragma once

#include <string>

// The per-user key-value store the settings live in. All keys lie directly in the
// application's own section. The windows use a QSettings-backed store; tests use a map.
class IProfileStore {
public:
    virtual ~IProfileStore() = default;
    virtual std::string GetString(const std::string& key, const std::string& fallback) = 0;
    virtual int GetInt(const std::string& key, int fallback) = 0;
    virtual void WriteString(const std::string& key, const std::string& value) = 0;
    virtual void WriteInt(const std::string& key, int value) = 0;
};
