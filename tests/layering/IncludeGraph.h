#pragma once

#include <map>
#include <string>
#include <vector>

// The include lines of a source tree, read as a graph between folders. Paths are relative to
// src/ ("core/modbus/ModbusMaster.cpp"); a file's folder is its first two path parts.
using SourceTree = std::map<std::string, std::string>; // path -> file text

// Every .h and .cpp below srcDir, keyed by the path relative to it.
SourceTree ReadSourceTree(const std::string& srcDir);

// What breaks the layers, one line per fault, each naming a file: a Qt or window header
// included by a core file, a header of ours from outside the launcher included by the
// launcher, a window folder including one above it (framework, widgets, graph, comm,
// monitor, pages, app from the bottom up) and every cycle between folders. Empty when the tree is
// sound.
std::vector<std::string> LayeringFaults(const SourceTree& tree);
