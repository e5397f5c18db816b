#include "core/tasks/OverviewPanels.h"

#include "core/model/ControllerList.h"

#include <algorithm>

namespace {
constexpr uint8_t kReadHolding = 3;
constexpr uint8_t kWriteCoil = 5;
constexpr uint8_t kWriteRegister = 6;
constexpr uint16_t kSetPointRegister = 1;
constexpr int kUpperSetPointRegister = 4;
constexpr int kDecimalsRegister = 32;
constexpr uint16_t kCoilOn = 0x00FF; // the master puts FF 00 on the wire

class CProgressScope {
public:
    CProgressScope(IWriteProgress* progress, int total) : progress(progress) {
        if (progress)
            progress->Begin(total);
    }
    ~CProgressScope() {
        if (progress)
            progress->End();
    }
    void Position(int index) {
        if (progress)
            progress->Position(index);
    }

private:
    IWriteProgress* progress;
};
} // namespace

std::vector<CPanelRecord> PanelRecordsOf(const CControllerList& list) {
    std::vector<CPanelRecord> records;
    for (size_t i = 0; i < list.GetCount(); ++i) {
        if (!list.enabled[i])
            continue;
        const std::string& unit = list.unit[i];
        records.push_back({list.name[i], list.address[i], unit, unit, unit, unit, "%"});
    }
    return records;
}

COverviewPanels::COverviewPanels(std::vector<CPanelRecord> records) : records(std::move(records)) {
    indexOf.fill(-1);
    for (size_t i = 0; i < this->records.size(); ++i)
        indexOf[this->records[i].address] = static_cast<int>(i);
    snapshots.resize(this->records.size());
}

PanelSnapshot COverviewPanels::Snapshot(size_t index) const {
    std::lock_guard<std::mutex> guard(lock);
    return snapshots.at(index);
}

void COverviewPanels::OnData(uint8_t address, const short* registers, const unsigned char* coils) {
    const int index = indexOf[address];
    if (index < 0)
        return;
    std::lock_guard<std::mutex> guard(lock);
    PanelSnapshot& s = snapshots[index];
    std::copy(registers, registers + kPanelRegisters, s.registers.begin());
    std::copy(coils, coils + kPanelCoils, s.coils.begin());
    s.error = 0;
}

void COverviewPanels::OnError(uint8_t address) {
    const int index = indexOf[address];
    if (index < 0)
        return;
    std::lock_guard<std::mutex> guard(lock);
    snapshots[index].error = 1;
}

int COverviewPanels::ClampedDecimals(size_t index) const {
    std::lock_guard<std::mutex> guard(lock);
    return PanelDecimals(snapshots[index].registers[kDecimalsRegister]);
}

COverviewPanels::Result COverviewPanels::WriteOne(CModbusMaster& master, uint8_t address,
                                                  uint16_t reg, int16_t value, int waitMs) {
    Result result;
    try {
        // An exception answer carries no echo: the write did not happen.
        if (master.Request(address, kWriteRegister, reg, static_cast<uint16_t>(value), &result.echo,
                           true, waitMs) != CModbusMaster::comOk)
            return result;
        if (reg == kSetPointRegister) {
            result.readBack =
                master.Request(address, kReadHolding, kSetPointRegister, 1, &result.setPoint, true,
                               waitMs) == CModbusMaster::comOk;
            if (!result.readBack)
                return result;
        }
        result.ok = true;
    } catch (CModbusMaster::tErrorCom) {
        result.ok = false;
    }
    return result;
}

WriteOutcome COverviewPanels::WriteRegister(CModbusMaster& master, bool all, bool rescale,
                                            uint8_t address, uint16_t reg, int16_t value,
                                            int waitMs, IWriteProgress* progress) {
    WriteOutcome outcome;
    const int clicked = IndexOf(address);
    if (clicked < 0 || reg >= kPanelRegisters)
        return outcome;
    outcome.attempted = true;
    std::lock_guard<std::recursive_mutex> bus(master.Lock());

    if (!all) {
        const Result r = WriteOne(master, address, reg, value, waitMs);
        std::lock_guard<std::mutex> guard(lock);
        if (r.readBack)
            snapshots[clicked].registers[kUpperSetPointRegister] = r.setPoint;
        if (!r.ok) {
            outcome.failed.push_back(clicked);
            return outcome;
        }
        outcome.written.push_back(clicked);
        snapshots[clicked].registers[reg] = r.echo;
        return outcome;
    }

    const int total = static_cast<int>(records.size());
    CProgressScope scope(progress, total);
    const int base = ClampedDecimals(clicked);
    for (int i = 0; i < total; ++i) {
        scope.Position(i);
        const int16_t target = rescale ? RescaleRaw(value, base, ClampedDecimals(i)) : value;
        const Result r = WriteOne(master, records[i].address, reg, target, waitMs);
        const int16_t confirmed = reg == kSetPointRegister ? r.setPoint : r.echo;
        std::lock_guard<std::mutex> guard(lock);
        if (r.readBack)
            snapshots[i].registers[kUpperSetPointRegister] = r.setPoint;
        if (r.ok && confirmed == target) {
            outcome.written.push_back(i);
            snapshots[i].registers[reg] = target;
        } else {
            outcome.failed.push_back(i);
        }
    }
    return outcome;
}

WriteOutcome COverviewPanels::WriteCoil(CModbusMaster& master, bool all, uint8_t address,
                                        uint16_t coil, bool state, int waitMs,
                                        IWriteProgress* progress) {
    WriteOutcome outcome;
    const int clicked = IndexOf(address);
    if (clicked < 0 || coil >= kPanelCoils)
        return outcome;
    outcome.attempted = true;
    std::lock_guard<std::recursive_mutex> bus(master.Lock());

    auto writeOne = [&](uint8_t to, int16_t& echo) {
        try {
            return master.Request(to, kWriteCoil, coil, state ? kCoilOn : 0, &echo, true, waitMs) ==
                   CModbusMaster::comOk;
        } catch (CModbusMaster::tErrorCom) {
            return false;
        }
    };

    if (!all) {
        int16_t echo = 0;
        const bool ok = writeOne(address, echo);
        (ok ? outcome.written : outcome.failed).push_back(clicked);
        if (ok) {
            std::lock_guard<std::mutex> guard(lock);
            snapshots[clicked].coils[coil] = echo != 0;
        }
        return outcome;
    }

    const int total = static_cast<int>(records.size());
    CProgressScope scope(progress, total);
    for (int i = 0; i < total; ++i) {
        scope.Position(i);
        int16_t echo = 0;
        const bool ok = writeOne(records[i].address, echo) && (echo != 0) == state;
        (ok ? outcome.written : outcome.failed).push_back(i);
        if (ok) {
            std::lock_guard<std::mutex> guard(lock);
            snapshots[i].coils[coil] = state ? 1 : 0;
        }
    }
    return outcome;
}

int16_t RescaleRaw(int16_t value, int from, int to) {
    int64_t x = value;
    for (int k = from; k < to; ++k)
        x *= 10;
    for (int k = to; k < from; ++k)
        x /= 10; // truncates toward zero
    return static_cast<int16_t>(std::clamp<int64_t>(x, -32768, 32767));
}

int PanelDecimals(int16_t register32) {
    return std::min(static_cast<int>(static_cast<uint16_t>(register32)), 3);
}

std::string WriteFailureMessage(const std::string& text, const std::vector<std::string>& names) {
    if (names.empty())
        return text;
    std::string message = text + ":";
    for (size_t j = 0; j < names.size(); ++j) {
        if (j > 0)
            message += ",";
        message += j % 5 == 0 ? "\n" : " ";
        message += names[j];
    }
    return message;
}
