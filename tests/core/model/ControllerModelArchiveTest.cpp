#include "core/files/Archive.h"
#include "core/model/TQControllerModel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

std::vector<uint8_t> Words(const std::vector<int16_t>& words) {
    CMemoryArchiveWriter writer;
    for (int16_t w : words)
        writer.WriteInt16(w);
    return writer.GetBytes();
}

std::vector<int16_t> Image(const CTQControllerModel& model) {
    std::vector<int16_t> image;
    for (uint32_t i = 0; i < model.GetCount(); ++i)
        image.push_back(model.GetValue(i));
    return image;
}

TEST(ControllerModelArchive, StoreWritesTheActiveWordsLittleEndian) {
    CTQControllerModel model;
    ASSERT_TRUE(model.SetValue(reg::kSetpoint, -2));
    ASSERT_TRUE(model.SetValue(reg::kHardwareVersion, 0x1234));
    CMemoryArchiveWriter small;
    model.StoreValues(small);
    ASSERT_EQ(small.GetBytes().size(), 86u);
    EXPECT_EQ(small.GetBytes()[2], 0xFE);
    EXPECT_EQ(small.GetBytes()[3], 0xFF);
    EXPECT_EQ(small.GetBytes()[84], 0x34);
    EXPECT_EQ(small.GetBytes()[85], 0x12);

    model.SetFamily(nullptr, TQ100);
    CMemoryArchiveWriter large;
    model.StoreValues(large);
    ASSERT_EQ(large.GetBytes().size(), 108u);
    EXPECT_EQ(large.GetBytes()[106], 600 & 0xFF);
    EXPECT_EQ(large.GetBytes()[107], 600 >> 8);
}

TEST(ControllerModelArchive, StoredValuesLoadBackAndLeaveTheRestOfTheStream) {
    CTQControllerModel source;
    source.SetFamily(nullptr, TQ100);
    for (uint32_t i = 0; i < source.GetCount(); ++i)
        source.SetValue(i, static_cast<int16_t>(i * 3 - 50));
    CMemoryArchiveWriter writer;
    source.StoreValues(writer);
    writer.WriteInt32(0x01020304);

    CTQControllerModel target;
    target.SetFamily(nullptr, TQ100);
    CMemoryArchiveReader reader(writer.GetBytes());
    target.LoadValues(reader);
    EXPECT_EQ(Image(target), Image(source));
    EXPECT_EQ(reader.ReadInt32(), 0x01020304);
}

TEST(ControllerModelArchive, LoadSkipsWordsOutsideTheirRange) {
    CTQControllerModel model;
    std::vector<int16_t> words(43);
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<int16_t>(i + 1);
    words[reg::kSetpoint] = 10000;
    words[13] = 5;
    words[14] = 0;
    words[15] = 9999; // outside 0..0, but what the register holds: nothing to report
    CMemoryArchiveReader reader(Words(words));
    const std::vector<SkippedWord> skipped = model.LoadValues(reader);
    EXPECT_EQ(skipped, (std::vector<SkippedWord>{{reg::kSetpoint, 10000, 200}, {13, 5, 9999}}));
    EXPECT_EQ(model.GetValue(reg::kSetpoint), 200);
    EXPECT_EQ(model.GetValue(13), 9999);
    EXPECT_EQ(model.GetValue(14), 0);
    EXPECT_EQ(model.GetValue(15), 9999);
    for (uint32_t i = 0; i < 43; ++i) {
        if (i != reg::kSetpoint && (i < 13 || i > 15)) {
            EXPECT_EQ(model.GetValue(i), static_cast<int16_t>(i + 1)) << "register " << i;
        }
    }
}

TEST(ControllerModelArchive, ShortArchiveLeavesTheImageUnchanged) {
    for (uint32_t family : {0u, 1u}) {
        CTQControllerModel model;
        model.SetFamily(nullptr, static_cast<ModelFamily>(family));
        const std::vector<int16_t> before = Image(model);
        const std::vector<int16_t> words(model.GetCount() - 1, 5);
        CMemoryArchiveReader reader(Words(words));
        try {
            model.LoadValues(reader);
            FAIL() << "a short archive must throw";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.cause, CArchiveException::endOfFile);
        }
        EXPECT_EQ(Image(model), before);
    }
}

} // namespace
