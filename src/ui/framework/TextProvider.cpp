#include "ui/framework/TextProvider.h"

#include <utility>

namespace {
TextLookup& Lookup() {
    static TextLookup lookup;
    return lookup;
}
} // namespace

void SetTextProvider(TextLookup lookup) {
    Lookup() = std::move(lookup);
}

std::string TextByIdUtf8(int stringId) {
    const TextLookup& lookup = Lookup();
    if (lookup) {
        if (std::optional<std::string> text = lookup(stringId))
            return *text;
    }
    return kTextError;
}

QString TextById(int stringId) {
    return QString::fromStdString(TextByIdUtf8(stringId));
}
