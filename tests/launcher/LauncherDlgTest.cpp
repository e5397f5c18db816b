// The launcher on a medium folder, with the desktop's opener replaced by a recording one.
#include "launcher/LauncherDlg.h"
#include "launcher/LauncherActions.h"
#include "launcher/LauncherIds.h"
#include "launcher/LauncherRowDelegate.h"
#include "launcher/LauncherShell.h"
#include "support/ScopedDesktopOpener.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

class CRecordingShell : public ILauncherShell {
public:
    void Open(const QUrl& target, std::function<void()> failed) override {
        opened.append(target);
        if (!openSucceeds)
            failed();
    }
    void ShowMessage(QWidget* owner, const QString& title, const QString& text) override {
        owners.append(owner);
        titles.append(title);
        messages.append(text);
    }

    bool openSucceeds = true;
    QList<QUrl> opened;
    QList<QWidget*> owners;
    QStringList titles;
    QStringList messages;
};

void Touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

const QString kManualMessage = QStringLiteral(
    "Impossibile aprire il manuale d'istruzioni.\n\nAndare nella cartella 'Manual' e fare "
    "doppio click sul file [TQMANITA.pdf] per aprirlo.\nPer visualizzare un file '.pdf', sul "
    "P.C. deve essere installato Adobe Acrobat o Acrobat Reader");

class LauncherDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(medium.isValid());
        ASSERT_TRUE(elsewhere.isValid());
        savedCurrent = QDir::currentPath();
        // The current folder holds every manual; only the medium's count.
        QDir::setCurrent(elsewhere.path());
        for (const char* name :
             {"Manual/TQManITAV1_3.pdf", "Manual/TQManUKV1_2.pdf", "Manual/TQ100Man_ITAV1_4.pdf",
              "Install/Calora/calora_3.2_amd64.deb"})
            Touch(elsewhere.filePath(QString::fromLatin1(name)));
        Touch(medium.filePath(QStringLiteral("Install/Calora/calora_3.2_amd64.deb")));
        Touch(medium.filePath(QStringLiteral("Manual/TQManUKV1_2.pdf")));
        dialog = std::make_unique<CLauncherDlg>(shell, QDir(medium.path()));
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        list = dialog->ActionList();
    }
    void TearDown() override {
        dialog.reset();
        QDir::setCurrent(savedCurrent);
    }

    void Select(int row) { list->setCurrentItem(list->topLevelItem(row)); }
    QPoint RowCentre(int row) const {
        return list->visualItemRect(list->topLevelItem(row)).center();
    }

    QTemporaryDir medium;
    QTemporaryDir elsewhere;
    QString savedCurrent;
    CRecordingShell shell;
    std::unique_ptr<CLauncherDlg> dialog;
    QTreeWidget* list = nullptr;
};

TEST_F(LauncherDlgTest, EachRowOpensItsTargetOnTheMediumOrSaysWhyNot) {
    ASSERT_EQ(list->topLevelItemCount(), 5);
    EXPECT_EQ(list->currentItem(), list->topLevelItem(0)); // row 0 selected at start
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("Installa Calora per Windows 3.2"));
    EXPECT_EQ(list->topLevelItem(2)->text(0),
              QStringLiteral("Open the TQ series user's manual (ENGLISH)"));
    EXPECT_EQ(list->topLevelItem(4)->text(0), QStringLiteral("Guarda il sito web Brevina"));
    auto* run = qobject_cast<QPushButton*>(dialog->Control(IDC_LAUNCHER_RUN));
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->text(), QStringLiteral("Esegui"));

    for (int row = 0; row < 5; ++row) {
        Select(row);
        QTest::mouseClick(run, Qt::LeftButton);
        EXPECT_TRUE(dialog->isVisible()) << "row " << row;
    }
    const QDir root(medium.path());
    EXPECT_EQ(shell.opened,
              (QList<QUrl>{
                  QUrl::fromLocalFile(root.absoluteFilePath("Install/Calora/calora_3.2_amd64.deb")),
                  QUrl::fromLocalFile(root.absoluteFilePath("Manual/TQManUKV1_2.pdf")),
                  QUrl(QStringLiteral("https://www.brevina.example/"))}));
    // Rows 1 and 3 are not on the medium: the desktop is not asked, the user is told.
    EXPECT_EQ(shell.messages, (QStringList{kManualMessage, kManualMessage}));
    EXPECT_EQ(shell.titles, (QStringList{QStringLiteral(" Install"), QStringLiteral(" Install")}));
    EXPECT_EQ(shell.owners.value(0), dialog.get());
}

TEST_F(LauncherDlgTest, FailedOpenShowsTheRowsMessageOnceAndMissingPackageTheInstallMessage) {
    shell.openSucceeds = false;
    Select(4);
    QTest::mouseClick(dialog->Control(IDC_LAUNCHER_RUN), Qt::LeftButton);
    EXPECT_EQ(shell.messages,
              QStringList{QStringLiteral("Impossibile aprire la Home Page Brevina.")});

    QFile::remove(QDir(medium.path()).filePath("Install/Calora/calora_3.2_amd64.deb"));
    Select(0);
    QTest::mouseClick(dialog->Control(IDC_LAUNCHER_RUN), Qt::LeftButton);
    ASSERT_EQ(shell.messages.size(), 2);
    EXPECT_TRUE(shell.messages[1].startsWith(
        QStringLiteral("Impossibile iniziare l'installazione.\n\nAndare nella cartella "
                       "'Install\\Calora' e fare doppio click su [Setup.exe]")));
    EXPECT_EQ(shell.opened.size(), 1); // only the web page was handed over
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(LauncherDlgTest, EnterAndDoubleClickRunTheRowOnceEscapeCloses) {
    list->setFocus();
    Select(2);
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_TRUE(shell.opened[0].toLocalFile().endsWith("Manual/TQManUKV1_2.pdf"));

    // A double click arrives as a click followed by the double-click event.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(4));
    EXPECT_EQ(shell.opened.size(), 1); // a single click only selects
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowCentre(4));
    ASSERT_EQ(shell.opened.size(), 2);
    EXPECT_EQ(shell.opened[1], QUrl(QStringLiteral("https://www.brevina.example/")));
    EXPECT_EQ(list->currentItem(), list->topLevelItem(4));
    EXPECT_TRUE(dialog->isVisible());

    list->clearSelection();
    QTest::mouseClick(dialog->Control(IDC_LAUNCHER_RUN), Qt::LeftButton);
    EXPECT_EQ(shell.opened.size(), 2); // nothing selected, nothing run
    EXPECT_TRUE(shell.messages.isEmpty());

    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(LauncherDlgTest, ARowAnswersAndIsHighlightedAcrossItsWholeWidth) {
    const int right = list->viewport()->width() - 6;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(right, RowCentre(3).y()));
    EXPECT_EQ(list->currentItem(), list->topLevelItem(3));
    // Above the text, the highlight at the right end is the one just after the icon.
    const QImage shot = list->viewport()->grab().toImage();
    const int above = RowCentre(3).y() - 20;
    EXPECT_EQ(shot.pixelColor(right, above),
              shot.pixelColor(CLauncherRowDelegate::kIconSize + 2, above));
    EXPECT_NE(shot.pixelColor(right, above), shot.pixelColor(right, RowCentre(2).y() - 20));

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(right, RowCentre(2).y()));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(right, RowCentre(2).y()));
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_TRUE(shell.opened[0].toLocalFile().endsWith("Manual/TQManUKV1_2.pdf"));
}

TEST_F(LauncherDlgTest, InstallRowTakesTheNewestPackageByVersion) {
    for (const char* name :
         {"calora_3.9_amd64.deb", "calora_3.10~rc1_amd64.deb", "calora_3.10_amd64.deb"})
        Touch(medium.filePath(QStringLiteral("Install/Calora/") + QLatin1String(name)));
    EXPECT_TRUE(ResolveLauncherTarget(0, QDir(medium.path()))
                    .toLocalFile()
                    .endsWith(QStringLiteral("/calora_3.10_amd64.deb")));
}

TEST(LauncherDesktopTest, TheDesktopGetsTheTargetAndAFailureLaterShowsTheRowsMessage) {
    class CDesktop : public CDesktopShell {
    public:
        void ShowMessage(QWidget*, const QString&, const QString& text) override {
            messages.append(text);
        }
        QStringList messages;
    } desktop;
    QTemporaryDir medium;
    Touch(medium.filePath(QStringLiteral("Manual/TQManUKV1_2.pdf")));
    CLauncherDlg dialog(desktop, QDir(medium.path()));
    dialog.ActionList()->setCurrentItem(dialog.ActionList()->topLevelItem(2));
    {
        CScopedDesktopOpener opener(kOpenerNotes);
        dialog.RunSelected();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !opener.Read("asked").isEmpty(); }));
        EXPECT_EQ(opener.Read("asked"), QDir(medium.path()).filePath("Manual/TQManUKV1_2.pdf"));
    }
    // No PDF viewer: xdg-open starts, then fails.
    CScopedDesktopOpener opener(kOpenerFails);
    dialog.RunSelected();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !desktop.messages.isEmpty(); }));
    EXPECT_EQ(desktop.messages, QStringList{kManualMessage});
}

TEST_F(LauncherDlgTest, ChiudiCloses) {
    auto* close = qobject_cast<QPushButton*>(dialog->Control(IDC_LAUNCHER_CLOSE));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), QStringLiteral("Chiudi"));
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(shell.opened.isEmpty());
}

} // namespace
