#pragma once

#include "languages/StringIds.h"

#include <cstddef>

// What every language library holds: one UTF-8 text per string number.
struct LanguageText {
    int id;
    const char* text;
};

// The two entry points a library exports; the program finds them by these names.
#define CALORA_LANGUAGE_EXPORT extern "C" __attribute__((visibility("default")))

template <std::size_t N>
constexpr const char* FindLanguageText(const LanguageText (&table)[N], int id) {
    for (const LanguageText& entry : table) {
        if (entry.id == id) {
            return entry.text;
        }
    }
    return nullptr;
}

// True when the table holds exactly the program's numbers, each once, each with a text.
template <std::size_t N> constexpr bool CoversEveryStringId(const LanguageText (&table)[N]) {
    if (N != sizeof(kAllStringIds) / sizeof(kAllStringIds[0])) {
        return false;
    }
    for (int id : kAllStringIds) {
        int found = 0;
        for (const LanguageText& entry : table) {
            if (entry.id == id) {
                if (entry.text == nullptr || entry.text[0] == '\0') {
                    return false;
                }
                ++found;
            }
        }
        if (found != 1) {
            return false;
        }
    }
    return true;
}
