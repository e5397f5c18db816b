#pragma once

#include "CliArgs.h"

#include <iosfwd>
#include <string>

// `monitor`: the polling engine and data logger of the monitoring window, headless, for the
// monitoring list and log mode of a configuration file (the options override them). Writes
// one line per complete cycle to outFd, dropping (and counting) lines a stalled reader does
// not take; SIGINT or SIGTERM stop it after the controller being read, with the files
// closed and every complete row kept.
int RunMonitor(const CliOptions& options, int outFd, std::ostream& err);

// The logs folder the desktop program beside this one uses: "logs/" in the program's folder,
// or in the per-user data folder when that one cannot be written.
std::string DefaultLogsDir();
