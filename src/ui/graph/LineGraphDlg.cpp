#include "ui/graph/LineGraphDlg.h"

#include "core/files/GraphSet.h"
#include "core/model/ScaledValue.h"
#include "languages/StringIds.h"
#include "ui/framework/ResourceIds.h"
#include "ui/graph/ChartCtrl.h"
#include "ui/graph/ChartLegend.h"
#include "ui/graph/CurveChooserDlg.h"
#include "ui/graph/GraphResourceIds.h"
#include "ui/graph/GraphScaling.h"
#include "ui/graph/GraphViewerDlg.h"

#include <QPushButton>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {

constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kRed = 0x0000FF;
constexpr float kValueScaleMax = 600.0f;
constexpr float kOutputScaleMax = 100.0f;

constexpr int kRegProcessValue = 0;
constexpr int kRegOutput = 3;
constexpr int kRegStatusValue = 4;
constexpr int kRegDecimals = 32;

} // namespace

CLineGraphDlg::CLineGraphDlg(std::vector<GraphController> controllers, std::string graphsDir,
                             QWidget* parent, Clock clock)
    : CFormBase(parent), graphsDir(std::move(graphsDir)), clock(std::move(clock)) {
    Build();
    for (const GraphController& controller : controllers) {
        Entry entry;
        entry.address = controller.address;
        entry.sp =
            std::make_shared<CGraphCurve>(kGreen, kValueScaleMax, 0.0f, controller.name, "Sp");
        entry.out =
            std::make_shared<CGraphCurve>(kBlue, kOutputScaleMax, 0.0f, controller.name, "Out");
        entry.val =
            std::make_shared<CGraphCurve>(kRed, kValueScaleMax, 0.0f, controller.name, "Val");
        chart->AddCurve(entry.sp);
        chart->AddCurve(entry.out);
        chart->AddCurve(entry.val);
        entries.push_back(std::move(entry));
    }
    graphPath = ReserveGraphSetPath(this->graphsDir, GraphSetStampText(this->clock()));
    // Until the first segment, the set is its header alone: a viewer opening it early finds
    // a readable file, not an empty one.
    std::vector<GraphHeaderEntry> header;
    for (int i = 0; i < chart->GetCurveCount(); ++i)
        header.push_back(chart->GetCurve(i)->HeaderEntry());
    SaveGraphHeader(graphPath, header);
    saveInterval = std::max(chart->width(), 1);
    chart->SetLegend(legend);
}

void CLineGraphDlg::Build() {
    SetClientSize(556, 330);
    chart = AddControl<CChartCtrl>(IDC_GRAPH_CHART, 0, 0, 436, 308);
    legend = AddControl<CChartLegend>(IDC_GRAPH_LEGEND, 440, 0, 116, 308);
    struct Button {
        int id;
        const char* caption;
        int x, cx;
    };
    for (const Button& b :
         {Button{IDC_LINE_FILE, "File", 0, 50}, Button{IDC_LINE_CHOOSE, "Choose", 54, 50},
          Button{IDC_LINE_RANGE, "Range", 108, 50},
          Button{IDC_LINE_AUTOSCALE, "Autoscale", 162, 50},
          Button{IDC_GRAPH_CURSOR_LEFT, "<<", 232, 24},
          Button{IDC_GRAPH_CURSOR_RIGHT, ">>", 260, 24}}) {
        auto* button = AddControl<QPushButton>(b.id, b.x, 314, b.cx, 14);
        button->setText(QString::fromLatin1(b.caption));
        button->setAutoDefault(false);
        const int id = b.id;
        connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
    }
    SetDlgItemTextById(IDC_LINE_FILE, IDS_MENU_FILE);
    SetDlgItemTextById(IDC_LINE_CHOOSE, IDS_GRAPH_CURVES);
    SetDlgItemTextById(IDC_LINE_RANGE, IDS_GRAPH_RANGE);
}

CLineGraphDlg::~CLineGraphDlg() {
    // The poll has ended. Controllers a stopped cycle did not reach get a gap for it, so
    // every curve ends where the time line does.
    bool pending = false;
    {
        auto lock = chart->LockData();
        const size_t count = chart->GetTimelineCount();
        for (const Entry& entry : entries) {
            for (CGraphCurve* curve : {entry.sp.get(), entry.out.get(), entry.val.get()}) {
                while (curve->GetEndIndex() < static_cast<int64_t>(count))
                    curve->AddMissing();
            }
        }
        pending = count > static_cast<size_t>(segmentsSaved) * static_cast<size_t>(saveInterval);
    }
    if (pending)
        SaveSegment();
    else if (segmentsSaved == 0)
        ::unlink(graphPath.c_str()); // the name was reserved but nothing was recorded
}

void CLineGraphDlg::showEvent(QShowEvent* event) {
    // The chart's real width sets the segment length, unless a segment was saved already.
    if (segmentsSaved == 0)
        saveInterval = std::max(chart->width(), 1);
    CFormBase::showEvent(event);
}

int CLineGraphDlg::MatchEntry(uint8_t address) {
    const size_t count = entries.size();
    for (size_t pass = 0; pass < 2; ++pass) {
        // First the rest of this cycle, then from the start of the next.
        const size_t from = pass == 0 ? nextEntry : 0;
        const size_t to = pass == 0 ? count : std::min(nextEntry, count);
        for (size_t i = from; i < to; ++i) {
            if (entries[i].address == address) {
                nextEntry = i + 1;
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

void CLineGraphDlg::Record(int index, const short* registers) {
    Entry& entry = entries[static_cast<size_t>(index)];
    if (registers != nullptr) {
        const int d = registers[kRegDecimals] & 3;
        entry.sp->AddSample(static_cast<float>(ScaleValue(registers[kRegStatusValue], d)));
        entry.out->AddSample(static_cast<float>(registers[kRegOutput] / 10));
        entry.val->AddSample(static_cast<float>(ScaleValue(registers[kRegProcessValue], d)));
        entry.sp->SetDecimals(static_cast<int16_t>(d));
        entry.out->SetDecimals(0);
        entry.val->SetDecimals(static_cast<int16_t>(d));
    } else {
        entry.sp->AddMissing();
        entry.out->AddMissing();
        entry.val->AddMissing();
    }
}

void CLineGraphDlg::OnData(unsigned char address, const short* registers,
                           const unsigned char* /*coils*/) {
    TakeReading(address, registers);
}

void CLineGraphDlg::OnError(unsigned char address) {
    TakeReading(address, nullptr);
}

void CLineGraphDlg::TakeReading(uint8_t address, const short* registers) {
    int index = -1;
    {
        auto lock = chart->LockData();
        index = MatchEntry(address);
        if (index == 0)
            chart->AddTimestamp(clock());
        if (index >= 0)
            Record(index, registers);
    }
    EndOfCall(index);
}

void CLineGraphDlg::EndOfCall(int index) {
    // Only a complete cycle is saved and shown.
    if (index >= 0 && static_cast<size_t>(index) + 1 < entries.size())
        return;
    if (index >= 0) {
        const size_t due =
            static_cast<size_t>(segmentsSaved + 1) * static_cast<size_t>(saveInterval);
        if (chart->GetTimelineCount() >= due)
            SaveSegment();
    }
    chart->RequestRepaint();
}

void CLineGraphDlg::SaveSegment() {
    const std::lock_guard<std::mutex> saving(saveMutex);
    const int saved = segmentsSaved;
    const int interval = saveInterval;
    chart->Save(graphPath, saved, saved * interval, (saved + 1) * interval);
    segmentsSaved = saved + 1;
    // The segment is in the files, where the viewer reads it: the chart keeps a screen and
    // the segment under way, so a run of months holds no more than its first minutes did.
    chart->ForgetSavedBefore(int64_t{saved + 1} * interval, interval);
}

void CLineGraphDlg::SaveCompleteCycles() {
    const std::lock_guard<std::mutex> saving(saveMutex);
    const int saved = segmentsSaved;
    const int interval = saveInterval;
    int cycles = 0;
    {
        auto lock = chart->LockData();
        // The last entry's curves grow last: they count the cycles every curve has.
        if (!entries.empty())
            cycles = static_cast<int>(entries.back().val->GetEndIndex());
    }
    // The segment under way, as far as it goes; its full save later replaces it.
    if (cycles > saved * interval)
        chart->Save(graphPath, saved, saved * interval, cycles);
}

void CLineGraphDlg::OpenFile() {
    const std::string chosen = ChooseGraphFile(this, graphsDir);
    if (chosen.empty())
        return;
    std::error_code error;
    if (std::filesystem::equivalent(chosen, graphPath, error))
        SaveCompleteCycles(); // the set being recorded: what it holds so far can be viewed
    // Recording goes on meanwhile.
    CGraphViewerDlg viewer(chosen, graphsDir, this);
    viewer.DoModal();
}

void CLineGraphDlg::ChooseCurves() {
    CCurveChooserDlg chooser(*chart, this);
    if (chooser.DoModal() == IDOK)
        chart->SaveHeader(graphPath);
}

void CLineGraphDlg::OnCommand(int id) {
    switch (id) {
    case IDC_LINE_FILE:
        OpenFile();
        break;
    case IDC_LINE_CHOOSE:
        ChooseCurves();
        break;
    case IDC_LINE_RANGE:
        AskRange(*chart, this);
        break;
    case IDC_LINE_AUTOSCALE:
        AutoScale(*chart);
        break;
    case IDC_GRAPH_CURSOR_LEFT:
        chart->CursorLeft();
        break;
    case IDC_GRAPH_CURSOR_RIGHT:
        chart->CursorRight();
        break;
    }
}
