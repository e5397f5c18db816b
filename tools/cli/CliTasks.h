#pragma once

#include "CliArgs.h"

#include <iosfwd>

// `scan`: the bus task of mode 2 (addresses), or mode 1 (addresses and serial line settings)
// with --lines. Prints the address and line found.
int RunScan(const CliOptions& options, std::ostream& out, std::ostream& err, bool terminal);

// `read`: the read-all procedure of the main window (family from register 56, then the
// family's registers), then the family's status coils.
int RunReadAll(const CliOptions& options, std::ostream& out, std::ostream& err);
