// Pictures of the small dialogs for a person to look at; written only when
// CALORA_SCREENSHOT_DIR names a folder.
#include "core/platform/LanguageLibrary.h"
#include "core/platform/MemoryProfileStore.h"
#include "ui/app/AboutDlg.h"
#include "ui/app/SplashDlg.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/widgets/HysteresisDlg.h"
#include "ui/widgets/ValueDlg.h"
#include "ui/widgets/ValuePairDlg.h"

#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

void Save(QWidget& window, const QString& name) {
    const QString dir = qEnvironmentVariable("CALORA_SCREENSHOT_DIR");
    window.show();
    const QPixmap shot = window.grab();
    EXPECT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(QDir(dir).filePath(name + ".png"))) << name.toStdString();
}
} // namespace

TEST(Screenshots, SmallDialogs) {
    if (qEnvironmentVariableIsEmpty("CALORA_SCREENSHOT_DIR"))
        GTEST_SKIP() << "CALORA_SCREENSHOT_DIR not set";
    QDir().mkpath(qEnvironmentVariable("CALORA_SCREENSHOT_DIR"));
    SetTextProvider([](int id) -> std::optional<std::string> {
        switch (id) {
        case IDS_VALUE_PROMPT:
            return std::string("Enter the new value:");
        case IDS_OK:
            return std::string("OK");
        case IDS_CANCEL:
            return std::string("Cancel");
        default:
            return std::nullopt;
        }
    });
    CValueDlg value("-199.9", -1999, 9999, 1);
    Save(value, "value-dialog");
    CValuePairDlg pair("250.0", "180.5", -1999, 9999, -1999, 9999, 1);
    Save(pair, "value-pair-dialog");
    CMemoryProfileStore profile;
    CHysteresisDlg hysteresis(profile);
    Save(hysteresis, "hysteresis-dialog");
    CAboutDlg about;
    Save(about, "about-box");
    CSplashDlg splash(60000);
    Save(splash, "splash");
    SetTextProvider({});
}

TEST(Screenshots, ValueDialogsInEveryLanguage) {
    if (qEnvironmentVariableIsEmpty("CALORA_SCREENSHOT_DIR"))
        GTEST_SKIP() << "CALORA_SCREENSHOT_DIR not set";
    const std::string dir = qEnvironmentVariable("CALORA_TEST_BIN").toStdString() + "/";
    const std::vector<LanguageListEntry> languages = ListLanguages(LanguagesDirOf(dir));
    if (languages.empty())
        GTEST_SKIP() << "no language libraries built";
    for (const LanguageListEntry& entry : languages) {
        auto library = std::make_shared<CLanguageLibrary>();
        ASSERT_TRUE(library->Load(entry.path));
        SetTextProvider([library](int id) { return library->FindText(id); });
        const QString suffix = QFileInfo(QString::fromStdString(entry.path)).baseName().toLower();
        CValueDlg value("25.0", -1999, 9999, 1);
        Save(value, "value-dialog-" + suffix);
        CValuePairDlg pair("250.0", "180.5", -1999, 9999, -1999, 9999, 1);
        Save(pair, "value-pair-dialog-" + suffix);
    }
    SetTextProvider({});
}
