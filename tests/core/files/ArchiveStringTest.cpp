#include "core/files/Archive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes WrittenString(const std::string& text) {
    CMemoryArchiveWriter w;
    w.WriteStringBytes(text);
    return w.GetBytes();
}

int CauseOfReadingString(const Bytes& bytes) {
    CMemoryArchiveReader r(bytes);
    try {
        r.ReadStringBytes();
    } catch (const CArchiveException& e) {
        return e.cause;
    }
    return CArchiveException::none;
}

TEST(ArchiveString, ConfigurationTags) {
    CMemoryArchiveWriter w;
    w.WriteString("TQ.100");
    w.WriteString("TQ");
    w.WriteString("");
    EXPECT_EQ(w.GetBytes(), (Bytes{0x06, 'T', 'Q', '.', '1', '0', '0', 0x02, 'T', 'Q', 0x00}));
}

struct LengthForm {
    size_t length;
    Bytes prefix;
};

// 65533 = 0xFFFD is the last 16-bit length ("below 65534" in the graph files says the same).
const std::vector<LengthForm> kForms = {
    {0, {0x00}},
    {1, {0x01}},
    {254, {0xFE}},
    {255, {0xFF, 0xFF, 0x00}},
    {256, {0xFF, 0x00, 0x01}},
    {65533, {0xFF, 0xFD, 0xFF}},
    {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
    {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
    {65536, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}},
    {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
};

TEST(ArchiveString, EveryLengthFormBothWays) {
    for (const LengthForm& form : kForms) {
        std::string text(form.length, 'x');
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<char>('a' + i % 26);
        const Bytes bytes = WrittenString(text);
        ASSERT_EQ(bytes.size(), form.prefix.size() + form.length) << form.length;
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + form.prefix.size()), form.prefix)
            << form.length;

        CMemoryArchiveReader r(bytes);
        EXPECT_EQ(r.ReadStringBytes(), text) << form.length;
        EXPECT_EQ(r.GetRemaining(), 0u);
    }
}

TEST(ArchiveString, LongerPrefixesThanNeededAreRead) {
    const Bytes in16{0xFF, 0x03, 0x00, 'a', 'b', 'c'};
    EXPECT_EQ(CMemoryArchiveReader(in16).ReadStringBytes(), "abc");
    const Bytes in32{0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 'h', 'i'};
    EXPECT_EQ(CMemoryArchiveReader(in32).ReadStringBytes(), "hi");
}

TEST(ArchiveString, WideCharacterMarkerIsAFormatError) {
    EXPECT_EQ(CauseOfReadingString({0xFF, 0xFE, 0xFF, 0x01, 'a', 0}), CArchiveException::badIndex);
}

TEST(ArchiveString, DeclaredLengthBeyondTheDataIsEndOfFile) {
    EXPECT_EQ(CauseOfReadingString({0x05, 'a', 'b'}), CArchiveException::endOfFile);
    EXPECT_EQ(CauseOfReadingString({0xFF, 0xFD, 0xFF, 'a'}), CArchiveException::endOfFile);
    // A forged 4 GB length must not be allocated up front.
    EXPECT_EQ(CauseOfReadingString({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}),
              CArchiveException::endOfFile);
    EXPECT_EQ(CauseOfReadingString({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}),
              CArchiveException::endOfFile);
    EXPECT_EQ(CauseOfReadingString({0xFF, 0xFF}), CArchiveException::endOfFile);
    EXPECT_EQ(CauseOfReadingString({}), CArchiveException::endOfFile);
}

// A record with every kind of field and all three length forms.
Bytes MixedRecord() {
    CMemoryArchiveWriter w;
    w.WriteString("TQ.100");
    w.WriteInt16(-300);
    w.WriteInt32(127);
    w.WriteString(std::string(254, 'a'));
    w.WriteString(std::string(300, 'b'));
    w.WriteUInt8(7);
    w.WriteString("ºC");
    w.WriteFloat(2.5f);
    w.WriteDouble(-0.125);
    const Bytes long32{0xFF, 0xFF, 0xFF, 0x04, 0x00, 0x00, 0x00, 'l', 'o', 'n', 'g'};
    w.WriteBytes(long32.data(), long32.size());
    w.WriteString("");
    return w.GetBytes();
}

void ReadMixedRecord(CArchiveReader& r) {
    EXPECT_EQ(r.ReadString(), "TQ.100");
    EXPECT_EQ(r.ReadInt16(), -300);
    EXPECT_EQ(r.ReadInt32(), 127);
    EXPECT_EQ(r.ReadString(), std::string(254, 'a'));
    EXPECT_EQ(r.ReadString(), std::string(300, 'b'));
    EXPECT_EQ(r.ReadUInt8(), 7);
    EXPECT_EQ(r.ReadString(), "ºC");
    EXPECT_EQ(r.ReadFloat(), 2.5f);
    EXPECT_EQ(r.ReadDouble(), -0.125);
    EXPECT_EQ(r.ReadString(), "long");
    EXPECT_EQ(r.ReadString(), "");
}

TEST(ArchiveString, TruncationAtEveryPositionIsEndOfFile) {
    const Bytes full = MixedRecord();
    {
        CMemoryArchiveReader r(full);
        ReadMixedRecord(r);
        EXPECT_EQ(r.GetRemaining(), 0u);
    }
    for (size_t cut = 0; cut < full.size(); ++cut) {
        CMemoryArchiveReader r(full.data(), cut);
        try {
            ReadMixedRecord(r);
            ADD_FAILURE() << "no error when cut at " << cut;
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.cause, CArchiveException::endOfFile) << "cut at " << cut;
        }
    }
}

TEST(ArchiveString, RandomBytesOnlyEverGiveArchiveErrors) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> size(0, 48);
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes(static_cast<size_t>(size(random)));
        for (uint8_t& b : bytes)
            b = static_cast<uint8_t>(byte(random));
        // Bias towards the long forms, which the uniform bytes rarely reach.
        if (!bytes.empty() && round % 2 == 0)
            bytes[0] = 0xFF;
        if (bytes.size() > 2 && round % 4 == 0)
            bytes[1] = bytes[2] = 0xFF;
        CMemoryArchiveReader r(bytes);
        try {
            for (int field = 0;; ++field) {
                if (field % 3 == 0)
                    r.ReadString();
                else if (field % 3 == 1)
                    r.ReadInt16();
                else
                    r.ReadDouble();
            }
        } catch (const CArchiveException& e) {
            EXPECT_TRUE(e.cause == CArchiveException::endOfFile ||
                        e.cause == CArchiveException::badIndex)
                << e.cause;
        }
    }
}

} // namespace
