#include "core/files/Archive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

template <typename Write> Bytes Written(Write write) {
    CMemoryArchiveWriter writer;
    write(writer);
    return writer.GetBytes();
}

TEST(ArchiveNumbers, IntegersAreLittleEndian) {
    EXPECT_EQ(Written([](auto& w) { w.WriteInt8(-2); }), (Bytes{0xFE}));
    EXPECT_EQ(Written([](auto& w) { w.WriteUInt8(0xA5); }), (Bytes{0xA5}));
    EXPECT_EQ(Written([](auto& w) { w.WriteInt16(-2); }), (Bytes{0xFE, 0xFF}));
    EXPECT_EQ(Written([](auto& w) { w.WriteUInt16(0x1234); }), (Bytes{0x34, 0x12}));
    EXPECT_EQ(Written([](auto& w) { w.WriteInt32(-2); }), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Written([](auto& w) { w.WriteUInt32(0x01020304); }), (Bytes{0x04, 0x03, 0x02, 0x01}));
}

TEST(ArchiveNumbers, FloatsAreLittleEndianIeee) {
    EXPECT_EQ(Written([](auto& w) { w.WriteFloat(1.0f); }), (Bytes{0x00, 0x00, 0x80, 0x3F}));
    EXPECT_EQ(Written([](auto& w) { w.WriteDouble(-2.0); }), (Bytes{0, 0, 0, 0, 0, 0, 0x00, 0xC0}));
}

TEST(ArchiveNumbers, ExtremesRoundTrip) {
    CMemoryArchiveWriter w;
    w.WriteInt8(INT8_MIN);
    w.WriteUInt8(UINT8_MAX);
    w.WriteInt16(INT16_MIN);
    w.WriteInt16(INT16_MAX);
    w.WriteUInt16(UINT16_MAX);
    w.WriteInt32(INT32_MIN);
    w.WriteUInt32(UINT32_MAX);
    w.WriteFloat(-123.456f);
    w.WriteFloat(std::numeric_limits<float>::infinity());
    w.WriteDouble(6.02214076e23);
    w.WriteDouble(std::numeric_limits<double>::denorm_min());

    CMemoryArchiveReader r(w.GetBytes());
    EXPECT_EQ(r.ReadInt8(), INT8_MIN);
    EXPECT_EQ(r.ReadUInt8(), UINT8_MAX);
    EXPECT_EQ(r.ReadInt16(), INT16_MIN);
    EXPECT_EQ(r.ReadInt16(), INT16_MAX);
    EXPECT_EQ(r.ReadUInt16(), UINT16_MAX);
    EXPECT_EQ(r.ReadInt32(), INT32_MIN);
    EXPECT_EQ(r.ReadUInt32(), UINT32_MAX);
    EXPECT_EQ(r.ReadFloat(), -123.456f);
    EXPECT_TRUE(std::isinf(r.ReadFloat()));
    EXPECT_EQ(r.ReadDouble(), 6.02214076e23);
    EXPECT_EQ(r.ReadDouble(), std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(r.GetRemaining(), 0u);
}

TEST(ArchiveNumbers, SignedReadsExtendTheSign) {
    const Bytes bytes{0xFF, 0xFF, 0xFF, 0x00, 0x80};
    CMemoryArchiveReader r(bytes);
    EXPECT_EQ(r.ReadInt8(), -1);
    EXPECT_EQ(r.ReadInt16(), -1);
    EXPECT_EQ(r.ReadInt16(), INT16_MIN);
}

TEST(ArchiveNumbers, ShortDataIsEndOfFile) {
    const std::vector<std::pair<size_t, std::function<void(CArchiveReader&)>>> reads = {
        {1, [](CArchiveReader& r) { r.ReadInt8(); }},
        {2, [](CArchiveReader& r) { r.ReadInt16(); }},
        {2, [](CArchiveReader& r) { r.ReadUInt16(); }},
        {4, [](CArchiveReader& r) { r.ReadInt32(); }},
        {4, [](CArchiveReader& r) { r.ReadFloat(); }},
        {8, [](CArchiveReader& r) { r.ReadDouble(); }},
    };
    for (const auto& [size, read] : reads) {
        for (size_t have = 0; have < size; ++have) {
            CMemoryArchiveReader r(Bytes(have, 0x11));
            try {
                read(r);
                ADD_FAILURE() << "read of " << size << " bytes from " << have << " succeeded";
            } catch (const CArchiveException& e) {
                EXPECT_EQ(e.cause, CArchiveException::endOfFile);
            }
        }
        CMemoryArchiveReader exact(Bytes(size, 0x11));
        EXPECT_NO_THROW(read(exact));
    }
}

TEST(ArchiveNumbers, ExceptionNamesItsCause) {
    EXPECT_EQ(CArchiveException(CArchiveException::endOfFile).cause, 3);
    EXPECT_EQ(CArchiveException(CArchiveException::badIndex).cause, 5);
    EXPECT_EQ(CArchiveException(CArchiveException::badSchema).cause, 7);
    EXPECT_STRNE(CArchiveException(CArchiveException::endOfFile).what(),
                 CArchiveException(CArchiveException::badIndex).what());
}

} // namespace
