#pragma once

#include "core/tasks/OverviewPanels.h"
#include "ui/framework/AppMessages.h"
#include "ui/framework/DialogBase.h"
#include "ui/monitor/MonitorView.h"

#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

class CControllerList;
class CDisplayDlg;

inline constexpr int IDD_OVERVIEW = 212;

// The controllers overview view of the monitoring window: a grid of compact front panels,
// one per enabled controller of the list, page by page. Clicks on a panel write set points,
// output and modes to that controller or to all of them.
class COverviewDlg : public CDialogBase, public IAppMessageTarget, public IMonitorView {
    Q_OBJECT
public:
    // `master` (shared with polling) writes; `baseTimeout` gives the wait of each request.
    COverviewDlg(const CControllerList& list, CModbusMaster& master,
                 std::function<int()> baseTimeout, QWidget* parent = nullptr);
    ~COverviewDlg() override;

    // Subscribes to the window's start, data, error and end lists and reports the progress
    // of writes to all controllers in its progress bar.
    void Subscribe(CMonitorDlg& window) override;
    QWidget* ViewWidget() override { return this; }
    void OnPageButton(bool next) override { next ? NextPage() : PreviousPage(); }

    // Polling thread callbacks.
    void OnPollStart(unsigned char address);
    void OnData(unsigned char address, short* registers, unsigned char* coils);
    void OnError(unsigned char address);
    void OnPollEnd(unsigned char address);

    // The monitoring window's "<<" and ">>".
    void NextPage();
    void PreviousPage();
    void ShowPage();

    LRESULT OnAppMessage(unsigned message, WPARAM wParam, LPARAM lParam) override;

    int Columns() const { return columns; }
    int Rows() const { return rows; }
    int FirstRow() const { return firstRow; }
    CDisplayDlg* Display(int index) const;
    const COverviewPanels& Panels() const { return panels; }

protected:
    void OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void LayoutPanels();
    CDisplayDlg* DisplayOf(uint8_t address) const;
    void QueuePollEvent(uint8_t address, bool start);
    void DrainPollEvents();
    void ShowSnapshot(uint8_t address);
    void LightLamp(uint8_t address);

    void EditSetPoints(uint8_t address);
    void EditOutput(uint8_t address);
    void SwitchCoil(uint8_t address, uint16_t coil, bool state);
    bool AskAll();
    // Runs a write off the user-interface thread, which keeps painting the progress.
    WriteOutcome RunWrite(const std::function<WriteOutcome(IWriteProgress*)>& write);
    void ReportFailures(const WriteOutcome& first, const WriteOutcome* second, bool all);

    COverviewPanels panels;
    CModbusMaster& master;
    CMonitorDlg* monitor = nullptr;
    std::function<int()> baseTimeout;

    std::vector<CDisplayDlg*> displays;
    int columns = 1;
    int rows = 1;
    int firstRow = 0;
    std::array<int, 256> displayOf;

    // Poll starts and ends on the shown page, handed to the user-interface thread in
    // batches: at most one delivery is pending at any time.
    std::array<std::atomic<bool>, 256> onPage{};
    std::mutex eventsLock;
    std::vector<std::pair<uint8_t, bool>> pollEvents;
    bool deliveryPending = false;
};
