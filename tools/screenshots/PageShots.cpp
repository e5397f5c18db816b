// The configuration pages and the multiple-controller page after reading a demo controller, in
// English, Español and Italiano.
#include "support/UiTestSupport.h"

#include "core/model/TQControllerModel.h"
#include "core/platform/SerialPortList.h"
#include "ui/app/MainSheet.h"
#include "ui/framework/ResourceIds.h"

#include <QDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

void ShootPages(const std::string& language, const QString& suffix) {
    const QString out = qEnvironmentVariable("CALORA_SCREENSHOT_DIR");
    UseLanguage(language);
    ClearConnectionProfile();
    SetSerialDeviceScanner([] { return std::vector<std::string>{}; });
    auto app = MakeApp(true);
    ASSERT_TRUE(app->InitInstance());
    CMainSheet* sheet = app->BuildSheet();
    ASSERT_NE(sheet, nullptr);
    std::vector<BusTaskRecord> records;
    AutoCloseBusTasks(*sheet, records);
    // Address 1 of the demo bus is a TQ100: every page is on the sheet.
    sheet->OnCommand(ID_READ_ALL);
    ASSERT_EQ(app->GetModel().GetFamily(), TQ100);
    sheet->show();
    // The window at the size it asks for (the offscreen screen is smaller than a real one).
    sheet->resize(sheet->sizeHint());
    const TQModelPages& pages = app->GetModel().GetPageSlots();
    const std::pair<IModelPage*, const char*> shots[] = {
        {pages.configuration, "page-configuration"},
        {pages.inputOutput, "page-input-output"},
        {pages.retransmission, "page-retransmission"},
        {pages.multipleControllers, "page-multiple"},
    };
    for (const auto& [page, name] : shots) {
        if (!page || !sheet->SetActivePage(page))
            continue;
        WaitUntil([] { return false; }, 100);
        EXPECT_TRUE(sheet->grab().save(QDir(out).filePath(name + suffix + ".png"))) << name;
    }
    sheet->hide();
    SetSerialDeviceScanner({});
    ClearConnectionProfile();
}

} // namespace

TEST(Screenshots, ConfigurationPages) {
    if (qEnvironmentVariable("CALORA_SCREENSHOT_DIR").isEmpty())
        GTEST_SKIP() << "CALORA_SCREENSHOT_DIR not set";
    QDir().mkpath(qEnvironmentVariable("CALORA_SCREENSHOT_DIR"));
    ShootPages("English", "-en");
    ShootPages("Espanol", "-es");
    ShootPages("Italiano", "-it");
}
