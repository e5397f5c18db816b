#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>

// Every text the user reads comes by string number from the language library in use. The
// language loader plugs its lookup in here; until then (and for a number the library does
// not hold) the text is "Text Error".
using TextLookup = std::function<std::optional<std::string>(int stringId)>; // UTF-8

inline constexpr const char* kTextError = "Text Error";

// An empty lookup restores the default. Call on the user-interface thread.
void SetTextProvider(TextLookup lookup);

QString TextById(int stringId);
std::string TextByIdUtf8(int stringId);
