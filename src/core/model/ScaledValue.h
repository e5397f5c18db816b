#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Fixed-point register values: a raw signed 16-bit r with d decimals stands for r x 10^-d.
// Only the low two bits of d count.

inline constexpr int kScaledMax = 32767;
inline constexpr int kScaledMin = -32767; // not -32768: stored values are symmetric

// 1, 10, 100 or 1000.
int StoreFactor(int d);
// raw x 1, 0.1, 0.01 or 0.001.
double ScaleValue(int16_t raw, int d);

// A number typed by the user: blanks (spaces, tabs) around it allowed, nothing else. A
// result of 0 counts only when the text starts with the digit 0, so "-0" and ".0" fail.
// Infinite and not-a-number results fail too. Independent of the C locale.
std::optional<double> ParseNumber(std::string_view text);

// x + 0.5 truncated toward zero for x > 0, else x - 0.5 truncated; saturates at the int
// range (and gives 0 for not-a-number) instead of overflowing.
int RoundHalfAway(double x);

// value x 10^d rounded half away from zero; with `limit`, kept within +-32767.
int ScaledFromReal(double value, int d, bool limit = true);

// The canonical text: raw x 10^-d with exactly d digits after the point ("%.df").
std::string FormatScaled(int raw, int d);
