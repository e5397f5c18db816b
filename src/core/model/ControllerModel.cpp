#include "core/model/ControllerModel.h"

#include "core/files/Archive.h"
#include "core/model/ModelPage.h"

#include <algorithm>

CControllerModel::CControllerModel(const int16_t* defaults, const int16_t* maxima,
                                   const int16_t* minima, const int32_t* nameIds, uint32_t count)
    : maxima(maxima), minima(minima), nameIds(nameIds), count(count) {
    std::copy(defaults, defaults + kImageSize, values.begin());
}

bool CControllerModel::IsAvailable(uint32_t index) const {
    return index < count && nameIds[index] != -1;
}

bool CControllerModel::SetAllValues(std::span<const int16_t> words) {
    if (words.size() < count)
        return false;
    std::copy(words.begin(), words.begin() + count, values.begin());
    return true;
}

bool CControllerModel::SetValue(uint32_t index, int16_t value) {
    if (index >= count || value > maxima[index] || value < minima[index])
        return false;
    values[index] = value;
    return true;
}

int16_t CControllerModel::GetValue(uint32_t index) const {
    return index < count ? values[index] : int16_t(0);
}

int16_t CControllerModel::GetMinimum(uint32_t index) const {
    return index < kImageSize ? minima[index] : int16_t(0);
}

int16_t CControllerModel::GetMaximum(uint32_t index) const {
    return index < kImageSize ? maxima[index] : int16_t(0);
}

int32_t CControllerModel::GetNameId(uint32_t index) const {
    return index < kImageSize ? nameIds[index] : -1;
}

void CControllerModel::AddPagesTo(IPropertySheet& sheet) const {
    for (IModelPage* page : pages)
        sheet.AddPage(page);
    if (!pages.empty())
        sheet.SetActivePage(pages.front());
}

std::vector<SkippedWord> CControllerModel::LoadValues(CArchiveReader& archive) {
    // All words first: a file that ends early must leave the image as it was.
    std::array<int16_t, kImageSize> words{};
    for (uint32_t i = 0; i < count; ++i)
        words[i] = archive.ReadInt16();
    std::vector<SkippedWord> skipped;
    for (uint32_t i = 0; i < count; ++i) {
        if (!SetValue(i, words[i]) && values[i] != words[i])
            skipped.push_back({i, words[i], values[i]});
    }
    return skipped;
}

void CControllerModel::StoreValues(CArchiveWriter& archive) const {
    for (uint32_t i = 0; i < count; ++i)
        archive.WriteInt16(values[i]);
}
