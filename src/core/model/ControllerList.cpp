#include "core/model/ControllerList.h"

#include "core/files/Archive.h"

#include <utility>

CControllerList::CControllerList(std::string_view namePrefix) {
    for (size_t i = 1; i <= kMaxEntries; ++i) {
        enabled.push_back(1);
        address.push_back(static_cast<uint8_t>(i));
        name.push_back(DefaultName(namePrefix, static_cast<int>(i)));
        unit.emplace_back(kDefaultUnit);
    }
}

std::string CControllerList::DefaultName(std::string_view namePrefix, int k) {
    std::string text(namePrefix);
    text += ' ';
    text += std::to_string(k);
    return text;
}

bool CControllerList::SetEntries(std::vector<int32_t> newEnabled, std::vector<uint8_t> newAddress,
                                 std::vector<std::string> newName,
                                 std::vector<std::string> newUnit) {
    const size_t n = newEnabled.size();
    if (n < kMinEntries || n > kMaxEntries || newAddress.size() != n || newName.size() != n ||
        newUnit.size() != n)
        return false;
    enabled = std::move(newEnabled);
    address = std::move(newAddress);
    name = std::move(newName);
    unit = std::move(newUnit);
    return true;
}

void CControllerList::Store(CArchiveWriter& archive) const {
    archive.WriteInt16(static_cast<int16_t>(GetCount()));
    archive.WriteInt32(columns);
    archive.WriteInt32(period);
    for (size_t i = 0; i < GetCount(); ++i) {
        archive.WriteInt32(enabled[i]);
        archive.WriteUInt8(address[i]);
        archive.WriteString(name[i]);
        archive.WriteString(unit[i]);
    }
}

void CControllerList::Load(CArchiveReader& archive) {
    const int16_t count = archive.ReadInt16();
    if (count < static_cast<int16_t>(kMinEntries) || count > static_cast<int16_t>(kMaxEntries))
        throw CArchiveException(CArchiveException::badIndex);
    columns = archive.ReadInt32();
    const int32_t newPeriod = archive.ReadInt32();
    if (newPeriod < kMinPeriod || newPeriod > kMaxPeriod)
        throw CArchiveException(CArchiveException::badIndex);
    period = newPeriod;

    std::vector<int32_t> newEnabled;
    std::vector<uint8_t> newAddress;
    std::vector<std::string> newName;
    std::vector<std::string> newUnit;
    for (int16_t i = 0; i < count; ++i) {
        newEnabled.push_back(archive.ReadInt32());
        newAddress.push_back(archive.ReadUInt8());
        // Address 0 is the broadcast address: no controller answers it.
        if (newAddress.back() == 0)
            throw CArchiveException(CArchiveException::badIndex);
        newName.push_back(archive.ReadString());
        newUnit.push_back(archive.ReadString());
    }
    SetEntries(std::move(newEnabled), std::move(newAddress), std::move(newName),
               std::move(newUnit));
}
