#include "layering/IncludeGraph.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {
std::string FolderOf(const std::string& path) {
    const auto first = path.find('/');
    if (first == std::string::npos)
        return "";
    const auto second = path.find('/', first + 1);
    return second == std::string::npos ? path.substr(0, first) : path.substr(0, second);
}

bool IsCore(const std::string& path) {
    return path.rfind("core/", 0) == 0;
}

// The launcher is a program of its own: it includes only its own headers, Qt and the library.
bool IsLauncher(const std::string& path) {
    return path.rfind("launcher/", 0) == 0;
}

// The window folders from the bottom up; a file includes only its own folder and those below.
// A folder not listed here is left to the cycle check.
const std::vector<std::string> kUiLayers = {"ui/framework", "ui/widgets", "ui/graph", "ui/comm",
                                            "ui/monitor",   "ui/pages",   "ui/app"};

int UiLayer(const std::string& folder) {
    const auto it = std::find(kUiLayers.begin(), kUiLayers.end(), folder);
    return it == kUiLayers.end() ? -1 : static_cast<int>(it - kUiLayers.begin());
}

struct Include {
    std::string target; // as written
    bool angled;
};

std::vector<Include> IncludesOf(const std::string& text) {
    static const std::regex line(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<Include> found;
    std::istringstream in(text);
    std::string s;
    std::smatch m;
    while (std::getline(in, s)) {
        if (std::regex_search(s, m, line))
            found.push_back({m[2].str(), m[1].str() == "<"});
    }
    return found;
}

bool IsQtHeader(const Include& inc) {
    const std::string& t = inc.target;
    return (t.size() > 1 && t[0] == 'Q' && std::isupper(static_cast<unsigned char>(t[1]))) ||
           t.rfind("Qt", 0) == 0 || t.rfind("qt", 0) == 0;
}

using Graph = std::map<std::string, std::map<std::string, std::string>>; // from -> to -> file

// Depth-first search; every back edge closes a cycle, reported with the file of that edge.
void FindCycles(const Graph& graph, const std::string& node, std::vector<std::string>& stack,
                std::set<std::string>& done, std::vector<std::string>& faults) {
    stack.push_back(node);
    const auto edges = graph.find(node);
    if (edges != graph.end()) {
        for (const auto& [to, file] : edges->second) {
            const auto onStack = std::find(stack.begin(), stack.end(), to);
            if (onStack != stack.end()) {
                // Each step of the cycle with the file that makes it.
                std::string cycle = *onStack;
                for (auto it = onStack; it != stack.end(); ++it) {
                    const std::string next = it + 1 == stack.end() ? to : *(it + 1);
                    cycle += " -> " + next + " (" + graph.at(*it).at(next) + ")";
                }
                faults.push_back("folder cycle " + cycle);
            } else if (!done.count(to)) {
                FindCycles(graph, to, stack, done, faults);
            }
        }
    }
    stack.pop_back();
    done.insert(node);
}
} // namespace

SourceTree ReadSourceTree(const std::string& srcDir) {
    SourceTree tree;
    for (const auto& entry : fs::recursive_directory_iterator(srcDir)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        tree[fs::relative(entry.path(), srcDir).generic_string()] = text.str();
    }
    return tree;
}

std::vector<std::string> LayeringFaults(const SourceTree& tree) {
    std::vector<std::string> faults;
    Graph graph;
    for (const auto& [path, text] : tree) {
        const std::string from = FolderOf(path);
        for (const Include& inc : IncludesOf(text)) {
            if (IsCore(path) && (IsQtHeader(inc) || inc.target.rfind("ui/", 0) == 0))
                faults.push_back(path + ": the core includes " + inc.target);
            if (IsLauncher(path) && !inc.angled && !IsLauncher(inc.target))
                faults.push_back(path + ": the launcher includes " + inc.target);
            if (inc.angled)
                continue;
            const std::string to = FolderOf(inc.target);
            if (to.empty() || to == from || !tree.count(inc.target))
                continue;
            graph[from].emplace(to, path);
            const int fromLayer = UiLayer(from);
            if (fromLayer >= 0 && UiLayer(to) > fromLayer)
                faults.push_back(path + ": " + from + " includes " + inc.target +
                                 ", a folder above it");
        }
    }
    std::set<std::string> done;
    for (const auto& [node, edges] : graph) {
        std::vector<std::string> stack;
        if (!done.count(node))
            FindCycles(graph, node, stack, done, faults);
    }
    return faults;
}
