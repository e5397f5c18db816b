// A week of 72 controllers polled every second through the line graph's poll callbacks (on a
// thread of their own, as in the monitoring window), with its segment saves going to a
// temporary folder: the memory the graph holds, the process's resident memory and the bytes
// each save writes, at the start and at the end of each day. Nothing is painted: the cycles
// are what a long run costs.
#include "../ResidentMemory.h"
#include "core/files/GraphFormat.h"
#include "ui/graph/ChartCtrl.h"
#include "ui/graph/LineGraphDlg.h"

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Bytes this process has written so far (write and pwrite alike).
long long BytesWritten() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value)
        if (key == "wchar:")
            return value;
    return 0;
}

} // namespace

void ReportLineGraphMemory(int days) {
    constexpr int kControllers = 72;
    constexpr int kCyclesPerDay = 86400;
    const int cycles = days * kCyclesPerDay;
    // In memory where there is such a folder: the run measures the graph, not the disk.
    QTemporaryDir dir(access("/dev/shm", W_OK) == 0 ? "/dev/shm/calora-bench-XXXXXX"
                                                    : QTemporaryDir().path());
    std::vector<GraphController> controllers;
    for (int i = 1; i <= kControllers; ++i)
        controllers.push_back({static_cast<uint8_t>(i), "Zone " + std::to_string(i)});
    const size_t heapBefore = mallinfo2().uordblks;
    CLineGraphDlg graph(controllers, dir.path().toStdString() + "/");
    const int interval = graph.SaveInterval();
    std::vector<GraphHeaderEntry> header;
    for (int i = 0; i < graph.Chart().GetCurveCount(); ++i)
        header.push_back(graph.Chart().GetCurve(i)->HeaderEntry());
    std::vector<short> registers(43, 0);
    registers[32] = 1;

    std::printf("\nline graph, %d controllers at 1 s for %d days (%d cycles), segments of %d "
                "cycles saved to %s:\n",
                kControllers, days, cycles, interval, dir.path().toUtf8().constData());
    std::printf("%10s %8s %16s %16s %18s\n", "cycle", "day", "held (kB)", "resident (kB)",
                "bytes per save");
    double firstScreen = 0, dayOne = 0, last = 0;
    long long firstSave = 0, lastSave = 0;
    int saved = 0;
    long long writtenBefore = BytesWritten();
    // On a thread of its own, as the polling engine calls the graph.
    std::thread poll([&] {
        for (int cycle = 1; cycle <= cycles; ++cycle) {
            registers[0] = static_cast<short>(cycle % 2000);
            registers[4] = static_cast<short>(cycle % 700);
            for (int i = 1; i <= kControllers; ++i)
                graph.OnData(static_cast<unsigned char>(i), registers.data(), nullptr);
            if (graph.SegmentsSaved() != saved) {
                const long long written = BytesWritten();
                lastSave = written - writtenBefore;
                if (saved == 0)
                    firstSave = lastSave;
                saved = graph.SegmentsSaved();
                // The points files are not read again here: the folder stays small.
                for (const std::string& path :
                     GraphPointsFileNames(graph.GraphPath(), header, saved - 1))
                    ::unlink(path.c_str());
                writtenBefore = BytesWritten();
            }
            const bool report = cycle == 2 * interval || cycle % kCyclesPerDay == 0;
            if (report) {
                const double held = static_cast<double>(mallinfo2().uordblks - heapBefore) / 1024.0;
                if (cycle == 2 * interval)
                    firstScreen = held;
                if (cycle == kCyclesPerDay)
                    dayOne = held;
                last = held;
                std::printf("%10d %8.2f %16.0f %16ld %18lld\n", cycle,
                            double(cycle) / kCyclesPerDay, held, ResidentKb(), lastSave);
            }
        }
    });
    poll.join();
    std::printf("held after the first screens %.0f kB, day 1 %.0f kB, day %d %.0f kB "
                "(day %d / day 1: %.3f; goal within 10 %%)\n",
                firstScreen, dayOne, days, last, days, last / dayOne);
    std::printf("bytes per save: first %lld, last %lld (last / first: %.3f; goal flat)\n",
                firstSave, lastSave, double(lastSave) / double(firstSave));
}
