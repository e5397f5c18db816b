// calora-cli graph export over a scripted graph set.
#include "CliArgs.h"
#include "CliCommands.h"

#include "core/files/Archive.h"
#include "core/files/GraphSet.h"
#include "support/FinishWithin.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <unistd.h>

namespace {

constexpr float kGap = -std::numeric_limits<float>::infinity();

class CliGraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/cligraph-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        dir = pattern;
        base = dir + "/6-12-2026 15_21_36.gf";
        // Two segments of two entries; "Horno, 2: Out" has no file in segment 1.
        GraphSegmentData data;
        data.entries = {{"Zona \xC3\xB1", "Val", 0xFF, true}, {"Horno, 2", "Out", 0xFF0000, false}};
        for (int s = 0; s < 3; ++s)
            data.timeline.push_back({2026, 12, 0, 6, 9, 5, static_cast<uint16_t>(58 + s % 2),
                                     static_cast<uint16_t>(s * 7)});
        data.timeline[2].minute = 6;
        data.timeline[2].second = 0;
        data.points = {{1, 0, 2, 0, 0, {123.4f, kGap}}, {0, 0, 2, 0, 0, {56.0f, -1.0f}}};
        ASSERT_TRUE(SaveGraphSegment(base, 0, data).Ok());
        data.points = {{3, 2, 3, 0, 0, {-0.5f}}, {0, 2, 2, 0, 0, {}}};
        ASSERT_EQ(1, SaveGraphSegment(base, 1, data).failures); // empty: no file for it
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        const CliParseResult parsed = ParseCliArgs(args);
        EXPECT_TRUE(parsed.Ok()) << parsed.error;
        return RunCliCommand(parsed.options, out, err, false);
    }

    std::string dir, base;
    std::ostringstream out, err;
};

TEST_F(CliGraphTest, ExportsEverySegmentOrOne) {
    ASSERT_EQ(0, Run({"graph", "export", base}));
    EXPECT_EQ("time,Zona \xC3\xB1 Val,\"Horno, 2 Out\"\n"
              "2026-12-06T09:05:58.000,123.4,56\n"
              "2026-12-06T09:05:59.007,,-1\n"
              "2026-12-06T09:06:00.014,-0.500,\n",
              out.str());
    ASSERT_EQ(0, Run({"graph", "export", base, "--segment", "1"}));
    EXPECT_EQ("time,Zona \xC3\xB1 Val,\"Horno, 2 Out\"\n2026-12-06T09:06:00.014,-0.500,\n",
              out.str());
    EXPECT_EQ(1, Run({"graph", "export", base, "--segment", "2"}));
    EXPECT_EQ("calora-cli: " + base + ": has no points files for segment 2\n", err.str());
}

TEST_F(CliGraphTest, DamagedOrMissingFilesExitOneNamingTheFile) {
    {
        std::ofstream timeline(base + ".timeline", std::ios::binary | std::ios::trunc);
        timeline.write("\x05\0\0\0", 4);
    }
    EXPECT_EQ(1, Run({"graph", "export", base}));
    EXPECT_EQ("calora-cli: " + base + ".timeline: the file ends early\n", err.str());
    EXPECT_EQ("", out.str());
    EXPECT_EQ(1, Run({"graph", "export", dir + "/none.gf"}));
    EXPECT_EQ("calora-cli: " + dir + "/none.gf: cannot be opened\n", err.str());
    EXPECT_FALSE(ParseCliArgs({"graph", "export", base, "--all", "--segment", "1"}).Ok());
    EXPECT_FALSE(ParseCliArgs({"graph", "export", base, "--tcp", "host"}).Ok());
    EXPECT_FALSE(ParseCliArgs({"read", "--all", "--tcp", "host"}).Ok());
}

TEST_F(CliGraphTest, ACutShortSaveAndLostFilesLeaveTheRestReadable) {
    // Segment 2 was cut short: its points files are written, the time line is not.
    CMemoryArchiveWriter late;
    WriteGraphPoints(late, {0, 3, 5, 0, 0, {7.0f, 8.0f}});
    for (const char* name : {".Val.Zona \xC3\xB1.pt2", ".Out.Horno, 2.pt2"}) {
        std::ofstream file(base + name, std::ios::binary);
        file.write(reinterpret_cast<const char*>(late.GetBytes().data()),
                   static_cast<std::streamsize>(late.GetBytes().size()));
    }
    ASSERT_EQ(0, ::unlink((base + ".Out.Horno, 2.pt0").c_str()));
    ASSERT_EQ(0, Run({"graph", "export", base}));
    EXPECT_EQ("time,Zona \xC3\xB1 Val,\"Horno, 2 Out\"\n"
              "2026-12-06T09:05:58.000,123.4,\n"
              "2026-12-06T09:05:59.007,,\n"
              "2026-12-06T09:06:00.014,-0.500,\n",
              out.str());
    EXPECT_EQ("calora-cli: " + base +
                  ".Out.Horno, 2.pt0: cannot be opened; its column is empty in segment 0\n"
                  "calora-cli: " +
                  base + ".Out.Horno, 2.pt1: cannot be opened; its column is empty in segment 1\n",
              err.str());
}

TEST_F(CliGraphTest, NamesTheFileNamesCannotTellApartKeepTheirOwnColumns) {
    // Stored as "???? 1" both; and two names that agree in their first 200 bytes.
    const std::string longName(200, 'x');
    GraphSegmentData data;
    data.entries = {{"Печь 1", "Val", 0, true},
                    {"Пара 1", "Val", 0, true},
                    {longName + "1", "Val", 0, true},
                    {longName + "2", "Val", 0, true}};
    for (float v : {1.0f, 2.0f, 3.0f, 4.0f})
        data.points.push_back({0, 0, 1, v, v, {v}});
    data.timeline = {{2026, 12, 0, 6, 9, 5, 58, 0}};
    const std::string other = dir + "/other.gf";
    FinishWithin(std::chrono::seconds(30), "saving and exporting", [&] {
        EXPECT_TRUE(SaveGraphSegment(other, 0, data).Ok());
        EXPECT_EQ(0, Run({"graph", "export", other}));
    });
    EXPECT_EQ("time,???? 1 Val,???? 1 Val," + longName + "1 Val," + longName +
                  "2 Val\n2026-12-06T09:05:58.000,1,2,3,4\n",
              out.str());
    EXPECT_EQ("", err.str());
}

} // namespace
