// The multiple-controller page: zones, sampling time, in-place editing and its refusals,
// what reaches the monitoring list, and Start up to the monitoring window.
#include "ui/pages/MultipleControllersPage.h"
#include "SimBus.h"
#include "core/modbus/ModbusMaster.h"
#include "core/model/ControllerList.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/AppSession.h"
#include "support/RecordingUiServices.h"
#include "support/TestSession.h"
#include "ui/framework/ControlIds.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/monitor/MonitorDlg.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <filesystem>

using namespace multi;

namespace {

class MultiplePageTest : public ::testing::Test {
protected:
    MultiplePageTest() {
        SetTextProvider([](int id) -> std::optional<std::string> {
            if (id == 99)
                return "Zona";
            return "text " + std::to_string(id);
        });
        session.list.SetEntries({1}, {9}, {"Only"}, {"F"});
        session.list.period = 75;
        session.logMode = 2;
        page = std::make_unique<CMultipleControllersPage>(CPageContext{session, {}});
    }
    ~MultiplePageTest() override { SetTextProvider({}); }

    void ChooseZones(int n) {
        auto* zones = FindControl<QComboBox>(page.get(), kZones);
        zones->setCurrentIndex(n - 1);
        emit zones->activated(n - 1);
    }
    QString Cell(int row, int column) const { return list()->topLevelItem(row)->text(column); }
    QTreeWidget* list() const { return page->List(); }
    QLineEdit* nameEditor() const { return FindControl<QLineEdit>(page.get(), kNameEditor); }
    QComboBox* unitEditor() const { return FindControl<QComboBox>(page.get(), kUnitEditor); }

    CTestSession session;
    CRecordingUiServices services;
    CScopedUiServices scoped{services};
    std::unique_ptr<CMultipleControllersPage> page;
};

TEST_F(MultiplePageTest, ZonesAddDefaultRowsAndRemoveFromTheEnd) {
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_EQ(Cell(0, kColumnName), "Only");
    ChooseZones(5);
    ASSERT_EQ(list()->topLevelItemCount(), 5);
    for (int k = 2; k <= 5; ++k) {
        EXPECT_EQ(Cell(k - 1, kColumnAddress), QString::number(k));
        EXPECT_EQ(Cell(k - 1, kColumnName), QString("Zona %1").arg(k));
        EXPECT_EQ(Cell(k - 1, kColumnUnit), QString::fromUtf8("\xC2\xBA"
                                                              "C"));
        EXPECT_EQ(list()->topLevelItem(k - 1)->checkState(kColumnEnabled), Qt::Checked);
    }
    list()->topLevelItem(3)->setText(kColumnName, "Renamed");
    ChooseZones(3);
    EXPECT_EQ(list()->topLevelItemCount(), 3);
    ChooseZones(5);
    EXPECT_EQ(Cell(3, kColumnName), "Zona 4");

    // The list of 72 counts drops down as about 15 rows that scroll, not down the screen.
    page->show();
    auto* zones = FindControl<QComboBox>(page.get(), kZones);
    zones->showPopup();
    QAbstractItemView* rows = zones->view();
    const int shown = rows->viewport()->height() / rows->sizeHintForRow(0);
    EXPECT_GE(shown, 14);
    EXPECT_LE(shown, 16);
    zones->hidePopup();

    // Sampling time: 75 s shows as 01:15; stepping below 1 s stays at 00:01.
    auto* text = FindControl<QLineEdit>(page.get(), kSamplingText);
    auto* spin = FindControl<QSpinBox>(page.get(), kSamplingSpin);
    EXPECT_EQ(text->text(), "01:15");
    spin->setValue(2);
    spin->stepBy(-5);
    EXPECT_EQ(text->text(), "00:01");
}

TEST_F(MultiplePageTest, InPlaceEditsRefuseEmptyDuplicateAndOutOfRangeText) {
    ChooseZones(3);
    page->BeginEdit(1, kColumnName);
    ASSERT_TRUE(nameEditor()->isVisibleTo(page.get()));
    EXPECT_EQ(nameEditor()->text(), "Zona 2");
    nameEditor()->setText(" Only ");
    EXPECT_FALSE(page->CommitEdit());
    EXPECT_EQ(services.LastText(), "text 98");
    EXPECT_TRUE(page->Editing()); // the editor stays open
    nameEditor()->setText("   ");
    EXPECT_FALSE(page->CommitEdit());
    EXPECT_EQ(services.LastText(), "text 97");
    nameEditor()->setText("  Oven 2 ");
    EXPECT_TRUE(page->CommitEdit());
    EXPECT_EQ(Cell(1, kColumnName), "Oven 2");
    EXPECT_FALSE(page->Editing());

    page->BeginEdit(2, kColumnName);
    nameEditor()->setText("Discarded");
    page->OnEditEscape();
    EXPECT_EQ(Cell(2, kColumnName), "Zona 3");

    page->BeginEdit(0, kColumnUnit);
    ASSERT_TRUE(unitEditor()->isVisibleTo(page.get()));
    unitEditor()->setEditText(" ");
    EXPECT_FALSE(page->CommitEdit());
    EXPECT_EQ(services.LastText(), "text 97");
    unitEditor()->setEditText("F"); // units need not differ
    EXPECT_TRUE(page->CommitEdit());
    EXPECT_EQ(Cell(0, kColumnUnit), "F");

    page->BeginEdit(2, kColumnAddress);
    nameEditor()->setText("256");
    EXPECT_FALSE(page->CommitEdit());
    EXPECT_TRUE(services.LastText().contains("255"));
    nameEditor()->setText("x1");
    EXPECT_FALSE(page->CommitEdit());
    nameEditor()->setText("1"); // a duplicate address is polled twice, as the engine allows
    EXPECT_TRUE(page->CommitEdit());
    EXPECT_EQ(Cell(2, kColumnAddress), "1");
    EXPECT_EQ(services.messages.size(), 5u);

    page->BeginEdit(1, kColumnName);
    page->OnSheetDeactivate();
    EXPECT_FALSE(page->Editing());
}

TEST_F(MultiplePageTest, SavingStoresRowsModeAndPeriodInTheSession) {
    ChooseZones(3);
    list()->topLevelItem(1)->setCheckState(kColumnEnabled, Qt::Unchecked);
    FindControl<QComboBox>(page.get(), kRecording)->setCurrentIndex(1);
    FindControl<QSpinBox>(page.get(), kSamplingSpin)->setValue(900);
    ASSERT_TRUE(page->PageToModel());
    const CControllerList& l = session.list;
    EXPECT_EQ(l.enabled, (std::vector<int32_t>{1, 0, 1}));
    EXPECT_EQ(l.address, (std::vector<uint8_t>{9, 2, 3}));
    EXPECT_EQ(l.name, (std::vector<std::string>{"Only", "Zona 2", "Zona 3"}));
    EXPECT_EQ(l.unit[0], "F");
    EXPECT_EQ(l.period, 900);
    EXPECT_EQ(session.logMode, 1);

    // And back: a list of 2 shows 2 rows and its mode.
    session.list.SetEntries({0, 1}, {4, 5}, {"A", "B"}, {"F", "F"});
    session.logMode = 2;
    page->ModelToPage();
    ASSERT_EQ(list()->topLevelItemCount(), 2);
    EXPECT_EQ(list()->topLevelItem(0)->checkState(kColumnEnabled), Qt::Unchecked);
    EXPECT_EQ(FindControl<QComboBox>(page.get(), kRecording)->currentIndex(), 2);
}

TEST_F(MultiplePageTest, StartAsksThenOpensTheMonitoringWindowWithItsOwnMaster) {
    // No master: message 47.
    EXPECT_NO_FATAL_FAILURE(page->OnStart());
    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_EQ(services.messages[0].text, "text 64");
    EXPECT_EQ(services.messages[0].buttons, MbButtons::YesNo);
    EXPECT_EQ(services.messages[1].text, "text 47");

    // Answered No: nothing more.
    services.messageAnswers = {IDNO};
    page->OnStart();
    EXPECT_EQ(services.messages.size(), 3u);

    // A closed port: message 53.
    session.makeMaster = [] { return std::make_unique<CModbusMaster>("127.0.0.1", uint16_t(1)); };
    page->OnStart();
    EXPECT_EQ(services.LastText(), "text 53");

    // A simulated bus: the window runs modally over the page's list until closed.
    sim::SimBusOptions options;
    options.timeScale = 0;
    sim::SimBus bus(options);
    bus.AddController(9, ModelFamily::TQ100);
    const uint16_t port = bus.StartTcp();
    session.makeMaster = [port] { return std::make_unique<CModbusMaster>("127.0.0.1", port); };
    session.logMode = 0;
    uint64_t cycles = 0;
    CScopedModalHandler handler([&](CDialogBase& dialog) {
        auto& monitor = dynamic_cast<CMonitorDlg&>(dialog);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (monitor.Engine().Cycles() == 0 && std::chrono::steady_clock::now() < deadline)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        cycles = monitor.Engine().Cycles();
        FindControl<QWidget>(&monitor, IDCANCEL)->setFocus();
        monitor.EndDialog(IDCANCEL);
    });
    page->OnStart();
    EXPECT_EQ(cycles, 1u);
    EXPECT_EQ(bus.RequestCount(1), 1u); // one coil read: controller 9, once
}

} // namespace
