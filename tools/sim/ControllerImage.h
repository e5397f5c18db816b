#pragma once

#include "core/model/TQControllerModel.h"

#include <array>
#include <cstdint>

namespace sim {

// The registers and status coils one simulated controller exposes on the bus.
struct ControllerImage {
    // Registers 0..56 are held; which of them answer depends on the family.
    static constexpr uint16_t kHeldRegisters = 57;
    static constexpr uint16_t kMaxCoils = 11;

    explicit ControllerImage(ModelFamily family);

    // Parameter registers: 54 on a TQ100, 43 on a ZI102-VA402.
    uint16_t RegisterCount() const;
    // Status coils: 11 on a TQ100 (the last is the output), 10 on a ZI102-VA402.
    uint16_t CoilCount() const;
    // A parameter register or the family register.
    bool HasRegister(uint32_t index) const;
    bool HasCoil(uint32_t index) const { return index < CoilCount(); }
    // The value range a write must respect; the family register is read-only.
    bool IsWritable(uint32_t index) const;
    bool InRange(uint32_t index, int16_t value) const;
    // Coils the bus may switch: self-tuning and manual mode.
    static bool IsWritableCoil(uint32_t index);

    ModelFamily family;
    std::array<int16_t, kHeldRegisters> registers{};
    std::array<uint8_t, kMaxCoils> coils{};
};

// Status coils by meaning.
namespace coil {
inline constexpr uint16_t kOverRange = 0;
inline constexpr uint16_t kUnderRange = 1;
inline constexpr uint16_t kAlarm1 = 2;
inline constexpr uint16_t kAlarm2 = 3;
inline constexpr uint16_t kSelfTune = 4;
inline constexpr uint16_t kManual = 5;
inline constexpr uint16_t kFahrenheit = 7;
inline constexpr uint16_t kDigitalInput = 8;
inline constexpr uint16_t kRamp = 9;
inline constexpr uint16_t kOutput = 10;
} // namespace coil

// Firmware versions a simulated controller reports, in tenths.
inline constexpr int16_t kSimSoftwareVersion = 12;
inline constexpr int16_t kSimHardwareVersion = 10;

} // namespace sim
