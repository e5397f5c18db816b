#pragma once

#include <string>
#include <string_view>

// Conversion between the UTF-8 held in memory and the Windows-1252 bytes of the files.
// The five bytes 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1
// controls of the same number, so any byte string survives a round trip.

// Each byte becomes one character.
std::string Cp1252ToUtf8(std::string_view bytes);
// Characters outside the code page, and bytes that are not valid UTF-8, become '?'.
std::string Utf8ToCp1252(std::string_view utf8);
