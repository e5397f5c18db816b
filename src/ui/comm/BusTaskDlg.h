#pragma once

#include "core/tasks/BusTask.h"
#include "ui/framework/DialogBase.h"

#include <atomic>
#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// Template 130 and its controls.
inline constexpr int IDD_BUS_TASK = 130;
inline constexpr int IDC_BUS_TASK_PROGRESS = 1068;
inline constexpr int IDC_BUS_TASK_STATUS = 1069;

// The modal progress dialog under which a bus task runs on its worker: a title with moving
// dots, a status line, a progress bar and one button (Cancel, then Close). exec() gives
// IDOK only when the task succeeded and the user closed the dialog.
class CBusTaskDlg : public CDialogBase, private IBusTaskSink {
    Q_OBJECT
public:
    // The sheet's command handler for the family switch the read and write tasks send.
    using FamilyCommand = std::function<void(int command)>;

    // The opener hands over the settings and model the task works on, and the sheet's
    // handler for the family switch (empty: the model switches alone).
    CBusTaskDlg(int mode, QWidget* parent, CommSettings& settings, CTQControllerModel& model,
                FamilyCommand familyCommand);
    ~CBusTaskDlg() override;

    // Replaces CreateMaster for the task (tests). Before exec only.
    void SetMasterFactory(MasterFactory factory);

    int Mode() const { return mode; }
    QString StatusText() const;
    QString ButtonText() const;
    bool TaskRunning() const;

    // The button, Esc and closing the window all come here.
    void OnButton();

protected:
    void OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    // IBusTaskSink, called on the worker thread.
    void PostStatus(int stringId, uint32_t foundWord) override;
    void PostProgress(int position) override;
    void SendFamilyCommand(int command) override;
    BoxAnswer AskAbortRetryIgnore(const std::string& text) override;
    std::string LoadText(int stringId) override;
    bool TryStopTimer() override;
    void ShowEnded(int titleId) override;

    void BuildControls();
    void OnTimer();
    void SetStatus(const QString& text);
    // Status message 0x8006: the string, and the found controller's line for a non-zero word.
    void OnStatus(int stringId, uint32_t foundWord);
    // Waits for the worker while the user-interface thread keeps serving its events, since
    // the worker may be blocked on a call into it.
    void WaitForWorker();

    int mode;
    BusTaskModeInfo info;
    CommSettings& settings;
    CTQControllerModel& model;
    FamilyCommand familyCommand;
    std::unique_ptr<CBusTask> task;
    bool started = false;
    int dots = 0;
    std::atomic<bool> timerRunning{false};

    QProgressBar* progress = nullptr;
    QLabel* status = nullptr;
    QPushButton* button = nullptr;
    QTimer* timer = nullptr;
};
