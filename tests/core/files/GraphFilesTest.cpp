// Graph sets on disk: damaged files refused, atomic saves, and the curve's column mapping.
#include "core/files/Archive.h"
#include "core/files/GraphCurve.h"
#include "core/files/GraphSet.h"
#include "support/FinishWithin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::vector<uint8_t> Bytes(const CMemoryArchiveWriter& w) {
    return w.GetBytes();
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> List(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class GraphSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/graphset-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        dir = pattern;
        base = dir + "/set.gf";
        WriteSoundSet();
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    // Two curves over three time-line entries, saved as segment 0.
    void WriteSoundSet() {
        GraphSegmentData data;
        data.entries = {{"Zone 1", "Val", 0xFF, true}, {"Zone 1", "Out", 0xFF0000, false}};
        GraphPoints val{1,     0,     3,
                        30.5f, 10.0f, {10.0f, -std::numeric_limits<float>::infinity(), 30.5f}};
        GraphPoints out{0, 0, 3, 80.0f, 0.0f, {0.0f, 80.0f, 40.0f}};
        data.points = {val, out};
        data.timeline.resize(3, GraphTimestamp{2026, 12, 0, 7, 10, 0, 0, 0});
        ASSERT_TRUE(SaveGraphSegment(base, 0, data).Ok());
    }

    std::optional<LoadedGraphSegment> Load(int segment = 0) {
        return LoadGraphSegment(base, segment, problem);
    }
    void Damage(const std::string& path, const std::function<void(CMemoryArchiveWriter&)>& fill) {
        CMemoryArchiveWriter w;
        fill(w);
        WriteFile(path, Bytes(w));
    }

    std::string dir, base;
    GraphFileProblem problem;
};

TEST_F(GraphSetTest, CurvesOfTheSameNameKeepTheirOwnSamples) {
    GraphSegmentData data;
    data.entries = {{"Zone 1", "Val", 1, true}, {"Zone 1", "Val", 2, true}};
    data.points = {{0, 0, 1, 5, 5, {5.0f}}, {0, 0, 1, 7, 7, {7.0f}}};
    data.timeline.resize(1);
    ASSERT_TRUE(SaveGraphSegment(base, 0, data).Ok());
    auto set = Load();
    ASSERT_TRUE(set.has_value());
    EXPECT_EQ(5.0f, set->points[0]->samples[0]);
    EXPECT_EQ(7.0f, set->points[1]->samples[0]);
}

TEST_F(GraphSetTest, SavedSetLoadsBack) {
    auto set = Load();
    ASSERT_TRUE(set.has_value());
    ASSERT_EQ(2u, set->entries.size());
    EXPECT_EQ((GraphHeaderEntry{"Zone 1", "Val", 0xFF, true}), set->entries[0]);
    ASSERT_TRUE(set->points[0].has_value());
    EXPECT_TRUE(std::isinf(set->points[0]->samples[1]));
    EXPECT_EQ(3u, set->timeline.size());
    EXPECT_EQ((std::vector<std::string>{"set.gf", "set.gf.Out.Zone 1.pt0", "set.gf.Val.Zone 1.pt0",
                                        "set.gf.timeline"}),
              List(dir));
    // No points files for segment 1: every curve left out, not an error.
    auto next = Load(1);
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(0u, next->PointsFileCount());
}

TEST_F(GraphSetTest, DamagedFilesAreRefusedNamingTheFile) {
    const std::string val = base + ".Val.Zone 1.pt0";
    struct Case {
        std::string file;
        std::function<void(CMemoryArchiveWriter&)> fill;
    } cases[] = {
        // Header: a count the file cannot hold, a negative count, a name longer than the file.
        {base, [](auto& w) { w.WriteInt32(1000000); }},
        {base, [](auto& w) { w.WriteInt32(-1); }},
        {base,
         [](auto& w) {
             w.WriteInt32(1);
             w.WriteUInt8(0xFF);
             w.WriteUInt16(60000);
         }},
        // Time line: more entries announced than stored.
        {base + ".timeline",
         [](auto& w) {
             w.WriteInt32(4);
             w.WriteBytes("0123456789012345", 16);
         }},
        // More curves than a header may list, each of them complete.
        {base,
         [](auto& w) {
             w.WriteInt32(static_cast<int32_t>(kMostGraphCurves + 1));
             for (size_t i = 0; i <= kMostGraphCurves; ++i) {
                 w.WriteString("");
                 w.WriteString("");
                 w.WriteUInt32(0);
                 w.WriteUInt32(0);
             }
         }},
        // Points: from after to, negative from, too few samples.
        {val,
         [](auto& w) {
             w.WriteInt16(1);
             w.WriteInt32(2);
             w.WriteInt32(1);
             w.WriteFloat(0);
             w.WriteFloat(0);
         }},
        {val,
         [](auto& w) {
             w.WriteInt16(1);
             w.WriteInt32(-1);
             w.WriteInt32(1);
             w.WriteFloat(0);
             w.WriteFloat(0);
             w.WriteFloat(1);
             w.WriteFloat(1);
         }},
        {val,
         [](auto& w) {
             w.WriteInt16(1);
             w.WriteInt32(0);
             w.WriteInt32(3);
             w.WriteFloat(0);
             w.WriteFloat(0);
             w.WriteFloat(1);
         }},
    };
    for (const Case& c : cases) {
        WriteSoundSet();
        Damage(c.file, c.fill);
        EXPECT_FALSE(Load().has_value()) << c.file;
        EXPECT_EQ(GraphFileProblem::Damaged, problem.kind) << c.file;
        EXPECT_EQ(c.file, problem.file);
    }
}

TEST_F(GraphSetTest, DecimalsOutsideZeroToThreeAreClamped) {
    Damage(base + ".Val.Zone 1.pt0", [](auto& w) {
        w.WriteInt16(-7);
        w.WriteInt32(0);
        w.WriteInt32(1);
        w.WriteFloat(0);
        w.WriteFloat(0);
        w.WriteFloat(1e30f);
    });
    auto set = Load();
    ASSERT_TRUE(set.has_value());
    EXPECT_EQ(0, set->points[0]->decimals);
}

TEST_F(GraphSetTest, SamplesPastTheTimeLineAreLeftOut) {
    // A save cut short before its time line: the points reach one entry further.
    Damage(base + ".Val.Zone 1.pt0", [](auto& w) {
        WriteGraphPoints(w, {1, 0, 4, 4.0f, 1.0f, {1.0f, 2.0f, 3.0f, 4.0f}});
    });
    auto set = Load();
    ASSERT_TRUE(set.has_value());
    EXPECT_EQ(3, set->points[0]->to);
    EXPECT_EQ((std::vector<float>{1.0f, 2.0f, 3.0f}), set->points[0]->samples);
}

TEST_F(GraphSetTest, LongNamesAreCutToTheTextLimitAndStillFindTheirPoints) {
    GraphSegmentData data;
    data.entries = {{std::string(kLongestGraphText + 10, 'n'), "Val", 1, true}};
    data.points = {{0, 0, 1, 5, 5, {5.0f}}};
    data.timeline.resize(1);
    ASSERT_TRUE(SaveGraphSegment(base, 0, data).Ok());
    auto set = Load();
    ASSERT_TRUE(set.has_value());
    EXPECT_EQ(kLongestGraphText, set->entries[0].controllerName.size());
    EXPECT_TRUE(set->points[0].has_value());
}

TEST_F(GraphSetTest, FailedSaveIsCountedOnceAndLeavesTheOldFileWhole) {
    const std::vector<std::string> before = List(dir);
    // The time line's name is taken by a folder: that file cannot be replaced.
    ::unlink((base + ".timeline").c_str());
    ASSERT_EQ(0, ::mkdir((base + ".timeline").c_str(), 0755));
    GraphSegmentData data;
    data.entries = {{"Zone 1", "Val", 1, true}};
    data.points = {{1, 0, 1, 1, 1, {1.0f}}};
    data.timeline.resize(1);
    const GraphSaveResult result = SaveGraphSegment(base, 0, data);
    EXPECT_EQ(1, result.failures);
    EXPECT_EQ(base + ".timeline", result.first.file);
    EXPECT_EQ(before, List(dir)); // no temporary left behind

    // A folder that does not exist: every file fails, the first one (the time line) is
    // reported.
    const GraphSaveResult missing = SaveGraphSegment(dir + "/none/x.gf", 0, data);
    EXPECT_EQ(3, missing.failures);
    EXPECT_EQ(GraphFileProblem::CannotCreate, missing.first.kind);
    EXPECT_EQ(dir + "/none/x.gf.timeline", missing.first.file);
}

TEST_F(GraphSetTest, TimeLineGrowsByAppendingAndAnAppendCutShortReadsAsItsCount) {
    const std::string path = base + ".timeline";
    auto stamp = [](uint16_t second) { return GraphTimestamp{2026, 12, 0, 7, 10, 0, second, 0}; };
    auto append = [&](int32_t held, std::vector<GraphTimestamp> entries) {
        GraphSegmentData data;
        data.timelineFrom = held;
        data.timeline = std::move(entries);
        return SaveGraphSegment(base, 1, data);
    };
    auto fileBytes = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    };
    ASSERT_TRUE(append(3, {stamp(1), stamp(2)}).timelineSaved);
    std::vector<GraphTimestamp> whole(3, stamp(0));
    whole.insert(whole.end(), {stamp(1), stamp(2)});
    CMemoryArchiveWriter expected;
    WriteGraphTimeline(expected, whole);
    EXPECT_EQ(Bytes(expected), fileBytes()); // as one pass writes it

    // Cut short between the entries and the count: one entry and a half after the five.
    std::vector<uint8_t> cut = fileBytes();
    cut.insert(cut.end(), 24, 7);
    WriteFile(path, cut);
    auto set = Load();
    ASSERT_TRUE(set.has_value()) << problem.detail;
    EXPECT_EQ(whole, set->timeline);
    // The next append replaces the unfinished tail.
    ASSERT_TRUE(append(5, {stamp(3)}).Ok());
    whole.push_back(stamp(3));
    CMemoryArchiveWriter six;
    WriteGraphTimeline(six, whole);
    EXPECT_EQ(Bytes(six), fileBytes());
    // A file that does not hold what this recording wrote is left alone.
    const GraphSaveResult other = append(4, {stamp(9)});
    EXPECT_FALSE(other.timelineSaved);
    EXPECT_EQ(GraphFileProblem::WriteFailed, other.first.kind);
    EXPECT_EQ(Bytes(six), fileBytes());
}

TEST_F(GraphSetTest, NewRecordingsInTheSameSecondGetTheirOwnNames) {
    const std::string first = ReserveGraphSetPath(dir + "/", "6-12-2026 15_21_36");
    const std::string second = ReserveGraphSetPath(dir + "/", "6-12-2026 15_21_36");
    EXPECT_EQ(dir + "/6-12-2026 15_21_36.gf", first);
    EXPECT_EQ(dir + "/6-12-2026 15_21_36-2.gf", second);
    EXPECT_EQ("6-12-2026 15_21_36", GraphSetStampText({2026, 12, 0, 6, 15, 21, 36, 0}));
    // Two curves of one name keep files of their own, clear of the names other curves use.
    const std::vector<GraphHeaderEntry> same = {
        {"Z", "Val", 0, false}, {"Z#2", "Val", 0, false}, {"Z", "Val", 0, false}};
    EXPECT_EQ((std::vector<std::string>{"s.gf.Val.Z.pt0", "s.gf.Val.Z#2.pt0", "s.gf.Val.Z#3.pt0"}),
              GraphPointsFileNames("s.gf", same, 0));
    // At the length limit: a 199-byte duplicate keeps the "<name>#" it was always given; past
    // that, and for names that agree in their first 200 bytes, the name is cut before "#k".
    const std::string a(199, 'a'), b(200, 'b');
    const std::vector<GraphHeaderEntry> limit = {{a, "Val", 0, false},
                                                 {a, "Val", 0, false},
                                                 {a, "Val", 0, false},
                                                 {b + "1", "Val", 0, false},
                                                 {b + "2", "Val", 0, false}};
    std::vector<std::string> names;
    FinishWithin(std::chrono::seconds(30), "naming",
                 [&] { names = GraphPointsFileNames("s", limit, 0); });
    EXPECT_EQ((std::vector<std::string>{"s.Val." + a + ".pt0", "s.Val." + a + "#.pt0",
                                        "s.Val." + a.substr(1) + "#2.pt0", "s.Val." + b + ".pt0",
                                        "s.Val." + b.substr(2) + "#2.pt0"}),
              names);
    // Names from the list never leave the folder.
    EXPECT_EQ("/g/s.gf.Val..._x_y.pt3", GraphPointsFileName("/g/s.gf", "Val", "../x/y", 3));
}

// Draws into a list of runs.
struct RecordingCanvas : ICurveCanvas {
    std::vector<std::vector<std::pair<int, int>>> runs;
    void DrawPolyline(uint32_t, int, const CurvePoint* p, size_t n) override {
        runs.emplace_back();
        for (size_t i = 0; i < n; ++i)
            runs.back().push_back({p[i].x, p[i].y});
    }
};

TEST(CurveTest, ColumnsMapToSamplesRightAlignedWhenTheDataIsWider) {
    CGraphCurve curve(0, 100, 0, "Z", "Val");
    for (int i = 0; i < 1000; ++i)
        curve.AddSample(static_cast<float>(i));
    const PlotRect plot{0, 0, 400, 101};
    int index = 0;
    ASSERT_TRUE(curve.IndexAt(0, plot, index));
    EXPECT_EQ(599, index);
    ASSERT_TRUE(curve.IndexAt(400, plot, index));
    EXPECT_EQ(999, index);
    ASSERT_TRUE(curve.IndexAt(5000, plot, index)); // limited to the plot
    EXPECT_EQ(999, index);
    EXPECT_EQ(999.0f, curve.VisibleMax(plot));
    EXPECT_EQ(599.0f, curve.VisibleMin(plot));

    CGraphCurve narrow(0, 100, 0, "Z", "Val");
    for (int i = 0; i < 50; ++i)
        narrow.AddSample(static_cast<float>(i));
    ASSERT_TRUE(narrow.IndexAt(300, plot, index));
    EXPECT_EQ(49, index);
    ASSERT_TRUE(narrow.IndexAt(30, plot, index));
    EXPECT_EQ(30, index);

    CGraphCurve single(0, 100, 0, "Z", "Val");
    single.AddSample(5);
    float value = 0;
    EXPECT_FALSE(single.IndexAt(0, plot, index));
    EXPECT_FALSE(single.ValueAt(0, plot, value));
}

TEST(CurveTest, GapsSplitTheLineAndNoValueStaysOutOfTheExtremes) {
    CGraphCurve curve(0, 100, 0, "Z", "Val");
    curve.SetVisible(true);
    for (float v : {0.0f, 50.0f, 100.0f})
        curve.AddSample(v);
    curve.AddMissing();
    curve.AddSample(50.0f);
    curve.AddSample(CGraphCurve::kNoValue);
    EXPECT_EQ(100.0f, curve.GetMaxSeen());
    EXPECT_EQ(0.0f, curve.GetMinSeen());
    curve.AddSample(std::numeric_limits<float>::max()); // far off the plot, still drawable
    RecordingCanvas canvas;
    curve.Draw(canvas, 1, {10, 5, 110, 106});
    ASSERT_EQ(2u, canvas.runs.size());
    EXPECT_EQ((std::vector<std::pair<int, int>>{{10, 105}, {11, 55}, {12, 5}}), canvas.runs[0]);
    ASSERT_EQ(3u, canvas.runs[1].size());
    EXPECT_EQ((std::pair<int, int>{14, 55}), canvas.runs[1][0]);
    EXPECT_GT(canvas.runs[1][1].second, 106); // -9999 lies far below the plot
    EXPECT_LT(canvas.runs[1][2].second, -100000 + 10);
}

} // namespace
