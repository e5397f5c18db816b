#pragma once

#include "core/platform/ProfileStore.h"

#include <map>
#include <string>

// A profile kept in memory for one run: the demo mode's scratch store, and the tests'.
class CMemoryProfileStore : public IProfileStore {
public:
    std::string GetString(const std::string& key, const std::string& fallback) override {
        const auto found = strings.find(key);
        return found == strings.end() ? fallback : found->second;
    }
    int GetInt(const std::string& key, int fallback) override {
        const auto found = ints.find(key);
        return found == ints.end() ? fallback : found->second;
    }
    void WriteString(const std::string& key, const std::string& value) override {
        strings[key] = value;
        ++writes;
    }
    void WriteInt(const std::string& key, int value) override {
        ints[key] = value;
        ++writes;
    }

    std::map<std::string, std::string> strings;
    std::map<std::string, int> ints;
    // How many values were written.
    int writes = 0;
};
