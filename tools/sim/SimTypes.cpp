#include "SimTypes.h"

#include <algorithm>
#include <cctype>

namespace sim {

namespace {
std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}
} // namespace

char ParityLetter(Parity parity) {
    switch (parity) {
    case Parity::Even:
        return 'E';
    case Parity::Odd:
        return 'O';
    default:
        return 'N';
    }
}

std::optional<Parity> ParityFromLetter(char letter) {
    switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'N':
        return Parity::None;
    case 'E':
        return Parity::Even;
    case 'O':
        return Parity::Odd;
    default:
        return std::nullopt;
    }
}

std::optional<ModelFamily> FamilyFromName(std::string_view name) {
    const std::string n = Lower(name);
    if (n == "tq100" || n == "tq")
        return TQ100;
    if (n == "zi102-va402" || n == "zi102" || n == "va402" || n == "zi" || n == "tq102" ||
        n == "tq402")
        return TQ102_TQ402;
    return std::nullopt;
}

const char* FaultKindName(FaultKind kind) {
    switch (kind) {
    case FaultKind::Silent:
        return "silent";
    case FaultKind::ShortAnswer:
        return "short";
    case FaultKind::BadCrc:
        return "bad-crc";
    case FaultKind::Exception:
        return "exception";
    case FaultKind::Slow:
        return "slow";
    case FaultKind::WrongMbapId:
        return "mbap-id";
    case FaultKind::DropConnection:
        return "drop";
    case FaultKind::WrongAddress:
        return "wrong-address";
    }
    return "?";
}

std::optional<FaultKind> FaultKindFromName(std::string_view name) {
    const std::string n = Lower(name);
    for (FaultKind kind : kAllFaultKinds) {
        if (n == FaultKindName(kind))
            return kind;
    }
    return std::nullopt;
}

} // namespace sim
