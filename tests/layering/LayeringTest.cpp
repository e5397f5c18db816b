// The two libraries stay apart: the core includes no Qt and no window header, and no two
// folders include each other, directly or round a longer cycle.
#include "layering/IncludeGraph.h"

#include <gtest/gtest.h>

namespace {
std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& line : lines)
        all += line + "\n";
    return all;
}

bool Mentions(const std::vector<std::string>& faults, const std::string& text) {
    return Joined(faults).find(text) != std::string::npos;
}
} // namespace

TEST(Layering, TheSourceTreeKeepsItsLayers) {
    const SourceTree tree = ReadSourceTree(std::string(CALORA_SOURCE_DIR) + "/src");
    ASSERT_GT(tree.size(), 50u);
    const auto faults = LayeringFaults(tree);
    EXPECT_TRUE(faults.empty()) << Joined(faults);
}

TEST(Layering, PlantedFaultsAreFoundAndNamed) {
    SourceTree tree = ReadSourceTree(std::string(CALORA_SOURCE_DIR) + "/src");
    ASSERT_TRUE(tree.count("core/modbus/ModbusMaster.cpp"));
    ASSERT_TRUE(tree.count("core/platform/Event.h"));
    ASSERT_TRUE(tree.count("ui/graph/ChartCtrl.h"));

    // A Qt header and a window header in the core.
    tree["core/modbus/ModbusMaster.cpp"] += "\n#include <QString>\n";
    tree["core/platform/Event.h"] += "\n#include \"ui/framework/DialogBase.h\"\n";
    // A cycle across three folders: platform -> tasks already runs the other way round.
    tree["core/platform/Planted.h"] = "#include \"core/tasks/CommSettings.h\"\n";
    // The launcher reaching into the program.
    tree["launcher/Planted.cpp"] = "#include \"launcher/LauncherDlg.h\"\n#include <QDialog>\n"
                                   "#include \"ui/framework/DialogBase.h\"\n";
    // A small widget reaching up into the chart.
    tree["ui/widgets/Planted.cpp"] = "#include \"ui/graph/ChartCtrl.h\"\n";
    const auto faults = LayeringFaults(tree);

    EXPECT_TRUE(Mentions(faults, "ui/widgets/Planted.cpp: ui/widgets includes ui/graph/"))
        << Joined(faults);
    EXPECT_TRUE(Mentions(faults, "core/modbus/ModbusMaster.cpp: the core includes QString"))
        << Joined(faults);
    EXPECT_TRUE(Mentions(faults, "core/platform/Event.h: the core includes ui/framework/"))
        << Joined(faults);
    EXPECT_TRUE(Mentions(faults, "folder cycle")) << Joined(faults);
    EXPECT_TRUE(Mentions(faults, "core/platform/Planted.h")) << Joined(faults);
    EXPECT_TRUE(Mentions(faults, "launcher/Planted.cpp: the launcher includes ui/framework/"))
        << Joined(faults);
    EXPECT_FALSE(Mentions(faults, "the launcher includes launcher/")) << Joined(faults);
}

TEST(Layering, IncludesThatFollowTheLayersPass) {
    SourceTree tree{{"core/a/A.h", "#include <vector>\n"},
                    {"core/b/B.cpp", "#include \"core/a/A.h\"\n#include \"core/b/B.h\"\n"},
                    {"core/b/B.h", ""},
                    {"ui/w/W.cpp", "#include <QWidget>\n#include \"core/b/B.h\"\n"}};
    EXPECT_TRUE(LayeringFaults(tree).empty()) << Joined(LayeringFaults(tree));
}
