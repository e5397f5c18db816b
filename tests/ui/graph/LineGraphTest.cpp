// A scripted recording through the line graph's poll callbacks, checked byte for byte in the
// graph files it leaves; then the same files in the viewer and in calora-cli's export.
#include "cli/ProgramRun.h"
#include "support/RecordingUiServices.h"
#include "ui/framework/ResourceIds.h"
#include "ui/graph/ChartCtrl.h"
#include "ui/graph/ChartLegend.h"
#include "ui/graph/CurveChooserDlg.h"
#include "ui/graph/GraphRangeDlg.h"
#include "ui/graph/GraphResourceIds.h"
#include "ui/graph/GraphViewerDlg.h"
#include "ui/graph/LineGraphDlg.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>

namespace {

constexpr float kGap = -std::numeric_limits<float>::infinity();

// Little-endian bytes written out by hand, independent of the program's writers.
struct Bytes {
    QByteArray data;
    Bytes& I16(int16_t v) { return Raw(&v, 2); }
    Bytes& I32(int32_t v) { return Raw(&v, 4); }
    Bytes& U16(uint16_t v) { return Raw(&v, 2); }
    Bytes& F32(float v) { return Raw(&v, 4); }
    Bytes& Text(const QByteArray& cp1252) {
        data.append(static_cast<char>(cp1252.size()));
        data.append(cp1252);
        return *this;
    }
    Bytes& Raw(const void* p, int n) {
        data.append(static_cast<const char*>(p), n);
        return *this;
    }
};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// Registers as a controller answers: process value, output in tenths, status value and the
// decimal-point register.
std::vector<short> Registers(short pv, short out, short sv, short dp) {
    std::vector<short> r(43, 0);
    r[0] = pv;
    r[3] = out;
    r[4] = sv;
    r[32] = dp;
    return r;
}

GraphTimestamp At(int second) {
    return {2026, 12, 0, 6, 15, 21, static_cast<uint16_t>(36 + second), 250};
}

class LineGraphTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    CRecordingUiServices ui;
    CScopedUiServices scope{ui};
    int tick = 0;

    std::unique_ptr<CLineGraphDlg> MakeGraph(std::vector<GraphController> controllers, int width) {
        auto graph =
            std::make_unique<CLineGraphDlg>(std::move(controllers), dir.path().toStdString() + "/",
                                            nullptr, [this] { return At(tick++); });
        graph->Chart().resize(width, 100);
        graph->show();
        return graph;
    }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }
};

TEST_F(LineGraphTest, ScriptedRecordingWritesSegmentsByteForByte) {
    auto graph = MakeGraph({{1, "Zona \xC3\xB1"}, {2, "Horno %d"}}, 3);
    const QString base = QString::fromStdString(graph->GraphPath());
    EXPECT_EQ(dir.path() + "/6-12-2026 15_21_36.gf", base);
    EXPECT_EQ(3, graph->SaveInterval());

    auto a0 = Registers(1234, 567, 1000, 1), b0 = Registers(-250, -15, 300, 6);
    auto a1 = Registers(1250, 570, 1000, 1);
    auto b2 = Registers(-260, 20, 300, 6);
    auto a3 = Registers(1199, 0, 1100, 1);
    graph->OnData(1, a0.data(), nullptr); // cycle 0
    graph->OnData(2, b0.data(), nullptr);
    graph->OnData(1, a1.data(), nullptr); // cycle 1: the second controller is silent
    graph->OnError(2);
    graph->OnError(1); // cycle 2 fills segment 0 once both controllers are in
    graph->OnData(2, b2.data(), nullptr);
    EXPECT_EQ(1, graph->SegmentsSaved());
    graph->OnData(1, a3.data(), nullptr); // cycle 3 is stopped after the first controller
    graph.reset();                        // closing saves the partial segment 1
    EXPECT_TRUE(ui.messages.empty()) << ui.LastText().toStdString();

    const QByteArray zona("Zona \xF1"), horno("Horno %d");
    Bytes header;
    header.I32(6);
    for (const QByteArray& name : {zona, horno}) {
        header.Text(name).Text("Sp").I32(0x00FF00).I32(0);
        header.Text(name).Text("Out").I32(0xFF0000).I32(0);
        header.Text(name).Text("Val").I32(0x0000FF).I32(0);
    }
    EXPECT_EQ(header.data, ReadAll(base));

    Bytes timeline;
    timeline.I32(4);
    for (int s = 0; s < 4; ++s)
        for (uint16_t field : {2026, 12, 0, 6, 15, 21, 37 + s, 250}) // second 36 named the set
            timeline.U16(field);
    EXPECT_EQ(timeline.data, ReadAll(base + ".timeline"));

    struct Expected {
        const char* file;
        int16_t decimals;
        int32_t from, to;
        float max, min;
        std::vector<float> samples;
    };
    const Expected expected[] = {
        {".Sp.Zona \xC3\xB1.pt0", 1, 0, 3, 100.0f, 100.0f, {100.0f, 100.0f, kGap}},
        {".Out.Zona \xC3\xB1.pt0", 0, 0, 3, 57.0f, 56.0f, {56.0f, 57.0f, kGap}},
        {".Val.Zona \xC3\xB1.pt0", 1, 0, 3, 125.0f, 123.4f, {123.4f, 125.0f, kGap}},
        {".Sp.Horno %d.pt0", 2, 0, 3, 3.0f, 3.0f, {3.0f, kGap, 3.0f}},
        {".Out.Horno %d.pt0", 0, 0, 3, 2.0f, -1.0f, {-1.0f, kGap, 2.0f}},
        {".Val.Horno %d.pt0", 2, 0, 3, -2.5f, -2.6f, {-2.5f, kGap, -2.6f}},
        {".Sp.Zona \xC3\xB1.pt1", 1, 3, 4, 110.0f, 100.0f, {110.0f}},
        {".Out.Zona \xC3\xB1.pt1", 0, 3, 4, 57.0f, 0.0f, {0.0f}},
        {".Val.Zona \xC3\xB1.pt1", 1, 3, 4, 125.0f, 119.9f, {119.9f}},
        {".Sp.Horno %d.pt1", 2, 3, 4, 3.0f, 3.0f, {kGap}},
        {".Out.Horno %d.pt1", 0, 3, 4, 2.0f, -1.0f, {kGap}},
        {".Val.Horno %d.pt1", 2, 3, 4, -2.5f, -2.6f, {kGap}},
    };
    QStringList names{QFileInfo(base).fileName(), QFileInfo(base).fileName() + ".timeline"};
    for (const Expected& e : expected) {
        Bytes points;
        points.I16(e.decimals).I32(e.from).I32(e.to).F32(e.max).F32(e.min);
        for (float sample : e.samples)
            points.F32(sample);
        EXPECT_EQ(points.data.toHex(' '), ReadAll(base + QString::fromUtf8(e.file)).toHex(' '))
            << e.file;
        names << QFileInfo(base).fileName() + QString::fromUtf8(e.file);
    }
    // Nothing else: no temporary file left behind.
    names.sort();
    EXPECT_EQ(names, Files());
}

TEST_F(LineGraphTest, LongRecordingHoldsAScreenAndItsFilesKeepEverySample) {
    constexpr int kWidth = 120, kSegments = 5, kCycles = kSegments * kWidth + 7;
    auto time = [](int n) { // whole seconds from 15:00:00
        return GraphTimestamp{
            2026, 12, 0, 6, 15, static_cast<uint16_t>(n / 60), static_cast<uint16_t>(n % 60), 250};
    };
    int n = 0;
    auto graph = std::make_unique<CLineGraphDlg>(std::vector<GraphController>{{1, "A"}, {2, "B"}},
                                                 dir.path().toStdString() + "/", nullptr,
                                                 [&] { return time(n++); });
    graph->Chart().resize(kWidth, 100);
    graph->show();
    // The same samples in a chart that keeps them all.
    CChartCtrl all;
    all.resize(kWidth, 100);
    CChartLegend allLegend;
    all.SetLegend(&allLegend);
    for (int i = 0; i < 6; ++i) {
        const CGraphCurve& c = *graph->Chart().GetCurve(i);
        all.AddCurve(std::make_shared<CGraphCurve>(c.GetColour(), c.GetScaleMax(), 0.0f,
                                                   c.GetControllerName(), c.GetVariableName()));
        all.GetCurve(i)->SetVisible(i % 3 != 0);
        graph->Chart().GetCurve(i)->SetVisible(i % 3 != 0);
    }
    std::vector<float> val[2]; // "Val" of A and B: the first cycles hold both extremes
    for (int c = 0; c < kCycles; ++c) {
        all.AddTimestamp(time(c + 1));
        for (int k = 0; k < 2; ++k) {
            const short pv = c == 3 ? 5000 : c == 4 ? -900 : static_cast<short>(c * (k + 3) % 400);
            if (k == 1 && c % 50 == 7) {
                graph->OnError(2);
                for (int i = 3; i < 6; ++i)
                    all.GetCurve(i)->AddMissing();
                val[k].push_back(kGap);
                continue;
            }
            auto r = Registers(pv, static_cast<short>(c % 100 * 10), 100, 0);
            graph->OnData(static_cast<unsigned char>(k + 1), r.data(), nullptr);
            const float sp = 100.0f, out = static_cast<float>(c % 100), pvf = pv;
            for (int i = 0; i < 3; ++i)
                all.GetCurve(k * 3 + i)->AddSample(i == 0 ? sp : i == 1 ? out : pvf);
            val[k].push_back(pv);
        }
    }
    QTemporaryDir other;
    all.Save(other.path().toStdString() + "/all.gf", 0, 0, 1); // a saved chart, as the graph's
    ASSERT_EQ(kSegments, graph->SegmentsSaved());
    for (int i = 0; i < 6; ++i) {
        EXPECT_LE(graph->Chart().GetCurve(i)->GetSampleCount(), 2u * kWidth + 1) << i;
        EXPECT_EQ(kCycles, graph->Chart().GetCurve(i)->GetEndIndex()) << i;
    }
    // The newest screen, its time labels and the legend at two cursor places.
    for (int steps : {0, 90}) {
        QImage drawn(kWidth, 100, QImage::Format_ARGB32_Premultiplied), expected = drawn;
        for (int s = 0; s < steps; ++s) {
            graph->Chart().CursorLeft();
            all.CursorLeft();
        }
        {
            QPainter p(&drawn);
            graph->Chart().Paint(p);
        }
        {
            QPainter p(&expected);
            all.Paint(p);
        }
        EXPECT_EQ(expected, drawn) << steps;
        for (int row = 0; row < allLegend.RowCount(); ++row)
            EXPECT_EQ(allLegend.RowText(row), graph->Legend().RowText(row)) << row;
    }
    EXPECT_TRUE(graph->Legend().RowText(2).contains("M:5000, m:-900"))
        << allLegend.RowText(2).toStdString();
    const std::string path = graph->GraphPath();
    graph.reset();
    EXPECT_TRUE(ui.messages.empty()) << ui.LastText().toStdString();

    Bytes timeline;
    timeline.I32(kCycles);
    for (int c = 1; c <= kCycles; ++c) {
        const GraphTimestamp t = time(c);
        for (uint16_t f :
             {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, t.milliseconds})
            timeline.U16(f);
    }
    EXPECT_EQ(timeline.data, ReadAll(QString::fromStdString(path + ".timeline")));
    Bytes last;
    last.I16(0).I32(kSegments * kWidth).I32(kCycles).F32(5000.0f).F32(-900.0f);
    for (size_t c = kSegments * kWidth; c < kCycles; ++c)
        last.F32(val[0][c]);
    EXPECT_EQ(last.data, ReadAll(QString::fromStdString(path + ".Val.A.pt5")));

    // Every segment in the viewer, and every cycle in calora-cli's export.
    CGraphViewerDlg viewer(path, dir.path().toStdString());
    viewer.show();
    for (int s = 0; s <= kSegments; ++s) {
        ASSERT_EQ(s, viewer.ShownSegment());
        for (int k = 0; k < 2; ++k) {
            const auto begin = val[k].begin() + s * kWidth;
            EXPECT_EQ(std::vector<float>(begin, begin + std::min(kWidth, kCycles - s * kWidth)),
                      viewer.Chart().GetCurve(k * 3 + 2)->GetSamples());
        }
        viewer.Control<QPushButton>(IDC_VIEWER_NEXT)->click();
    }
    const ProgramResult run = RunProgram(TestBinary("calora-cli"), {"graph", "export", path});
    ASSERT_EQ(0, run.exitStatus) << run.err;
    QStringList rows = QString::fromStdString(run.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(kCycles + 1, rows.size());
    for (int c = 0; c < kCycles; ++c) {
        const QStringList cells = rows[c + 1].split(',');
        for (int k = 0; k < 2; ++k) {
            const float v = val[k][static_cast<size_t>(c)];
            EXPECT_EQ(std::isfinite(v) ? QString::number(v) : QString(), cells[1 + k * 3 + 2]) << c;
        }
    }
}

TEST_F(LineGraphTest, DuplicatedAddressFeedsEachEntryAndOneTimestampPerCycle) {
    auto graph = MakeGraph({{7, "A"}, {8, "B"}, {7, "C"}}, 100);
    auto first = Registers(100, 0, 0, 0), second = Registers(200, 0, 0, 0);
    for (int cycle = 0; cycle < 2; ++cycle) {
        graph->OnData(7, first.data(), nullptr);
        graph->OnError(8);
        graph->OnData(7, second.data(), nullptr);
    }
    CChartCtrl& chart = graph->Chart();
    EXPECT_EQ(2u, chart.GetTimelineCount());
    EXPECT_EQ((std::vector<float>{100, 100}), chart.GetCurve(2)->GetSamples()); // A: Val
    EXPECT_EQ((std::vector<float>{200, 200}), chart.GetCurve(8)->GetSamples()); // C: Val
    EXPECT_EQ(2u, chart.GetCurve(5)->GetSampleCount());                         // B: Val
    // An address outside the list changes nothing.
    graph->OnData(9, first.data(), nullptr);
    EXPECT_EQ(2u, chart.GetCurve(2)->GetSampleCount());
}

TEST_F(LineGraphTest, ClosingBeforeTheFirstPollLeavesNoFiles) {
    auto graph = MakeGraph({{1, "A"}}, 10);
    EXPECT_EQ(1, Files().size()); // the reserved name
    auto second = std::make_unique<CLineGraphDlg>(std::vector<GraphController>{{1, "A"}},
                                                  dir.path().toStdString() + "/", nullptr,
                                                  [] { return At(0); });
    EXPECT_NE(graph->GraphPath(), second->GraphPath()); // same second: the next name
    EXPECT_EQ(dir.path().toStdString() + "/6-12-2026 15_21_36-2.gf", second->GraphPath());
    graph.reset();
    second.reset();
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(LineGraphTest, ChartWithoutWidthSavesEveryCycleAndAFailedSaveIsShownOnce) {
    auto graph = MakeGraph({{1, "A"}, {2, "B"}}, 0);
    EXPECT_EQ(1, graph->SaveInterval());
    auto r = Registers(10, 0, 0, 0);
    graph->OnData(1, r.data(), nullptr);
    graph->OnData(2, r.data(), nullptr);
    EXPECT_EQ(1, graph->SegmentsSaved());
    EXPECT_TRUE(ui.messages.empty());
    // Every file of this save fails: one box names the first.
    EXPECT_FALSE(graph->Chart().Save(dir.path().toStdString() + "/none/x.gf", 0, 0, 1));
    ASSERT_EQ(1u, ui.messages.size());
    EXPECT_TRUE(ui.LastText().endsWith("/none/x.gf.timeline")) << ui.LastText().toStdString();
    // Failures on the poll thread while its box waits add no box.
    std::thread poll([&] {
        for (int i = 0; i < 3; ++i)
            graph->Chart().Save(dir.path().toStdString() + "/none/x.gf", 0, 0, 1);
    });
    poll.join();
    QApplication::processEvents();
    EXPECT_EQ(2u, ui.messages.size());
}

// Records `cycles` polls of controllers 1 and 2 (those the graph lists) and closes it.
std::string Record(std::unique_ptr<CLineGraphDlg> graph, int cycles) {
    for (int c = 0; c < cycles; ++c) {
        auto a = Registers(static_cast<short>(100 + c), 500, 50, 0);
        auto b = Registers(static_cast<short>(-c), 100, 60, 0);
        graph->OnData(1, a.data(), nullptr);
        graph->OnData(2, b.data(), nullptr);
    }
    std::string path = graph->GraphPath();
    graph.reset();
    return path;
}

TEST_F(LineGraphTest, ViewerWithoutACurveFileCannotPageAndChooseKeepsThatCurve) {
    const std::string path = Record(MakeGraph({{1, "A"}, {2, "B"}}, 10), 25);
    // Segment 0 of curve "B: Out" is lost.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(path + ".Out.B.pt0")));

    CGraphViewerDlg viewer(path, dir.path().toStdString());
    viewer.show();
    CChartCtrl& chart = viewer.Chart();
    ASSERT_EQ(5, chart.GetCurveCount());
    ASSERT_EQ(1u, ui.messages.size()); // the lost file is named
    EXPECT_TRUE(ui.LastText().endsWith(".Out.B.pt0")) << ui.LastText().toStdString();
    viewer.Control<QPushButton>(IDC_VIEWER_NEXT)->click();
    EXPECT_EQ(0, viewer.ShownSegment()); // segment 1 holds six curves
    EXPECT_EQ(5, chart.GetCurveCount());

    ui.colorAnswers.push_back(QColor(1, 2, 3));
    CScopedModalHandler chooser([](CDialogBase& dlg) {
        dlg.Control<QListWidget>(IDC_CURVES_AVAILABLE)->setCurrentRow(0); // "A: Out"
        dlg.Control<QPushButton>(IDC_CURVES_ADD)->click();
        dlg.Control<QPushButton>(IDOK)->click();
    });
    viewer.Control<QPushButton>(IDC_VIEWER_CHOOSE)->click();
    GraphFileProblem problem;
    auto reloaded = LoadGraphSegment(path, 1, problem);
    ASSERT_TRUE(reloaded.has_value());
    ASSERT_EQ(6u, reloaded->entries.size());
    EXPECT_EQ((GraphHeaderEntry{"A", "Out", 0x030201, true}), reloaded->entries[1]);
    EXPECT_EQ((GraphHeaderEntry{"B", "Out", 0xFF0000, false}), reloaded->entries[4]);
    EXPECT_EQ(1, std::count_if(reloaded->entries.begin(), reloaded->entries.end(),
                               [](const GraphHeaderEntry& e) { return e.visible; }));
}

TEST_F(LineGraphTest, NamesOutsideTheCodePageAreViewedUnderTheirStoredNames) {
    // Both names are stored as "???? 1": each curve still finds its own samples.
    const std::string path = Record(MakeGraph({{1, "Печь 1"}, {2, "Пара 1"}}, 10), 12);
    CGraphViewerDlg viewer(path, dir.path().toStdString());
    viewer.show();
    EXPECT_TRUE(ui.messages.empty()) << ui.LastText().toStdString();
    CChartCtrl& chart = viewer.Chart();
    ASSERT_EQ(6, chart.GetCurveCount());
    EXPECT_EQ("???? 1", chart.GetCurve(5)->GetControllerName());
    EXPECT_EQ(101.0f, chart.GetCurve(2)->GetSamples()[1]); // first controller's value
    EXPECT_EQ(-1.0f, chart.GetCurve(5)->GetSamples()[1]);  // second controller's value
}

TEST_F(LineGraphTest, ViewerNextAndPreviousStopAtTheEnds) {
    const std::string path = Record(MakeGraph({{1, "A"}}, 10), 25);
    CGraphViewerDlg viewer(path, dir.path().toStdString());
    viewer.show();
    auto click = [&](int id) { viewer.Control<QPushButton>(id)->click(); };
    click(IDC_VIEWER_PREVIOUS);
    EXPECT_EQ(0, viewer.ShownSegment());
    click(IDC_VIEWER_NEXT);
    click(IDC_VIEWER_NEXT);
    EXPECT_EQ(2, viewer.ShownSegment());
    EXPECT_EQ(20, viewer.Chart().GetCurve(2)->GetFirstIndex());
    EXPECT_EQ(5u, viewer.Chart().GetCurve(2)->GetSampleCount());
    click(IDC_VIEWER_NEXT); // past the last segment
    EXPECT_EQ(2, viewer.ShownSegment());
    click(IDC_VIEWER_PREVIOUS);
    EXPECT_EQ(1, viewer.ShownSegment());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LineGraphTest, TheSetBeingRecordedOpensWithTheCyclesSoFar) {
    auto graph = MakeGraph({{1, "A"}, {2, "B"}}, 10);
    auto cycle = [&](short pv) {
        auto r = Registers(pv, 0, 0, 0);
        graph->OnData(1, r.data(), nullptr);
        graph->OnData(2, r.data(), nullptr);
    };
    for (short c = 0; c < 3; ++c) // no segment is full yet
        cycle(c);
    auto half = Registers(99, 0, 0, 0);
    graph->OnData(1, half.data(), nullptr); // a cycle under way is not offered
    int curves = 0;
    size_t samples = 0;
    CScopedModalHandler viewer([&](CDialogBase& dlg) {
        CChartCtrl& chart = dynamic_cast<CGraphViewerDlg&>(dlg).Chart();
        curves = chart.GetCurveCount();
        samples = curves == 6 ? chart.GetCurve(5)->GetSampleCount() : 0; // "B: Val"
    });
    ui.fileAnswers.push_back(QString::fromStdString(graph->GraphPath()));
    graph->Control<QPushButton>(IDC_LINE_FILE)->click();
    EXPECT_TRUE(ui.messages.empty()) << ui.LastText().toStdString();
    EXPECT_EQ(6, curves);
    EXPECT_EQ(3u, samples);

    // Recording goes on: the full segment replaces what was shown.
    graph->OnData(2, half.data(), nullptr);
    for (short c = 4; c < 10; ++c)
        cycle(c);
    EXPECT_EQ(1, graph->SegmentsSaved());
    GraphFileProblem problem;
    auto set = LoadGraphSegment(graph->GraphPath(), 0, problem);
    ASSERT_TRUE(set.has_value());
    EXPECT_EQ(10u, set->points[5]->samples.size());
}

TEST_F(LineGraphTest, DamagedSetIsRefusedAndTheViewerCloses) {
    const std::string path = Record(MakeGraph({{1, "A"}}, 10), 12);
    QFile points(QString::fromStdString(path + ".Val.A.pt0"));
    ASSERT_TRUE(points.open(QIODevice::ReadWrite));
    points.resize(points.size() - 1);
    points.close();
    CGraphViewerDlg viewer(path, dir.path().toStdString());
    EXPECT_EQ(IDOK, viewer.DoModal());
    ASSERT_EQ(1u, ui.messages.size());
    EXPECT_TRUE(ui.LastText().endsWith(".Val.A.pt0")) << ui.LastText().toStdString();
}

TEST_F(LineGraphTest, LegendShowsNamesAsTextAndGapsAsQuestionMarks) {
    auto graph = MakeGraph({{1, "100% oven"}}, 50);
    auto r = Registers(1234, 0, 0, 1);
    graph->OnData(1, r.data(), nullptr);
    graph->OnError(1);
    graph->OnData(1, r.data(), nullptr);
    CChartCtrl& chart = graph->Chart();
    chart.GetCurve(2)->SetVisible(true);
    QImage image(chart.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    auto cursorTo = [&](int x) {
        while (chart.GetCursorX() > x)
            chart.CursorLeft();
        chart.Paint(painter);
    };
    cursorTo(0);
    EXPECT_EQ("100% oven: Val 123.4 ( M:123.4, m:123.4 )", graph->Legend().RowText(1));
    EXPECT_EQ("06/12/2026 15:21:37", graph->Legend().RowText(0));
    chart.CursorRight();
    chart.Paint(painter);
    EXPECT_EQ("100% oven: Val: ????", graph->Legend().RowText(1));
}

TEST_F(LineGraphTest, RangeRefusesEqualAndOutOfBoundValues) {
    struct Case {
        const char* max;
        const char* min;
        bool accepted;
    } cases[] = {{"50", "50", false},
                 {"10000", "0", false},
                 {"100", "-1000", false},
                 {"9999", "-999", true},
                 {"0.001", "0", true}};
    for (const Case& c : cases) {
        ui.messages.clear();
        CGraphRangeDlg dlg(600, 0);
        dlg.show();
        dlg.Control<QLineEdit>(IDC_RANGE_MAX)->setText(c.max);
        dlg.Control<QLineEdit>(IDC_RANGE_MIN)->setText(c.min);
        dlg.Control<QPushButton>(IDOK)->click();
        EXPECT_EQ(c.accepted, dlg.result() == IDOK) << c.max << " " << c.min;
        EXPECT_EQ(c.accepted, ui.messages.empty()) << c.max << " " << c.min;
    }
}

TEST_F(LineGraphTest, ChooserRefusesASeventeenthCurve) {
    auto graph = MakeGraph({{1, "A"}, {2, "B"}, {3, "C"}, {4, "D"}, {5, "E"}, {6, "F"}}, 50);
    CCurveChooserDlg dlg(graph->Chart());
    dlg.show();
    auto* available = dlg.Control<QListWidget>(IDC_CURVES_AVAILABLE);
    for (int i = 0; i < 17; ++i) {
        ui.colorAnswers.push_back(QColor(Qt::black));
        available->setCurrentRow(0);
        dlg.Control<QPushButton>(IDC_CURVES_ADD)->click();
    }
    EXPECT_EQ(16, dlg.Control<QListWidget>(IDC_CURVES_SELECTED)->count());
    EXPECT_EQ(16u, ui.colors.size()); // the 17th never asked for a colour
    EXPECT_EQ(16, std::count(dlg.Visible().begin(), dlg.Visible().end(), true));
}

} // namespace

namespace {

TEST(ChartPaintTest, LinesJoinNeighbourColumnsAndStayInsideTheFrame) {
    CChartCtrl chart;
    chart.resize(5, 11); // rows 0..10 map 100..0
    auto curve = std::make_shared<CGraphCurve>(0x0000FF, 100.0f, 0.0f, "Z", "Val");
    curve->SetVisible(true);
    for (float v : {0.0f, 100.0f, 90.0f, 1e30f, -1e30f, 50.0f})
        curve->AddSample(v);
    chart.AddCurve(curve);
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    chart.Paint(painter);
    painter.end();
    auto column = [&](int x) {
        QString rows;
        for (int y = 0; y < image.height(); ++y)
            rows += image.pixel(x, y) == qRgb(255, 0, 0) ? 'r' : '.';
        return rows;
    };
    // Six samples at columns 0..5 (the last one outside the 5-pixel frame); rows 10..0.
    EXPECT_EQ(".....rrrrrr", column(0)); // 0 rising to 100: lower half of the rows here,
    EXPECT_EQ("rrrrr......", column(1)); // the upper half in the next column
    EXPECT_EQ("rr.........", column(2)); // 90 toward a value far above: clipped at the top
    EXPECT_EQ("r..........", column(3)); // from far above to far below: split at the middle
    EXPECT_EQ(".rrrrrrrrrr", column(4));
}

TEST(ChartPaintTest, ValueLabelsShowWholeOnBothSidesAndOverTheCurves) {
    CChartCtrl chart;
    chart.resize(400, 300);
    chart.SetAxis(1250.0f, 0.0f, 3); // labels 1000.000, 750.000, 500.000, 250.000
    const QFontMetrics metrics(QApplication::font());
    const int step = chart.height() / 5;
    // A red curve straight through the middle of the first label's line of text.
    const int rows = chart.height() - 1;
    const float through = 1250.0f * (rows - (step + metrics.ascent() / 2)) / rows;
    auto curve = std::make_shared<CGraphCurve>(0x0000FF, 1250.0f, 0.0f, "Z", "Val");
    curve->SetVisible(true);
    for (int x = 0; x <= chart.width(); ++x)
        curve->AddSample(through);
    chart.AddCurve(curve);
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    chart.Paint(painter);
    painter.end();

    const QString label = QStringLiteral("1000.000");
    const QSize box(metrics.horizontalAdvance(label), metrics.height());
    const QImage left = image.copy(QRect(QPoint(5, step), box));
    const QImage right = image.copy(QRect(QPoint(chart.width() - 5 - box.width(), step), box));
    auto hasRed = [](const QImage& part) {
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x)
                if (part.pixel(x, y) == qRgb(255, 0, 0))
                    return true;
        return false;
    };
    EXPECT_FALSE(hasRed(left)) << "the curve crosses the left label";
    EXPECT_EQ(left, right) << "the right label is not the whole text";
}

} // namespace
