// The bus-task dialog on its own: per-mode texts and ranges, the found-controller line, the
// button that cancels and then closes, questions from the worker and the family switch.
#include "support/UiTestSupport.h"

#include "SimBus.h"
#include "core/model/TQControllerModel.h"
#include "support/RecordingUiServices.h"
#include "ui/comm/BusTaskDlg.h"
#include "ui/framework/ControlIds.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"

#include <QApplication>
#include <QProgressBar>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class BusTaskDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseLanguage("English");
        app = MakeApp(false);
        ASSERT_TRUE(app->InitInstance());
        ASSERT_NE(app->BuildSheet(), nullptr); // loads the language library
        settings.interface = kInterfaceTcp;
        settings.ip = "127.0.0.1";
        settings.port = "COM1:";
        settings.address = 1;
    }
    void TearDown() override { bus.Stop(); }

    std::unique_ptr<CBusTaskDlg> MakeDialog(int mode) {
        return std::make_unique<CBusTaskDlg>(mode, nullptr, settings, model, [this](int command) {
            familyCommands.push_back(command);
            onUiThread = QThread::currentThread() == qApp->thread();
            model.SetFamily(nullptr, command == 32779 ? TQ100 : TQ102_TQ402);
        });
    }
    // Runs the dialog; presses its button once the task has ended (or after cancelAfterMs
    // while it runs, then again when it has stopped). Returns the dialog's result.
    int Run(CBusTaskDlg& dialog, BusTaskRecord& seen, int cancelAfterMs = 0) {
        QTimer poll;
        QElapsedTimer clock;
        bool cancelled = false;
        QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
            if (!dialog.isVisible())
                return;
            if (cancelAfterMs > 0 && !cancelled && clock.elapsed() >= cancelAfterMs &&
                dialog.TaskRunning()) {
                cancelled = true;
                dialog.OnButton();
                seen.status = dialog.StatusText();
                seen.button = dialog.ButtonText();
                return;
            }
            if (dialog.TaskRunning())
                return;
            QCoreApplication::sendPostedEvents(&dialog);
            if (!cancelled) {
                seen.status = dialog.StatusText();
                seen.button = dialog.ButtonText();
            }
            seen.title = dialog.windowTitle();
            auto* bar = FindControl<QProgressBar>(&dialog, IDC_BUS_TASK_PROGRESS);
            seen.progress = bar->value();
            seen.progressMax = bar->maximum();
            poll.stop();
            dialog.OnButton();
        });
        clock.start();
        poll.start(20);
        return dialog.DoModal();
    }

    CRecordingUiServices recorder;
    CScopedUiServices services{recorder};
    std::unique_ptr<CCaloraApp> app;
    CommSettings settings;
    CTQControllerModel model;
    sim::SimBus bus;
    std::vector<int> familyCommands;
    bool onUiThread = false;
};

TEST_F(BusTaskDlgTest, EveryModeHasItsTitleAndRangeAndEndsWithoutAMaster) {
    settings.interface.clear(); // no master can be built
    const struct {
        int mode, title, range;
    } expected[] = {{1, 46, 3060}, {2, 46, 255}, {3, 54, 100}, {4, 55, 100},
                    {5, 55, 100},  {8, 55, 100}, {11, 55, 100}};
    for (const auto& e : expected) {
        auto dialog = MakeDialog(e.mode);
        BusTaskRecord seen;
        EXPECT_EQ(Run(*dialog, seen), IDCANCEL) << e.mode;
        EXPECT_EQ(seen.title, TextById(e.title)) << e.mode;
        EXPECT_EQ(seen.progressMax, e.range) << e.mode;
        EXPECT_EQ(seen.status, TextById(53)) << e.mode;
        EXPECT_EQ(seen.button, TextById(48)) << e.mode;
    }
}

TEST_F(BusTaskDlgTest, TaskThatCannotStartShows47AndClosesWithCancel) {
    auto dialog = MakeDialog(12);
    BusTaskRecord seen;
    EXPECT_EQ(Run(*dialog, seen), IDCANCEL);
    EXPECT_EQ(seen.status, TextById(47));
    EXPECT_EQ(seen.button, TextById(48));
}

TEST_F(BusTaskDlgTest, AddressScanOverTcpFindsTheControllerAndSetsTheAddress) {
    bus.AddController(4, TQ102_TQ402);
    settings.ipPort = bus.StartTcp(0);
    auto dialog = MakeDialog(2);
    BusTaskRecord seen;
    EXPECT_EQ(Run(*dialog, seen), IDOK);
    EXPECT_EQ(seen.status, TextById(51) + QString("\nModbus4 127.0.0.1:%1").arg(settings.ipPort));
    EXPECT_EQ(seen.progress, 255);
    EXPECT_EQ(seen.title, TextById(46));
    EXPECT_EQ(settings.address, 4);
}

TEST_F(BusTaskDlgTest, LineScanOnASerialLineNamesTheLine) {
    bus.AddController(1, TQ100);
    const std::string device = bus.StartPty();
    settings.interface = kInterfaceSerial;
    settings.port = device;
    settings.baudIndex = 0;
    settings.parityIndex = 2;
    auto dialog = MakeDialog(1);
    BusTaskRecord seen;
    EXPECT_EQ(Run(*dialog, seen), IDOK);
    EXPECT_EQ(seen.status,
              TextById(51) + "\nModbus1 " + QString::fromStdString(device) + "19200N1 8Bits");
    EXPECT_EQ(seen.progress, 3060);
    EXPECT_EQ(settings.address, 1);
    EXPECT_EQ(settings.baudIndex, 3);
    EXPECT_EQ(settings.parityIndex, 0);
}

TEST_F(BusTaskDlgTest, CancelDuringAScanKeepsTheSettingsAndNeedsASecondPress) {
    settings.ipPort = bus.StartTcp(0); // a bus without controllers: every probe times out
    settings.address = 9;
    auto dialog = MakeDialog(2);
    BusTaskRecord seen;
    EXPECT_EQ(Run(*dialog, seen, 250), IDCANCEL);
    EXPECT_EQ(seen.status, TextById(50));
    EXPECT_EQ(seen.button, TextById(48));
    EXPECT_EQ(seen.title, TextById(46)); // no dots once stopped
    EXPECT_EQ(settings.address, 9);
}

TEST_F(BusTaskDlgTest, TitleDotsMoveWhileTheTaskRuns) {
    settings.ipPort = bus.StartTcp(0);
    auto dialog = MakeDialog(2);
    std::vector<QString> titles;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, dialog.get(), [&] {
        if (titles.empty() || titles.back() != dialog->windowTitle())
            titles.push_back(dialog->windowTitle());
        if (titles.size() >= 5)
            dialog->OnButton();
        if (!dialog->TaskRunning() && dialog->isVisible() && titles.size() >= 5)
            dialog->OnButton();
    });
    watch.start(10);
    dialog->DoModal();
    const QString title = TextById(46);
    ASSERT_GE(titles.size(), 5u);
    // After the first tick: the title, then one, two, three dots, then none again.
    auto at = std::find(titles.begin(), titles.end(), title + " .");
    ASSERT_NE(at, titles.end());
    ASSERT_GE(titles.end() - at, 3);
    EXPECT_EQ(*(at + 1), title + " . .");
    EXPECT_EQ(*(at + 2), title + " . . .");
}

TEST_F(BusTaskDlgTest, ReadAllSwitchesTheFamilyOnTheUiThread) {
    bus.AddController(1, TQ100);
    settings.ipPort = bus.StartTcp(0);
    auto dialog = MakeDialog(3);
    BusTaskRecord seen;
    EXPECT_EQ(Run(*dialog, seen), IDOK);
    EXPECT_EQ(familyCommands, std::vector<int>{32779});
    EXPECT_TRUE(onUiThread);
    EXPECT_EQ(model.GetCount(), 54u);
    EXPECT_EQ(seen.status, TextById(58));
    EXPECT_EQ(seen.progress, 100);
    EXPECT_EQ(seen.title, TextById(54));
}

TEST_F(BusTaskDlgTest, RefusedWriteAsksAbortRetryIgnoreOverTheDialog) {
    bus.AddController(1, TQ102_TQ402);
    bus.SetFault(1, sim::FaultKind::Exception, 1.0, 4);
    settings.ipPort = bus.StartTcp(0);
    recorder.messageAnswers = {IDABORT};
    auto dialog = MakeDialog(6);
    BusTaskRecord seen;
    EXPECT_EQ(Run(*dialog, seen), IDCANCEL);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].buttons, MbButtons::AbortRetryIgnore);
    EXPECT_EQ(recorder.messages[0].icon, MbIcon::Exclamation);
    EXPECT_TRUE(recorder.messages[0].text.startsWith(TextById(62) + " "));
    EXPECT_EQ(seen.status, TextById(56));
}

TEST_F(BusTaskDlgTest, DestroyingTheDialogWhileTheWorkerStillNeedsTheUiDoesNotHang) {
    // The family probe is answered late; by then the dialog is being destroyed, and the
    // worker's synchronous family switch must still be served.
    bus.AddController(1, TQ100);
    bus.SetFault(1, sim::FaultKind::Slow, 1.0, 300);
    settings.ipPort = bus.StartTcp(0);
    auto dialog = MakeDialog(3);
    dialog->show();
    ASSERT_TRUE(WaitUntil([&] { return dialog->TaskRunning(); }));
    QElapsedTimer clock;
    clock.start();
    dialog.reset();
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(familyCommands, std::vector<int>{32779});
}

} // namespace
