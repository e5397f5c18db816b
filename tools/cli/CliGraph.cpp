#include "CliGraph.h"

#include "core/files/GraphSet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
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

using SegmentPoints = std::vector<std::optional<GraphPoints>>;

// Rows of one segment: from the earliest to the latest sample any curve holds.
void WriteSegment(const std::vector<GraphTimestamp>& timeline, const SegmentPoints& segment,
                  std::ostream& out) {
    int32_t from = INT32_MAX, to = 0;
    for (const auto& points : segment) {
        if (points && points->from < points->to) {
            from = std::min(from, points->from);
            to = std::max(to, points->to);
        }
    }
    for (int32_t t = from; t < to; ++t) {
        std::string line = IsoTime(timeline[static_cast<size_t>(t)]);
        for (const auto& points : segment) {
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
    const int first = all ? 0 : segment;
    GraphFileProblem problem;
    // The header and the time line are read once; each segment adds only its points.
    std::optional<LoadedGraphSegment> set = LoadGraphSegment(path, first, problem);
    if (!set)
        return Fail(err, problem.file, problem.detail);
    if (set->PointsFileCount() == 0)
        return Fail(err, path, "has no points files for segment " + std::to_string(first));
    for (size_t i = 0; i < set->timeline.size(); ++i) {
        if (!IsValidTime(set->timeline[i]))
            return Fail(err, GraphTimelineFileName(path),
                        "entry " + std::to_string(i) + " is not a valid time");
    }
    std::vector<SegmentPoints> segments;
    for (int s = first;; ++s) {
        if (s != first) {
            if (!LoadGraphPoints(path, s, *set, problem))
                return Fail(err, problem.file, problem.detail);
            if (set->PointsFileCount() == 0)
                break; // past the last segment
        }
        for (const GraphFileProblem& unusable : set->unusable)
            err << "calora-cli: " << unusable.file << ": " << unusable.detail
                << "; its column is empty in segment " << s << "\n";
        segments.push_back(std::move(set->points));
        if (!all)
            break;
    }
    std::string header = "time";
    for (const GraphHeaderEntry& entry : set->entries)
        header += "," + CsvCell(entry.controllerName + " " + entry.variableName);
    out << header << "\n";
    for (const SegmentPoints& points : segments)
        WriteSegment(set->timeline, points, out);
    return out.good() ? 0 : Fail(err, "standard output", "cannot be written");
}
