#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CArchiveReader;
class CArchiveWriter;

// The monitoring list: the controllers a monitoring run polls, with the names and units the
// views and the logger show, the sampling period and the logged columns. The four arrays
// always have the same length, 1 to kMaxEntries.
class CControllerList {
public:
    static constexpr size_t kMinEntries = 1;
    static constexpr size_t kMaxEntries = 72;
    static constexpr int32_t kDefaultPeriod = 10;
    static constexpr int32_t kMinPeriod = 1;
    static constexpr int32_t kMaxPeriod = 900;
    static constexpr int32_t kAllColumns = 127; // the logger's seven columns
    static constexpr const char* kDefaultUnit = "ºC";

    // A new list: kMaxEntries entries, entry i (1..72) enabled, address i, named
    // DefaultName(namePrefix, i), unit "ºC"; period 10, every column.
    explicit CControllerList(std::string_view namePrefix);

    // The name a new entry k gets: the prefix, a blank and k.
    static std::string DefaultName(std::string_view namePrefix, int k);

    size_t GetCount() const { return enabled.size(); }

    // Replaces the four arrays at once. Refused (false, list unchanged) when their lengths
    // differ or lie outside 1..kMaxEntries.
    bool SetEntries(std::vector<int32_t> enabled, std::vector<uint8_t> address,
                    std::vector<std::string> name, std::vector<std::string> unit);

    // Stored form inside a configuration file: int16 count, int32 columns, int32 period, then
    // per entry int32 enabled, uint8 address, name and unit as archive strings.
    void Store(CArchiveWriter& archive) const;
    // Reads the stored form. A count outside 1..72 is refused (bad index) before anything
    // changes; columns, then period are taken as soon as each is read and found sound (a
    // period outside 1..900 is bad index); the entries replace the list only when all were
    // read, and an entry with address 0 refuses them all (bad index).
    void Load(CArchiveReader& archive);

    std::vector<int32_t> enabled;    // non-zero: polled
    std::vector<uint8_t> address;    // Modbus slave address
    std::vector<std::string> name;   // UTF-8
    std::vector<std::string> unit;   // UTF-8, e.g. "ºC" or "F"
    int32_t period = kDefaultPeriod; // sampling period, seconds
    int32_t columns = kAllColumns;   // bit mask of the logged columns
};
