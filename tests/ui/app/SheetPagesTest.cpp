// How the sheet treats its pages: the hooks it calls for keys, closing, transfers, language
// and deactivation, and the page order the model asks for.
#include "support/UiTestSupport.h"

#include "SimBus.h"

#include "core/model/TQControllerModel.h"
#include "core/platform/SerialPortList.h"
#include "support/RecordingUiServices.h"
#include "ui/app/LanguageDlg.h"
#include "ui/app/MainSheet.h"
#include "ui/framework/ControlIds.h"
#include "ui/framework/DialogBase.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/SheetPageHooks.h"
#include "ui/framework/TextProvider.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class FakePage : public QWidget, public IModelPage, public ISheetPageHooks {
public:
    explicit FakePage(const QString& title) {
        setWindowTitle(title);
        edit = new QLineEdit(this);
        edit->setGeometry(10, 10, 100, 24);
        button = new QPushButton("b", this);
        button->setGeometry(10, 40, 60, 24);
        button->setAutoDefault(false);
    }
    void OnEditEnter() override { ++enter; }
    void OnEditEscape() override { ++escape; }
    void UpdateLanguage(CMainSheet&) override { ++language; }
    void ModelToPage() override { ++modelToPage; }
    bool PageToModel() override {
        ++pageToModel;
        return valid;
    }
    void OnSheetDeactivate() override { ++deactivated; }

    QLineEdit* edit;
    QPushButton* button;
    bool valid = true;
    int enter = 0, escape = 0, language = 0, modelToPage = 0, pageToModel = 0, deactivated = 0;
};

class SheetPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseLanguage("English");
        ClearConnectionProfile();
        SetSerialDeviceScanner([] { return std::vector<std::string>{}; });
        app = MakeApp(false);
        ASSERT_TRUE(app->InitInstance());
        // The model's pages, in its slots, before the sheet asks for them.
        app->GetModel().SetPages({&config, &config2, &retransmission, &multiple, &parameters});
        sheet = app->BuildSheet();
        ASSERT_NE(sheet, nullptr);
        app->settings.port.clear(); // transfers end at once: no master
        AutoCloseBusTasks(*sheet, records);
    }
    void TearDown() override {
        app.reset();
        SetSerialDeviceScanner({});
        ClearConnectionProfile();
    }
    std::vector<QString> Order() const {
        std::vector<QString> titles;
        for (IModelPage* page : sheet->GetPages())
            titles.push_back(dynamic_cast<QWidget*>(page)->windowTitle());
        return titles;
    }
    void ShowActive() {
        sheet->show();
        sheet->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    }

    // Declared before the app, so they outlive the sheet that shows them.
    FakePage config{"4.1"}, config2{"4.2"}, retransmission{"4.5"}, multiple{"4.4"},
        parameters{"4.3"};
    CRecordingUiServices recorder;
    CScopedUiServices services{recorder};
    std::unique_ptr<CCaloraApp> app;
    CMainSheet* sheet = nullptr;
    std::vector<BusTaskRecord> records;
};

TEST_F(SheetPagesTest, PagesFollowTheFamilyAndKeepTheActiveOne) {
    EXPECT_EQ(Order(), (std::vector<QString>{"4.1", "4.2", "4.4", "4.3"}));
    EXPECT_EQ(sheet->GetActivePage(), &config);
    ASSERT_TRUE(sheet->SetActivePage(&multiple));

    sheet->OnCommand(ID_FAMILY_TQ100);
    EXPECT_EQ(Order(), (std::vector<QString>{"4.1", "4.2", "4.5", "4.4", "4.3"}));
    EXPECT_EQ(sheet->GetActivePage(), &multiple);

    sheet->OnCommand(ID_FAMILY_TQ102_TQ402);
    EXPECT_EQ(Order(), (std::vector<QString>{"4.1", "4.2", "4.4", "4.3"}));
    EXPECT_FALSE(sheet->SetActivePage(&retransmission));
}

TEST_F(SheetPagesTest, APageIsLeftOnlyWhenItsFieldsPass) {
    ShowActive();
    auto* tabs = sheet->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    config.valid = false;
    tabs->setCurrentIndex(1); // what a click on the second tab does
    EXPECT_EQ(sheet->GetActivePage(), &config);
    EXPECT_EQ(config.pageToModel, 1);
    EXPECT_FALSE(sheet->SetActivePage(&multiple));

    config.valid = true;
    EXPECT_TRUE(sheet->SetActivePage(&config2));
    EXPECT_EQ(sheet->GetActivePage(), &config2);
    EXPECT_EQ(config2.pageToModel, 0);
    sheet->hide();
}

TEST_F(SheetPagesTest, EnterAndEscapeInAnEditGoToTheActivePage) {
    ShowActive();
    config.edit->setFocus();
    QTest::keyClick(config.edit, Qt::Key_Return);
    QTest::keyClick(config.edit, Qt::Key_Enter);
    QTest::keyClick(config.edit, Qt::Key_Escape);
    EXPECT_EQ(config.enter, 2);
    EXPECT_EQ(config.escape, 1);
    EXPECT_TRUE(sheet->isVisible());

    // Outside an edit box the keys reach no hook, and still do not close the sheet.
    config.button->setFocus();
    QTest::keyClick(config.button, Qt::Key_Escape);
    EXPECT_EQ(config.escape, 1);
    EXPECT_TRUE(sheet->isVisible());
    sheet->hide();
}

TEST_F(SheetPagesTest, ClosingTakesTheActivePageEvenWhenItIsInvalid) {
    ShowActive();
    config.valid = false;
    sheet->close();
    EXPECT_EQ(config.pageToModel, 1);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->result(), IDCANCEL);
}

TEST_F(SheetPagesTest, OkAndCancelCloseLikeTheCloseCommand) {
    for (const int id : {IDOK, IDCANCEL}) {
        ShowActive();
        config.valid = false;
        const int before = config.pageToModel;
        auto* button = FindControl<QPushButton>(sheet, id);
        ASSERT_NE(button, nullptr) << id;
        // Enter in an edit box still belongs to the page, with the buttons present.
        config.edit->setFocus();
        QTest::keyClick(config.edit, Qt::Key_Return);
        EXPECT_TRUE(sheet->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(config.pageToModel, before + 1);
        EXPECT_FALSE(sheet->isVisible());
        EXPECT_EQ(sheet->result(), id);
    }
}

TEST_F(SheetPagesTest, ReadAllReloadsEveryPageOnlyWhenItSucceeds) {
    sheet->OnCommand(ID_READ_ALL); // ends with status 53
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(config.pageToModel, 1);
    EXPECT_EQ(config.modelToPage, 0);
    EXPECT_EQ(config2.modelToPage, 0);
}

TEST_F(SheetPagesTest, SuccessfulReadReloadsEveryPage) {
    sim::SimBus bus;
    bus.AddController(1, TQ102_TQ402);
    app->settings = {kInterfaceTcp, "COM1:", 1, 3, 0, "127.0.0.1", bus.StartTcp(0)};
    sheet->OnCommand(ID_READ_ALL);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].status, TextById(58));
    for (FakePage* page : {&config, &config2, &multiple, &parameters})
        EXPECT_EQ(page->modelToPage, 1) << page->windowTitle().toStdString();
    bus.Stop();
}

TEST_F(SheetPagesTest, WriteAllNeedsAValidPageAndThenReloadsIt) {
    config.valid = false;
    sheet->OnCommand(ID_WRITE_ALL);
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(config.modelToPage, 0);

    config.valid = true;
    sheet->OnCommand(ID_WRITE_ALL); // fails (no master); the page is reloaded all the same
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].mode, kModeWriteAll);
    EXPECT_EQ(config.modelToPage, 1);
    EXPECT_EQ(config2.modelToPage, 0);
}

TEST_F(SheetPagesTest, DetectionStopsOnAnInvalidPage) {
    config.valid = false;
    sheet->OnCommand(ID_DETECT);
    EXPECT_TRUE(records.empty());
    config.valid = true;
    sheet->OnCommand(ID_DETECT); // the scan fails: no read follows
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].mode, kModeScanAddress);
}

TEST_F(SheetPagesTest, ChoosingAnotherLanguageRefreshesMenusAndPages) {
    const QString english = sheet->FindCommand(ID_READ_ALL)->text();
    const int before = config.language;
    CScopedModalHandler choose([](CDialogBase& dialog) {
        auto* list = FindControl<QComboBox>(&dialog, IDC_LANGUAGE_LIST);
        ASSERT_NE(list, nullptr);
        list->setCurrentIndex(list->findText("Italiano"));
        FindControl<QPushButton>(&dialog, IDOK)->click();
    });
    sheet->OnCommand(ID_LANGUAGE);
    EXPECT_NE(sheet->FindCommand(ID_READ_ALL)->text(), english);
    EXPECT_EQ(sheet->FindCommand(ID_READ_ALL)->text(), TextById(4));
    EXPECT_EQ(config.language, before + 1);
    EXPECT_EQ(parameters.language, before + 1);
    EXPECT_EQ(sheet->windowTitle(), "Calora");
}

TEST_F(SheetPagesTest, LosingActivationTellsTheActivePage) {
    ShowActive();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_GE(config.deactivated, 1);
    EXPECT_EQ(config2.deactivated, 0);
    sheet->hide();
}

} // namespace
