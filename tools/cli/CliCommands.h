#pragma once

#include "CliArgs.h"

#include <iosfwd>

// Exit statuses of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitBusFailure = 1;
inline constexpr int kExitFailure = 1; // the output could not be written
inline constexpr int kExitUsage = 2;

// Runs one parsed command on the bus. Results go to out; a failure is one line on err.
// terminal: err is a terminal, so a scan may redraw a progress line there.
int RunCliCommand(const CliOptions& options, std::ostream& out, std::ostream& err, bool terminal);
