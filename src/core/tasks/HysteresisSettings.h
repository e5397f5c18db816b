#pragma once

#include "core/platform/ProfileStore.h"

#include <array>
#include <cstdint>

// The bar graph's band half-widths, one per decimal-point setting 0..3, each a raw register
// value in that setting's scale. Kept in the profile as "Hy0".."Hy3", default 5.
using HysteresisValues = std::array<int16_t, 4>;

inline constexpr int16_t kDefaultHysteresis = 5;

HysteresisValues LoadHysteresis(IProfileStore& profile);
void StoreHysteresis(IProfileStore& profile, const HysteresisValues& values);
