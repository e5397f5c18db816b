#pragma once

#include "core/platform/Event.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct CommSettings;
class CModbusMaster;
class CTQControllerModel;

// Posted by a bus task to its dialog: first parameter a status string id, second the
// found-controller word (0 = no controller line).
inline constexpr int kMsgBusTaskStatus = 0x8006;

// Main-sheet commands a transfer sends to switch the controller family.
inline constexpr int kCmdFamilyTQ100 = 32779;
inline constexpr int kCmdFamilyTQ102_TQ402 = 32780;

// Bus task modes: 1 and 2 scan the bus, 3 reads all, 4 writes all, 5 to 11 write one group.
enum BusTaskMode : int {
    kModeScanLine = 1,
    kModeScanAddress = 2,
    kModeReadAll = 3,
    kModeWriteAll = 4,
    kModeFirstGroup = 5,
    kModeLastGroup = 11,
};

// String ids of a mode's dialog and the top of its progress range (the bottom is 0).
struct BusTaskModeInfo {
    int titleId;
    int cancelledId;
    int progressMax;
};
// Mode outside 1..11: title 55, cancelled 56, range 0..100.
BusTaskModeInfo GetBusTaskModeInfo(int mode);

// Found-controller word: bits 0-15 address, 16-19 baud index, 20-23 parity index; the last
// two nibbles (bits 24-27, 28-31) are always passed as 0.
uint32_t PackBusWord(uint16_t address, uint16_t baudIndex, uint16_t parityIndex, uint8_t spare1,
                     uint8_t spare2);
uint16_t BusWordAddress(uint32_t word);
uint16_t BusWordBaudIndex(uint32_t word);
uint16_t BusWordParityIndex(uint32_t word);

// The line a status message appends for a found controller: "\r\nModbus%d %s" with the
// serial line in "Serie" mode, otherwise "\r\nModbus%d %s:%d" with the IP address and port.
// Empty for word 0.
std::string DescribeFoundController(const CommSettings& settings, uint32_t word);

// Answer of the Abort / Retry / Ignore question a write asks after a refused register.
enum class BoxAnswer { Abort, Retry, Ignore };

// What a bus task worker tells its dialog. The dialog implements it by posting to the UI
// thread; tests record the calls; the command line prints them. Called on the worker thread.
class IBusTaskSink {
public:
    virtual ~IBusTaskSink() = default;

    // Status message 0x8006: status text = string stringId, plus DescribeFoundController(word)
    // when word is not 0. Posted, never blocks.
    virtual void PostStatus(int stringId, uint32_t foundWord) = 0;
    // Progress bar position. Posted, never blocks.
    virtual void PostProgress(int position) = 0;
    // Main-sheet command kCmdFamilyTQ100 or kCmdFamilyTQ102_TQ402; returns once the sheet
    // has switched the model's family (so the model's count is the new family's).
    virtual void SendFamilyCommand(int command) = 0;
    // Blocking message box with Abort, Retry and Ignore and the exclamation icon.
    virtual BoxAnswer AskAbortRetryIgnore(const std::string& text) = 0;
    // Text of a language-library string ("Text Error" when the library lacks it).
    virtual std::string LoadText(int stringId) = 0;
    // Called once when the worker ends. Stops the dialog's animation timer if it is still
    // running and returns true; false when the user has stopped it already (cancel).
    virtual bool TryStopTimer() = 0;
    // Only after TryStopTimer returned true: title = string titleId (no dots), button text =
    // string 48. Posted, never blocks.
    virtual void ShowEnded(int titleId) = 0;
};

using MasterFactory = std::function<std::unique_ptr<CModbusMaster>(const CommSettings&)>;

// One bus task: the worker of a mode, its stop event and outcome. The dialog (or a test, or
// the command line) owns it for the time the task runs.
class CBusTask {
public:
    // The settings are read by the worker and, after a successful scan, written by it
    // (address, and in mode 1 baud and parity index); nothing else may use them meanwhile.
    CBusTask(int mode, CommSettings& settings, CTQControllerModel& model, IBusTaskSink& sink);
    // Sets the stop event and waits for the worker.
    ~CBusTask();

    CBusTask(const CBusTask&) = delete;
    CBusTask& operator=(const CBusTask&) = delete;

    // Replaces CreateMaster (a scripted transport in tests). Before Start only.
    void SetMasterFactory(MasterFactory factory);
    // Registers a write of all parameters does not send, such as words a configuration file
    // could not give. Before Start only.
    void LeaveOut(std::vector<uint32_t> registers) { leftOut = std::move(registers); }

    // Launches the worker for the mode. False when no worker could be started (unknown mode or
    // no thread): the stop event is then set and the caller shows status 47.
    bool Start();
    // Sets the stop event; the worker ends before its next step.
    void Cancel() { stopEvent.Set(); }
    // Whether the worker has been started and not yet finished.
    bool IsRunning() const { return started && !finished.IsSet(); }
    // Waits up to timeout for the worker to finish; true when it has (or never started). The
    // UI waits in slices while serving its events, since the worker may be blocked on it.
    bool WaitFinished(std::chrono::milliseconds timeout);
    // Waits for the worker without limit and joins it.
    void Join();

    bool Succeeded() const { return succeeded.load(); }
    // Registers a write (modes 4 to 11) got confirmed by the controller's echo, in the order
    // written. Read once the worker has finished.
    const std::vector<uint32_t>& Confirmed() const { return confirmed; }
    int Mode() const { return mode; }
    const BusTaskModeInfo& ModeInfo() const { return info; }

    // For the workers.
    CManualResetEvent& StopEvent() { return stopEvent; }
    bool StopRequested() const { return stopEvent.IsSet(); }
    void SetSucceeded() { succeeded = true; }
    void NoteConfirmed(uint32_t index) { confirmed.push_back(index); }
    bool IsLeftOut(uint32_t index) const;
    CommSettings& Settings() { return settings; }
    CTQControllerModel& Model() { return model; }
    IBusTaskSink& Sink() { return sink; }
    std::unique_ptr<CModbusMaster> CreateTaskMaster();
    // The worker's last act: TryStopTimer and, if it stopped the timer, ShowEnded.
    void EndOfWorker();

private:
    void Run();
    void RunMode();

    int mode;
    BusTaskModeInfo info;
    CommSettings& settings;
    CTQControllerModel& model;
    IBusTaskSink& sink;
    MasterFactory masterFactory;
    CManualResetEvent stopEvent;
    CManualResetEvent finished;
    std::atomic<bool> succeeded{false};
    std::vector<uint32_t> leftOut;
    std::vector<uint32_t> confirmed;
    bool started = false;
    std::thread worker;
};
