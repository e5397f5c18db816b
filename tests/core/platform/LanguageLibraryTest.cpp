// The language loader: loading, listing, the active library and the start-up and menu flows.
#include "support/LanguageTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace languagetest;

namespace {

// Answers the selection dialog from a script and records every message.
class ScriptedUi : public ILanguageUi {
public:
    struct Selection {
        std::string languagesDir;
        std::string currentPath;
        bool cancelAllowed;
    };

    void ShowMessage(const std::string& text, Icon icon) override {
        messages.push_back(text);
        icons.push_back(icon);
    }
    std::optional<std::string> SelectLanguage(const std::string& languagesDir,
                                              const std::string& currentPath,
                                              bool cancelAllowed) override {
        selections.push_back({languagesDir, currentPath, cancelAllowed});
        return answer;
    }

    std::optional<std::string> answer; // none: Cancel
    std::vector<std::string> messages;
    std::vector<Icon> icons;
    std::vector<Selection> selections;
};

// An application folder with a "Languages" folder holding copies of the fixtures.
class AppFolder {
public:
    std::string AppDir() const { return temp.Dir(); }
    std::string LanguagesDir() const { return temp.Dir() + "Languages/"; }
    std::string Add(const fs::path& source, const std::string& name) {
        fs::create_directories(LanguagesDir());
        fs::copy_file(source, LanguagesDir() + name, fs::copy_options::overwrite_existing);
        return LanguagesDir() + name;
    }
    TempDir temp;
};

class LanguageLibraryTest : public ::testing::Test {
protected:
    void TearDown() override { SetActiveLanguage(nullptr); }
};

} // namespace

// Loading one library

TEST_F(LanguageLibraryTest, LoadsALibraryAndReadsItsNameAndTexts) {
    CLanguageLibrary library;
    ASSERT_TRUE(library.Load(GoodFixture().string()));
    EXPECT_TRUE(library.IsLoaded());
    EXPECT_EQ(library.Path(), GoodFixture().string());
    EXPECT_EQ(library.Name(), "Fixture");
    EXPECT_EQ(library.FindText(2), "Fixture open");
    EXPECT_EQ(library.LoadText(3), "Fixture save");
}

TEST_F(LanguageLibraryTest, MissingNumberReadsTextError) {
    CLanguageLibrary library;
    ASSERT_TRUE(library.Load(GoodFixture().string()));
    EXPECT_EQ(library.FindText(4), std::nullopt);
    EXPECT_EQ(library.LoadText(4), "Text Error");
    EXPECT_EQ(library.LoadText(-1), "Text Error");
}

TEST_F(LanguageLibraryTest, RefusesALibraryWithoutTheNameExport) {
    CLanguageLibrary library;
    EXPECT_FALSE(library.Load(NoNameFixture().string()));
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_EQ(library.LoadText(2), "Text Error");
}

TEST_F(LanguageLibraryTest, RefusesPathsThatAreNoLibrary) {
    TempDir temp;
    std::ofstream(temp.Dir() + "text.so") << "not a library";
    fs::create_directory(temp.Dir() + "folder.so");
    CLanguageLibrary library;
    EXPECT_FALSE(library.Load(""));
    EXPECT_FALSE(library.Load(temp.Dir() + "absent.so"));
    EXPECT_FALSE(library.Load(temp.Dir() + "text.so"));
    EXPECT_FALSE(library.Load(temp.Dir() + "folder.so"));
    // A bare name is a file in the current folder, never a system library.
    EXPECT_FALSE(library.Load("libc.so.6"));
    EXPECT_FALSE(library.IsLoaded());
}

TEST_F(LanguageLibraryTest, AFailedLoadReleasesThePreviousLibrary) {
    CLanguageLibrary library;
    ASSERT_TRUE(library.Load(GoodFixture().string()));
    EXPECT_FALSE(library.Load(NoNameFixture().string()));
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_EQ(library.Path(), "");
}

// Listing the languages folder

TEST_F(LanguageLibraryTest, ListsOnlyLibrariesWithTheNameExportInFileNameOrder) {
    AppFolder app;
    std::string second = app.Add(GoodFixture(), "b.so");
    std::string first = app.Add(GoodFixture(), "a.so");
    app.Add(NoNameFixture(), "broken.so");
    std::ofstream(app.LanguagesDir() + "junk.so") << "junk";
    std::ofstream(app.LanguagesDir() + "readme.txt") << "readme";
    fs::copy_file(GoodFixture(), app.LanguagesDir() + "other.dll");

    std::vector<LanguageListEntry> list = ListLanguages(app.LanguagesDir());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].path, first);
    EXPECT_EQ(list[1].path, second);
    EXPECT_EQ(list[0].name, "Fixture");
}

TEST_F(LanguageLibraryTest, EmptyOrMissingFolderListsNothing) {
    AppFolder app;
    fs::create_directories(app.LanguagesDir());
    EXPECT_TRUE(ListLanguages(app.LanguagesDir()).empty());
    EXPECT_TRUE(ListLanguages(app.AppDir() + "nowhere/").empty());
}

TEST_F(LanguageLibraryTest, LanguagesFolderLiesBesideTheProgram) {
    EXPECT_EQ(LanguagesDirOf("/opt/calora/"), "/opt/calora/Languages/");
    EXPECT_EQ(LanguagesDirOf("/opt/calora"), "/opt/calora/Languages/");
}

// The active library

TEST_F(LanguageLibraryTest, TextsComeFromTheActiveLibrary) {
    EXPECT_EQ(LoadText(2), "Text Error");
    auto library = std::make_shared<CLanguageLibrary>();
    ASSERT_TRUE(library->Load(GoodFixture().string()));
    SetActiveLanguage(library);
    EXPECT_EQ(LoadText(2), "Fixture open");
    EXPECT_EQ(LoadText(5), "Text Error");
    EXPECT_EQ(FindText(5), std::nullopt);
    SetActiveLanguage(nullptr);
    EXPECT_EQ(LoadText(2), "Text Error");
}

TEST_F(LanguageLibraryTest, AReaderKeepsTheLibraryLoadedAfterItIsReplaced) {
    auto library = std::make_shared<CLanguageLibrary>();
    ASSERT_TRUE(library->Load(GoodFixture().string()));
    SetActiveLanguage(library);
    library.reset();
    std::shared_ptr<const CLanguageLibrary> held = ActiveLanguage();
    SetActiveLanguage(nullptr);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->LoadText(3), "Fixture save");
}

// Start-up

TEST_F(LanguageLibraryTest, StartLoadsTheStoredLibraryWithoutAsking) {
    AppFolder app;
    CMemoryProfileStore profile;
    profile.strings[kLanguageDllKey] = app.Add(GoodFixture(), "Good.so");
    ScriptedUi ui;
    CLanguageSession session(app.AppDir(), profile);
    ASSERT_TRUE(session.LoadLanguage(ui));
    EXPECT_TRUE(ui.selections.empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(session.LanguageDll(), app.LanguagesDir() + "Good.so");
    EXPECT_EQ(session.LanguagesDir(), app.LanguagesDir());
    EXPECT_EQ(LoadText(2), "Fixture open");
}

TEST_F(LanguageLibraryTest, StartWithAVanishedStoredPathWarnsThenAsksWithoutCancel) {
    AppFolder app;
    CMemoryProfileStore profile;
    std::string good = app.Add(GoodFixture(), "Good.so");
    profile.strings[kLanguageDllKey] = app.LanguagesDir() + "Gone.so";
    ScriptedUi ui;
    ui.answer = good;
    CLanguageSession session(app.AppDir(), profile);
    ASSERT_TRUE(session.LoadLanguage(ui));
    ASSERT_EQ(ui.messages, std::vector<std::string>{"Language Library not found"});
    EXPECT_EQ(ui.icons[0], ILanguageUi::Icon::Warning);
    ASSERT_EQ(ui.selections.size(), 1u);
    EXPECT_EQ(ui.selections[0].languagesDir, app.LanguagesDir());
    EXPECT_EQ(ui.selections[0].currentPath, "");
    EXPECT_FALSE(ui.selections[0].cancelAllowed);
    EXPECT_EQ(session.LanguageDll(), good);
    EXPECT_EQ(LoadText(3), "Fixture save");
}

TEST_F(LanguageLibraryTest, FirstStartAsksWithoutAWarning) {
    AppFolder app;
    CMemoryProfileStore profile;
    ScriptedUi ui;
    ui.answer = app.Add(GoodFixture(), "Good.so");
    CLanguageSession session(app.AppDir(), profile);
    ASSERT_TRUE(session.LoadLanguage(ui));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.selections.size(), 1u);
}

TEST_F(LanguageLibraryTest, StartFailsWhenTheSelectionIsCancelled) {
    AppFolder app;
    CMemoryProfileStore profile;
    ScriptedUi ui;
    CLanguageSession session(app.AppDir(), profile);
    EXPECT_FALSE(session.LoadLanguage(ui));
    ASSERT_EQ(ui.messages, std::vector<std::string>{"Error loading language dll"});
    EXPECT_EQ(ui.icons[0], ILanguageUi::Icon::Stop);
    EXPECT_EQ(session.Library(), nullptr);
    EXPECT_EQ(ActiveLanguage(), nullptr);
}

TEST_F(LanguageLibraryTest, StartFailsWhenTheChosenLibraryWillNotLoad) {
    AppFolder app;
    CMemoryProfileStore profile;
    ScriptedUi ui;
    ui.answer = app.Add(NoNameFixture(), "Broken.so");
    CLanguageSession session(app.AppDir(), profile);
    EXPECT_FALSE(session.LoadLanguage(ui));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error loading language dll"});
    EXPECT_EQ(ActiveLanguage(), nullptr);
}

TEST_F(LanguageLibraryTest, StartFailsWhenNothingWasSelected) {
    AppFolder app;
    CMemoryProfileStore profile;
    ScriptedUi ui;
    ui.answer = "";
    CLanguageSession session(app.AppDir(), profile);
    EXPECT_FALSE(session.LoadLanguage(ui));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error loading language dll"});
}

// Switching from the menu

class LanguageSwitchTest : public LanguageLibraryTest {
protected:
    void SetUp() override {
        first = app.Add(GoodFixture(), "First.so");
        second = app.Add(GoodFixture(), "Second.so");
        profile.strings[kLanguageDllKey] = first;
        ScriptedUi start;
        ASSERT_TRUE(session.LoadLanguage(start));
        ui.answer = first;
    }

    AppFolder app;
    CMemoryProfileStore profile;
    CLanguageSession session{app.AppDir(), profile};
    ScriptedUi ui;
    std::string first;
    std::string second;
};

TEST_F(LanguageSwitchTest, OffersTheCurrentLibraryWithCancel) {
    session.ChooseLanguage(ui);
    ASSERT_EQ(ui.selections.size(), 1u);
    EXPECT_EQ(ui.selections[0].currentPath, first);
    EXPECT_TRUE(ui.selections[0].cancelAllowed);
}

TEST_F(LanguageSwitchTest, SwitchesToTheChosenLibrary) {
    auto before = session.Library();
    ui.answer = second;
    session.ChooseLanguage(ui);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(session.LanguageDll(), second);
    EXPECT_EQ(session.Library()->Path(), second);
    EXPECT_EQ(ActiveLanguage(), session.Library());
    EXPECT_NE(session.Library(), before);
}

TEST_F(LanguageSwitchTest, ChoosingTheSameLibraryChangesNothing) {
    auto before = session.Library();
    session.ChooseLanguage(ui);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(session.Library(), before);
}

TEST_F(LanguageSwitchTest, CancelChangesNothing) {
    auto before = session.Library();
    ui.answer.reset();
    session.ChooseLanguage(ui);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(session.Library(), before);
    EXPECT_EQ(session.LanguageDll(), first);
}

TEST_F(LanguageSwitchTest, AnUnloadableChoiceKeepsThePreviousLanguage) {
    auto before = session.Library();
    std::string broken = app.Add(NoNameFixture(), "Broken.so");
    ui.answer = broken;
    profile.strings[kLanguageDllKey] = broken; // as the dialog stores it on OK
    session.ChooseLanguage(ui);
    ASSERT_EQ(ui.messages, std::vector<std::string>{"Error loading dll"});
    EXPECT_EQ(ui.icons[0], ILanguageUi::Icon::Stop);
    EXPECT_EQ(session.Library(), before);
    EXPECT_EQ(ActiveLanguage(), before);
    EXPECT_EQ(session.LanguageDll(), first);
    EXPECT_EQ(profile.strings[kLanguageDllKey], first);
    EXPECT_EQ(LoadText(2), "Fixture open");
}

TEST_F(LanguageLibraryTest, EndingTheSessionLeavesNoActiveLibrary) {
    AppFolder app;
    CMemoryProfileStore profile;
    profile.strings[kLanguageDllKey] = app.Add(GoodFixture(), "Good.so");
    {
        CLanguageSession session(app.AppDir(), profile);
        ScriptedUi ui;
        ASSERT_TRUE(session.LoadLanguage(ui));
        EXPECT_NE(ActiveLanguage(), nullptr);
    }
    EXPECT_EQ(ActiveLanguage(), nullptr);
    EXPECT_EQ(LoadText(2), "Text Error");
}
