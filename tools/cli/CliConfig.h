#pragma once

#include "CliArgs.h"

#include <iosfwd>

// `config save|show|write`: configuration files from a shell.
int RunConfig(const CliOptions& options, std::ostream& out, std::ostream& err);
