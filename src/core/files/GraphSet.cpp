#include "core/files/GraphSet.h"

#include "core/files/Archive.h"
#include "core/files/WholeFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Far beyond a year of recording at one sample a second; a bigger file is not ours.
constexpr size_t kLargestGraphFile = size_t{1} << 30;
// New recordings whose names are taken get "-2" up to this suffix.
constexpr int kMaxNameSuffix = 999;

void Note(GraphSaveResult& result, GraphFileProblem::Kind kind, const std::string& file) {
    if (result.failures++ == 0)
        result.first = {kind, file, {}};
}

void WriteOne(GraphSaveResult& result, const std::string& path,
              const CMemoryArchiveWriter& content) {
    switch (WriteFileAtomically(path, content.GetBytes())) {
    case FileWriteResult::Ok:
        break;
    case FileWriteResult::CannotCreate:
    case FileWriteResult::NotRegular: // a device or FIFO by that name is left alone
        Note(result, GraphFileProblem::CannotCreate, path);
        break;
    case FileWriteResult::WriteFailed:
        Note(result, GraphFileProblem::WriteFailed, path);
        break;
    }
}

void AppendTimeline(GraphSaveResult& result, const std::string& path, int32_t held,
                    const std::vector<GraphTimestamp>& entries) {
    CMemoryArchiveWriter oldCount, newEntries, newCount;
    oldCount.WriteInt32(held);
    WriteGraphTimestamps(newEntries, entries);
    newCount.WriteInt32(static_cast<int32_t>(held + entries.size()));
    const uint64_t end = kGraphTimelineCountSize + uint64_t{kGraphTimestampSize} * held;
    switch (ExtendFileInPlace(path, end, oldCount.GetBytes(), newEntries.GetBytes(),
                              newCount.GetBytes())) {
    case FileWriteResult::Ok:
        break;
    case FileWriteResult::CannotCreate:
    case FileWriteResult::NotRegular:
        Note(result, GraphFileProblem::CannotCreate, path);
        break;
    case FileWriteResult::WriteFailed:
        Note(result, GraphFileProblem::WriteFailed, path);
        break;
    }
}

std::string DamageText(int cause) {
    return cause == CArchiveException::endOfFile ? "the file ends early"
                                                 : "a count or index does not fit the file";
}

// Reads and parses one file; a failure fills `problem`.
template <class Parse>
bool ReadGraphFile(const std::string& path, GraphFileProblem& problem, Parse parse) {
    std::vector<uint8_t> bytes;
    switch (ReadWholeFile(path, bytes, kLargestGraphFile)) {
    case FileReadResult::Ok:
        break;
    case FileReadResult::CannotOpen:
        problem = {GraphFileProblem::CannotOpen, path, "cannot be opened"};
        return false;
    case FileReadResult::TooLarge:
        problem = {GraphFileProblem::Damaged, path, "the file is too large"};
        return false;
    case FileReadResult::ReadFailed:
        problem = {GraphFileProblem::CannotOpen, path, "cannot be read"};
        return false;
    }
    try {
        parse(bytes);
    } catch (const CArchiveException& e) {
        problem = {GraphFileProblem::Damaged, path, DamageText(e.cause)};
        return false;
    }
    return true;
}

} // namespace

GraphSaveResult SaveGraphSegment(const std::string& base, int segment,
                                 const GraphSegmentData& data) {
    GraphSaveResult result;
    // The time line goes first: a save cut short then leaves points the time line covers.
    if (data.timelineFrom == 0) {
        CMemoryArchiveWriter timeline;
        WriteGraphTimeline(timeline, data.timeline);
        WriteOne(result, GraphTimelineFileName(base), timeline);
    } else if (!data.timeline.empty()) {
        AppendTimeline(result, GraphTimelineFileName(base), data.timelineFrom, data.timeline);
    }
    result.timelineSaved = result.failures == 0;
    {
        CMemoryArchiveWriter header;
        WriteGraphHeader(header, data.entries);
        WriteOne(result, base, header);
    }
    const std::vector<std::string> paths = GraphPointsFileNames(base, data.entries, segment);
    for (size_t i = 0; i < data.entries.size() && i < data.points.size(); ++i) {
        const std::string& path = paths[i];
        if (data.points[i].from >= data.points[i].to) {
            Note(result, GraphFileProblem::EmptyInterval, path);
            continue;
        }
        CMemoryArchiveWriter points;
        WriteGraphPoints(points, data.points[i]);
        WriteOne(result, path, points);
    }
    return result;
}

GraphSaveResult SaveGraphHeader(const std::string& base,
                                const std::vector<GraphHeaderEntry>& entries) {
    GraphSaveResult result;
    CMemoryArchiveWriter header;
    WriteGraphHeader(header, entries);
    WriteOne(result, base, header);
    return result;
}

size_t LoadedGraphSegment::PointsFileCount() const {
    size_t count = 0;
    for (const auto& p : points)
        count += p.has_value() ? 1 : 0;
    return count;
}

std::optional<LoadedGraphSegment> LoadGraphSegment(const std::string& base, int segment,
                                                   GraphFileProblem& problem) {
    LoadedGraphSegment set;
    if (!ReadGraphFile(base, problem, [&](const auto& b) { set.entries = ParseGraphHeader(b); }))
        return std::nullopt;
    if (!ReadGraphFile(GraphTimelineFileName(base), problem,
                       [&](const auto& b) { set.timeline = ParseGraphTimeline(b); }))
        return std::nullopt;
    if (!LoadGraphPoints(base, segment, set, problem))
        return std::nullopt;
    return set;
}

bool LoadGraphPoints(const std::string& base, int segment, LoadedGraphSegment& set,
                     GraphFileProblem& problem) {
    set.points.assign(set.entries.size(), std::nullopt);
    set.unusable.clear();
    const std::vector<std::string> paths = GraphPointsFileNames(base, set.entries, segment);
    for (size_t i = 0; i < set.entries.size(); ++i) {
        GraphFileProblem missing;
        const bool read = ReadGraphFile(paths[i], missing, [&](const auto& b) {
            set.points[i] = ParseGraphPoints(b, set.timeline.size());
        });
        if (!read && missing.kind != GraphFileProblem::CannotOpen) {
            problem = missing;
            return false;
        }
        if (!read)
            set.unusable.push_back(std::move(missing));
        // Points the time line does not reach yet belong to a save that was cut short.
        else if (set.points[i]->from >= set.points[i]->to)
            set.points[i].reset();
    }
    problem = {};
    return true;
}

std::string GraphSetStampText(const GraphTimestamp& start) {
    char text[64];
    std::snprintf(text, sizeof text, "%d-%02d-%02d %02d_%02d_%02d", start.day, start.month,
                  start.year, start.hour, start.minute, start.second);
    return text;
}

std::string ReserveGraphSetPath(const std::string& dir, const std::string& stamp) {
    for (int attempt = 1; attempt <= kMaxNameSuffix; ++attempt) {
        const std::string path =
            dir + stamp + (attempt == 1 ? "" : "-" + std::to_string(attempt)) + ".gf";
        if (::access(GraphTimelineFileName(path).c_str(), F_OK) == 0)
            continue;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST)
            break;
    }
    return dir + stamp + ".gf";
}
