#pragma once

#include "core/tasks/PollingEngine.h"
#include "ui/framework/DialogBase.h"
#include "ui/monitor/MonitorView.h"

#include <array>
#include <memory>

class CControllerList;
class CModbusMaster;
class ISession;
class QComboBox;
class QFrame;
class QProgressBar;
class QPushButton;

// Template 141 and its controls.
inline constexpr int IDD_MONITOR = 141;
inline constexpr int IDC_MONITOR_VIEW_CHOOSER = 1094;
inline constexpr int IDC_MONITOR_PREV_PAGE = 1152;
inline constexpr int IDC_MONITOR_NEXT_PAGE = 1151;
inline constexpr int IDC_MONITOR_LOGS = 1154;
inline constexpr int IDC_MONITOR_PROGRESS = 1197;
inline constexpr int IDC_MONITOR_VIEW_FRAME = 1213;

// Progress messages the controllers overview sends the window (post them with PostToUi to
// OnProgressBegin, OnProgressPosition and OnProgressEnd).
inline constexpr int kMsgMonitorProgressBegin = 0x800B;
inline constexpr int kMsgMonitorProgressEnd = 0x800C;
inline constexpr int kMsgMonitorProgressPosition = 0x800D;

// Where the views lie in the window, in pixels.
inline constexpr int kMonitorViewX = 11;
inline constexpr int kMonitorViewY = 45;

// The monitoring window: runs the polling engine over the monitoring list with a borrowed
// master and hosts the three views, one shown at a time. Views subscribe through
// AddDataSubscriber, AddStartSubscriber, AddEndSubscriber and AddErrorSubscriber (see
// CPollingEngine for when and on which thread each callback runs); the data logger
// subscribes last, from the worker. Closing stops the worker and waits for it while still
// serving posted calls.
class CMonitorDlg : public CDialogBase {
    Q_OBJECT
public:
    // The master must outlive the window. The monitoring list and the model come from the
    // session; the list is read once, here.
    CMonitorDlg(CModbusMaster& master, int logMode, ISession& session, QWidget* parent = nullptr);
    ~CMonitorDlg() override;

    void AddDataSubscriber(DataCallback callback) { engine->AddDataSubscriber(callback); }
    void AddStartSubscriber(AddressCallback callback) { engine->AddStartSubscriber(callback); }
    void AddEndSubscriber(AddressCallback callback) { engine->AddEndSubscriber(callback); }
    void AddErrorSubscriber(AddressCallback callback) { engine->AddErrorSubscriber(callback); }

    // What the views may need.
    CModbusMaster& Master() { return master; }
    ISession& Session() { return session; }
    // The monitoring list as it was when the window opened.
    const CControllerList& MonitorList() const { return *list; }
    CPollingEngine& Engine() { return *engine; }
    int LogMode() const { return logMode; }
    IMonitorView* View(MonitorViewItem item) const { return views[item]; }
    // Room for a view from (kMonitorViewX, kMonitorViewY) to the frame's inner edge.
    QSize ViewAreaSize() const;

    // Chooser item → shown view (and "<<", ">>" only with the overview).
    void SelectView(int item);
    int SelectedView() const { return selected; }

    // Messages 0x800B, 0x800D and 0x800C of the controllers overview.
    void OnProgressBegin(int total);
    void OnProgressPosition(int position);
    void OnProgressEnd();

protected:
    void OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnCommand(int id) override;

private:
    void BuildControls();
    void StopWorker();
    // The worker ended by itself (a subscriber failed): message 107, then closed as by ESC.
    void OnWorkerFailed();
    void ReportFromWorker(int stringId, const std::string& detail);

    CModbusMaster& master;
    int logMode;
    ISession& session;
    std::unique_ptr<CControllerList> list;
    std::unique_ptr<CPollingEngine> engine;
    std::array<IMonitorView*, kViewCount> views{};
    int selected = -1;

    QComboBox* chooser = nullptr;
    QPushButton* prevPage = nullptr;
    QPushButton* nextPage = nullptr;
    QPushButton* logs = nullptr;
    QPushButton* escape = nullptr;
    QProgressBar* progress = nullptr;
    QFrame* frame = nullptr;
};
