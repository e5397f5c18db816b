#pragma once

#include "core/files/GraphFormat.h"

#include <optional>
#include <string>
#include <vector>

// Saving and loading a whole graph set: the header `base`, the points files of one segment
// and the time line. The header and points files are replaced atomically; the time line
// grows by appending.

struct GraphFileProblem {
    enum Kind {
        None,
        EmptyInterval, // a curve has no samples in the segment: no points file for it
        CannotCreate,
        WriteFailed,
        CannotOpen,
        Damaged,
    };
    Kind kind = None;
    std::string file;
    std::string detail; // what is wrong with a damaged file

    explicit operator bool() const { return kind != None; }
};

// What one save writes: per curve its header entry and its points of the segment, in order.
struct GraphSegmentData {
    std::vector<GraphHeaderEntry> entries;
    std::vector<GraphPoints> points;
    // The time-line entries from index timelineFrom on. From 0 the file is written anew; from
    // k > 0 they are appended to the file, which must hold exactly k entries.
    std::vector<GraphTimestamp> timeline;
    int32_t timelineFrom = 0;
};

struct GraphSaveResult {
    int failures = 0;
    GraphFileProblem first; // the first failure, for the one report
    bool timelineSaved = false;

    bool Ok() const { return failures == 0; }
};

// Writes every file it can: the time line, the header, then the points files. A curve without
// samples in the segment gets no points file. An append to the time line writes the new
// entries, then the count, each synced: a crash between them leaves the old count over
// whole entries.
GraphSaveResult SaveGraphSegment(const std::string& base, int segment,
                                 const GraphSegmentData& data);
// Rewrites the header only.
GraphSaveResult SaveGraphHeader(const std::string& base,
                                const std::vector<GraphHeaderEntry>& entries);

struct LoadedGraphSegment {
    std::vector<GraphHeaderEntry> entries;
    // One per entry; empty where the curve has no points file for the segment, where its
    // file cannot be read, or where the time line reaches none of its samples.
    std::vector<std::optional<GraphPoints>> points;
    std::vector<GraphTimestamp> timeline;
    // The points files that are missing or cannot be read, in entry order.
    std::vector<GraphFileProblem> unusable;

    size_t PointsFileCount() const;
};

// Reads the header, the time line and the points files of `segment`. A missing or damaged
// header or time line, or a damaged points file, refuses the whole set. Samples past the
// time line are left out.
std::optional<LoadedGraphSegment> LoadGraphSegment(const std::string& base, int segment,
                                                   GraphFileProblem& problem);
// Replaces the points of `set`, whose header and time line are read, by those of `segment`;
// false, with `problem` filled, when a points file is damaged.
bool LoadGraphPoints(const std::string& base, int segment, LoadedGraphSegment& set,
                     GraphFileProblem& problem);

// "6-12-2026 15_21_36": day, month, year, hour, minute, second of a recording's start.
std::string GraphSetStampText(const GraphTimestamp& start);
// The header path of a new recording: "<dir><stamp>.gf", or "<dir><stamp>-2.gf" and so on
// when a set of that name exists. The header is created empty at once, so a recording
// started in the same second, by this or another process, takes the next name. Falls back
// to the plain name when nothing can be created in `dir` (the saves then report it).
std::string ReserveGraphSetPath(const std::string& dir, const std::string& stamp);
