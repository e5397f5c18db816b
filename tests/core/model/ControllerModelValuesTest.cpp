#include "core/model/TQControllerModel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

namespace {

TEST(ControllerModelValues, FreshModelHasTheDefaultsOfTheSmallFamily) {
    CTQControllerModel model;
    EXPECT_EQ(model.GetCount(), 43u);
    EXPECT_EQ(model.GetFamily(), TQ102_TQ402);
    EXPECT_EQ(model.GetValue(reg::kSetpoint), 200);
    EXPECT_EQ(model.GetValue(reg::kSetpointUpperLimit), 600);
    EXPECT_EQ(model.GetValue(reg::kOutputLimit), 1000);
    EXPECT_EQ(model.GetValue(reg::kSoftwareVersion), 0);
    EXPECT_EQ(model.GetBaseTimeout(), 200);
    for (uint32_t i = 0; i < model.GetCount(); ++i)
        EXPECT_EQ(model.GetValue(i), CTQControllerModel::kDefaultValues[i]) << "register " << i;
}

TEST(ControllerModelValues, RampRegistersNeedSoftwareVersion12) {
    CTQControllerModel model;
    EXPECT_FALSE(model.IsAvailable(reg::kRampConfig));
    EXPECT_FALSE(model.IsAvailable(reg::kRampTime));
    EXPECT_FALSE(model.IsSupported(reg::kRampConfig));
    EXPECT_TRUE(model.IsAvailable(reg::kSetpoint));

    ASSERT_TRUE(model.SetValue(reg::kSoftwareVersion, 11));
    EXPECT_FALSE(model.IsAvailable(reg::kRampConfig));
    ASSERT_TRUE(model.SetValue(reg::kSoftwareVersion, 12));
    EXPECT_TRUE(model.IsAvailable(reg::kRampConfig));
    EXPECT_TRUE(model.IsAvailable(reg::kRampTime));
    EXPECT_TRUE(model.IsSupported(reg::kRampTime));
}

TEST(ControllerModelValues, VersionIsComparedSigned) {
    CTQControllerModel model;
    ASSERT_TRUE(model.SetValue(reg::kSoftwareVersion, -1));
    EXPECT_FALSE(model.IsSupported(reg::kSetpoint));
    EXPECT_FALSE(model.IsAvailable(reg::kSetpoint));
}

TEST(ControllerModelValues, ReservedRegisterAcceptsOnlyZeroAndIsNeverAvailable) {
    CTQControllerModel model;
    EXPECT_EQ(model.GetValue(13), 9999);
    EXPECT_TRUE(model.SetValue(13, 0));
    EXPECT_EQ(model.GetValue(13), 0);
    EXPECT_FALSE(model.SetValue(13, 1));
    EXPECT_FALSE(model.SetValue(13, -1));
    EXPECT_EQ(model.GetValue(13), 0);
    EXPECT_FALSE(model.IsAvailable(13));

    // Even a firmware that claims the highest version does not make it a parameter.
    std::vector<int16_t> words(CTQControllerModel::kDefaultValues.begin(),
                               CTQControllerModel::kDefaultValues.end());
    words[reg::kSoftwareVersion] = 32767;
    ASSERT_TRUE(model.SetAllValues(words));
    EXPECT_TRUE(model.IsSupported(13));
    EXPECT_FALSE(model.IsAvailable(13));
}

TEST(ControllerModelValues, SetpointRangeIsEnforced) {
    CTQControllerModel model;
    EXPECT_FALSE(model.SetValue(reg::kSetpoint, 10000));
    EXPECT_EQ(model.GetValue(reg::kSetpoint), 200);
    EXPECT_FALSE(model.SetValue(reg::kSetpoint, -10000));
    EXPECT_EQ(model.GetValue(reg::kSetpoint), 200);
    EXPECT_TRUE(model.SetValue(reg::kSetpoint, -9999));
    EXPECT_EQ(model.GetValue(reg::kSetpoint), -9999);
    EXPECT_TRUE(model.SetValue(reg::kSetpoint, 9999));
    EXPECT_EQ(model.GetValue(reg::kSetpoint), 9999);
}

TEST(ControllerModelValues, IndicesPastTheCountAreInert) {
    CTQControllerModel model;
    for (uint32_t i : {43u, 46u, 53u, 54u, 56u, 1000u, UINT32_MAX}) {
        EXPECT_FALSE(model.SetValue(i, 0)) << i;
        EXPECT_EQ(model.GetValue(i), 0) << i;
        EXPECT_FALSE(model.IsAvailable(i)) << i;
    }
    EXPECT_FALSE(model.IsSupported(54));
    EXPECT_FALSE(model.IsSupported(UINT32_MAX));
    EXPECT_EQ(model.GetNameId(UINT32_MAX), -1);
    EXPECT_EQ(model.GetMaximum(54), 0);
}

TEST(ControllerModelValues, OnlyNamedRegistersAreParameters) {
    CTQControllerModel model;
    ASSERT_TRUE(model.SetValue(reg::kSoftwareVersion, 12));
    model.SetFamily(nullptr, TQ100);
    const std::set<uint32_t> notParameters = {0,  3,  4,  13, 14, 15, 17, 18,
                                              21, 27, 41, 42, 43, 44, 45};
    for (uint32_t i = 0; i < model.GetCount(); ++i)
        EXPECT_EQ(model.IsAvailable(i), notParameters.count(i) == 0) << "register " << i;
}

TEST(ControllerModelValues, TablesCarryTheNameIdsAndLimits) {
    CTQControllerModel model;
    EXPECT_EQ(model.GetNameId(reg::kSetpoint), 14);
    EXPECT_EQ(model.GetNameId(7), 114);
    EXPECT_EQ(model.GetNameId(reg::kAlarmContacts), 115);
    EXPECT_EQ(model.GetNameId(reg::kRampTime), 136);
    EXPECT_EQ(model.GetNameId(reg::kRetransAddress), 154);
    EXPECT_EQ(model.GetNameId(reg::kRetransUpperLimit), 159);
    EXPECT_EQ(model.GetMinimum(reg::kSetpoint), -9999);
    EXPECT_EQ(model.GetMaximum(reg::kSetpoint), 9999);
    EXPECT_EQ(model.GetMaximum(44), 0);
    EXPECT_EQ(CTQControllerModel::kDefaultValues[reg::kRetransUpperLimit], 600);
    EXPECT_EQ(CTQControllerModel::kDefaultValues[27], 9999);
    EXPECT_EQ(CTQControllerModel::kRequiredVersions[45], 32767);
}

TEST(ControllerModelValues, SetAllValuesCopiesTheActiveCountWithoutChecks) {
    CTQControllerModel model;
    std::vector<int16_t> words(54);
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<int16_t>(20000 + i); // all outside the ranges
    ASSERT_TRUE(model.SetAllValues(words));
    for (uint32_t i = 0; i < 43; ++i)
        EXPECT_EQ(model.GetValue(i), 20000 + static_cast<int>(i));

    // Words past the count were not taken: the large family still sees its defaults.
    model.SetFamily(nullptr, TQ100);
    EXPECT_EQ(model.GetValue(reg::kRetransUpperLimit), 600);
}

TEST(ControllerModelValues, SetAllValuesRefusesTooFewWords) {
    CTQControllerModel model;
    const std::vector<int16_t> words(42, 7);
    EXPECT_FALSE(model.SetAllValues(words));
    EXPECT_EQ(model.GetValue(reg::kSetpoint), 200);
}

TEST(ControllerModelValues, FamilyNames) {
    EXPECT_STREQ(FamilyName(TQ100), "TQ100");
    EXPECT_STREQ(FamilyName(TQ102_TQ402), "ZI102-VA402");
    EXPECT_STREQ(FamilyName(static_cast<ModelFamily>(7)), "");
}

} // namespace
