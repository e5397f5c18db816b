#include "core/tasks/HysteresisSettings.h"

#include <string>

namespace {
std::string Key(int d) {
    return "Hy" + std::to_string(d);
}
} // namespace

HysteresisValues LoadHysteresis(IProfileStore& profile) {
    HysteresisValues values{};
    for (int d = 0; d < 4; ++d)
        values[d] = static_cast<int16_t>(profile.GetInt(Key(d), kDefaultHysteresis));
    return values;
}

void StoreHysteresis(IProfileStore& profile, const HysteresisValues& values) {
    for (int d = 0; d < 4; ++d)
        profile.WriteInt(Key(d), values[d]);
}
