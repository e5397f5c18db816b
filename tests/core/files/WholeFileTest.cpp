// Whole-file writes and reads against real files, links, FIFOs and devices.
#include "core/files/WholeFile.h"
#include "core/files/Archive.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class WholeFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("calora-whole-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    static std::string Text(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    size_t FilesIn() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {}));
    }
    // Runs `read`; if it waits for a writer on `fifo`, lets it go and fails.
    template <class Read> static auto WithoutWaitingOn(const fs::path& fifo, Read read) {
        auto done = std::async(std::launch::async, read);
        if (done.wait_for(std::chrono::seconds(20)) == std::future_status::timeout) {
            ADD_FAILURE() << "the read waits for a writer on the FIFO";
            ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
        }
        return done.get();
    }

    fs::path dir;
    const std::vector<uint8_t> data{'n', 'e', 'w'};
};

TEST_F(WholeFile, TargetsThatAreNotRegularFilesAreRefusedAndLeftAsTheyWere) {
    const fs::path fifo = dir / "fifo.TQ";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path toNull = dir / "null.TQ";
    fs::create_symlink("/dev/null", toNull);
    const fs::path folder = dir / "folder.TQ";
    fs::create_directory(folder);
    for (const fs::path& target : {fifo, toNull, folder})
        EXPECT_EQ(WriteFileAtomically(target, data), FileWriteResult::NotRegular) << target;
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(fifo)));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(toNull)));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(FilesIn(), 3u) << "a temporary file was left behind";
}

TEST_F(WholeFile, ALinkIsFollowedAndTheReplacedFileKeepsItsMode) {
    fs::create_directory(dir / "real");
    const fs::path real = dir / "real" / "a.TQ";
    std::ofstream(real) << "old";
    const auto private0600 = fs::perms::owner_read | fs::perms::owner_write;
    fs::permissions(real, private0600);
    // Relative links are relative to the link's folder, not to the working folder.
    fs::create_symlink("real/a.TQ", dir / "a.TQ");
    fs::create_symlink("real/b.TQ", dir / "b.TQ");

    ASSERT_EQ(WriteFileAtomically(dir / "a.TQ", data), FileWriteResult::Ok);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "a.TQ")));
    EXPECT_EQ(Text(real), "new");
    EXPECT_EQ(fs::status(real).permissions(), private0600);
    // A link to a file that is not there yet creates that file.
    ASSERT_EQ(WriteFileAtomically(dir / "b.TQ", data), FileWriteResult::Ok);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "b.TQ")));
    EXPECT_EQ(Text(dir / "real" / "b.TQ"), "new");
    EXPECT_EQ(FilesIn(), 3u);
}

TEST_F(WholeFile, InputsThatAreNotRegularFilesAreRefusedWithoutWaiting) {
    const fs::path fifo = dir / "points.TQ";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::vector<uint8_t> bytes;
    EXPECT_EQ(WithoutWaitingOn(fifo, [&] { return ReadWholeFile(fifo, bytes, 100); }),
              FileReadResult::CannotOpen);
    CFileArchiveReader reader;
    EXPECT_FALSE(WithoutWaitingOn(fifo, [&] { return reader.Open(fifo); }));
    EXPECT_TRUE(reader.NotRegular());
    EXPECT_FALSE(reader.Open(dir));
    EXPECT_TRUE(reader.NotRegular());
}

} // namespace
