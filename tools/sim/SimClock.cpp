#include "SimClock.h"

namespace sim {

SimClock::SimClock(double s) : base(std::chrono::steady_clock::now()), scale(s < 0 ? 0 : s) {}

double SimClock::NowLocked() const {
    const std::chrono::duration<double> real = std::chrono::steady_clock::now() - base;
    return offset + real.count() * scale;
}

double SimClock::Now() const {
    std::lock_guard<std::mutex> guard(lock);
    return NowLocked();
}

void SimClock::Advance(double seconds) {
    std::lock_guard<std::mutex> guard(lock);
    if (seconds > 0)
        offset += seconds;
}

double SimClock::Scale() const {
    std::lock_guard<std::mutex> guard(lock);
    return scale;
}

void SimClock::SetScale(double s) {
    std::lock_guard<std::mutex> guard(lock);
    offset = NowLocked();
    base = std::chrono::steady_clock::now();
    scale = s < 0 ? 0 : s;
}

} // namespace sim
