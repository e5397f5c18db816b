// The language selection dialog and the start-up and menu flows with real windows, driven by
// control id. Message boxes are answered by the recording service.
#include "languages/StringIds.h"
#include "support/LanguageTestSupport.h"
#include "support/RecordingUiServices.h"
#include "ui/app/LanguageDlg.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

#include <cstdlib>

using namespace languagetest;

namespace {

std::string ShippedLanguagesDir() {
    const char* bin = std::getenv("CALORA_TEST_BIN");
    return LanguagesDirOf(bin != nullptr ? bin : ".");
}

// Runs `action` on the modal dialog once it is open, as a user would.
void WhenModalOpens(std::function<void(CLanguageDlg&)> action) {
    auto* timer = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, [timer, started, action] {
        auto* dialog = qobject_cast<CLanguageDlg*>(QApplication::activeModalWidget());
        if (dialog == nullptr && started->elapsed() < 5000) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (dialog != nullptr) {
            action(*dialog);
        }
    });
    timer->start(10);
}

QComboBox* List(const CLanguageDlg& dialog) {
    return FindControl<QComboBox>(&dialog, IDC_LANGUAGE_LIST);
}
QPushButton* Button(const CLanguageDlg& dialog, int id) {
    return FindControl<QPushButton>(&dialog, id);
}
QStringList Items(const CLanguageDlg& dialog) {
    QStringList items;
    for (int i = 0; i < List(dialog)->count(); ++i) {
        items << List(dialog)->itemText(i);
    }
    return items;
}

class LanguageDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The profile of these tests lives in their own folder.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(profileDir.path.string()));
        for (const char* name : {"English.so", "Espanol.so", "Italiano.so"}) {
            fs::copy_file(ShippedLanguagesDir() + name, languagesDir() + name);
        }
        fs::copy_file(NoNameFixture(), languagesDir() + "Broken.so");
    }
    void TearDown() override {
        SetActiveLanguage(nullptr);
        SetTextProvider({});
    }

    std::string languagesDir() {
        fs::create_directories(app.path / "Languages");
        return app.Dir() + "Languages/";
    }

    // Stores every write; answers with `writable`.
    CLanguageDlg::ProfileWriter RecordingWriter() {
        return [this](const std::string& path) {
            written.push_back(path);
            return writable;
        };
    }

    TempDir profileDir;
    TempDir app;
    CRecordingUiServices services;
    CScopedUiServices scoped{services};
    std::vector<std::string> written;
    bool writable = true;
};

} // namespace

// The dialog on its own

TEST_F(LanguageDialogTest, ListsEveryLanguageByNameAndSkipsLibrariesWithoutTheExport) {
    CLanguageDlg dialog(languagesDir(), "", true, nullptr, RecordingWriter());
    dialog.EnsureInitialized();
    EXPECT_EQ(Items(dialog), (QStringList{"English", "Español", "Italiano"}));
    EXPECT_EQ(List(dialog)->currentIndex(), 0);
    EXPECT_FALSE(dialog.ClosedAtOpen());
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(LanguageDialogTest, PreselectsTheCurrentLibrary) {
    CLanguageDlg dialog(languagesDir(), languagesDir() + "Italiano.so", true, nullptr,
                        RecordingWriter());
    dialog.EnsureInitialized();
    EXPECT_EQ(List(dialog)->currentText(), "Italiano");
}

TEST_F(LanguageDialogTest, CancelIsEnabledOnlyWhenAllowed) {
    CLanguageDlg allowed(languagesDir(), "", true, nullptr, RecordingWriter());
    allowed.EnsureInitialized();
    EXPECT_TRUE(Button(allowed, IDCANCEL)->isEnabled());
    CLanguageDlg refused(languagesDir(), "", false, nullptr, RecordingWriter());
    refused.EnsureInitialized();
    EXPECT_FALSE(Button(refused, IDCANCEL)->isEnabled());
    EXPECT_TRUE(Button(refused, IDOK)->isEnabled());
}

TEST_F(LanguageDialogTest, OkReturnsTheChosenPathAndStoresItAtOnce) {
    WhenModalOpens([](CLanguageDlg& dialog) {
        List(dialog)->setCurrentIndex(List(dialog)->findText("Español"));
        Button(dialog, IDOK)->click();
    });
    auto chosen = RunLanguageSelection(nullptr, languagesDir(), "", true, RecordingWriter());
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, languagesDir() + "Espanol.so");
    EXPECT_EQ(written, std::vector<std::string>{languagesDir() + "Espanol.so"});
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(LanguageDialogTest, AFailedProfileWriteIsReportedAndOkStillHolds) {
    writable = false;
    WhenModalOpens([](CLanguageDlg& dialog) { Button(dialog, IDOK)->click(); });
    auto chosen = RunLanguageSelection(nullptr, languagesDir(), "", true, RecordingWriter());
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, languagesDir() + "English.so");
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "Cannont write to the register");
    EXPECT_EQ(services.messages[0].icon, MbIcon::Stop);
}

TEST_F(LanguageDialogTest, CancelReturnsNothingAndStoresNothing) {
    WhenModalOpens([](CLanguageDlg& dialog) { Button(dialog, IDCANCEL)->click(); });
    EXPECT_EQ(RunLanguageSelection(nullptr, languagesDir(), "", true, RecordingWriter()),
              std::nullopt);
    EXPECT_TRUE(written.empty());
}

TEST_F(LanguageDialogTest, AnEmptyFolderIsReportedAndEndsAsCancel) {
    TempDir empty;
    fs::create_directories(empty.path / "Languages");
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(
        RunLanguageSelection(nullptr, empty.Dir() + "Languages/", "", false, RecordingWriter()),
        std::nullopt);
    EXPECT_LT(clock.elapsed(), 5000);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "Language dlls not found");
    EXPECT_EQ(services.messages[0].icon, MbIcon::Stop);
}

TEST_F(LanguageDialogTest, AnEmptyFolderEndsTheModalLoopToo) {
    TempDir empty;
    CLanguageDlg dialog(empty.Dir() + "Languages/", "", true, nullptr, RecordingWriter());
    QTimer::singleShot(5000, &dialog, [&dialog] { dialog.EndDialog(IDOK); }); // no hang
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(dialog.ClosedAtOpen());
}

TEST_F(LanguageDialogTest, TheProfileWriterStoresTheKeyAndReportsFailure) {
    ASSERT_TRUE(WriteLanguageDllToProfile("/somewhere/English.so"));
    QSettings settings(QStringLiteral("Norvane"), QStringLiteral("Calora"));
    EXPECT_EQ(settings.value("LanguageDll").toString(), "/somewhere/English.so");

    // A folder where the profile file should be: the write cannot succeed.
    TempDir blocked;
    fs::create_directories(blocked.path / "Norvane" / "Calora.conf");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(blocked.path.string()));
    EXPECT_FALSE(WriteLanguageDllToProfile("/somewhere/Italiano.so"));
}

// Start-up and menu flows with the real dialog

TEST_F(LanguageDialogTest, FirstStartWithAnEmptyFolderEndsTheProgram) {
    TempDir emptyApp;
    CMemoryProfileStore profile;
    CLanguageSession session(emptyApp.Dir(), profile);
    CLanguageUi ui(nullptr, RecordingWriter());
    EXPECT_FALSE(session.LoadLanguage(ui));
    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_EQ(services.messages[0].text, "Language dlls not found");
    EXPECT_EQ(services.messages[1].text, "Error loading language dll");
    EXPECT_EQ(services.messages[1].icon, MbIcon::Stop);
}

TEST_F(LanguageDialogTest, AVanishedStoredPathWarnsThenAsksWithoutCancel) {
    CMemoryProfileStore profile;
    profile.strings[kLanguageDllKey] = app.Dir() + "Languages/Gone.so";
    CLanguageSession session(app.Dir(), profile);
    CLanguageUi ui(nullptr, RecordingWriter());
    bool cancelEnabled = true;
    WhenModalOpens([&cancelEnabled](CLanguageDlg& dialog) {
        cancelEnabled = Button(dialog, IDCANCEL)->isEnabled();
        List(dialog)->setCurrentIndex(List(dialog)->findText("Italiano"));
        Button(dialog, IDOK)->click();
    });
    ASSERT_TRUE(session.LoadLanguage(ui));
    EXPECT_FALSE(cancelEnabled);
    ASSERT_GE(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "Language Library not found");
    EXPECT_EQ(services.messages[0].icon, MbIcon::Exclamation);
    EXPECT_EQ(session.LanguageDll(), languagesDir() + "Italiano.so");
    EXPECT_EQ(written, std::vector<std::string>{languagesDir() + "Italiano.so"});
    EXPECT_EQ(TextById(IDS_MENU_EXIT), "Esci");
}

TEST_F(LanguageDialogTest, WindowTextsFollowTheLanguageChosenFromTheMenu) {
    CMemoryProfileStore profile;
    profile.strings[kLanguageDllKey] = languagesDir() + "English.so";
    CLanguageSession session(app.Dir(), profile);
    CLanguageUi ui(nullptr, RecordingWriter());
    ASSERT_TRUE(session.LoadLanguage(ui));
    EXPECT_EQ(TextById(IDS_MENU_EXIT), "Exit");
    EXPECT_EQ(TextById(12), "Text Error");

    WhenModalOpens([](CLanguageDlg& dialog) {
        EXPECT_EQ(List(dialog)->currentText(), "English");
        EXPECT_TRUE(Button(dialog, IDCANCEL)->isEnabled());
        // The buttons already speak the language in use.
        EXPECT_EQ(Button(dialog, IDCANCEL)->text(), "Cancel");
        List(dialog)->setCurrentIndex(List(dialog)->findText("Español"));
        Button(dialog, IDOK)->click();
    });
    session.ChooseLanguage(ui);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(TextById(IDS_MENU_EXIT), "Salir");
    EXPECT_EQ(TextByIdUtf8(IDS_MENU_COMMUNICATION), "Comunicación");
}

TEST_F(LanguageDialogTest, AnUnloadableChoiceFromTheMenuKeepsTheLanguage) {
    CMemoryProfileStore profile;
    profile.strings[kLanguageDllKey] = languagesDir() + "English.so";
    CLanguageSession session(app.Dir(), profile);
    CLanguageUi ui(nullptr, RecordingWriter());
    ASSERT_TRUE(session.LoadLanguage(ui));
    WhenModalOpens([this](CLanguageDlg& dialog) {
        List(dialog)->setCurrentIndex(List(dialog)->findText("Italiano"));
        // The library goes away between listing and loading.
        fs::remove(languagesDir() + "Italiano.so");
        Button(dialog, IDOK)->click();
    });
    session.ChooseLanguage(ui);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "Error loading dll");
    EXPECT_EQ(services.messages[0].icon, MbIcon::Stop);
    EXPECT_EQ(TextById(IDS_MENU_EXIT), "Exit");
}

// Pictures of the dialog for review, when a folder is given.
