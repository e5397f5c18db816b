// The shipped language libraries: each holds a text for every string number the program uses,
// and the program uses no number the libraries do not hold.
#include "languages/StringIds.h"
#include "support/LanguageTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <regex>
#include <set>
#include <sstream>

using namespace languagetest;

namespace {

std::string ShippedLanguagesDir() {
    const char* bin = std::getenv("CALORA_TEST_BIN");
    return LanguagesDirOf(bin != nullptr ? bin : ".");
}

std::vector<std::unique_ptr<CLanguageLibrary>> LoadShipped() {
    std::vector<std::unique_ptr<CLanguageLibrary>> libraries;
    for (const LanguageListEntry& entry : ListLanguages(ShippedLanguagesDir())) {
        auto library = std::make_unique<CLanguageLibrary>();
        if (library->Load(entry.path)) {
            libraries.push_back(std::move(library));
        }
    }
    return libraries;
}

bool IsValidUtf8(const std::string& text) {
    size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        size_t extra = 0;
        if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
        } else if (lead >= 0xE0) {
            extra = 2;
        } else if (lead >= 0xC2) {
            extra = 1;
        } else if (lead >= 0x80) {
            return false;
        }
        if (lead > 0xF4 || (extra > 0 && i + extra >= text.size())) {
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

// The ending a caller builds on: a message followed by a name or a file keeps its colon, line
// break or blank in every language.
std::string Ending(const std::string& text) {
    if (text.empty()) {
        return "";
    }
    char last = text.back();
    return (last == ':' || last == '\n' || last == ' ') ? std::string(1, last) : "";
}

} // namespace

TEST(LanguageTextsTest, ThreeLanguagesAreShipped) {
    std::vector<LanguageListEntry> list = ListLanguages(ShippedLanguagesDir());
    std::set<std::string> names;
    for (const LanguageListEntry& entry : list) {
        names.insert(entry.name);
    }
    EXPECT_EQ(names, (std::set<std::string>{"English", "Español", "Italiano"}));
    EXPECT_EQ(list.size(), 3u);
}

TEST(LanguageTextsTest, EveryLibraryHoldsEveryNumberAsValidUtf8) {
    auto libraries = LoadShipped();
    ASSERT_EQ(libraries.size(), 3u);
    for (const auto& library : libraries) {
        for (int id : kAllStringIds) {
            std::optional<std::string> text = library->FindText(id);
            ASSERT_TRUE(text.has_value()) << library->Name() << " lacks " << id;
            EXPECT_FALSE(text->empty()) << library->Name() << " " << id;
            EXPECT_TRUE(IsValidUtf8(*text)) << library->Name() << " " << id;
        }
    }
}

TEST(LanguageTextsTest, LibrariesHoldTheSameNumbersAndNoOthers) {
    auto libraries = LoadShipped();
    ASSERT_EQ(libraries.size(), 3u);
    std::set<int> listed(std::begin(kAllStringIds), std::end(kAllStringIds));
    for (const auto& library : libraries) {
        for (int id = -5; id < 400; ++id) {
            EXPECT_EQ(library->FindText(id).has_value(), listed.count(id) == 1)
                << library->Name() << " " << id;
        }
    }
}

TEST(LanguageTextsTest, TextsThatCallersExtendEndTheSameWayInEveryLanguage) {
    auto libraries = LoadShipped();
    ASSERT_EQ(libraries.size(), 3u);
    for (int id : kAllStringIds) {
        std::string expected = Ending(libraries[0]->LoadText(id));
        for (const auto& library : libraries) {
            EXPECT_EQ(Ending(library->LoadText(id)), expected) << library->Name() << " " << id;
        }
    }
}

TEST(LanguageTextsTest, NoTextCarriesAFormatDirective) {
    // Callers put names and numbers around the texts, some through printf-style formats.
    std::regex directive("%[-+ #0-9.]*[a-zA-Z]");
    for (const auto& library : LoadShipped()) {
        for (int id : kAllStringIds) {
            EXPECT_FALSE(std::regex_search(library->LoadText(id), directive))
                << library->Name() << " " << id;
        }
    }
}

TEST(LanguageTextsTest, EveryBareNumberTheProgramLooksUpIsListed) {
    // Code should use the named constants; a bare number passed to a text lookup must at
    // least be one the libraries hold.
    std::set<int> listed(std::begin(kAllStringIds), std::end(kAllStringIds));
    std::regex lookup(
        R"((LoadText|FindText|TextById|TextByIdUtf8|MessageBoxId)\((?:[^(),]*,\s*)?(\d+)\s*[,)])");
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(CALORA_SOURCE_DIR "/src")) {
        if (!entry.is_regular_file()) {
            continue;
        }
        std::string ext = entry.path().extension().string();
        if (ext != ".cpp" && ext != ".h") {
            continue;
        }
        ++files;
        std::ifstream in(entry.path());
        std::stringstream content;
        content << in.rdbuf();
        std::string text = content.str();
        for (std::sregex_iterator it(text.begin(), text.end(), lookup), end; it != end; ++it) {
            int id = std::stoi((*it)[2].str());
            EXPECT_EQ(listed.count(id), 1u) << entry.path() << ": " << it->str();
        }
    }
    EXPECT_GT(files, 0);
}
