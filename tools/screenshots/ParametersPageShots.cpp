// The live parameters page on the demo bus in each language, for a person to look at; written
// only when CALORA_SCREENSHOT_DIR names a folder.
#include "support/RecordingUiServices.h"
#include "support/UiTestSupport.h"

#include "core/platform/SerialPortList.h"
#include "ui/app/MainSheet.h"
#include "ui/framework/ResourceIds.h"
#include "ui/pages/ParametersPage.h"
#include "ui/widgets/DisplayDlg.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

void Shoot(const std::string& language, const QString& suffix) {
    UseLanguage(language);
    ClearConnectionProfile();
    SetSerialDeviceScanner([] { return std::vector<std::string>{}; });
    CRecordingUiServices recorder;
    CScopedUiServices services(recorder);
    auto app = MakeApp(true);
    ASSERT_TRUE(app->InitInstance());
    CMainSheet* sheet = app->BuildSheet();
    ASSERT_NE(sheet, nullptr);
    app->Settings().address = 3;
    IModelPage* first = sheet->GetActivePage();
    CParametersPage* live = nullptr;
    for (IModelPage* page : sheet->GetPages())
        if (auto* found = dynamic_cast<CParametersPage*>(page))
            live = found;
    ASSERT_NE(live, nullptr);
    sheet->show();
    recorder.messageAnswers = {IDYES};
    ASSERT_TRUE(sheet->SetActivePage(live));
    ASSERT_TRUE(WaitUntil(
        [&] { return live->Display().GetDlgItemText(IDC_DISPLAY_PV) != QStringLiteral("???"); }));
    WaitUntil([] { return false; }, 300);
    const QString dir = qEnvironmentVariable("CALORA_SCREENSHOT_DIR");
    EXPECT_TRUE(sheet->grab().save(QDir(dir).filePath("parameters-page" + suffix + ".png")));
    sheet->SetActivePage(first);
    SetSerialDeviceScanner({});
    ClearConnectionProfile();
}

} // namespace

TEST(Screenshots, ParametersPageInEveryLanguage) {
    if (qEnvironmentVariableIsEmpty("CALORA_SCREENSHOT_DIR"))
        GTEST_SKIP() << "CALORA_SCREENSHOT_DIR not set";
    QDir().mkpath(qEnvironmentVariable("CALORA_SCREENSHOT_DIR"));
    Shoot("English", "");
    Shoot("Espanol", "-es");
    Shoot("Italiano", "-it");
}
