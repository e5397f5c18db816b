#pragma once

#include <cstddef>
#include <string>

// A name from the monitoring list or from a file, fit to be one component of a file name:
// "/", "\" and control characters become "_", a name that is empty or only dots becomes
// underscores, and a long name is cut on a character boundary. So a name can never reach
// outside its folder. A safe name stays as it is.
constexpr size_t kLongestSafeNamePart = 200;
std::string SafeFileNamePart(const std::string& name, size_t maxBytes = kLongestSafeNamePart);
