#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CArchiveWriter;

// The three files of a graph set, little-endian, texts in Windows-1252:
//   P                 header: curve count, then per curve controller name, variable name,
//                     colour and visible flag
//   P.<var>.<name>.ptS points of one curve in segment S: decimals, from, to, max seen, min
//                     seen, then to - from samples
//   P.timeline        every timestamp since the start of the recording: the count, then the
//                     entries; it grows by appending the entries, then rewriting the count

// A SYSTEMTIME-shaped timestamp.
struct GraphTimestamp {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;

    bool operator==(const GraphTimestamp&) const = default;
};

// The local time now, to the millisecond.
GraphTimestamp CurrentLocalTimestamp();

struct GraphHeaderEntry {
    std::string controllerName; // UTF-8 in memory
    std::string variableName;
    uint32_t colour = 0; // red in the low byte, then green, then blue
    bool visible = false;

    bool operator==(const GraphHeaderEntry&) const = default;
};

struct GraphPoints {
    int16_t decimals = 0;
    int32_t from = 0; // time-line index of samples[0]
    int32_t to = 0;   // one past the last
    float maxSeen = -9999.0f;
    float minSeen = 9999.0f;
    std::vector<float> samples; // to - from values
};

// Curves a header may list: far beyond the three per controller of a full monitoring list.
constexpr size_t kMostGraphCurves = 1024;
// Longest text a header keeps, in stored bytes; a longer one is cut there.
constexpr size_t kLongestGraphText = 0xFFFF;

// A name as the header stores it and gives it back: characters outside Windows-1252 become
// '?', and the text is cut to kLongestGraphText bytes. Points files are named from this, so a
// set read back finds the files its recording wrote.
std::string GraphStoredText(std::string_view utf8);

// File names of a set whose header is `base`. Names are taken as the header stores them and
// made safe for a path, so a name never reaches outside the set's folder.
std::string GraphPointsFileName(const std::string& base, const std::string& variableName,
                                const std::string& controllerName, int segment);
std::string GraphTimelineFileName(const std::string& base);
// The points files of every curve of a header, in order. Two curves with the same variable
// and controller name would share a file: the later ones get "#2", "#3"... after the name,
// skipping any name another curve has, so no curve's samples overwrite another's.
std::vector<std::string> GraphPointsFileNames(const std::string& base,
                                              const std::vector<GraphHeaderEntry>& entries,
                                              int segment);

void WriteGraphHeader(CArchiveWriter& out, const std::vector<GraphHeaderEntry>& entries);
void WriteGraphPoints(CArchiveWriter& out, const GraphPoints& points);
void WriteGraphTimeline(CArchiveWriter& out, const std::vector<GraphTimestamp>& timeline);
// The entries alone, as they follow the count.
void WriteGraphTimestamps(CArchiveWriter& out, const std::vector<GraphTimestamp>& entries);
// Bytes of the count and of one entry.
constexpr size_t kGraphTimelineCountSize = 4;
constexpr size_t kGraphTimestampSize = 16;

// Readers of whole files held in memory. Each count and length is checked against what the
// file holds before anything is kept, so damage throws CArchiveException (endOfFile when data
// is missing, badIndex for an impossible count, index or trailing bytes), nothing is read past
// the end and memory stays within a small multiple of the file's size. A header of more than
// kMostGraphCurves curves is refused.
std::vector<GraphHeaderEntry> ParseGraphHeader(const std::vector<uint8_t>& bytes);
// Bytes after the counted entries are an append cut short before its count: left out.
std::vector<GraphTimestamp> ParseGraphTimeline(const std::vector<uint8_t>& bytes);
// Samples past `timelineCount` have no time and are left out: `to`, and `from` when the file
// starts past the time line, are brought down to it. A save interrupted between its files
// leaves such points. Decimals outside 0..3 are brought into that range.
GraphPoints ParseGraphPoints(const std::vector<uint8_t>& bytes, size_t timelineCount);
