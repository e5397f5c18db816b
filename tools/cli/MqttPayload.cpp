#include "MqttPayload.h"

#include "core/model/ScaledValue.h"
#include "core/tasks/PollingEngine.h"

#include <cstdio>
#include <ctime>

namespace {

// A JSON string: quotes, backslashes and control characters escaped; other bytes, UTF-8
// included, as they are.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Head(const std::string& time, uint8_t address, const std::string& name, bool ok) {
    return "{\"time\":" + Quoted(time) + ",\"address\":" + std::to_string(address) +
           ",\"name\":" + Quoted(name) + ",\"ok\":" + (ok ? "true" : "false");
}

} // namespace

std::string MqttTimeText(std::chrono::system_clock::time_point when) {
    using namespace std::chrono;
    const std::time_t seconds = system_clock::to_time_t(when);
    long long ms = duration_cast<milliseconds>(when.time_since_epoch()).count() % 1000;
    if (ms < 0)
        ms += 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    const int offset = static_cast<int>(local.tm_gmtoff / 60);
    const int magnitude = (offset < 0 ? -offset : offset) % (100 * 60);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03lld%c%02d:%02d",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, ms, offset < 0 ? '-' : '+', magnitude / 60,
                  magnitude % 60);
    return text;
}

std::string MqttDataPayload(const std::string& time, uint8_t address, const std::string& name,
                            const int16_t* registers, const uint8_t* coils, int coilCount) {
    const int decimals = registers[32] & 3;
    const bool outOfRange = coils[0] != 0 || coils[1] != 0;
    std::string out = Head(time, address, name, true);
    out += ",\"pv\":" + (outOfRange ? std::string("null") : FormatScaled(registers[0], decimals));
    out += ",\"sp\":" + FormatScaled(registers[4], decimals);
    out += ",\"out\":" + std::to_string(registers[3] / 10);
    out += ",\"decimals\":" + std::to_string(decimals);
    out += ",\"registers\":[";
    for (int i = 0; i < kPollRegisterCount; ++i)
        out += (i ? "," : "") + std::to_string(registers[i]);
    out += "],\"coils\":[";
    for (int i = 0; i < coilCount; ++i)
        out += (i ? "," : "") + std::to_string(coils[i] != 0 ? 1 : 0);
    return out + "]}";
}

std::string MqttErrorPayload(const std::string& time, uint8_t address, const std::string& name,
                             const char* error) {
    return Head(time, address, name, false) + ",\"error\":" + Quoted(error) + "}";
}
