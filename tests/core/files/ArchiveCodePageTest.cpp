#include "core/files/ArchiveCodePage.h"
#include "core/files/Archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ArchiveCodePage, DegreeSignAndEuro) {
    EXPECT_EQ(Utf8ToCp1252("ºC"), "\xBA"
                                  "C");
    EXPECT_EQ(Utf8ToCp1252("€"), "\x80");
    EXPECT_EQ(Cp1252ToUtf8("\xBA"), "º");
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "€");
    EXPECT_EQ(Cp1252ToUtf8("\x9F"), "Ÿ");
    EXPECT_EQ(Cp1252ToUtf8("\xE9"), "é");
    EXPECT_EQ(Utf8ToCp1252("Año ñ – “x” ‰"), "A\xF1o \xF1 \x96 \x93x\x94 \x89");
}

TEST(ArchiveCodePage, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
}

TEST(ArchiveCodePage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("Ω"), "?");
    EXPECT_EQ(Utf8ToCp1252("a中b"), "a?b");
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80"), "?"); // an emoji: one character, one mark
    EXPECT_EQ(Utf8ToCp1252("\xC2\xA0"), "\xA0");
}

TEST(ArchiveCodePage, InvalidUtf8BecomesQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("a\xFF"
                           "b"),
              "a?b");
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");           // cut sequence at the end
    EXPECT_EQ(Utf8ToCp1252("\xC3("), "?(");         // lead without continuation
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");      // overlong
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???"); // surrogate
    EXPECT_EQ(Utf8ToCp1252("\xF4\x90\x80\x80").find_first_not_of('?'), std::string::npos);
}

TEST(ArchiveCodePage, ArchiveStringsAreStoredInTheCodePage) {
    CMemoryArchiveWriter w;
    w.WriteString("25 ºC € Ω");
    const std::vector<uint8_t> expected{9, '2', '5', ' ', 0xBA, 'C', ' ', 0x80, ' ', '?'};
    EXPECT_EQ(w.GetBytes(), expected);

    CMemoryArchiveReader r(w.GetBytes());
    EXPECT_EQ(r.ReadString(), "25 ºC € ?");
}

TEST(ArchiveCodePage, LengthPrefixCountsStoredBytesNotUtf8Bytes) {
    // 200 two-byte UTF-8 characters are 200 stored bytes: still the one-byte prefix.
    std::string degrees;
    for (int i = 0; i < 200; ++i)
        degrees += "º";
    CMemoryArchiveWriter w;
    w.WriteString(degrees);
    ASSERT_EQ(w.GetBytes().size(), 201u);
    EXPECT_EQ(w.GetBytes()[0], 200);
    EXPECT_EQ(CMemoryArchiveReader(w.GetBytes()).ReadString(), degrees);
}

} // namespace
