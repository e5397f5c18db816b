#include "core/model/ScaledValue.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace {
constexpr double kShowFactor[4] = {1.0, 0.1, 0.01, 0.001};
constexpr int kStoreFactor[4] = {1, 10, 100, 1000};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

int StoreFactor(int d) {
    return kStoreFactor[d & 3];
}

double ScaleValue(int16_t raw, int d) {
    return raw * kShowFactor[d & 3];
}

std::optional<double> ParseNumber(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    const char first = pos < text.size() ? text[pos] : '\0';

    // A leading '+' is taken like the C conversion takes it; from_chars does not.
    const char* begin = text.data() + pos;
    const char* end = text.data() + text.size();
    double sign = 1.0;
    if (begin != end && *begin == '+') {
        ++begin;
        if (begin != end && (*begin == '-' || *begin == '+'))
            return std::nullopt;
    } else if (begin != end && *begin == '-') {
        ++begin;
        sign = -1.0;
        if (begin != end && (*begin == '-' || *begin == '+'))
            return std::nullopt;
    }
    double value = 0.0;
    const std::from_chars_result result = std::from_chars(begin, end, value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small to hold reads as 0, as the C conversion gives it; too large fails.
        const std::string_view number(begin, static_cast<size_t>(result.ptr - begin));
        if (number.find("e-") == std::string_view::npos &&
            number.find("E-") == std::string_view::npos)
            return std::nullopt;
        value = 0.0;
    } else if (result.ec != std::errc()) {
        return std::nullopt;
    }
    value *= sign;
    if (value == 0.0 && first != '0')
        return std::nullopt;
    if (!std::isfinite(value))
        return std::nullopt;
    for (const char* p = result.ptr; p != end; ++p) {
        if (!IsBlank(*p))
            return std::nullopt;
    }
    return value;
}

int RoundHalfAway(double x) {
    if (std::isnan(x))
        return 0;
    const double rounded = x > 0 ? std::trunc(x + 0.5) : std::trunc(x - 0.5);
    if (rounded >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (rounded <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(rounded);
}

int ScaledFromReal(double value, int d, bool limit) {
    int raw = RoundHalfAway(value * StoreFactor(d));
    if (limit) {
        if (raw > kScaledMax)
            raw = kScaledMax;
        if (raw < kScaledMin)
            raw = kScaledMin;
    }
    return raw;
}

std::string FormatScaled(int raw, int d) {
    d &= 3;
    // to_chars, not printf: the decimal point must not follow the user's locale.
    char text[64];
    const std::to_chars_result result =
        std::to_chars(text, text + sizeof text, raw * kShowFactor[d], std::chars_format::fixed, d);
    return std::string(text, result.ptr);
}
