#pragma once

#include "core/files/GraphCurve.h"
#include "ui/framework/FormBase.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CChartCtrl;
class CChartLegend;

// A polled controller as the line graph records it.
struct GraphController {
    uint8_t address = 0;
    std::string name;
};

// The line graph view of the monitoring window: three curves per polled controller (set
// point "Sp", output "Out", process value "Val"), saved automatically as a graph set in
// segments of one chart width, with the curve chooser, range, automatic scaling, cursor and
// a viewer for saved sets. Once a segment is saved the chart lets go of it, keeping a screen
// and the segment under way: a run of months holds what its first minutes held.
//
// OnData and OnError run on the poll thread. The poll calls the controllers in list order
// once per cycle, so each call is matched to the next list entry with its address: a
// duplicated address feeds its own entries' curves, and the time line advances once per
// cycle, at the first entry. A segment is saved when a cycle completes, so every
// controller's sample of the boundary cycle lands in it. The chart is repainted once per
// cycle.
class CLineGraphDlg : public CFormBase {
    Q_OBJECT
public:
    // `controllers`: the enabled entries of the monitoring list, in list order. The set is
    // recorded in `graphsDir` (ending in a separator) under the start date and time.
    // `clock` gives the local time of the name and of each cycle.
    using Clock = std::function<GraphTimestamp()>;
    CLineGraphDlg(std::vector<GraphController> controllers, std::string graphsDir,
                  QWidget* parent = nullptr, Clock clock = CurrentLocalTimestamp);
    // Saves the samples that arrived after the last saved segment.
    ~CLineGraphDlg() override;

    void OnData(unsigned char address, const short* registers, const unsigned char* coils);
    void OnError(unsigned char address);

    // The curve chooser ("Curves..."); what is chosen goes into the set's header.
    void ChooseCurves();

    CChartCtrl& Chart() { return *chart; }
    CChartLegend& Legend() { return *legend; }
    // The header file of the set being recorded.
    const std::string& GraphPath() const { return graphPath; }
    int SaveInterval() const { return saveInterval; }
    int SegmentsSaved() const { return segmentsSaved; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Entry {
        uint8_t address = 0;
        std::shared_ptr<CGraphCurve> sp, out, val;
    };

    void Build();
    void OnCommand(int id);
    // The list entry this call belongs to, or -1; advances the cycle position.
    int MatchEntry(uint8_t address);
    // A controller's registers, or nullptr after a failed read (a gap in its curves).
    void TakeReading(uint8_t address, const short* registers);
    void Record(int entry, const short* registers);
    void EndOfCall(int entry);
    void SaveSegment();
    // Saves the segment under way up to the last complete cycle (UI thread).
    void SaveCompleteCycles();
    // "File": a saved set in the viewer, the one being recorded included.
    void OpenFile();

    CChartCtrl* chart = nullptr;
    CChartLegend* legend = nullptr;
    std::vector<Entry> entries;
    std::string graphsDir;
    Clock clock;
    std::string graphPath;
    size_t nextEntry = 0; // poll thread only
    std::atomic<int> saveInterval{1};
    std::atomic<int> segmentsSaved{0};
    std::mutex saveMutex; // one save of the set at a time, from either thread
};
