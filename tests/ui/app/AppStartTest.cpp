// The application object's start-up: where logs and graph files go, and the help file rule.
#include "support/UiTestSupport.h"

#include "core/model/ControllerList.h"
#include "core/platform/SerialPortList.h"
#include "support/RecordingUiServices.h"
#include "ui/app/MainSheet.h"
#include "ui/framework/ResourceIds.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

TEST(AppStartTest, LogsAndGraphsGoBesideTheProgramWhenItsFolderIsWritable) {
    QTemporaryDir appDir, userDir;
    const std::string app = appDir.path().toStdString() + "/";
    const std::string user = userDir.path().toStdString() + "/Norvane/Calora/";
    EXPECT_EQ(PrepareDataFolders(app, user), app);
    EXPECT_TRUE(fs::is_directory(app + "logs"));
    EXPECT_TRUE(fs::is_directory(app + "gf"));
    EXPECT_FALSE(fs::exists(user));
    // Already there: no error, same answer.
    EXPECT_EQ(PrepareDataFolders(app, user), app);
}

TEST(AppStartTest, LogsAndGraphsGoToThePerUserFolderOtherwise) {
    QTemporaryDir userDir;
    const std::string missing = userDir.path().toStdString() + "/no-such-folder/";
    const std::string user = userDir.path().toStdString() + "/Norvane/Calora/";
    EXPECT_EQ(PrepareDataFolders(missing, user), user);
    EXPECT_TRUE(fs::is_directory(user + "logs"));
    EXPECT_TRUE(fs::is_directory(user + "gf"));
    EXPECT_FALSE(fs::exists(missing));
}

TEST(AppStartTest, ApplicationFoldersFollowTheExecutable) {
    QTemporaryDir dir;
    CCaloraApp::Options options;
    options.splashMs = 0;
    CCaloraApp app(dir.path().toStdString() + "/calora", options);
    EXPECT_EQ(app.AppDir(), dir.path().toStdString() + "/");
    EXPECT_EQ(app.DataDir(), app.AppDir());
    EXPECT_EQ(app.LogsDir(), app.AppDir() + "logs/");
    EXPECT_EQ(app.GraphsDir(), app.AppDir() + "gf/");
    EXPECT_EQ(app.HelpFile(), app.AppDir() + "calora.html");
    EXPECT_FALSE(app.HasHelpFile());
    // Before the profile is read.
    EXPECT_EQ(app.settings.address, 0);
    EXPECT_EQ(app.settings.baudIndex, 3);
    EXPECT_EQ(app.logMode, 0);
}

std::vector<int> HelpMenu(CMainSheet& sheet) {
    std::vector<int> ids;
    for (QAction* action : sheet.MenuBar()->actions().last()->menu()->actions())
        ids.push_back(action->data().toInt());
    return ids;
}

TEST(AppStartTest, PagesAreMadeAfterTheLanguageLoads) {
    // The monitoring list made with the pages takes its default names from the language.
    UseLanguage("English");
    SetSerialDeviceScanner([] { return std::vector<std::string>{}; });
    QTemporaryDir dir;
    CCaloraApp::Options options;
    options.splashMs = 0;
    CCaloraApp app(dir.path().toStdString() + "/calora", options);
    ASSERT_TRUE(app.InitInstance());
    ASSERT_NE(app.BuildSheet(), nullptr);
    ASSERT_FALSE(app.MonitorList().name.empty());
    EXPECT_EQ(app.MonitorList().name.front(), "Zone 1");
    EXPECT_EQ(app.MonitorList().name.back(),
              "Zone " + std::to_string(app.MonitorList().name.size()));
    SetSerialDeviceScanner({});
}

TEST(AppStartTest, HelpCommandOnlyWithTheHelpFile) {
    UseLanguage("English");
    SetSerialDeviceScanner([] { return std::vector<std::string>{}; });
    CRecordingUiServices recorder;
    CScopedUiServices services(recorder);
    QTemporaryDir dir;
    CCaloraApp::Options options;
    options.splashMs = 0;
    {
        CCaloraApp app(dir.path().toStdString() + "/calora", options);
        ASSERT_TRUE(app.InitInstance());
        ASSERT_NE(app.BuildSheet(), nullptr);
        EXPECT_EQ(HelpMenu(*app.Sheet()), std::vector<int>{ID_ABOUT});
    }
    std::ofstream(dir.path().toStdString() + "/calora.html") << "<html></html>";
    {
        CCaloraApp app(dir.path().toStdString() + "/calora", options);
        ASSERT_TRUE(app.InitInstance());
        ASSERT_NE(app.BuildSheet(), nullptr);
        EXPECT_TRUE(app.HasHelpFile());
        EXPECT_EQ(HelpMenu(*app.Sheet()), (std::vector<int>{ID_ABOUT, ID_HELP_FILE}));
        EXPECT_EQ(app.Sheet()->FindCommand(ID_HELP_FILE)->text().isEmpty(), false);
    }
    SetSerialDeviceScanner({});
}

} // namespace
