#pragma once

#include <cstdint>

class QObject;
class QWidget;

// Application messages: windows notify their owners with numbers from WM_APP upward, each
// with two parameters and a result, as the workers and displays expect.
inline constexpr unsigned WM_APP = 0x8000;

inline constexpr unsigned kMsgLamp = 0x8000;            // wParam lamp id, lParam new state
inline constexpr unsigned kMsgPollEnd = 0x8001;         // wParam address
inline constexpr unsigned kMsgSetpointClicked = 0x8002; // display clicks ...
inline constexpr unsigned kMsgAutoTuneClicked = 0x8003; // lParam requested lamp state
inline constexpr unsigned kMsgModeClicked = 0x8004;     // lParam 1 if it reads "AUTO"
inline constexpr unsigned kMsgOutputClicked = 0x8005;   //
// 0x8006, the bus-task status, is kMsgBusTaskStatus of core/tasks/BusTask.h.
inline constexpr unsigned kMsgPollStart = 0x8008; // wParam address
inline constexpr unsigned kMsgSecondSetpointClicked = 0x8009;
inline constexpr unsigned kMsgUpperSetpointClicked = 0x800A;
inline constexpr unsigned kMsgProgressBegin = 0x800B;    // wParam total
inline constexpr unsigned kMsgProgressEnd = 0x800C;      //
inline constexpr unsigned kMsgProgressPosition = 0x800D; // wParam position

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// A window that handles application messages implements this beside its Qt base.
class IAppMessageTarget {
public:
    virtual ~IAppMessageTarget() = default;
    virtual LRESULT OnAppMessage(unsigned message, WPARAM wParam, LPARAM lParam) = 0;
};

// Delivers at once on the calling (user-interface) thread; 0 when target handles nothing.
LRESULT SendAppMessage(QObject* target, unsigned message, WPARAM wParam, LPARAM lParam);

// Delivers to the nearest ancestor of `from` (not `from` itself) that handles messages.
LRESULT SendToOwner(QWidget* from, unsigned message, WPARAM wParam, LPARAM lParam);

// Queued delivery on the target's thread; safe from any thread. Dropped when the target is
// destroyed before the message is served.
void PostAppMessage(QObject* target, unsigned message, WPARAM wParam, LPARAM lParam);
