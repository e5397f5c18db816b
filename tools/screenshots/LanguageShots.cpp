// The language selection dialog in English and Español.
#include "core/platform/LanguageLibrary.h"
#include "ui/app/LanguageDlg.h"
#include "ui/framework/TextProvider.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <gtest/gtest.h>

TEST(Screenshots, LanguageDialog) {
    const QString out = qEnvironmentVariable("CALORA_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "CALORA_SCREENSHOT_DIR not set";
    QDir().mkpath(out);
    const std::string languages =
        qEnvironmentVariable("CALORA_TEST_BIN").toStdString() + "/Languages/";
    for (const char* language : {"English", "Espanol"}) {
        auto library = std::make_shared<CLanguageLibrary>();
        ASSERT_TRUE(library->Load(languages + language + ".so"));
        SetActiveLanguage(library);
        CLanguageDlg dialog(languages, languages + language + ".so", true, nullptr,
                            [](const std::string&) { return true; });
        dialog.show();
        QApplication::processEvents();
        const QString name = QString::fromLatin1(language).toLower();
        EXPECT_TRUE(dialog.grab().save(QString("%1/language-dialog-%2.png").arg(out, name)));
        dialog.hide();
    }
}
