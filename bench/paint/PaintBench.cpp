// Paint benchmark: for each case, the median time of a window's frame against the time
// QPainter needs to draw the same primitives into one image directly; then a week of the line
// graph's poll cycles (LineGraphMemory.cpp). Runs offscreen.
// Usage: bench_paint [frames] [days]   (default 200 frames per side and case, 7 days)
#include "PaintCase.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

std::vector<PaintCase>& PaintCases() {
    static std::vector<PaintCase> cases;
    return cases;
}

// After the cases: what else the benchmark reports (LineGraphMemory.cpp).
void ReportLineGraphMemory(int days);

namespace {

using Clock = std::chrono::steady_clock;

// CPU time of this thread: what a frame costs, whatever else the machine is doing.
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int days = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    std::printf("Median of %d frames per side; wall-clock and this thread's CPU time.\n", frames);
    std::printf("%-34s %10s %10s %7s %10s %10s %7s  %s\n", "case", "window", "direct", "ratio",
                "window cpu", "direct cpu", "ratio", "goal");
    for (const PaintCase& c : PaintCases()) {
        std::unique_ptr<IPaintSubject> subject = c.make();
        QImage window(subject->Size(), QImage::Format_ARGB32_Premultiplied);
        QImage direct(subject->Size(), QImage::Format_ARGB32_Premultiplied);
        for (int i = 0; i < 5; ++i) { // warm caches, fonts and glyphs
            subject->PaintWindow(window);
            subject->PaintDirect(direct);
        }
        std::vector<double> windowMs, directMs, windowCpu, directCpu;
        auto time = [](const std::function<void()>& paint, std::vector<double>& wall,
                       std::vector<double>& cpu) {
            const double cpuStart = ThreadCpuMs();
            const auto start = Clock::now();
            paint();
            wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            cpu.push_back(ThreadCpuMs() - cpuStart);
        };
        for (int i = 0; i < frames; ++i) { // interleaved, so both see the same machine load
            time([&] { subject->PaintWindow(window); }, windowMs, windowCpu);
            time([&] { subject->PaintDirect(direct); }, directMs, directCpu);
        }
        const double w = Median(windowMs), d = Median(directMs);
        const double wc = Median(windowCpu), dc = Median(directCpu);
        char goal[64];
        std::snprintf(goal, sizeof goal, "<= %.1fx%s", c.goalRatio,
                      c.goalMs > 0
                          ? (", < " + std::to_string(static_cast<int>(c.goalMs)) + " ms").c_str()
                          : "");
        std::printf("%-34s %8.2fms %8.2fms %6.2fx %8.2fms %8.2fms %6.2fx  %s\n", c.name.c_str(), w,
                    d, w / d, wc, dc, wc / dc, goal);
    }
    ReportLineGraphMemory(days);
    return 0;
}
