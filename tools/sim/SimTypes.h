#pragma once

#include "core/model/TQControllerModel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

enum class Parity : uint8_t { None, Even, Odd };

// 'N', 'E' or 'O'.
char ParityLetter(Parity parity);
std::optional<Parity> ParityFromLetter(char letter);

struct LineSettings {
    uint32_t baud = 19200;
    Parity parity = Parity::None;
};

// "TQ100" / "ZI102-VA402" (the user-visible names) and the short forms the command line takes.
std::optional<ModelFamily> FamilyFromName(std::string_view name);

// What a controller does wrong, at a rate, to a request it would otherwise answer.
enum class FaultKind : uint8_t {
    Silent,         // no answer at all
    ShortAnswer,    // only the first bytes of the answer
    BadCrc,         // RTU answer with a spoiled CRC (TCP has no CRC to spoil)
    Exception,      // an exception answer; param = exception code (default 4)
    Slow,           // the answer comes param ms late
    WrongMbapId,    // TCP answer with another transaction identifier
    DropConnection, // TCP connection closed instead of answering (silent on a serial line)
    WrongAddress,   // answer from another slave address
};

inline constexpr FaultKind kAllFaultKinds[] = {
    FaultKind::Silent, FaultKind::ShortAnswer, FaultKind::BadCrc,         FaultKind::Exception,
    FaultKind::Slow,   FaultKind::WrongMbapId, FaultKind::DropConnection, FaultKind::WrongAddress,
};

// Command-line names: silent, short, bad-crc, exception, slow, mbap-id, drop, wrong-address.
const char* FaultKindName(FaultKind kind);
std::optional<FaultKind> FaultKindFromName(std::string_view name);

struct Fault {
    FaultKind kind = FaultKind::Silent;
    double rate = 1.0; // 0..1, chance per request
    int param = 0;     // ms for Slow, exception code for Exception
};

enum class Link : uint8_t { Tcp, Serial };

// One request as a controller received it.
struct RequestRecord {
    Link link = Link::Tcp;
    uint8_t address = 0;
    uint8_t function = 0;
    uint16_t start = 0;    // register or coil number
    uint16_t quantity = 0; // count for reads, value for single writes
    uint8_t exception = 0; // exception code answered, 0 = none
    std::optional<FaultKind> fault;
};

} // namespace sim
