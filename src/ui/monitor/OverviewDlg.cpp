#include "ui/monitor/OverviewDlg.h"

#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"
#include "ui/framework/UiThread.h"
#include "ui/monitor/MonitorDlg.h"
#include "ui/widgets/DisplayDlg.h"
#include "ui/widgets/ValueDlg.h"
#include "ui/widgets/ValuePairDlg.h"

#include <boost/bind/bind.hpp>

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>
#include <thread>

namespace {
// Used when the compact template's size is unknown.
constexpr QSize kFallbackDisplaySize(50, 100);
constexpr int kSetPointLow = -1999;
constexpr int kSetPointHigh = 9999;
constexpr uint16_t kRegSetPoint = 1;
constexpr uint16_t kRegSecondSetPoint = 2;
constexpr uint16_t kRegOutput = 3;
constexpr uint16_t kCoilAutoTune = 4;
constexpr uint16_t kCoilManual = 5;

QString Qs(const std::string& text) {
    return QString::fromStdString(text);
}

// Progress of a write running on another thread, handed to the monitoring window's
// progress bar in order on the user-interface thread.
class CPostedProgress : public IWriteProgress {
public:
    CPostedProgress(QObject* context, CMonitorDlg* monitor) : context(context), monitor(monitor) {}
    void Begin(int total) override {
        Post([total](CMonitorDlg& m) { m.OnProgressBegin(total); });
    }
    void Position(int index) override {
        Post([index](CMonitorDlg& m) { m.OnProgressPosition(index); });
    }
    void End() override {
        Post([](CMonitorDlg& m) { m.OnProgressEnd(); });
    }

private:
    void Post(std::function<void(CMonitorDlg&)> call) {
        if (CMonitorDlg* m = monitor)
            PostToUi(context, [m, call] { call(*m); });
    }
    QObject* context;
    CMonitorDlg* monitor;
};
} // namespace

COverviewDlg::COverviewDlg(const CControllerList& list, CModbusMaster& master,
                           std::function<int()> baseTimeout, QWidget* parent)
    : CDialogBase(IDD_OVERVIEW, parent), panels(PanelRecordsOf(list)), master(master),
      baseTimeout(std::move(baseTimeout)) {
    setWindowFlags(Qt::Widget);
    SetClientSize(558, 339);
    displayOf.fill(-1);
}

COverviewDlg::~COverviewDlg() = default;

void COverviewDlg::Subscribe(CMonitorDlg& window) {
    using namespace boost::placeholders;
    monitor = &window;
    window.AddDataSubscriber(boost::bind(&COverviewDlg::OnData, this, _1, _2, _3));
    window.AddErrorSubscriber(boost::bind(&COverviewDlg::OnError, this, _1));
    window.AddStartSubscriber(boost::bind(&COverviewDlg::OnPollStart, this, _1));
    window.AddEndSubscriber(boost::bind(&COverviewDlg::OnPollEnd, this, _1));
}

void COverviewDlg::OnInitDialog() {
    LayoutPanels();
    ShowPage();
}

void COverviewDlg::LayoutPanels() {
    const CDialogUnits units = CDialogUnits::System();
    const QSize cell =
        CDisplayDlg::TemplateSize(IDD_DISPLAY_COMPACT).value_or(kFallbackDisplaySize);
    const int width = std::max(1, units.X(cell.width()));
    const int height = std::max(1, units.Y(cell.height()));
    const QSize client = size();
    columns = std::max(1, client.width() / width);
    rows = std::max(1, client.height() / height);
    const double gapX = columns > 1 ? double(client.width() - columns * width) / (columns - 1) : 0;
    const double gapY = rows > 1 ? double(client.height() - rows * height) / (rows - 1) : 0;
    for (int k = 0; k < rows; ++k) {
        for (int j = 0; j < columns; ++j) {
            auto* display = new CDisplayDlg(this);
            const int left = j * width + static_cast<int>(j * gapX);
            const int top = k * height + static_cast<int>(k * gapY);
            display->Create(k * columns + j, IDD_DISPLAY_COMPACT, left, top, left + width,
                            top + height, this);
            displays.push_back(display);
        }
    }
}

CDisplayDlg* COverviewDlg::Display(int index) const {
    return index >= 0 && index < static_cast<int>(displays.size()) ? displays[index] : nullptr;
}

CDisplayDlg* COverviewDlg::DisplayOf(uint8_t address) const {
    return Display(displayOf[address]);
}

void COverviewDlg::ShowPage() {
    if (displays.size() < static_cast<size_t>(columns * rows))
        return; // not laid out yet
    displayOf.fill(-1);
    for (auto& flag : onPage)
        flag = false;
    const int count = static_cast<int>(panels.Count());
    int r = columns * firstRow;
    for (int k = 0; k < rows; ++k) {
        const int b = std::clamp(count - columns * (k + firstRow), 0, columns);
        const int e = (columns - b) / 2;
        for (int j = 0; j < columns; ++j) {
            CDisplayDlg* display = displays[k * columns + j];
            if (j < e || j >= e + b || r >= count) {
                display->Clear();
                display->Refresh();
                continue;
            }
            const CPanelRecord& record = panels.Record(r);
            displayOf[record.address] = k * columns + j;
            onPage[record.address] = true;
            if (!display->IsController(record.address)) {
                display->SetLabels(Qs(record.setPointUnit), Qs(record.upperSetPointUnit),
                                   Qs(record.secondSetPointUnit), Qs(record.processValueUnit),
                                   Qs(record.outputUnit));
                display->SetController(record.address, Qs(record.name));
            }
            const PanelSnapshot s = panels.Snapshot(r);
            display->Update(s.error, s.registers.data(), s.coils.data());
            display->Refresh();
            ++r;
        }
    }
}

void COverviewDlg::NextPage() {
    const int count = static_cast<int>(panels.Count());
    if (count == 0)
        return;
    if (firstRow < rows * ((count - 1) / (columns * rows))) {
        firstRow += rows;
        ShowPage();
    }
}

void COverviewDlg::PreviousPage() {
    if (firstRow > 0) {
        firstRow = std::max(0, firstRow - rows);
        ShowPage();
    }
}

void COverviewDlg::OnPollStart(unsigned char address) {
    QueuePollEvent(address, true);
}

void COverviewDlg::OnData(unsigned char address, short* registers, unsigned char* coils) {
    panels.OnData(address, registers, coils);
}

void COverviewDlg::OnError(unsigned char address) {
    panels.OnError(address);
}

void COverviewDlg::OnPollEnd(unsigned char address) {
    QueuePollEvent(address, false);
}

void COverviewDlg::QueuePollEvent(uint8_t address, bool start) {
    // Controllers off the shown page change nothing on the screen; ShowPage reads their
    // snapshots when they come into view.
    if (!onPage[address])
        return;
    std::lock_guard<std::mutex> guard(eventsLock);
    pollEvents.emplace_back(address, start);
    if (deliveryPending)
        return;
    deliveryPending = true;
    PostToUi(this, [this] { DrainPollEvents(); });
}

void COverviewDlg::DrainPollEvents() {
    std::vector<std::pair<uint8_t, bool>> events;
    {
        std::lock_guard<std::mutex> guard(eventsLock);
        events.swap(pollEvents);
        deliveryPending = false;
    }
    for (const auto& [address, start] : events)
        OnAppMessage(start ? kMsgPollStart : kMsgPollEnd, address, 0);
}

void COverviewDlg::ShowSnapshot(uint8_t address) {
    CDisplayDlg* display = DisplayOf(address);
    const int index = panels.IndexOf(address);
    if (!display || index < 0)
        return;
    const PanelSnapshot s = panels.Snapshot(index);
    display->Update(s.error, s.registers.data(), s.coils.data());
    display->Refresh();
}

void COverviewDlg::LightLamp(uint8_t address) {
    if (CDisplayDlg* display = DisplayOf(address))
        display->SetPolling(1);
}

LRESULT COverviewDlg::OnAppMessage(unsigned message, WPARAM wParam, LPARAM lParam) {
    const auto address = static_cast<uint8_t>(wParam);
    switch (message) {
    case kMsgPollEnd:
        ShowSnapshot(address);
        break;
    case kMsgPollStart:
        LightLamp(address);
        break;
    case kMsgUpperSetpointClicked:
        EditSetPoints(address);
        break;
    case kMsgOutputClicked:
        EditOutput(address);
        break;
    case kMsgModeClicked:
        SwitchCoil(address, kCoilManual, lParam != 0);
        break;
    case kMsgAutoTuneClicked:
        // The lamp keeps its state until a poll shows the controller's.
        SwitchCoil(address, kCoilAutoTune, lParam != 0);
        break;
    default:
        break;
    }
    return 0;
}

bool COverviewDlg::AskAll() {
    return MessageBoxText(this, TextById(IDS_ASK_APPLY_ALL), MbIcon::Question, MbButtons::YesNo) ==
           IDYES;
}

void COverviewDlg::EditSetPoints(uint8_t address) {
    CDisplayDlg* display = DisplayOf(address);
    if (!display)
        return;
    const int decimals = display->GetDecimals();
    CValuePairDlg dialog(display->GetSetPointText(), display->GetSecondSetPointText(), kSetPointLow,
                         kSetPointHigh, kSetPointLow, kSetPointHigh, static_cast<int16_t>(decimals),
                         nullptr);
    if (dialog.DoModal() != IDOK)
        return;
    const bool all = AskAll();
    const int wait = baseTimeout();
    const int16_t first = dialog.firstValue;
    const int16_t second = dialog.secondValue;
    const WriteOutcome setPoint = RunWrite([&](IWriteProgress* progress) {
        return panels.WriteRegister(master, all, true, address, kRegSetPoint, first, wait,
                                    progress);
    });
    const WriteOutcome secondSetPoint = RunWrite([&](IWriteProgress* progress) {
        return panels.WriteRegister(master, all, true, address, kRegSecondSetPoint, second, wait,
                                    progress);
    });
    ShowPage();
    ReportFailures(setPoint, &secondSetPoint, all);
}

void COverviewDlg::EditOutput(uint8_t address) {
    CDisplayDlg* display = DisplayOf(address);
    if (!display)
        return;
    CValueDlg dialog(display->GetOutputText(), 0, 100, 0, nullptr);
    if (dialog.DoModal() != IDOK)
        return;
    const bool all = AskAll();
    const int wait = baseTimeout();
    const auto tenths = static_cast<int16_t>(dialog.value * 10);
    const WriteOutcome outcome = RunWrite([&](IWriteProgress* progress) {
        return panels.WriteRegister(master, all, false, address, kRegOutput, tenths, wait,
                                    progress);
    });
    ShowPage();
    ReportFailures(outcome, nullptr, all);
}

void COverviewDlg::SwitchCoil(uint8_t address, uint16_t coil, bool state) {
    if (panels.IndexOf(address) < 0)
        return;
    const bool all = AskAll();
    const int wait = baseTimeout();
    const WriteOutcome outcome = RunWrite([&](IWriteProgress* progress) {
        return panels.WriteCoil(master, all, address, coil, state, wait, progress);
    });
    ShowPage();
    ReportFailures(outcome, nullptr, all);
}

WriteOutcome COverviewDlg::RunWrite(const std::function<WriteOutcome(IWriteProgress*)>& write) {
    CPostedProgress progress(this, monitor);
    WriteOutcome outcome;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        outcome = write(&progress);
        done = true;
    });
    WaitServingEvents([&] { return done.load(); });
    worker.join();
    // Progress still queued is delivered now, in order, so the bar is hidden on return.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    return outcome;
}

void COverviewDlg::ReportFailures(const WriteOutcome& first, const WriteOutcome* second, bool all) {
    std::vector<int> failed = first.failed;
    if (second)
        failed.insert(failed.end(), second->failed.begin(), second->failed.end());
    if (failed.empty())
        return;
    // Both writes of a set-point pair are reported together, each controller once.
    std::sort(failed.begin(), failed.end());
    failed.erase(std::unique(failed.begin(), failed.end()), failed.end());
    std::vector<std::string> names;
    if (all)
        for (int index : failed)
            names.push_back(panels.Record(index).name);
    const std::string text = WriteFailureMessage(TextByIdUtf8(IDS_MSG_WRITE_FAILED), names);
    MessageBoxText(this, Qs(text), MbIcon::Exclamation);
}
