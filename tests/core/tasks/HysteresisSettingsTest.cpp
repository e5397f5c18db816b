#include "core/tasks/HysteresisSettings.h"
#include "core/platform/MemoryProfileStore.h"

#include <gtest/gtest.h>

#include <map>

namespace {} // namespace

TEST(HysteresisSettings, MissingValuesDefaultToFive) {
    CMemoryProfileStore profile;
    profile.ints["Hy1"] = 40;
    EXPECT_EQ((HysteresisValues{5, 40, 5, 5}), LoadHysteresis(profile));
}

TEST(HysteresisSettings, StoredUnderHy0ToHy3) {
    CMemoryProfileStore profile;
    StoreHysteresis(profile, {1, -2, 300, 4000});
    EXPECT_EQ(1, profile.ints["Hy0"]);
    EXPECT_EQ(-2, profile.ints["Hy1"]);
    EXPECT_EQ(300, profile.ints["Hy2"]);
    EXPECT_EQ(4000, profile.ints["Hy3"]);
    EXPECT_EQ(4u, profile.ints.size());
    EXPECT_EQ((HysteresisValues{1, -2, 300, 4000}), LoadHysteresis(profile));
}
