#pragma once

// The release, "3.2": CMake's project version, written into the generated Version.cpp. The
// package, the About box and every program's --version show this one value.
extern const char* const kCaloraVersion;
