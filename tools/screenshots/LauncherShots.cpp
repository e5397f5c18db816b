// Pictures of the launcher for a person to look at; written only when CALORA_SCREENSHOT_DIR
// names a folder.
#include "launcher/LauncherDlg.h"
#include "launcher/LauncherShell.h"

#include <QDir>
#include <QPixmap>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// Opens nothing: the pictures need the dialog only.
class CSilentShell : public ILauncherShell {
public:
    void Open(const QUrl&, std::function<void()>) override {}
    void ShowMessage(QWidget*, const QString&, const QString&) override {}
};

} // namespace

TEST(Screenshots, Launcher) {
    if (qEnvironmentVariableIsEmpty("CALORA_SCREENSHOT_DIR"))
        GTEST_SKIP() << "CALORA_SCREENSHOT_DIR not set";
    const QDir dir(qEnvironmentVariable("CALORA_SCREENSHOT_DIR"));
    QDir().mkpath(dir.path());
    CSilentShell shell;
    CLauncherDlg launcher(shell, QDir::temp());
    launcher.show();
    QTreeWidget* list = launcher.ActionList();
    list->setFocus();
    // Chosen as a user does, with a click near the row's right end.
    const QRect row = list->visualItemRect(list->topLevelItem(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(list->viewport()->width() - 20, row.center().y()));
    const QPixmap shot = launcher.grab();
    EXPECT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(dir.filePath("launcher.png")));
}
