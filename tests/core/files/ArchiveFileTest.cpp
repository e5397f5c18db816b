#include "core/files/Archive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class ArchiveFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("calora-archive-" +
                  std::to_string(::testing::UnitTest::GetInstance()->current_test_info()->line()) +
                  "-" + std::to_string(getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::vector<uint8_t> FileBytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    static void WriteSample(CArchiveWriter& w) {
        w.WriteString("TQ");
        w.WriteInt16(-9999);
        w.WriteInt32(2);
        w.WriteString(std::string(70000, 'z'));
        w.WriteString("ºC");
        w.WriteFloat(12.5f);
    }

    fs::path folder;
};

TEST_F(ArchiveFile, FileHoldsTheSameBytesAsMemoryAndReadsBack) {
    const fs::path path = folder / "a.TQ";
    CFileArchiveWriter fileWriter;
    ASSERT_TRUE(fileWriter.Open(path.string()));
    WriteSample(fileWriter);
    fileWriter.Close();
    EXPECT_FALSE(fileWriter.IsOpen());

    CMemoryArchiveWriter memory;
    WriteSample(memory);
    EXPECT_EQ(FileBytes(path), memory.GetBytes());

    CFileArchiveReader r;
    ASSERT_TRUE(r.Open(path.string()));
    EXPECT_EQ(r.ReadString(), "TQ");
    EXPECT_EQ(r.ReadInt16(), -9999);
    EXPECT_EQ(r.ReadInt32(), 2);
    EXPECT_EQ(r.ReadString(), std::string(70000, 'z'));
    EXPECT_EQ(r.ReadString(), "ºC");
    EXPECT_EQ(r.ReadFloat(), 12.5f);
    try {
        r.ReadUInt8();
        ADD_FAILURE() << "read past the end succeeded";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.cause, CArchiveException::endOfFile);
    }
}

TEST_F(ArchiveFile, OpenTruncatesAnExistingFile) {
    const fs::path path = folder / "b.TQ";
    std::ofstream(path) << "old contents that are longer";
    CFileArchiveWriter w;
    ASSERT_TRUE(w.Open(path.string()));
    w.WriteUInt8(1);
    w.Close();
    EXPECT_EQ(FileBytes(path), (std::vector<uint8_t>{1}));
}

TEST_F(ArchiveFile, MissingFilesAreNotArchiveErrors) {
    CFileArchiveReader r;
    EXPECT_FALSE(r.Open((folder / "missing.TQ").string()));
    EXPECT_FALSE(r.IsOpen());
    CFileArchiveWriter w;
    EXPECT_FALSE(w.Open((folder / "no-such-folder" / "x.TQ").string()));
}

TEST_F(ArchiveFile, TruncatedFileIsEndOfFileInsideAString) {
    const fs::path path = folder / "c.TQ";
    std::ofstream(path, std::ios::binary) << std::string("\xFF\xFF\xFF\x00\x00\x01\x00"
                                                         "abc",
                                                         10);
    CFileArchiveReader r;
    ASSERT_TRUE(r.Open(path.string()));
    try {
        r.ReadString();
        ADD_FAILURE() << "a cut string was read";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.cause, CArchiveException::endOfFile);
    }
}

TEST_F(ArchiveFile, FullDeviceIsReportedNotSilent) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    CFileArchiveWriter w;
    ASSERT_TRUE(w.Open("/dev/full"));
    try {
        for (int i = 0; i < 100000; ++i)
            w.WriteInt32(i);
        w.Close();
        ADD_FAILURE() << "writing to a full device reported success";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.cause, CArchiveException::genericException);
    }
}

TEST_F(ArchiveFile, ClosedFilesRefuseIo) {
    CFileArchiveReader r;
    EXPECT_THROW(r.ReadUInt8(), CArchiveException);
    CFileArchiveWriter w;
    EXPECT_THROW(w.WriteUInt8(0), CArchiveException);
    EXPECT_NO_THROW(w.Close());
}

} // namespace
