#include "CliGraph.h"

#include "core/files/GraphSet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <vector>

namespace {

// RFC 4180: a cell with a comma, quote or line end is quoted, quotes doubled.
std::string CsvCell(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

bool IsValidTime(const GraphTimestamp& t) {
    return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour <= 23 &&
           t.minute <= 59 && t.second <= 59 && t.milliseconds <= 999;
}

std::string IsoTime(const GraphTimestamp& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, t.milliseconds);
    return text;
}

int Fail(std::ostream& err, const std::string& file, const std::string& what) {
    err << "calora-cli: " << file << ": " << what << "\n";
    return 1;
}

// Rows of one segment: from the earliest to the latest sample any curve holds.
void WriteSegment(const LoadedGraphSegment& set, std::ostream& out) {
    int32_t from = INT32_MAX, to = 0;
    for (const auto& points : set.points) {
        if (points && points->from < points->to) {
            from = std::min(from, points->from);
            to = std::max(to, points->to);
        }
    }
    for (int32_t t = from; t < to; ++t) {
        std::string line = IsoTime(set.timeline[static_cast<size_t>(t)]);
        for (const auto& points : set.points) {
            line += ',';
            if (!points || t < points->from || t >= points->to)
                continue;
            const float sample = points->samples[static_cast<size_t>(t - points->from)];
            if (!std::isfinite(sample))
                continue;
            char text[64];
            std::snprintf(text, sizeof text, "%.*f", points->decimals, static_cast<double>(sample));
            line += text;
        }
        out << line << "\n";
    }
}

} // namespace

int ExportGraphCsv(const std::string& path, int segment, std::ostream& out, std::ostream& err) {
    const bool all = segment < 0;
    std::vector<LoadedGraphSegment> segments;
    for (int s = all ? 0 : segment;; ++s) {
        GraphFileProblem problem;
        std::optional<LoadedGraphSegment> set = LoadGraphSegment(path, s, problem);
        if (!set)
            return Fail(err, problem.file, problem.detail);
        if (set->PointsFileCount() == 0) {
            if (s == (all ? 0 : segment))
                return Fail(err, path, "has no points files for segment " + std::to_string(s));
            break;
        }
        for (size_t i = 0; i < set->timeline.size(); ++i) {
            if (!IsValidTime(set->timeline[i]))
                return Fail(err, GraphTimelineFileName(path),
                            "entry " + std::to_string(i) + " is not a valid time");
        }
        segments.push_back(std::move(*set));
        if (!all)
            break;
    }
    std::string header = "time";
    for (const GraphHeaderEntry& entry : segments.front().entries)
        header += "," + CsvCell(entry.controllerName + " " + entry.variableName);
    out << header << "\n";
    for (const LoadedGraphSegment& set : segments)
        WriteSegment(set, out);
    return out.good() ? 0 : Fail(err, "standard output", "cannot be written");
}
