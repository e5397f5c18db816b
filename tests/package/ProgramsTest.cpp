#include "cli/ProgramRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>

namespace {

std::set<std::string> OptionsIn(const std::string& text) {
    static const std::regex option("--[a-z][a-z-]*");
    std::set<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
         it != std::sregex_iterator(); ++it)
        found.insert(it->str());
    return found;
}

std::string Joined(const std::set<std::string>& items) {
    std::string text;
    for (const std::string& item : items)
        text += item + " ";
    return text;
}

} // namespace

// The version comes from the project alone; each program says it on --version, and the
// desktop program answers --help and --version without a display.
TEST(Programs, EachSaysTheProjectVersionAndItsOptions) {
    for (const std::string name : {"calora", "calora-cli", "calora-sim"}) {
        const std::string program = TestBinary(name);
        ASSERT_FALSE(program.empty()) << "CALORA_TEST_BIN is not set";
        const ProgramResult version = RunProgram(program, {"--version"});
        EXPECT_EQ(0, version.exitStatus) << name << ": " << version.err;
        EXPECT_EQ(name + " " CALORA_PROJECT_VERSION "\n", version.out);
        const ProgramResult help = RunProgram(program, {"--help"});
        EXPECT_EQ(0, help.exitStatus) << name << ": " << help.err;
        EXPECT_TRUE(OptionsIn(help.out).count("--version")) << name;
    }
    const ProgramResult help = RunProgram(TestBinary("calora"), {"--help", "-platform", "xcb"});
    EXPECT_TRUE(OptionsIn(help.out).count("--demo")) << help.out;
}

// Completing "--" after each command offers exactly the options its --help names.
TEST(Completion, OffersTheOptionsEachCommandsHelpNames) {
    const std::string bash = FindOnPath("bash");
    if (bash.empty() || !std::filesystem::exists("/usr/share/bash-completion/bash_completion"))
        GTEST_SKIP() << "bash-completion is not installed";
    const std::string script =
        "source /usr/share/bash-completion/bash_completion; source \"$1\"; shift\n"
        "COMP_WORDS=(calora-cli \"$@\" --); COMP_CWORD=$(($# + 1)); COMP_LINE=\"calora-cli $* "
        "--\"\n"
        "COMP_POINT=${#COMP_LINE}; _calora_cli calora-cli -- \"${COMP_WORDS[COMP_CWORD-1]}\"\n"
        "printf '%s\\n' \"${COMPREPLY[@]}\"\n";
    const std::vector<std::vector<std::string>> commands = {{"read"},
                                                            {"write"},
                                                            {"coil"},
                                                            {"probe"},
                                                            {"scan"},
                                                            {"monitor"},
                                                            {"graph", "export"},
                                                            {"config", "save"},
                                                            {"config", "show"},
                                                            {"config", "write"}};
    std::map<std::string, std::set<std::string>> offered; // per command, over its actions
    for (const auto& words : commands) {
        std::vector<std::string> args = {"-c", script, "bash", CALORA_COMPLETION};
        args.insert(args.end(), words.begin(), words.end());
        const ProgramResult completion = RunProgram(bash, args);
        ASSERT_EQ(0, completion.exitStatus) << completion.err;
        offered[words[0]].merge(OptionsIn(completion.out));
    }
    for (const auto& [command, options] : offered) {
        const ProgramResult help = RunProgram(TestBinary("calora-cli"), {command, "--help"});
        std::set<std::string> named = OptionsIn(help.out);
        named.insert("--help");
        EXPECT_EQ(Joined(named), Joined(options)) << command;
    }
}
