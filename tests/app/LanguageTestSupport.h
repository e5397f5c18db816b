#pragma once

#include "app/LanguageLibrary.h"
#include "app/ProfileStore.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace languagetest {

namespace fs = std::filesystem;

// Built beside the test: a working library ("Fixture") and one without the name export.
inline fs::path FixtureDir() {
    return LANGUAGE_FIXTURE_DIR;
}
inline fs::path GoodFixture() {
    return FixtureDir() / "language_fixture_good.so";
}
inline fs::path NoNameFixture() {
    return FixtureDir() / "language_fixture_noname.so";
}

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "calora-lang-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder with a trailing separator, as the program keeps folders.
    std::string Dir() const { return path.string() + "/"; }
    fs::path path;
};

class MapProfile : public IProfileStore {
public:
    std::string GetString(const std::string& key, const std::string& fallback) override {
        auto found = strings.find(key);
        return found == strings.end() ? fallback : found->second;
    }
    int GetInt(const std::string& key, int fallback) override {
        auto found = ints.find(key);
        return found == ints.end() ? fallback : found->second;
    }
    void WriteString(const std::string& key, const std::string& value) override {
        strings[key] = value;
    }
    void WriteInt(const std::string& key, int value) override { ints[key] = value; }

    std::map<std::string, std::string> strings;
    std::map<std::string, int> ints;
};

} // namespace languagetest
