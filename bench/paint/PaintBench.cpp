// Paint benchmark: for each case, the median time of a window's frame against the time
// QPainter needs to draw the same primitives into one image directly. Runs offscreen.
// Usage: bench_paint [frames]   (default 200 frames per side and case)
#include "PaintCase.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

std::vector<PaintCase>& PaintCases() {
    static std::vector<PaintCase> cases;
    return cases;
}

// After the cases: what else the benchmark reports (LineGraphMemory.cpp).
void ReportLineGraphMemory();

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    std::printf("%-34s %12s %12s %8s  %s\n", "case", "window ms", "direct ms", "ratio", "goal");
    for (const PaintCase& c : PaintCases()) {
        std::unique_ptr<IPaintSubject> subject = c.make();
        QImage window(subject->Size(), QImage::Format_ARGB32_Premultiplied);
        QImage direct(subject->Size(), QImage::Format_ARGB32_Premultiplied);
        for (int i = 0; i < 5; ++i) { // warm caches, fonts and glyphs
            subject->PaintWindow(window);
            subject->PaintDirect(direct);
        }
        std::vector<double> windowMs, directMs;
        for (int i = 0; i < frames; ++i) { // interleaved, so both see the same machine load
            auto start = Clock::now();
            subject->PaintWindow(window);
            windowMs.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            start = Clock::now();
            subject->PaintDirect(direct);
            directMs.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        const double w = Median(windowMs), d = Median(directMs);
        char goal[64];
        std::snprintf(goal, sizeof goal, "<= %.1fx%s", c.goalRatio,
                      c.goalMs > 0
                          ? (", < " + std::to_string(static_cast<int>(c.goalMs)) + " ms").c_str()
                          : "");
        std::printf("%-34s %12.3f %12.3f %7.2fx  %s\n", c.name.c_str(), w, d, w / d, goal);
    }
    ReportLineGraphMemory();
    return 0;
}
