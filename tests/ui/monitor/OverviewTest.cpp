// The controllers overview: paging of the grid, and clicks that write through the simulated
// bus over Modbus TCP.
#include "core/model/ControllerList.h"
#include "support/RecordingUiServices.h"
#include "ui/framework/AppMessages.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/monitor/OverviewDlg.h"
#include "ui/widgets/DisplayDlg.h"
#include "ui/widgets/LedIndicator.h"

#include "SimBus.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// A list of `count` enabled controllers at addresses 1..count.
CControllerList ListOf(int count) {
    CControllerList list("Zone");
    std::vector<int32_t> enabled(count, 1);
    std::vector<uint8_t> address;
    std::vector<std::string> name;
    for (int a = 1; a <= count; ++a) {
        address.push_back(static_cast<uint8_t>(a));
        name.push_back(CControllerList::DefaultName("Zone", a));
    }
    list.SetEntries(enabled, address, name, std::vector<std::string>(count, "ºC"));
    return list;
}

struct Overview : ::testing::Test {
    sim::SimBus bus{sim::SimBusOptions{.timeScale = 0.0}};
    CModbusMaster master{"127.0.0.1", bus.StartTcp(0)};
    CRecordingUiServices ui;
    CScopedUiServices scope{ui};

    // A view sized for a grid of `columns` x `rows` compact displays.
    std::unique_ptr<COverviewDlg> View(const CControllerList& list, int columns, int rows) {
        auto view = std::make_unique<COverviewDlg>(list, master, [] { return 200; });
        const CDialogUnits units = CDialogUnits::System();
        view->setFixedSize(columns * units.X(67) + columns - 1, rows * units.Y(88) + rows - 1);
        view->EnsureInitialized();
        return view;
    }

    // The address each display shows, 0 for a hidden one.
    static std::vector<int> Shown(const COverviewDlg& view) {
        std::vector<int> shown;
        for (int i = 0; i < view.Columns() * view.Rows(); ++i) {
            CDisplayDlg* display = view.Display(i);
            shown.push_back(display->isHidden() ? 0 : display->Record().address);
        }
        return shown;
    }

    std::vector<sim::RequestRecord> Writes() const {
        std::vector<sim::RequestRecord> writes;
        for (const sim::RequestRecord& r : bus.RequestLog())
            if (r.function == 5 || r.function == 6)
                writes.push_back(r);
        return writes;
    }
};

} // namespace

TEST_F(Overview, PagesCentreTheLastRowAndStopAtTheEnds) {
    auto view = View(ListOf(10), 4, 2);
    ASSERT_EQ(4, view->Columns());
    ASSERT_EQ(2, view->Rows());
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}), Shown(*view));
    view->NextPage();
    EXPECT_EQ((std::vector<int>{0, 9, 10, 0, 0, 0, 0, 0}), Shown(*view));
    view->NextPage();
    EXPECT_EQ(2, view->FirstRow());
    view->PreviousPage();
    view->PreviousPage();
    EXPECT_EQ(0, view->FirstRow());
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}), Shown(*view));

    auto three = View(ListOf(3), 4, 2);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 0, 0, 0, 0, 0}), Shown(*three));

    // No enabled controller at all: nothing shown, paging does nothing.
    CControllerList none = ListOf(2);
    none.enabled = {0, 0};
    auto empty = View(none, 2, 1);
    empty->NextPage();
    EXPECT_EQ(0, empty->FirstRow());
    EXPECT_EQ((std::vector<int>{0, 0}), Shown(*empty));

    auto tiny = std::make_unique<COverviewDlg>(ListOf(3), master, [] { return 200; });
    tiny->setFixedSize(10, 10);
    tiny->EnsureInitialized();
    EXPECT_EQ(1, tiny->Columns() * tiny->Rows());
}

TEST_F(Overview, ASetPointPairToAllIsRescaledAndFailuresOfBothWritesComeInOneMessage) {
    for (uint8_t a = 1; a <= 3; ++a)
        bus.AddController(a, TQ100).SetRegister(32, a == 2 ? 0 : 1);
    auto view = View(ListOf(3), 3, 1);
    // One poll: each panel's SER lamp is lit while its controller is read.
    auto ser = [&](uint8_t a) {
        return view->Display(a - 1)->Control<CLedIndicator>(IDC_DISPLAY_SER)->State();
    };
    for (uint8_t a = 1; a <= 3; ++a) {
        view->OnPollStart(a);
        QCoreApplication::processEvents();
        EXPECT_EQ(1, ser(a));
        short registers[43] = {};
        unsigned char coils[11] = {};
        ASSERT_EQ(0, master.ReadRegisters(a, registers, 43, 16, 200));
        view->OnData(a, registers, coils);
        view->OnPollEnd(a);
        QCoreApplication::processEvents();
        EXPECT_EQ(0, ser(a));
    }
    bus.SetFault(3, sim::FaultKind::Exception);
    bus.ClearRequestLog();

    ui.messageAnswers = {IDYES, IDOK};
    CScopedModalHandler typing([](CDialogBase& dialog) {
        dialog.Control<QLineEdit>(IDC_PAIR_FIRST_EDIT)->setText(QStringLiteral("150.0"));
        dialog.Control<QLineEdit>(IDC_PAIR_SECOND_EDIT)->setText(QStringLiteral("-5.0"));
        dialog.Control<QPushButton>(IDOK)->click();
    });
    EXPECT_EQ(0, SendAppMessage(view.get(), kMsgUpperSetpointClicked, 1, 0));

    const std::vector<sim::RequestRecord> writes = Writes();
    ASSERT_EQ(6u, writes.size());
    const std::pair<int, int> expected[6] = {{1, 1500}, {2, 150}, {3, 1500},
                                             {1, -50},  {2, -5},  {3, -50}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(expected[i].first, writes[i].address) << i;
        EXPECT_EQ(static_cast<uint16_t>(expected[i].second), writes[i].quantity) << i;
    }
    ASSERT_EQ(2u, ui.messages.size());
    EXPECT_EQ(TextById(IDS_MSG_WRITE_FAILED) + ":\nZone 3", ui.messages[1].text);
    EXPECT_EQ(MbIcon::Exclamation, ui.messages[1].icon);
    EXPECT_EQ(QStringLiteral("150.0"), view->Display(0)->GetSetPointText());
    EXPECT_EQ(QStringLiteral("150"), view->Display(1)->GetSetPointText());
}

TEST_F(Overview, ModeClickAnsweredNoWritesTheClickedControllerOnly) {
    for (uint8_t a = 1; a <= 2; ++a)
        bus.AddController(a, TQ100);
    auto view = View(ListOf(2), 2, 1);
    ui.messageAnswers = {IDNO};
    EXPECT_EQ(0, SendAppMessage(view.get(), kMsgModeClicked, 2, 1));
    const std::vector<sim::RequestRecord> writes = Writes();
    ASSERT_EQ(1u, writes.size());
    EXPECT_EQ(2, writes[0].address);
    EXPECT_EQ(5, writes[0].function);
    EXPECT_EQ(5, writes[0].start);
    EXPECT_EQ(0xFF00, writes[0].quantity);
    EXPECT_EQ(1u, ui.messages.size()); // the question only
    EXPECT_TRUE(bus.At(2).Coil(5));
}
