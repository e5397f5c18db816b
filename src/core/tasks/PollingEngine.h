#pragma once

#include "core/platform/Event.h"

#include <boost/function.hpp>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CModbusMaster;
class CControllerModel;
class CControllerList;
class CDataLogger;
struct DataLoggerConfig;

// Called after a successful read of one controller. `registers` points to holding registers
// 0..42 as read; `coils` to one byte (0 or 1) per status coil, 10 or 11 of them valid, the
// rest 0. Both belong to the worker and are valid only during the call: copy what you keep.
typedef boost::function<void(unsigned char address, short* registers, unsigned char* coils)>
    DataCallback;
// Called with a controller's address: before its reads (start), after a failed read (error),
// and after the data or error callbacks of every controller (end).
typedef boost::function<void(unsigned char address)> AddressCallback;

inline constexpr int kPollRegisterCount = 43;
inline constexpr int kPollRegisterChunk = 16;
inline constexpr int kMaxStatusCoils = 11;
// Attempts of a read while the controller answers with an exception.
inline constexpr int kPollExceptionTries = 15;

// An ordered list of callbacks with its own lock. Callbacks run inside the lock, in the
// order they were added; nothing is ever removed. The lock is recursive and the list is
// walked by index, so a callback may even subscribe to its own list.
template <class Callback> class CSubscriberList {
public:
    void Add(Callback callback) {
        if (callback.empty())
            return;
        std::lock_guard<std::recursive_mutex> guard(lock);
        callbacks.push_back(std::move(callback));
    }
    template <class... Args> void Call(Args... args) {
        std::lock_guard<std::recursive_mutex> guard(lock);
        for (size_t i = 0; i < callbacks.size(); ++i)
            callbacks[i](args...);
    }
    size_t Size() const {
        std::lock_guard<std::recursive_mutex> guard(lock);
        return callbacks.size();
    }
    void Clear() {
        std::lock_guard<std::recursive_mutex> guard(lock);
        callbacks.clear();
    }

private:
    mutable std::recursive_mutex lock;
    std::vector<Callback> callbacks;
};

// What one complete cycle did.
struct PollCycleStats {
    uint64_t cycle = 0; // 1 for the first
    int read = 0;       // controllers whose data callbacks ran
    int failed = 0;     // controllers whose error callbacks ran
    std::chrono::microseconds duration{0};
};

// The polling engine of a monitoring run. Its worker thread probes every enabled controller
// of the monitoring list once (register 56: 11 status coils for a TQ100, 10 for a
// ZI102-VA402, 11 when the probe fails), then, once per sampling period, reads holding
// registers 0..42 (requests of 16, 16, 11) and the status coils (one request) of each
// enabled controller in list order and hands each result to the subscribers.
//
// Subscription API (any thread, any time; views subscribe before Start):
//   AddStartSubscriber(cb)  cb(address) before the reads of each controller
//   AddDataSubscriber(cb)   cb(address, registers, coils) after a successful read
//   AddErrorSubscriber(cb)  cb(address) after a failed read (any bus error, or 15
//                           exception answers in a row)
//   AddEndSubscriber(cb)    cb(address) after data or error, for every controller
// Bind a subscriber's member with boost::bind(&CView::OnData, this, _1, _2, _3). Every
// callback runs on the worker thread while its list's lock is held: never wait there for the
// user-interface thread (post to it instead), never let an exception escape. The data
// logger subscribes last, from the worker, so within a list it is called after the views.
//
// A cycle starts one period after the start of the previous one, or at once when polling
// took longer; missed periods are not caught up. The stop event is tested after each
// controller: a stopped cycle writes no log row.
class CPollingEngine {
public:
    // The master is borrowed and must outlive the engine; it may be used by other threads
    // meanwhile (its lock serialises the transactions). The list is copied: edits made
    // while the engine lives take effect the next time.
    CPollingEngine(CModbusMaster& master, const CControllerModel& model,
                   const CControllerList& list, const DataLoggerConfig& logger);
    // Stops the worker and waits for it.
    ~CPollingEngine();

    CPollingEngine(const CPollingEngine&) = delete;
    CPollingEngine& operator=(const CPollingEngine&) = delete;

    void AddDataSubscriber(DataCallback callback) { dataList.Add(std::move(callback)); }
    void AddStartSubscriber(AddressCallback callback) { startList.Add(std::move(callback)); }
    void AddEndSubscriber(AddressCallback callback) { endList.Add(std::move(callback)); }
    void AddErrorSubscriber(AddressCallback callback) { errorList.Add(std::move(callback)); }

    // Called on the worker after each complete cycle (after the log row). Before Start only.
    void SetCycleObserver(boost::function<void(const PollCycleStats&)> observer);

    // Called on the worker, as its last act, when it ended without a stop being asked (a
    // subscriber's exception), with WorkerError. Before Start only.
    void SetFailureObserver(boost::function<void(const std::string&)> observer);

    // Launches the worker and hands the master the stop event until the engine is destroyed;
    // false when no thread could be created.
    bool Start();
    // Sets the stop event: the read in flight is given up (no error callbacks for it, no log
    // row), or the worker ends at once when it waits for the next cycle. Safe from any
    // thread, callbacks included.
    void RequestStop() { stopEvent.Set(); }
    bool StopRequested() const { return stopEvent.IsSet(); }
    // True once the worker has ended (or when it never started).
    bool Finished() const { return !started || finished.IsSet(); }
    // Waits for the worker without limit. Not on a thread a callback waits for.
    void Join();

    // The poll table: addresses of the enabled entries in list order, and their coil
    // counts (known once the worker has probed; 11 before).
    const std::vector<uint8_t>& PolledAddresses() const { return addresses; }
    std::vector<uint16_t> CoilCounts() const;
    int Period() const { return periodSeconds; }
    // Relative due time of the cycle timer in 100 ns units (negative: from now).
    int64_t DueTime() const { return DueTimeOf(periodSeconds); }
    static int64_t DueTimeOf(int periodSeconds) {
        return static_cast<int64_t>(periodSeconds) * -10000000LL;
    }
    // Complete cycles so far.
    uint64_t Cycles() const { return cycles.load(); }
    // A subscriber's exception that ended the worker ("" if none).
    std::string WorkerError() const;
    // Inside an error callback: why that controller's read failed (a tErrorCom value, or
    // comException after the last exception answer). Worker thread only.
    int LastFailure() const { return lastFailure; }

private:
    void Run();
    void Probe();
    // Reads one controller and calls the lists; true when its data callbacks ran.
    bool PollController(size_t index);
    int BaseTimeout() const;

    CModbusMaster& master;
    const CControllerModel& model;
    std::vector<uint8_t> addresses;
    std::vector<uint16_t> coilCounts;
    int periodSeconds;
    std::unique_ptr<CControllerList> list;
    std::unique_ptr<DataLoggerConfig> loggerConfig;
    boost::function<void(const PollCycleStats&)> cycleObserver;
    boost::function<void(const std::string&)> failureObserver;

    CSubscriberList<DataCallback> dataList;
    CSubscriberList<AddressCallback> startList;
    CSubscriberList<AddressCallback> endList;
    CSubscriberList<AddressCallback> errorList;

    short registers[kPollRegisterCount] = {};
    unsigned char coils[kMaxStatusCoils] = {};

    CManualResetEvent stopEvent;
    CManualResetEvent finished;
    mutable std::mutex stateLock; // coil counts and the worker's error text
    std::string workerError;
    std::atomic<uint64_t> cycles{0};
    int lastFailure = 0;
    bool started = false;
    std::thread worker;
};
