#include "core/files/GraphFormat.h"

#include "core/files/Archive.h"
#include "core/files/SafeFileName.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <set>

namespace {

constexpr size_t kTimestampSize = 8 * sizeof(uint16_t);
// Smallest header entry: two empty names, colour and flag.
constexpr size_t kSmallestHeaderEntry = 1 + 1 + 4 + 4;
constexpr size_t kPointsFixedSize = 2 + 4 + 4 + 4 + 4;

[[noreturn]] void Refuse(int cause) {
    throw CArchiveException(cause);
}

void RequireEnd(const CMemoryArchiveReader& in) {
    if (in.GetRemaining() != 0)
        Refuse(CArchiveException::badIndex);
}

} // namespace

GraphTimestamp CurrentLocalTimestamp() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    GraphTimestamp t;
    t.year = static_cast<uint16_t>(local.tm_year + 1900);
    t.month = static_cast<uint16_t>(local.tm_mon + 1);
    t.dayOfWeek = static_cast<uint16_t>(local.tm_wday);
    t.day = static_cast<uint16_t>(local.tm_mday);
    t.hour = static_cast<uint16_t>(local.tm_hour);
    t.minute = static_cast<uint16_t>(local.tm_min);
    t.second = static_cast<uint16_t>(std::min(local.tm_sec, 59));
    t.milliseconds = static_cast<uint16_t>(ms < 0 ? 0 : ms);
    return t;
}

std::string GraphPointsFileName(const std::string& base, const std::string& variableName,
                                const std::string& controllerName, int segment) {
    return base + "." + SafeFileNamePart(variableName) + "." + SafeFileNamePart(controllerName) +
           ".pt" + std::to_string(segment);
}

std::vector<std::string> GraphPointsFileNames(const std::string& base,
                                              const std::vector<GraphHeaderEntry>& entries,
                                              int segment) {
    std::vector<std::string> names;
    std::set<std::string> plain, used;
    for (const GraphHeaderEntry& e : entries)
        plain.insert(GraphPointsFileName(base, e.variableName, e.controllerName, segment));
    for (const GraphHeaderEntry& e : entries) {
        std::string name = GraphPointsFileName(base, e.variableName, e.controllerName, segment);
        for (int k = 2; used.count(name) != 0; ++k) {
            const std::string other = GraphPointsFileName(
                base, e.variableName, e.controllerName + "#" + std::to_string(k), segment);
            if (plain.count(other) == 0)
                name = other;
        }
        used.insert(name);
        names.push_back(name);
    }
    return names;
}

std::string GraphTimelineFileName(const std::string& base) {
    return base + ".timeline";
}

void WriteGraphHeader(CArchiveWriter& out, const std::vector<GraphHeaderEntry>& entries) {
    out.WriteInt32(static_cast<int32_t>(entries.size()));
    for (const GraphHeaderEntry& entry : entries) {
        out.WriteString(entry.controllerName);
        out.WriteString(entry.variableName);
        out.WriteUInt32(entry.colour);
        out.WriteUInt32(entry.visible ? 1 : 0);
    }
}

void WriteGraphPoints(CArchiveWriter& out, const GraphPoints& points) {
    out.WriteInt16(points.decimals);
    out.WriteInt32(points.from);
    out.WriteInt32(points.to);
    out.WriteFloat(points.maxSeen);
    out.WriteFloat(points.minSeen);
    for (float sample : points.samples)
        out.WriteFloat(sample);
}

void WriteGraphTimeline(CArchiveWriter& out, const std::vector<GraphTimestamp>& timeline) {
    out.WriteInt32(static_cast<int32_t>(timeline.size()));
    for (const GraphTimestamp& t : timeline) {
        for (uint16_t field :
             {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, t.milliseconds})
            out.WriteUInt16(field);
    }
}

std::vector<GraphHeaderEntry> ParseGraphHeader(const std::vector<uint8_t>& bytes) {
    CMemoryArchiveReader in(bytes.data(), bytes.size());
    const int32_t count = in.ReadInt32();
    if (count < 0 || static_cast<size_t>(count) > in.GetRemaining() / kSmallestHeaderEntry)
        Refuse(CArchiveException::badIndex);
    std::vector<GraphHeaderEntry> entries(static_cast<size_t>(count));
    for (GraphHeaderEntry& entry : entries) {
        entry.controllerName = in.ReadString();
        entry.variableName = in.ReadString();
        entry.colour = in.ReadUInt32();
        entry.visible = in.ReadUInt32() != 0;
    }
    RequireEnd(in);
    return entries;
}

std::vector<GraphTimestamp> ParseGraphTimeline(const std::vector<uint8_t>& bytes) {
    CMemoryArchiveReader in(bytes.data(), bytes.size());
    const int32_t count = in.ReadInt32();
    if (count < 0)
        Refuse(CArchiveException::badIndex);
    if (static_cast<size_t>(count) > in.GetRemaining() / kTimestampSize)
        Refuse(CArchiveException::endOfFile);
    std::vector<GraphTimestamp> timeline(static_cast<size_t>(count));
    for (GraphTimestamp& t : timeline) {
        for (uint16_t* field : {&t.year, &t.month, &t.dayOfWeek, &t.day, &t.hour, &t.minute,
                                &t.second, &t.milliseconds})
            *field = in.ReadUInt16();
    }
    RequireEnd(in);
    return timeline;
}

GraphPoints ParseGraphPoints(const std::vector<uint8_t>& bytes, size_t timelineCount) {
    if (bytes.size() < kPointsFixedSize)
        Refuse(CArchiveException::endOfFile);
    CMemoryArchiveReader in(bytes.data(), bytes.size());
    GraphPoints points;
    points.decimals = std::clamp<int16_t>(in.ReadInt16(), 0, 3);
    points.from = in.ReadInt32();
    points.to = in.ReadInt32();
    points.maxSeen = in.ReadFloat();
    points.minSeen = in.ReadFloat();
    if (points.from < 0 || points.to < points.from ||
        static_cast<size_t>(points.to) > timelineCount)
        Refuse(CArchiveException::badIndex);
    const size_t count = static_cast<size_t>(points.to) - static_cast<size_t>(points.from);
    if (count > in.GetRemaining() / sizeof(float))
        Refuse(CArchiveException::endOfFile);
    points.samples.resize(count);
    for (float& sample : points.samples)
        sample = in.ReadFloat();
    RequireEnd(in);
    return points;
}
