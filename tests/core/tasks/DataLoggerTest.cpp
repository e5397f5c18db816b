// Log files of a scripted cycle, byte for byte, the files' safety rules, and what happens
// when a row cannot be written.
#include "core/tasks/DataLogger.h"
#include "core/model/ControllerList.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// 6 December 2026, 09:05:07.
std::tm FixedTime() {
    std::tm t{};
    t.tm_mday = 6;
    t.tm_mon = 11;
    t.tm_year = 126;
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 7;
    return t;
}

struct Entry {
    uint8_t address;
    std::string name;
    std::string unit = "\xC2\xBA"
                       "C";
    int enabled = 1;
};

CControllerList MakeList(const std::vector<Entry>& entries, int columns = 127) {
    CControllerList list("Zone");
    list.enabled.clear();
    list.address.clear();
    list.name.clear();
    list.unit.clear();
    for (const Entry& e : entries) {
        list.enabled.push_back(e.enabled);
        list.address.push_back(e.address);
        list.name.push_back(e.name);
        list.unit.push_back(e.unit);
    }
    list.columns = columns;
    return list;
}

struct Block {
    short registers[43] = {};
    unsigned char coils[11] = {};
};

// pv, sp, out (tenths), status value, decimals register, coils 0..5.
Block Values(short pv, short sp, short out, short status, short decimals,
             std::initializer_list<int> coils = {}) {
    Block b;
    b.registers[0] = pv;
    b.registers[1] = sp;
    b.registers[3] = out;
    b.registers[4] = status;
    b.registers[32] = decimals;
    int i = 0;
    for (int c : coils)
        b.coils[i++] = static_cast<unsigned char>(c);
    return b;
}

struct DataLoggerFiles : ::testing::Test {
    fs::path logs = fs::temp_directory_path() /
                    ("calora-logger-" + std::to_string(::getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::vector<int> reported;
    std::vector<std::string> details;

    DataLoggerFiles() {
        fs::remove_all(logs);
        fs::create_directories(logs);
    }
    ~DataLoggerFiles() override { fs::remove_all(logs); }

    DataLoggerConfig Config(int mode) {
        DataLoggerConfig config;
        config.mode = mode;
        config.logsDir = logs.string() + "/";
        config.report = [this](int id, const std::string& detail) {
            reported.push_back(id);
            details.push_back(detail);
        };
        config.now = FixedTime;
        return config;
    }

    // Controller 1: 1 decimal, alarms 1 and tune; 2: over-range, reg 32 = 5 (three
    // decimals), manual; 3: failed; 4: under-range, negative output.
    void ScriptCycle(CDataLogger& logger) {
        Block a = Values(1234, 1000, 999, 995, 1, {0, 0, 1, 0, 1, 0});
        Block b = Values(7, 2500, 1000, 2499, 5, {1, 0, 0, 1, 0, 1});
        Block d = Values(-3, -12, -15, 4, -1, {0, 1});
        logger.OnData(1, a.registers, a.coils);
        logger.OnData(2, b.registers, b.coils);
        logger.OnError(3);
        logger.OnData(4, d.registers, d.coils);
        logger.WriteRow();
    }
};

const std::vector<Entry> kFour = {{1, "Oven"}, {2, "Kiln", "F"}, {3, "Dryer"}, {4, "Vat"}};

TEST_F(DataLoggerFiles, OneFileRecordingByteForByte) {
    {
        CDataLogger logger(Config(kLogOneFile), MakeList(kFour));
        ScriptCycle(logger);
        // Controller 3 answers again; controller 1 fails: its old values are not written.
        Block c = Values(250, 300, 0, 300, 0);
        logger.OnData(3, c.registers, c.coils);
        logger.OnError(1);
        logger.WriteRow();
    }
    const fs::path file = logs / "6-12-2026" / "log-09-05-07.log";
    const std::string t = "\tTemp(\xC2\xBA"
                          "C)\tSP(\xC2\xBA"
                          "C)\tOut%\tAL1\tAL2\tTune\tMan/Auto";
    const std::string f = "\tTemp(F)\tSP(F)\tOut%\tAL1\tAL2\tTune\tMan/Auto";
    const std::string errors = "Error\tError\tError\tError\tError\tError\tError\t";
    EXPECT_EQ(ReadAll(file),
              "\tOven\t\t\t\t\t\t\tKiln\t\t\t\t\t\t\tDryer\t\t\t\t\t\t\tVat\t\t\t\t\t\t\t\n"
              "Time" +
                  t + f + t + t +
                  "\t\n"
                  "6/12/2026 09:05:07\t"
                  "123.4\t100.0\t99\ton\toff\ton\tauto\t"
                  "oooo\t2.500\t100\toff\ton\toff\tman\t" +
                  errors +
                  "uuuu\t-0.012\t-1\toff\toff\toff\tauto\t\n"
                  "6/12/2026 09:05:07\t" +
                  errors +
                  "oooo\t2.500\t100\toff\ton\toff\tman\t"
                  "250\t300\t0\toff\toff\toff\tauto\t"
                  "uuuu\t-0.012\t-1\toff\toff\toff\tauto\t\n");
    EXPECT_TRUE(reported.empty());
}

TEST_F(DataLoggerFiles, FilePerControllerRecordingByteForByte) {
    {
        CDataLogger logger(Config(kLogFilePerController), MakeList(kFour, 0x07));
        ScriptCycle(logger);
    }
    const fs::path folder = logs / "6-12-2026" / "log-09-05-07";
    const std::string stamp = "6/12/2026 09:05:07\t";
    // The setpoint column holds the status value (register 4) here.
    EXPECT_EQ(ReadAll(folder / "Oven.log"), "Time\tTemp(\xC2\xBA"
                                            "C)\tSP(\xC2\xBA"
                                            "C)\tOut %\t\n" +
                                                stamp + "123.4\t99.5\t99\t\n");
    EXPECT_EQ(ReadAll(folder / "Kiln.log"),
              "Time\tTemp(F)\tSP(F)\tOut %\t\n" + stamp + "oooo\t2.499\t100\t\n");
    EXPECT_EQ(ReadAll(folder / "Dryer.log"), "Time\tTemp(\xC2\xBA"
                                             "C)\tSP(\xC2\xBA"
                                             "C)\tOut %\t\n" +
                                                 stamp + "Error\tError\tError\t\n");
    EXPECT_EQ(ReadAll(folder / "Vat.log"), "Time\tTemp(\xC2\xBA"
                                           "C)\tSP(\xC2\xBA"
                                           "C)\tOut %\t\n" +
                                               stamp + "uuuu\t0.004\t-1\t\n");
}

TEST_F(DataLoggerFiles, RowsReachTheFileBeforeTheLoggerCloses) {
    CDataLogger logger(Config(kLogOneFile), MakeList({{1, "A"}}, 0x01));
    Block a = Values(5, 0, 0, 0, 0);
    logger.OnData(1, a.registers, a.coils);
    logger.WriteRow();
    EXPECT_EQ(ReadAll(logger.RecordingPath()), "\tA\t\nTime\tTemp(\xC2\xBA"
                                               "C)\t\n6/12/2026 09:05:07\t5\t\n");
}

TEST_F(DataLoggerFiles, RecordingsOfTheSameSecondKeepEachOther) {
    CDataLogger first(Config(kLogOneFile), MakeList({{1, "A"}}, 0x01));
    first.WriteRow();
    CDataLogger second(Config(kLogOneFile), MakeList({{1, "B"}}, 0x01));
    CDataLogger third(Config(kLogFilePerController), MakeList({{1, "A"}}, 0x01));
    CDataLogger fourth(Config(kLogFilePerController), MakeList({{1, "A"}}, 0x01));
    const fs::path day = logs / "6-12-2026";
    EXPECT_EQ(first.RecordingPath(), (day / "log-09-05-07.log").string());
    EXPECT_EQ(second.RecordingPath(), (day / "log-09-05-07-2.log").string());
    EXPECT_EQ(third.RecordingPath(), (day / "log-09-05-07").string());
    EXPECT_EQ(fourth.RecordingPath(), (day / "log-09-05-07-2").string());
    EXPECT_EQ(ReadAll(first.RecordingPath()), "\tA\t\nTime\tTemp(\xC2\xBA"
                                              "C)\t\n6/12/2026 09:05:07\t\t\n");
}

TEST_F(DataLoggerFiles, ControllerNamesStayInsideTheRecordingFolder) {
    CDataLogger logger(Config(kLogFilePerController), MakeList({{1, "../escape"},
                                                                {2, "a/b\\c"},
                                                                {3, ""},
                                                                {4, ".."},
                                                                {5, "a_b_c"},
                                                                {6, "tab\there"},
                                                                {7, "Horno \xC3\xB1"}},
                                                               0x01));
    const fs::path folder = logs / "6-12-2026" / "log-09-05-07";
    std::vector<std::string> names;
    for (const std::string& path : logger.FilePaths()) {
        EXPECT_EQ(fs::path(path).parent_path(), folder);
        names.push_back(fs::path(path).filename().string());
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{".._escape.log", "a_b_c.log", "_.log", "__.log",
                                        "a_b_c-2.log", "tab_here.log", "Horno \xC3\xB1.log"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(logs), fs::directory_iterator()), 1);
}

TEST_F(DataLoggerFiles, NameWithTabAndLineEndKeepsTheHeaderLines) {
    { CDataLogger logger(Config(kLogOneFile), MakeList({{1, "a\tb\r\nc", "x\ny"}}, 0x01)); }
    EXPECT_EQ(ReadAll(logs / "6-12-2026" / "log-09-05-07.log"), "\ta b  c\t\nTime\tTemp(x y)\t\n");
}

TEST_F(DataLoggerFiles, MaskBitsAboveTheSevenColumnsAddNoErrorCell) {
    {
        CDataLogger logger(Config(kLogOneFile), MakeList({{1, "A"}, {2, "B"}}, 0x1C1));
        Block b = Values(1, 0, 0, 0, 0);
        logger.OnError(1);
        logger.OnData(2, b.registers, b.coils);
        logger.WriteRow();
    }
    EXPECT_EQ(ReadAll(logs / "6-12-2026" / "log-09-05-07.log"),
              "\tA\t\tB\t\t\nTime\tTemp(\xC2\xBA"
              "C)\tMan/Auto\tTemp(\xC2\xBA"
              "C)\tMan/Auto\t\n"
              "6/12/2026 09:05:07\tError\tError\t1\tauto\t\n");
}

TEST_F(DataLoggerFiles, UnopenableFileIsReportedOnceAndNothingIsWritten) {
    fs::remove_all(logs);
    std::ofstream(logs.string()) << "a file where the folder should be";
    CDataLogger logger(Config(kLogFilePerController), MakeList(kFour));
    ScriptCycle(logger);
    EXPECT_EQ(reported, std::vector<int>{111});
    EXPECT_EQ(details,
              std::vector<std::string>{logs.string() + "/6-12-2026/log-09-05-07: Not a directory"});
    EXPECT_TRUE(logger.FilePaths().empty());
    fs::remove(logs);
}

TEST_F(DataLoggerFiles, EntriesSharingAnAddressEachLogTheirOwnRead) {
    const auto list = MakeList({{1, "A"}, {1, "B"}, {2, "C"}}, kColumnTemp | kColumnAlarm1);
    {
        CDataLogger one(Config(kLogOneFile), list);
        CDataLogger each(Config(kLogFilePerController), list);
        Block a = Values(11, 0, 0, 0, 0, {0, 0, 1});
        Block b = Values(22, 0, 0, 0, 0);
        for (CDataLogger* logger : {&one, &each}) {
            logger->OnData(1, a.registers, a.coils);
            logger->OnData(1, b.registers, b.coils);
            logger->OnData(2, a.registers, a.coils);
            logger->WriteRow();
            logger->OnError(1);
            logger->OnData(1, a.registers, a.coils);
            logger->OnError(2);
            logger->WriteRow();
        }
    }
    const fs::path day = logs / "6-12-2026";
    const std::string stamp = "6/12/2026 09:05:07\t";
    const std::string titles = "Temp(\xC2\xBA"
                               "C)\tAL1\t";
    EXPECT_EQ(ReadAll(day / "log-09-05-07.log"),
              "\tA\t\tB\t\tC\t\t\nTime\t" + titles + titles + titles + "\n" + stamp +
                  "11\ton\t22\toff\t11\ton\t\n" + stamp + "Error\tError\t11\ton\tError\tError\t\n");
    EXPECT_EQ(ReadAll(day / "log-09-05-07" / "A.log"),
              "Time\t" + titles + "\n" + stamp + "11\ton\t\n" + stamp + "Error\tError\t\n");
    EXPECT_EQ(ReadAll(day / "log-09-05-07" / "B.log"),
              "Time\t" + titles + "\n" + stamp + "22\toff\t\n" + stamp + "11\ton\t\n");
}

// Runs `body` in a child process whose files cannot grow past `bytes`: a write past that
// fails as on a full disk. Returns what `body` returned.
std::string InChildWithFileSizeLimit(rlim_t bytes, const std::function<std::string()>& body) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string text = body();
        const bool sent =
            ::write(pipeFds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeFds[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return text;
}

TEST_F(DataLoggerFiles, FullDiskKeepsWholeRowsReportsOnceAndStopsLogging) {
    const rlim_t kLimit = 700;
    for (int mode : {kLogOneFile, kLogFilePerController}) {
        SCOPED_TRACE(mode);
        fs::remove_all(logs);
        // Rows go on after the failure, and after the space has come back.
        const std::string reports = InChildWithFileSizeLimit(kLimit, [&] {
            CDataLogger logger(Config(mode), MakeList({{1, "A"}, {2, "B"}}));
            Block a = Values(1234, 1000, 999, 995, 1, {0, 0, 1, 0, 1, 0});
            for (int cycle = 0; cycle < 40; ++cycle) {
                if (cycle == 30) {
                    const rlimit none{RLIM_INFINITY, RLIM_INFINITY};
                    ::setrlimit(RLIMIT_FSIZE, &none);
                }
                logger.OnData(1, a.registers, a.coils);
                logger.OnData(2, a.registers, a.coils);
                logger.WriteRow();
            }
            std::string text;
            for (size_t i = 0; i < reported.size(); ++i)
                text += std::to_string(reported[i]) + " " + details[i] + "\n";
            return text;
        });
        const fs::path day = logs / "6-12-2026";
        const fs::path first =
            mode == kLogOneFile ? day / "log-09-05-07.log" : day / "log-09-05-07" / "A.log";
        EXPECT_EQ(reports, "111 " + first.string() + ": File too large\n");
        std::vector<size_t> rows;
        for (const auto& entry : fs::recursive_directory_iterator(day)) {
            if (!entry.is_regular_file())
                continue;
            const std::string text = ReadAll(entry.path());
            EXPECT_LE(text.size(), kLimit);
            ASSERT_FALSE(text.empty());
            EXPECT_EQ(text.back(), '\n') << entry.path();
            std::istringstream lines(text);
            std::vector<std::string> all;
            for (std::string line; std::getline(lines, line);)
                all.push_back(line);
            // Every line has as many cells as the titles line: no row is cut or glued.
            const auto tabs = std::count(all[0].begin(), all[0].end(), '\t');
            for (const std::string& line : all)
                EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), tabs) << line;
            rows.push_back(all.size());
        }
        EXPECT_EQ(rows.size(), mode == kLogOneFile ? 1u : 2u);
        EXPECT_GT(rows.front(), 3u);
        EXPECT_EQ(std::count(rows.begin(), rows.end(), rows.front()), rows.size());
    }
}

TEST_F(DataLoggerFiles, DeletedLogsFolderIsReportedOnceAndStopsLogging) {
    CDataLogger logger(Config(kLogFilePerController), MakeList({{1, "A"}, {2, "B"}}));
    logger.WriteRow();
    EXPECT_TRUE(reported.empty());
    fs::remove_all(logs);
    logger.WriteRow();
    logger.WriteRow();
    const std::string file = (logs / "6-12-2026" / "log-09-05-07" / "A.log").string();
    EXPECT_EQ(details, std::vector<std::string>{file + ": the file or its folder was deleted"});
    EXPECT_TRUE(logger.FilePaths().empty());
}

TEST_F(DataLoggerFiles, ModeZeroMakesNothing) {
    CDataLogger logger(Config(kLogNone), MakeList(kFour));
    ScriptCycle(logger);
    EXPECT_TRUE(fs::is_empty(logs));
    EXPECT_TRUE(reported.empty());
}

} // namespace
