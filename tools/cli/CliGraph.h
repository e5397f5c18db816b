#pragma once

#include <iosfwd>
#include <string>

// calora-cli graph export: a graph set as CSV. A header line "time,<controller>
// <variable>,..." (one column per curve, in file order), then one line per time-line entry
// of the chosen segments: ISO 8601 local time with milliseconds and each curve's sample with
// its decimals; a gap is an empty cell. segment < 0 exports every segment.
// Returns 0, or 1 after naming the file and what is wrong on err.
int ExportGraphCsv(const std::string& path, int segment, std::ostream& out, std::ostream& err);
