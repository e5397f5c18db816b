#pragma once

#include "core/modbus/ModbusMaster.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// What the controllers overview knows of one monitored controller.
struct CPanelRecord {
    std::string name;
    uint8_t address = 0;
    std::string setPointUnit;
    std::string upperSetPointUnit;
    std::string secondSetPointUnit;
    std::string processValueUnit;
    std::string outputUnit;
};

inline constexpr int kPanelRegisters = 43;
inline constexpr int kPanelCoils = 11;

// The last poll of one controller as its front panel shows it, or what a write confirmed.
struct PanelSnapshot {
    uint8_t error = 1; // 1 before the first poll and after a failed one
    std::array<int16_t, kPanelRegisters> registers{};
    std::array<uint8_t, kPanelCoils> coils{};
};

class CControllerList;

// The records of the enabled entries of the list, in list order: name, address, the
// entry's unit for the four temperature fields, "%" for the output.
std::vector<CPanelRecord> PanelRecordsOf(const CControllerList& list);

// Reports the progress of a write to every controller.
class IWriteProgress {
public:
    virtual ~IWriteProgress() = default;
    virtual void Begin(int total) = 0;
    virtual void Position(int index) = 0;
    virtual void End() = 0;
};

// Which controllers (indices in list order) took a write and which refused it.
struct WriteOutcome {
    bool attempted = false; // false when the clicked address has no record
    std::vector<int> written;
    std::vector<int> failed;
};

// The records and snapshots of the controllers overview, one per enabled entry of the
// monitoring list in list order, and the writes of set points, output and modes made from
// it. Snapshots are written by the polling thread and by writes and read by the window;
// every access takes the object's lock.
class COverviewPanels {
public:
    // One panel per record, in order; every snapshot starts in error with zeros.
    explicit COverviewPanels(std::vector<CPanelRecord> records);

    size_t Count() const { return records.size(); }
    const CPanelRecord& Record(size_t index) const { return records[index]; }
    // The record an address feeds (the later one when the address is listed twice), or -1.
    int IndexOf(uint8_t address) const { return indexOf[address]; }
    PanelSnapshot Snapshot(size_t index) const;

    // Polling thread callbacks.
    void OnData(uint8_t address, const short* registers, const unsigned char* coils);
    void OnError(uint8_t address);

    // Writes `value` to holding register `reg` of the clicked controller, or of every
    // controller when `all` (then with `rescale`, rescaled from the clicked controller's
    // decimals to each one's). Holds the master's lock throughout, so polling waits. A
    // Modbus exception answer, a thrown bus error, a failed set-point read-back or, when
    // writing to all, an echo that differs from the value sent fails that controller.
    WriteOutcome WriteRegister(CModbusMaster& master, bool all, bool rescale, uint8_t address,
                               uint16_t reg, int16_t value, int waitMs, IWriteProgress* progress);
    // Switches coil `coil` on (state != 0) or off, likewise.
    WriteOutcome WriteCoil(CModbusMaster& master, bool all, uint8_t address, uint16_t coil,
                           bool state, int waitMs, IWriteProgress* progress);

private:
    struct Result {
        bool ok = false;
        int16_t echo = 0;
        bool readBack = false;
        int16_t setPoint = 0;
    };
    Result WriteOne(CModbusMaster& master, uint8_t address, uint16_t reg, int16_t value,
                    int waitMs);
    int ClampedDecimals(size_t index) const;

    std::vector<CPanelRecord> records;
    std::array<int, 256> indexOf;
    mutable std::mutex lock; // guards snapshots
    std::vector<PanelSnapshot> snapshots;
};

// value (raw with `from` decimals) in raw units of `to` decimals, truncated toward zero and
// limited to -32768..32767.
int16_t RescaleRaw(int16_t value, int from, int to);

// The decimals a front panel uses for register 32: taken unsigned, at most 3.
int PanelDecimals(int16_t register32);

// The message of a failed write: `text` alone, or with the names of the failed controllers
// after ":" (a line break before every fifth name, starting with the first).
std::string WriteFailureMessage(const std::string& text, const std::vector<std::string>& names);
