#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <memory>
#include <thread>

// Runs `work` on its own thread. Work that is still running after `limit` ends the test
// program with a failure, so a hang fails the run instead of stalling it (the stuck thread
// may hold references to the test's locals, so the program cannot go on).
inline void FinishWithin(std::chrono::seconds limit, const char* what, std::function<void()> work) {
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    std::thread([done, work = std::move(work)] {
        try {
            work();
            done->set_value();
        } catch (...) {
            done->set_exception(std::current_exception());
        }
    }).detach();
    if (finished.wait_for(limit) != std::future_status::ready) {
        std::fprintf(stderr, "%s did not finish within %lld s\n", what,
                     static_cast<long long>(limit.count()));
        std::_Exit(1);
    }
    finished.get();
}
