#pragma once

#include "core/files/GraphFormat.h"

#include <optional>
#include <string>
#include <vector>

// Saving and loading a whole graph set: the header `base`, the points files of one segment
// and the time line. Every file is replaced atomically.

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
    std::vector<GraphTimestamp> timeline; // the whole time line
};

struct GraphSaveResult {
    int failures = 0;
    GraphFileProblem first; // the first failure, for the one report

    bool Ok() const { return failures == 0; }
};

// Writes every file it can; a curve without samples in the segment gets no points file.
GraphSaveResult SaveGraphSegment(const std::string& base, int segment,
                                 const GraphSegmentData& data);
// Rewrites the header only.
GraphSaveResult SaveGraphHeader(const std::string& base,
                                const std::vector<GraphHeaderEntry>& entries);

struct LoadedGraphSegment {
    std::vector<GraphHeaderEntry> entries;
    // One per entry; empty where the curve has no points file for the segment.
    std::vector<std::optional<GraphPoints>> points;
    std::vector<GraphTimestamp> timeline;

    size_t PointsFileCount() const;
};

// Reads the header, the time line and the points files of `segment`. A missing or damaged
// header or time line, or a damaged points file, refuses the whole set.
std::optional<LoadedGraphSegment> LoadGraphSegment(const std::string& base, int segment,
                                                   GraphFileProblem& problem);

// "6-12-2026 15_21_36": day, month, year, hour, minute, second of a recording's start.
std::string GraphSetStampText(const GraphTimestamp& start);
// The header path of a new recording: "<dir><stamp>.gf", or "<dir><stamp>-2.gf" and so on
// when a set of that name exists. The header is created empty at once, so a recording
// started in the same second, by this or another process, takes the next name. Falls back
// to the plain name when nothing can be created in `dir` (the saves then report it).
std::string ReserveGraphSetPath(const std::string& dir, const std::string& stamp);
