#include "core/files/GraphFormat.h"

#include "core/files/Archive.h"
#include "core/files/ArchiveCodePage.h"
#include "core/files/SafeFileName.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <unordered_map>
#include <unordered_set>

namespace {

// Smallest header entry: two empty names, colour and flag.
constexpr size_t kSmallestHeaderEntry = 1 + 1 + 4 + 4;
constexpr size_t kPointsFixedSize = 2 + 4 + 4 + 4 + 4;

[[noreturn]] void Refuse(int cause) {
    throw CArchiveException(cause);
}

// A text is read in pieces no larger than the data left, then cut to what a header keeps.
std::string ReadGraphText(CArchiveReader& in) {
    std::string stored = in.ReadStringBytes();
    if (stored.size() > kLongestGraphText)
        stored.resize(kLongestGraphText);
    return Cp1252ToUtf8(stored);
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

std::string GraphStoredText(std::string_view utf8) {
    std::string stored = Utf8ToCp1252(utf8);
    if (stored.size() > kLongestGraphText)
        stored.resize(kLongestGraphText);
    return Cp1252ToUtf8(stored);
}

namespace {

// "<variable>.<controller>": the part of a points file name between the set and the segment.
std::string NameMiddle(const std::string& safeVariable, const std::string& safeController) {
    return safeVariable + "." + safeController;
}

// Whether "<controller>#k", cut to the name limit as it always was, can still give a name not
// tried before. With `room` bytes left after the controller name, k up to 10^room - 1 can; a
// larger k is cut to the digits of a smaller one.
bool SuffixFirstStillNew(int64_t k, int64_t room) {
    int64_t limit = 1;
    for (int64_t digits = 0; digits < room && limit <= k; ++digits)
        limit *= 10;
    return room > 0 && k < limit;
}

} // namespace

std::string GraphPointsFileName(const std::string& base, const std::string& variableName,
                                const std::string& controllerName, int segment) {
    return base + "." +
           NameMiddle(SafeFileNamePart(GraphStoredText(variableName)),
                      SafeFileNamePart(GraphStoredText(controllerName))) +
           ".pt" + std::to_string(segment);
}

std::vector<std::string> GraphPointsFileNames(const std::string& base,
                                              const std::vector<GraphHeaderEntry>& entries,
                                              int segment) {
    struct Names {
        std::string variable;   // safe
        std::string controller; // as stored
        std::string plain;      // middle part without a suffix
    };
    std::vector<Names> all;
    all.reserve(entries.size());
    std::unordered_set<std::string> plain, used;
    for (const GraphHeaderEntry& e : entries) {
        Names n{SafeFileNamePart(GraphStoredText(e.variableName)),
                GraphStoredText(e.controllerName),
                {}};
        n.plain = NameMiddle(n.variable, SafeFileNamePart(n.controller));
        plain.insert(n.plain);
        all.push_back(std::move(n));
    }
    const auto fresh = [&](const std::string& middle) {
        return plain.count(middle) == 0 && used.count(middle) == 0;
    };
    // Where each name's search for a free "#k" goes on: a k tried once stays taken, so the
    // next curve of the same name starts after it and the whole pass stays linear. Names that
    // give the same candidates share a counter.
    std::unordered_map<std::string, int64_t> nextSuffixFirst, nextCutFirst;
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (const Names& n : all) {
        std::string middle = n.plain;
        if (!used.insert(middle).second) {
            middle.clear();
            // As it always was: the suffix added, then the whole cut to the limit. Kept while
            // it gives new names, so files already written resolve as they did.
            const int64_t room = static_cast<int64_t>(kLongestSafeNamePart) -
                                 static_cast<int64_t>(n.controller.size());
            int64_t& k =
                nextSuffixFirst
                    .try_emplace(
                        NameMiddle(n.variable, SafeFileNamePart(n.controller + "#", SIZE_MAX)), 2)
                    .first->second;
            for (; middle.empty() && SuffixFirstStillNew(k, room); ++k) {
                std::string candidate = NameMiddle(
                    n.variable, SafeFileNamePart(n.controller + "#" + std::to_string(k)));
                if (fresh(candidate))
                    middle = std::move(candidate);
            }
            // A name at the limit would lose its suffix: cut the name first, then add it.
            int64_t& j = nextCutFirst.try_emplace(n.plain, 2).first->second;
            for (; middle.empty(); ++j) {
                const std::string suffix = "#" + std::to_string(j);
                std::string candidate = NameMiddle(
                    n.variable,
                    SafeFileNamePart(n.controller, kLongestSafeNamePart - suffix.size()) + suffix);
                if (fresh(candidate))
                    middle = std::move(candidate);
            }
            used.insert(middle);
        }
        names.push_back(base + "." + middle + ".pt" + std::to_string(segment));
    }
    return names;
}

std::string GraphTimelineFileName(const std::string& base) {
    return base + ".timeline";
}

void WriteGraphHeader(CArchiveWriter& out, const std::vector<GraphHeaderEntry>& entries) {
    out.WriteInt32(static_cast<int32_t>(entries.size()));
    for (const GraphHeaderEntry& entry : entries) {
        out.WriteString(GraphStoredText(entry.controllerName));
        out.WriteString(GraphStoredText(entry.variableName));
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
    WriteGraphTimestamps(out, timeline);
}

void WriteGraphTimestamps(CArchiveWriter& out, const std::vector<GraphTimestamp>& entries) {
    for (const GraphTimestamp& t : entries) {
        for (uint16_t field :
             {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, t.milliseconds})
            out.WriteUInt16(field);
    }
}

std::vector<GraphHeaderEntry> ParseGraphHeader(const std::vector<uint8_t>& bytes) {
    CMemoryArchiveReader in(bytes.data(), bytes.size());
    const int32_t count = in.ReadInt32();
    if (count < 0 || static_cast<size_t>(count) > kMostGraphCurves ||
        static_cast<size_t>(count) > in.GetRemaining() / kSmallestHeaderEntry)
        Refuse(CArchiveException::badIndex);
    std::vector<GraphHeaderEntry> entries(static_cast<size_t>(count));
    for (GraphHeaderEntry& entry : entries) {
        entry.controllerName = ReadGraphText(in);
        entry.variableName = ReadGraphText(in);
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
    if (static_cast<size_t>(count) > in.GetRemaining() / kGraphTimestampSize)
        Refuse(CArchiveException::endOfFile);
    std::vector<GraphTimestamp> timeline(static_cast<size_t>(count));
    for (GraphTimestamp& t : timeline) {
        for (uint16_t* field : {&t.year, &t.month, &t.dayOfWeek, &t.day, &t.hour, &t.minute,
                                &t.second, &t.milliseconds})
            *field = in.ReadUInt16();
    }
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
    if (points.from < 0 || points.to < points.from)
        Refuse(CArchiveException::badIndex);
    const size_t count = static_cast<size_t>(points.to) - static_cast<size_t>(points.from);
    if (count > in.GetRemaining() / sizeof(float))
        Refuse(CArchiveException::endOfFile);
    if (in.GetRemaining() != count * sizeof(float))
        Refuse(CArchiveException::badIndex);
    const size_t timed = static_cast<size_t>(points.to) > timelineCount
                             ? timelineCount - std::min<size_t>(points.from, timelineCount)
                             : count;
    points.samples.resize(timed);
    for (float& sample : points.samples)
        sample = in.ReadFloat();
    points.from = static_cast<int32_t>(std::min<size_t>(points.from, timelineCount));
    points.to = static_cast<int32_t>(points.from + timed);
    return points;
}
