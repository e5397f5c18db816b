#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

class CArchiveReader;
class CArchiveWriter;
class IModelPage;
class IPropertySheet;

// A word of a configuration file that its register could not take: the register kept `kept`.
struct SkippedWord {
    uint32_t index;
    int16_t word;
    int16_t kept;
    bool operator==(const SkippedWord&) const = default;
};

// The image of one controller's holding registers, with the per-register tables that say
// what each register may hold. Register index = Modbus holding-register address.
class CControllerModel {
public:
    // The image is always this long; only the first GetCount() entries are active.
    static constexpr uint32_t kImageSize = 54;

    virtual ~CControllerModel() = default;

    // Response time-out of one transaction, in milliseconds.
    virtual int16_t GetBaseTimeout() const = 0;
    // Whether the connected controller's firmware has this register.
    virtual bool IsSupported(uint32_t index) const = 0;
    // Whether the register is a transferable parameter now.
    virtual bool IsAvailable(uint32_t index) const;

    // Copies GetCount() words in register order, without range checks. Refused (false,
    // image unchanged) when fewer words are given.
    bool SetAllValues(std::span<const int16_t> words);
    // False (image unchanged) when index is not active or value is outside the register's range.
    bool SetValue(uint32_t index, int16_t value);
    // 0 when index is not active.
    int16_t GetValue(uint32_t index) const;

    // Number of active registers (43 or 54).
    uint32_t GetCount() const { return count; }
    // Table look-ups; an index past the image gives min 0, max 0, name id -1.
    int16_t GetMinimum(uint32_t index) const;
    int16_t GetMaximum(uint32_t index) const;
    int32_t GetNameId(uint32_t index) const;

    // The pages the model brings to the main sheet, in display order (not owned).
    const std::vector<IModelPage*>& GetPages() const { return pages; }
    // Adds every page in order, then makes the first one active.
    void AddPagesTo(IPropertySheet& sheet) const;

    // The model's share of a configuration file: GetCount() little-endian int16 words.
    // Load reads all words before applying any; a short archive throws and changes nothing;
    // words outside their register's range are skipped and returned, in register order,
    // unless the register already held that very word (as reserved registers hold their
    // out-of-range default), so the image then shows every word of the file but these.
    std::vector<SkippedWord> LoadValues(CArchiveReader& archive);
    void StoreValues(CArchiveWriter& archive) const;

protected:
    CControllerModel(const int16_t* defaults, const int16_t* maxima, const int16_t* minima,
                     const int32_t* nameIds, uint32_t count);

    std::array<int16_t, kImageSize> values{};
    const int16_t* maxima;
    const int16_t* minima;
    const int32_t* nameIds;
    std::vector<IModelPage*> pages;
    uint32_t count;
};
