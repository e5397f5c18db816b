#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// The JSON messages `monitor --mqtt` publishes, one line of UTF-8 each.

// "2026-12-08T09:05:07.250+01:00": local time with milliseconds and the offset from UTC.
std::string MqttTimeText(std::chrono::system_clock::time_point when);

// One controller's values of one cycle: pv (register 0, or null while coil 0 or 1 says over
// or under range) and sp (register 4) with the low two bits of register 32 as decimals, out
// (register 3 in whole percent), then the 43 registers and `coilCount` coils as read.
std::string MqttDataPayload(const std::string& time, uint8_t address, const std::string& name,
                            const int16_t* registers, const uint8_t* coils, int coilCount);

// A controller whose read failed this cycle: ok false and the name of the error.
std::string MqttErrorPayload(const std::string& time, uint8_t address, const std::string& name,
                             const char* error);
