#include "widgets/HysteresisSettings.h"

#include <gtest/gtest.h>

#include <map>

namespace {
class CMapProfile : public IProfileStore {
public:
    std::map<std::string, int> ints;
    std::string GetString(const std::string&, const std::string& fallback) override {
        return fallback;
    }
    int GetInt(const std::string& key, int fallback) override {
        auto it = ints.find(key);
        return it == ints.end() ? fallback : it->second;
    }
    void WriteString(const std::string&, const std::string&) override {}
    void WriteInt(const std::string& key, int value) override { ints[key] = value; }
};
} // namespace

TEST(HysteresisSettings, MissingValuesDefaultToFive) {
    CMapProfile profile;
    profile.ints["Hy1"] = 40;
    EXPECT_EQ((HysteresisValues{5, 40, 5, 5}), LoadHysteresis(profile));
}

TEST(HysteresisSettings, StoredUnderHy0ToHy3) {
    CMapProfile profile;
    StoreHysteresis(profile, {1, -2, 300, 4000});
    EXPECT_EQ(1, profile.ints["Hy0"]);
    EXPECT_EQ(-2, profile.ints["Hy1"]);
    EXPECT_EQ(300, profile.ints["Hy2"]);
    EXPECT_EQ(4000, profile.ints["Hy3"]);
    EXPECT_EQ(4u, profile.ints.size());
    EXPECT_EQ((HysteresisValues{1, -2, 300, 4000}), LoadHysteresis(profile));
}
