#include "ui/framework/UiThread.h"
#include "core/platform/Event.h"
#include "support/RecordingUiServices.h"
#include "ui/framework/AppMessages.h"
#include "ui/framework/ResourceIds.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

TEST(UiThread, PostedCallsRunOnTheUiThreadInOrder) {
    QObject context;
    std::vector<int> order;
    std::vector<bool> onUi;
    std::atomic<bool> posted{false};
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i)
            PostToUi(&context, [&, i] {
                order.push_back(i);
                onUi.push_back(QThread::currentThread() == context.thread());
            });
        posted = true;
    });
    worker.join();
    EXPECT_TRUE(order.empty()); // nothing runs until the UI serves its events
    QCoreApplication::processEvents();
    EXPECT_EQ((std::vector<int>{0, 1, 2}), order);
    EXPECT_EQ((std::vector<bool>{true, true, true}), onUi);
}

TEST(UiThread, PostedCallsForADestroyedContextAreDropped) {
    bool ran = false;
    auto context = std::make_unique<QObject>();
    std::thread worker([&] { PostToUi(context.get(), [&] { ran = true; }); });
    worker.join();
    context.reset();
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}

TEST(UiThread, AWorkerAsksAQuestionAndWaitsForTheAnswer) {
    CRecordingUiServices ui;
    CScopedUiServices scope(ui);
    ui.messageAnswers = {IDNO};
    QObject context;
    CManualResetEvent finished;
    int answer = 0;
    bool delivered = false;
    std::thread worker([&] {
        delivered = CallOnUiBlocking(&context, [&] {
            answer = MessageBoxText(nullptr, "Write to all controllers?", MbIcon::Question,
                                    MbButtons::YesNo);
        });
        finished.Set();
    });
    // The UI waits for the worker while serving events; a plain join would deadlock.
    WaitServingEvents([&] { return finished.IsSet(); });
    worker.join();
    EXPECT_TRUE(delivered);
    EXPECT_EQ(IDNO, answer);
    ASSERT_EQ(1u, ui.messages.size());
    EXPECT_EQ(MbButtons::YesNo, ui.messages[0].buttons);
}

TEST(UiThread, BlockingCallOnTheUiThreadRunsAtOnce) {
    QObject context;
    bool ran = false;
    EXPECT_TRUE(CallOnUiBlocking(&context, [&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_FALSE(CallOnUiBlocking(nullptr, [] {}));
}

TEST(UiThread, WaitServingEventsDeliversMessagesPostedMeanwhile) {
    struct CCounter : QObject, IAppMessageTarget {
        int total = 0;
        LRESULT OnAppMessage(unsigned, WPARAM w, LPARAM) override {
            total += static_cast<int>(w);
            return 0;
        }
    } counter;
    CManualResetEvent finished;
    std::thread worker([&] {
        for (int i = 1; i <= 100; ++i)
            PostAppMessage(&counter, kMsgProgressPosition, static_cast<WPARAM>(i), 0);
        PostToUi(&counter, [&] { finished.Set(); });
    });
    WaitServingEvents([&] { return finished.IsSet(); });
    worker.join();
    EXPECT_EQ(5050, counter.total);
}
