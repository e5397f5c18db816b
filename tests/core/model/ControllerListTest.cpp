#include "core/model/ControllerList.h"
#include "core/files/Archive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Two entries as a file holds them, with the period and the second address given.
std::vector<uint8_t> StoredPair(int32_t period, uint8_t secondAddress) {
    CMemoryArchiveWriter w;
    w.WriteInt16(2);
    w.WriteInt32(5);      // columns
    w.WriteInt32(period); // seconds
    w.WriteInt32(0);
    w.WriteUInt8(9);
    w.WriteString("Horno");
    w.WriteString("F");
    w.WriteInt32(1);
    w.WriteUInt8(secondAddress);
    w.WriteString("Cámara");
    w.WriteString("ºC");
    return w.GetBytes();
}

void Load(CControllerList& list, std::vector<uint8_t> bytes) {
    CMemoryArchiveReader reader(std::move(bytes));
    list.Load(reader);
}

int Cause(CControllerList& list, std::vector<uint8_t> bytes) {
    try {
        Load(list, std::move(bytes));
    } catch (const CArchiveException& e) {
        return e.cause;
    }
    return CArchiveException::none;
}

} // namespace

TEST(ControllerList, NewListAndItsStoredBytes) {
    const CControllerList list("Zone");
    ASSERT_EQ(list.GetCount(), 72u);
    EXPECT_EQ(list.address[71], 72);
    EXPECT_EQ(list.name[0], "Zone 1");
    EXPECT_EQ(list.name[71], "Zone 72");

    CMemoryArchiveWriter w;
    list.Store(w);
    const auto& b = w.GetBytes();
    // count 72, columns 127, period 10, then entry 1: enabled, address, "Zone 1", "ºC".
    const std::vector<uint8_t> head = {72, 0, 127, 0,   0,   0,   10,  0,   0,   0, 1,    0,  0,
                                       0,  1, 6,   'Z', 'o', 'n', 'e', ' ', '1', 2, 0xBA, 'C'};
    ASSERT_GE(b.size(), head.size());
    EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + head.size()), head);
}

TEST(ControllerList, StoredListLoadsBackIncludingASingleEntry) {
    CControllerList list("Zone");
    Load(list, StoredPair(75, 3));
    ASSERT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(list.columns, 5);
    EXPECT_EQ(list.period, 75);
    EXPECT_EQ(list.enabled, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(list.address, (std::vector<uint8_t>{9, 3}));
    EXPECT_EQ(list.name[1], "Cámara");
    EXPECT_EQ(list.unit[1], "ºC");

    // The page allows one zone; what the writer stores the reader takes back.
    ASSERT_TRUE(list.SetEntries({1}, {4}, {"Solo"}, {"F"}));
    CMemoryArchiveWriter w;
    list.Store(w);
    CControllerList copy("Zone");
    Load(copy, w.GetBytes());
    EXPECT_EQ(copy.GetCount(), 1u);
    EXPECT_EQ(copy.address[0], 4);
    EXPECT_EQ(copy.name[0], "Solo");
}

TEST(ControllerList, RefusedFilesLeaveWhatWasNotYetTaken) {
    const CControllerList fresh("Zone");
    auto entriesUnchanged = [&](const CControllerList& l) {
        return l.address == fresh.address && l.name == fresh.name && l.unit == fresh.unit &&
               l.enabled == fresh.enabled;
    };

    // A count of 0 or 73 is refused before anything is taken.
    for (int16_t count : {0, 73, -1}) {
        CControllerList list("Zone");
        auto bytes = StoredPair(20, 3);
        bytes[0] = static_cast<uint8_t>(count);
        bytes[1] = static_cast<uint8_t>(count >> 8);
        EXPECT_EQ(Cause(list, bytes), CArchiveException::badIndex) << count;
        EXPECT_EQ(list.columns, 127);
        EXPECT_EQ(list.period, 10);
        EXPECT_TRUE(entriesUnchanged(list));
    }
    // A period no run can use: the columns are taken, the period and the entries are not.
    for (int32_t period : {0, 901}) {
        CControllerList list("Zone");
        EXPECT_EQ(Cause(list, StoredPair(period, 3)), CArchiveException::badIndex);
        EXPECT_EQ(list.columns, 5);
        EXPECT_EQ(list.period, 10);
        EXPECT_TRUE(entriesUnchanged(list));
    }
    // The broadcast address in an entry: columns and period taken, entries kept.
    {
        CControllerList list("Zone");
        EXPECT_EQ(Cause(list, StoredPair(900, 0)), CArchiveException::badIndex);
        EXPECT_EQ(list.period, 900);
        EXPECT_TRUE(entriesUnchanged(list));
    }
    // A file that ends anywhere inside the entries keeps them as they were.
    const auto whole = StoredPair(30, 3);
    for (size_t cut = 10; cut < whole.size(); ++cut) {
        CControllerList list("Zone");
        EXPECT_EQ(Cause(list, std::vector<uint8_t>(whole.begin(), whole.begin() + cut)),
                  CArchiveException::endOfFile)
            << cut;
        EXPECT_EQ(list.period, 30);
        EXPECT_TRUE(entriesUnchanged(list));
    }
}

TEST(ControllerList, EntriesAreReplacedOnlyAsAWholeOfOneToSeventyTwo) {
    CControllerList list("Zone");
    EXPECT_FALSE(list.SetEntries({1, 1}, {1}, {"a", "b"}, {"F", "F"}));
    EXPECT_FALSE(list.SetEntries({}, {}, {}, {}));
    EXPECT_FALSE(list.SetEntries(std::vector<int32_t>(73, 1), std::vector<uint8_t>(73, 1),
                                 std::vector<std::string>(73, "x"),
                                 std::vector<std::string>(73, "F")));
    EXPECT_EQ(list.GetCount(), 72u);
    EXPECT_EQ(list.name[5], "Zone 6");
}
