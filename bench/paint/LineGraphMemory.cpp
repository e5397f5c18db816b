// What a line graph holds after a day of 72 controllers polled every second, computed from
// the heap growth per poll cycle measured over a shorter recording.
#include "ui/widgets/GraficaLineasDlg.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <malloc.h>
#include <vector>

void ReportLineGraphMemory() {
    constexpr int kControllers = 72;
    // A power of two: the sample arrays, grown by doubling, are then exactly full.
    constexpr int kCycles = 16384;
    constexpr double kCyclesPerDay = 86400.0;
    QTemporaryDir dir;
    std::vector<GraphController> controllers;
    for (int i = 1; i <= kControllers; ++i)
        controllers.push_back({static_cast<uint8_t>(i), "Zone " + std::to_string(i)});
    CGraficaLineasDlg graph(controllers, dir.path().toStdString() + "/");
    std::vector<short> registers(43, 0);
    registers[32] = 1;
    const size_t before = mallinfo2().uordblks;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        registers[0] = static_cast<short>(cycle % 2000);
        for (int i = 1; i <= kControllers; ++i)
            graph.OnData(static_cast<unsigned char>(i), registers.data(), nullptr);
    }
    const size_t after = mallinfo2().uordblks;
    const double perCycle = static_cast<double>(after - before) / kCycles;
    std::printf("\nline graph, %d controllers: %.0f bytes per poll cycle measured over %d cycles "
                "(samples %d x 4 B + time line 16 B = %d B)\n",
                kControllers, perCycle, kCycles, kControllers * 3, kControllers * 3 * 4 + 16);
    // A day's 86,400 samples sit in arrays grown to 131,072 entries.
    constexpr double kDayCapacity = 131072.0;
    std::printf("after 24 h at 1 s: %.1f MB of samples and time line (%.0f cycles x %.0f B), "
                "%.1f MB held with the arrays' growth headroom\n",
                perCycle * kCyclesPerDay / 1e6, kCyclesPerDay, perCycle,
                perCycle * kDayCapacity / 1e6);
}
