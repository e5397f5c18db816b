#include "core/tasks/ConfigurationFile.h"
#include "core/files/Archive.h"
#include "core/model/ControllerList.h"
#include "languages/StringIds.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// One application's worth of what a file carries.
struct Session {
    CTQControllerModel model;
    int32_t logMode = 0;
    CControllerList list{"Zone"};
    ConfigurationParts Parts() { return {model, logMode, list, nullptr}; }
};

std::vector<uint8_t> Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

class ConfigurationFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("calora-config-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    size_t FilesIn() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {}));
    }
    // A session with something in every part, in the given family.
    static void Fill(Session& s, ModelFamily family) {
        s.model.SetFamily(nullptr, family);
        ASSERT_TRUE(s.model.SetValue(reg::kSetpoint, -1234));
        ASSERT_TRUE(s.model.SetValue(reg::kSoftwareVersion, 12));
        if (family == TQ100) {
            ASSERT_TRUE(s.model.SetValue(reg::kRetransUpperLimit, 999));
        }
        s.logMode = 2;
        ASSERT_TRUE(s.list.SetEntries({1, 0, 1}, {7, 8, 200}, {"Horno", "Cámara fría", "Z"},
                                      {"ºC", "F", "ºC"}));
        s.list.period = 75;
        s.list.columns = 9;
    }
    fs::path dir;
};

TEST_F(ConfigurationFileTest, BothFamiliesSaveAndLoadBackByteForByte) {
    for (ModelFamily family : {TQ100, TQ102_TQ402}) {
        Session saved;
        Fill(saved, family);
        const fs::path file = dir / "a.TQ";
        ASSERT_TRUE(SaveConfigurationFile(file, saved.Parts()).Ok());
        const auto bytes = Bytes(file);
        const size_t tag = family == TQ100 ? 7 : 3;
        const size_t words = family == TQ100 ? 108 : 86;
        const std::vector<uint8_t> head =
            family == TQ100 ? std::vector<uint8_t>{6, 'T', 'Q', '.', '1', '0', '0'}
                            : std::vector<uint8_t>{2, 'T', 'Q'};
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + tag), head);
        EXPECT_EQ(bytes[tag + words], 2); // log mode follows the values
        EXPECT_EQ(bytes[tag + words + 4], 3);

        // Loaded into a session of the other family, then saved again: the same bytes.
        Session loaded;
        loaded.model.SetFamily(nullptr, family == TQ100 ? TQ102_TQ402 : TQ100);
        ASSERT_TRUE(LoadConfigurationFile(file, loaded.Parts()).Ok());
        EXPECT_EQ(loaded.model.GetFamily(), family);
        EXPECT_EQ(loaded.model.GetValue(reg::kSetpoint), -1234);
        EXPECT_EQ(loaded.logMode, 2);
        EXPECT_EQ(loaded.list.name[1], "Cámara fría");
        const fs::path again = dir / "b.TQ";
        ASSERT_TRUE(SaveConfigurationFile(again, loaded.Parts()).Ok());
        EXPECT_EQ(Bytes(again), bytes);
    }
}

TEST_F(ConfigurationFileTest, EachLoadFailureLeavesWhatWasAppliedBeforeIt) {
    Session source;
    Fill(source, TQ100);
    CMemoryArchiveWriter w;
    StoreConfiguration(w, source.Parts());
    const std::vector<uint8_t> good = w.GetBytes();
    const size_t logModeAt = 7 + 108;
    const size_t listAt = logModeAt + 4;

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int message;
        bool family, values, logMode, period;
    };
    auto with = [&](size_t at, uint8_t byte) {
        auto b = good;
        b[at] = byte;
        return b;
    };
    auto cut = [&](size_t size) { return std::vector<uint8_t>(good.begin(), good.begin() + size); };
    const std::vector<Case> cases = {
        {"unknown tag", with(6, '1'), IDS_MSG_CONFIG_BAD_FORMAT, false, false, false, false},
        {"ends inside the values", cut(60), IDS_MSG_CONFIG_BAD_FORMAT, true, false, false, false},
        {"log mode 3", with(logModeAt, 3), IDS_MSG_CONFIG_BAD_FORMAT, true, true, false, false},
        {"list count 73", with(listAt, 73), IDS_MSG_CONFIG_BAD_FORMAT, true, true, true, false},
        {"period 0", with(listAt + 6, 0), IDS_MSG_CONFIG_BAD_FORMAT, true, true, true, false},
        {"ends inside the list", cut(good.size() - 1), IDS_MSG_CONFIG_BAD_FORMAT, true, true, true,
         true},
    };
    for (const Case& c : cases) {
        Session target;
        const fs::path file = dir / "broken.TQ";
        Put(file, c.bytes);
        const auto result = LoadConfigurationFile(file, target.Parts());
        ASSERT_EQ(result.outcome, ConfigurationFileResult::archiveError) << c.what;
        EXPECT_EQ(ConfigurationErrorMessageId(result.cause), c.message) << c.what;
        EXPECT_EQ(target.model.GetFamily() == TQ100, c.family) << c.what;
        EXPECT_EQ(target.model.GetValue(reg::kSetpoint) == -1234, c.values) << c.what;
        EXPECT_EQ(target.logMode == 2, c.logMode) << c.what;
        EXPECT_EQ(target.list.period == 75, c.period) << c.what;
        EXPECT_EQ(target.list.GetCount(), 72u) << c.what; // entries only ever as a whole
    }

    Session untouched;
    EXPECT_EQ(LoadConfigurationFile(dir / "missing.TQ", untouched.Parts()).outcome,
              ConfigurationFileResult::cannotOpen);
    EXPECT_EQ(ConfigurationErrorMessageId(CArchiveException::badSchema),
              IDS_MSG_CONFIG_BAD_VERSION);
    EXPECT_EQ(ConfigurationErrorMessageId(CArchiveException::genericException),
              IDS_MSG_CONFIG_FILE_ERROR);
}

TEST_F(ConfigurationFileTest, AFailedSaveLeavesTheOldFileAndNoLitter) {
    Session old;
    const fs::path file = dir / "keep.TQ";
    ASSERT_TRUE(SaveConfigurationFile(file, old.Parts()).Ok());
    const auto before = Bytes(file);

    // The disk refuses more than 100 bytes: the write fails half way through.
    Session next;
    Fill(next, TQ100);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto failed = SaveConfigurationFile(file, next.Parts());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(failed.outcome, ConfigurationFileResult::archiveError);
    EXPECT_EQ(ConfigurationErrorMessageId(failed.cause), IDS_MSG_CONFIG_FILE_ERROR);
    EXPECT_EQ(Bytes(file), before);
    EXPECT_EQ(FilesIn(), 1u);

    // A target that is not a regular file (a folder) is refused, also without litter.
    fs::create_directory(dir / "folder.TQ");
    const auto refused = SaveConfigurationFile(dir / "folder.TQ", next.Parts());
    EXPECT_EQ(refused.outcome, ConfigurationFileResult::notRegular);
    EXPECT_EQ(ConfigurationErrorMessageId(refused), IDS_MSG_CONFIG_FILE_ERROR);
    EXPECT_EQ(FilesIn(), 2u);
    // A folder that does not exist: nothing can be created.
    EXPECT_EQ(SaveConfigurationFile(dir / "no" / "x.TQ", next.Parts()).outcome,
              ConfigurationFileResult::cannotOpen);

    // The save that succeeds replaces the content.
    ASSERT_TRUE(SaveConfigurationFile(file, next.Parts()).Ok());
    EXPECT_NE(Bytes(file), before);
    EXPECT_EQ(FilesIn(), 2u);
}

TEST_F(ConfigurationFileTest, AForgedNameLengthIsRefusedBeforeItIsRead) {
    // The first name claims 1 GiB, and the (sparse) file is that long.
    Session source;
    CMemoryArchiveWriter w;
    StoreConfiguration(w, source.Parts());
    std::vector<uint8_t> bytes = w.GetBytes();
    const size_t firstName = 3 + 86 + 4 + 10 + 5; // tag, values, log mode, list head, entry
    bytes.resize(firstName);
    bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40});
    const fs::path file = dir / "forged.TQ";
    Put(file, bytes);
    fs::resize_file(file, (uintmax_t{1} << 30) + 100);

    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    Session target;
    const auto result = LoadConfigurationFile(file, target.Parts());
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    EXPECT_EQ(result.outcome, ConfigurationFileResult::archiveError);
    EXPECT_EQ(ConfigurationErrorMessageId(result), IDS_MSG_CONFIG_BAD_FORMAT);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "KiB taken by the load";
}

} // namespace
