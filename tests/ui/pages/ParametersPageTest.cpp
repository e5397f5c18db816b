// The live parameters page on the main sheet, against the in-process simulated bus.
#include "support/RecordingUiServices.h"
#include "support/UiTestSupport.h"

#include "SimBus.h"
#include "core/modbus/TcpCommPort.h"
#include "core/model/ScaledValue.h"
#include "core/model/TQControllerModel.h"
#include "core/platform/SerialPortList.h"
#include "ui/app/MainSheet.h"
#include "ui/framework/DialogBase.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiThread.h"
#include "ui/pages/ModelPage.h"
#include "ui/pages/PageIds.h"
#include "ui/pages/ParametersPage.h"
#include "ui/widgets/DisplayDlg.h"
#include "ui/widgets/LedIndicator.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

constexpr uint8_t kAddress = 5;

class ParametersPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseLanguage("English");
        ClearConnectionProfile();
        SetSerialDeviceScanner([] { return std::vector<std::string>{}; });
        app = MakeApp(true, &bus);
        ASSERT_TRUE(app->InitInstance());
        sheet = app->BuildSheet();
        ASSERT_NE(sheet, nullptr);
        app->Settings().address = kAddress;
        first = sheet->GetActivePage();
        for (IModelPage* page : sheet->GetPages())
            if (auto* found = dynamic_cast<CParametersPage*>(page))
                live = found;
        ASSERT_NE(live, nullptr);
        sheet->show();
    }
    void TearDown() override {
        app.reset();
        SetSerialDeviceScanner({});
        ClearConnectionProfile();
    }
    void GoLive() {
        recorder.messageAnswers = {IDYES};
        ASSERT_TRUE(sheet->SetActivePage(live));
        ASSERT_TRUE(WaitUntil([&] { return Text(IDC_DISPLAY_PV) != "???"; }));
    }
    QString Text(int id) const { return live->Display().GetDlgItemText(id); }
    int Lamp(int id) const { return live->Display().Control<CLedIndicator>(id)->State(); }
    // Half the answer window of a poll's first request: a stop must end well within it.
    int HalfWindowMs() const {
        return (app->GetModel().GetBaseTimeout() + CTcpCommPort::kAnswerWindowMs) / 2;
    }
    // Makes the controller silent and returns once a read waits for it.
    void SilenceDuringARead() {
        bus->SetFault(kAddress, sim::FaultKind::Silent);
        const size_t before = Frames().size();
        ASSERT_TRUE(WaitUntil([&] { return Frames().size() > before; }));
    }
    void Click(int id) { QTest::mouseClick(live->Display().GetDlgItem(id), Qt::LeftButton); }
    // (function, start, quantity) of the requests to the page's controller.
    std::vector<std::array<int, 3>> Frames(bool writesOnly = false) const {
        std::vector<std::array<int, 3>> frames;
        for (const sim::RequestRecord& r : bus->RequestLog())
            if (r.address == kAddress && (!writesOnly || r.function == 5 || r.function == 6))
                frames.push_back({r.function, r.start, r.quantity});
        return frames;
    }
    // The value dialog a click opens: types `text` and presses OK.
    static CScopedModalHandler Answer(const QString& text) {
        return CScopedModalHandler([text](CDialogBase& dialog) {
            dialog.Control<QLineEdit>(IDC_VALUE_EDIT)->setText(text);
            QTest::mouseClick(dialog.Control<QPushButton>(IDOK), Qt::LeftButton);
        });
    }

    CRecordingUiServices recorder;
    CScopedUiServices services{recorder};
    std::shared_ptr<sim::SimBus> bus;
    std::unique_ptr<CCaloraApp> app;
    CMainSheet* sheet = nullptr;
    IModelPage* first = nullptr;
    CParametersPage* live = nullptr;
};

} // namespace

TEST_F(ParametersPageTest, NoKeepsThePreviousPageYesPollsUntilThePageIsLeft) {
    recorder.messageAnswers = {IDNO};
    EXPECT_FALSE(sheet->SetActivePage(live));
    EXPECT_EQ(first, sheet->GetActivePage());
    ASSERT_EQ(1u, recorder.messages.size());
    EXPECT_EQ(TextById(IDS_ASK_START_COMM), recorder.messages[0].text);
    EXPECT_EQ(MbButtons::YesNo, recorder.messages[0].buttons);
    QTest::qWait(400);
    EXPECT_TRUE(Frames().empty());
    EXPECT_EQ(1, sheet->MenusEnabled());

    GoLive();
    EXPECT_EQ(0, sheet->MenusEnabled());
    EXPECT_EQ("Modbus id: 5", live->GetDlgItemText(CParametersPage::kModbusIdStatic));
    const std::vector<std::array<int, 3>> poll = {{3, 0, 16}, {3, 16, 16}, {3, 32, 11}, {1, 0, 10}};
    const std::vector<std::array<int, 3>> frames = Frames();
    ASSERT_GE(frames.size(), 4u);
    const std::vector<std::array<int, 3>> firstPoll(frames.begin(), frames.begin() + 4);
    EXPECT_EQ(poll, firstPoll);

    ASSERT_TRUE(sheet->SetActivePage(first));
    EXPECT_FALSE(live->IsLive());
    EXPECT_EQ(1, sheet->MenusEnabled());
    const size_t count = Frames().size();
    QTest::qWait(400);
    EXPECT_EQ(count, Frames().size()) << "no poll after leaving the page";
}

TEST_F(ParametersPageTest, ClicksWriteTheControllerAndAFailedWriteSaysSo) {
    GoLive();
    const int scale = std::array{1, 10, 100, 1000}[live->Display().GetDecimals()];
    {
        auto answer = Answer("25");
        Click(IDC_DISPLAY_SP);
    }
    Click(IDC_DISPLAY_MODE); // reads AUTO: switch to manual
    ASSERT_TRUE(WaitUntil([&] { return Text(IDC_DISPLAY_MODE) == "MAN"; }));
    {
        auto answer = Answer("45");
        Click(IDC_DISPLAY_OUTPUT);
    }
    Click(IDC_DISPLAY_AT);
    const std::vector<std::array<int, 3>> writes = {
        {6, 1, 25 * scale}, {5, 5, 0xFF00}, {6, 3, 450}, {5, 4, 0xFF00}};
    EXPECT_EQ(writes, Frames(true));
    EXPECT_EQ(1, live->Display().Control<CLedIndicator>(IDC_DISPLAY_AT)->State());
    EXPECT_TRUE(recorder.messages.size() == 1u) << recorder.LastText().toStdString();

    // Exception answers: the polls' box is ignored, the write's failure is reported.
    recorder.messageAnswers = {IDIGNORE, IDIGNORE, IDIGNORE, IDIGNORE};
    bus->SetFault(kAddress, sim::FaultKind::Exception);
    Click(IDC_DISPLAY_AT);
    EXPECT_EQ(1, live->Display().Control<CLedIndicator>(IDC_DISPLAY_AT)->State());
    bool reported = false;
    for (const auto& message : recorder.messages)
        reported |=
            message.text == TextById(IDS_MSG_WRITE_FAILED) && message.icon == MbIcon::Exclamation;
    EXPECT_TRUE(reported);
}

TEST_F(ParametersPageTest, AbortStopsPollingAndThePanelKeepsItsValuesUntilTheNextSession) {
    GoLive();
    bus->SetFault(kAddress, sim::FaultKind::Exception); // default answer: Abort
    ASSERT_TRUE(WaitUntil([&] { return !live->IsLive(); }));
    EXPECT_EQ(TextById(IDS_MSG_READ_EXCEPTION), recorder.LastText());
    EXPECT_EQ(MbButtons::AbortRetryIgnore, recorder.messages.back().buttons);
    const QString shown = Text(IDC_DISPLAY_PV);
    const size_t count = Frames().size();
    QTest::qWait(600);
    EXPECT_EQ(count, Frames().size());
    EXPECT_EQ(shown, Text(IDC_DISPLAY_PV));
    EXPECT_NE("???", shown);
    EXPECT_EQ(0, Lamp(IDC_DISPLAY_SER)) << "no read runs after Abort";

    // A new session shows nothing of the last one while its first read waits.
    bus->ClearFaults(kAddress);
    bus->SetFault(kAddress, sim::FaultKind::Silent);
    ASSERT_TRUE(sheet->SetActivePage(first));
    recorder.messageAnswers = {IDYES};
    ASSERT_TRUE(sheet->SetActivePage(live));
    EXPECT_EQ("???", Text(IDC_DISPLAY_PV));
    EXPECT_EQ("???", Text(IDC_DISPLAY_OUTPUT));
    ASSERT_TRUE(WaitUntil([&] { return Lamp(IDC_DISPLAY_SER) == 1; }));
    EXPECT_EQ("???", Text(IDC_DISPLAY_PV));
}

// Leaving the page while its controller is silent, or while it refuses every read, or closing
// the window mid-read: the read in flight is given up at once, and without any box.
TEST_F(ParametersPageTest, LeavingDuringASilentReadEndsItAtOnce) {
    GoLive();
    SilenceDuringARead();
    const size_t boxes = recorder.messages.size();
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(sheet->SetActivePage(first));
    EXPECT_LT(clock.elapsed(), HalfWindowMs());
    EXPECT_FALSE(live->IsLive());
    EXPECT_EQ(1, sheet->MenusEnabled());
    QTest::qWait(300); // a late notice of the worker would show now
    EXPECT_EQ(boxes, recorder.messages.size()) << recorder.LastText().toStdString();
    EXPECT_EQ(0, Lamp(IDC_DISPLAY_SER));
}

TEST_F(ParametersPageTest, LeavingDuringAnExceptionStormAfterIgnore) {
    GoLive();
    recorder.messageAnswers = {IDIGNORE};
    std::atomic<bool> ignored{false}, held{false}, leaving{false}, left{false};
    recorder.onMessage = [&](const CRecordingUiServices::Message&) { ignored = true; };
    // The first read after the Ignore is answered only once the user has clicked another tab.
    bus->SetRequestObserver([&](const sim::RequestRecord& record) {
        if (record.address != kAddress || !ignored || held.exchange(true))
            return;
        PostToUi(sheet, [&] {
            leaving = true;
            sheet->SetActivePage(first);
            left = true;
        });
        while (!leaving)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    });
    bus->SetFault(kAddress, sim::FaultKind::Exception);
    ASSERT_TRUE(WaitUntil([&] { return left.load(); }));
    bus->SetRequestObserver({});
    EXPECT_FALSE(live->IsLive());
    QTest::qWait(300);
    ASSERT_EQ(2u, recorder.messages.size()) << "the question and the one box answered Ignore";
    EXPECT_EQ(TextById(IDS_MSG_READ_EXCEPTION), recorder.LastText());
}

TEST_F(ParametersPageTest, ClosingTheWindowDuringASilentReadEndsTheSession) {
    GoLive();
    SilenceDuringARead();
    const size_t boxes = recorder.messages.size();
    QElapsedTimer clock;
    clock.start();
    sheet->close();
    EXPECT_LT(clock.elapsed(), HalfWindowMs());
    EXPECT_FALSE(live->IsLive());
    app.reset(); // the program ends: the windows go
    EXPECT_EQ(boxes, recorder.messages.size());
}

TEST_F(ParametersPageTest, ASilentControllerLeavesTheWindowResponsive) {
    GoLive();
    bus->SetFault(kAddress, sim::FaultKind::Silent);
    const size_t before = Frames().size();
    ASSERT_TRUE(WaitUntil([&] { return Frames().size() > before; }));
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    QTest::qWait(1000); // the poll waits for an answer all this time
    EXPECT_GE(ticks, 30) << "events were not served while the poll waited";
    EXPECT_TRUE(live->IsLive());
    bus->ClearFaults(kAddress); // the retry is answered, so the page can be left
    ASSERT_TRUE(sheet->SetActivePage(first));
}

TEST_F(ParametersPageTest, AWrittenSetpointIsWhatTheConfigurationPageShowsAfter) {
    auto* config = dynamic_cast<CModelPage*>(first);
    ASSERT_NE(config, nullptr);
    GoLive();
    const int scale = std::array{1, 10, 100, 1000}[live->Display().GetDecimals()];
    {
        auto answer = Answer("37");
        Click(IDC_DISPLAY_SP);
    }
    ASSERT_EQ(bus->At(kAddress).Register(1), 37 * scale);
    EXPECT_EQ(app->GetModel().GetValue(1), 37 * scale);
    // Back on the configuration page, which then stores its fields again: the new value stays.
    ASSERT_TRUE(sheet->SetActivePage(first));
    const int d = app->GetModel().GetValue(32);
    EXPECT_EQ(config->GetDlgItemText(cfg::kSetpoint).toStdString(), FormatScaled(37 * scale, d));
    ASSERT_TRUE(sheet->ActivePageToModel());
    EXPECT_EQ(app->GetModel().GetValue(1), 37 * scale);
}
