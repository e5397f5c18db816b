// The manual-reset event the workers stop on.
#include "core/platform/Event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

TEST(ManualResetEvent, TimesOutWhileNotSet) {
    CManualResetEvent event;
    EXPECT_FALSE(event.IsSet());
    EXPECT_FALSE(event.WaitFor(20ms));
    EXPECT_FALSE(event.WaitUntil(std::chrono::steady_clock::now() + 20ms));
}

TEST(ManualResetEvent, StaysSetUntilReset) {
    CManualResetEvent event;
    event.Set();
    EXPECT_TRUE(event.WaitFor(0ms));
    EXPECT_TRUE(event.WaitFor(0ms)) << "a manual-reset event is not consumed by a wait";
    event.Wait();
    event.Reset();
    EXPECT_FALSE(event.IsSet());
    EXPECT_FALSE(event.WaitFor(10ms));
}

TEST(ManualResetEvent, SetFromAnotherThreadEndsTheWaitEarly) {
    CManualResetEvent event;
    std::thread setter([&] {
        std::this_thread::sleep_for(50ms);
        event.Set();
    });
    EXPECT_TRUE(event.WaitFor(60s));
    setter.join();
}

TEST(ManualResetEvent, WakesEveryWaiter) {
    CManualResetEvent event;
    std::vector<std::thread> waiters;
    std::atomic<int> woken{0};
    for (int i = 0; i < 4; ++i)
        waiters.emplace_back([&] {
            if (event.WaitFor(60s))
                ++woken;
        });
    std::this_thread::sleep_for(20ms);
    event.Set();
    for (auto& waiter : waiters)
        waiter.join();
    EXPECT_EQ(woken.load(), 4);
}
