#pragma once

#include "core/platform/LanguageLibrary.h"
#include "core/platform/MemoryProfileStore.h"
#include "core/platform/ProfileStore.h"

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

} // namespace languagetest
