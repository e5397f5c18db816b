#pragma once

#include <chrono>
#include <mutex>

namespace sim {

// Simulated time in seconds: the steady clock times a scale, plus whatever was added by
// hand. Scale 0 freezes it, so only Advance moves it (fully repeatable tests).
class SimClock {
public:
    explicit SimClock(double scale = 1.0);

    double Now() const;
    void Advance(double seconds);
    double Scale() const;
    void SetScale(double scale);

private:
    double NowLocked() const;

    mutable std::mutex lock;
    std::chrono::steady_clock::time_point base;
    double offset = 0; // simulated seconds at base
    double scale;
};

} // namespace sim
