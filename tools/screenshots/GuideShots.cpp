// A picture of the user guide's first page as a reader's browser shows it, for the README;
// written only when CALORA_SCREENSHOT_DIR names a folder.
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QTextBrowser>
#include <QUrl>
#include <gtest/gtest.h>

TEST(Screenshots, UserGuide) {
    if (qEnvironmentVariableIsEmpty("CALORA_SCREENSHOT_DIR"))
        GTEST_SKIP() << "CALORA_SCREENSHOT_DIR not set";
    const QFileInfo guide(QDir(qEnvironmentVariable("CALORA_TEST_BIN")).filePath("calora.html"));
    if (!guide.isFile())
        GTEST_SKIP() << "no user guide beside the program";
    QTextBrowser browser;
    browser.resize(820, 760);
    browser.setSource(QUrl::fromLocalFile(guide.absoluteFilePath()));
    browser.show();
    const QPixmap shot = browser.grab();
    EXPECT_FALSE(shot.isNull());
    EXPECT_TRUE(
        shot.save(QDir(qEnvironmentVariable("CALORA_SCREENSHOT_DIR")).filePath("user-guide.png")));
}
