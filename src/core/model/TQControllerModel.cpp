#include "core/model/TQControllerModel.h"

#include "core/model/ModelPage.h"

namespace {
constexpr int16_t N = -9999; // the usual range
constexpr int16_t X = 9999;
constexpr int16_t kNever = 32767; // no firmware has the register
} // namespace

// clang-format off
const CTQControllerModel::Table16 CTQControllerModel::kDefaultValues = {
    0, 200, 100, 0, 0, 200, 200, 0, 30, 200,        // 0..9
    25, 100, 1, 9999, 9999, 9999, 0, 0, 0, 0,       // 10..19
    0, 0, 0, 0, 4, 0, 4, 9999, 0, 0,                // 20..29
    600, 0, 0, 1, 0, 0, 100, 0, 0, 1000,            // 30..39
    2, 0, 0, 9999, 9999, 9999, 0, 0, 0, 0,          // 40..49
    0, 0, 0, 600,                                   // 50..53
};

const CTQControllerModel::Table16 CTQControllerModel::kMinima = {
    N, N, N, N, N, N, N, N, N, N,
    N, N, N, 0, 0, 0, N, N, N, N,
    N, N, N, N, N, N, N, N, N, N,
    N, N, N, N, N, N, N, N, N, N,
    N, N, N, 0, 0, 0, N, N, N, N,
    N, N, N, N,
};

const CTQControllerModel::Table16 CTQControllerModel::kMaxima = {
    X, X, X, X, X, X, X, X, X, X,
    X, X, X, 0, 0, 0, X, X, X, X,
    X, X, X, X, X, X, X, X, X, X,
    X, X, X, X, X, X, X, X, X, X,
    X, X, X, 0, 0, 0, X, X, X, X,
    X, X, X, X,
};

const CTQControllerModel::Table32 CTQControllerModel::kNameIds = {
    -1, 14, 23, -1, -1, 26, 37, 114, 17, 18,        // 0..9
    19, 21, 20, -1, -1, -1, 13, -1, -1, 75,         // 10..19
    84, -1, 25, 36, 42, 115, 83, -1, 81, 134,       // 20..29
    15, 16, 40, 22, 35, 38, 24, 70, 72, 43,         // 30..39
    136, -1, -1, -1, -1, -1, 154, 124, 120, 155,    // 40..49
    156, 157, 158, 159,                             // 50..53
};

const CTQControllerModel::Table16 CTQControllerModel::kRequiredVersions = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, kNever, kNever, kNever, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 12,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    12, 0, 0, kNever, kNever, kNever, 0, 0, 0, 0,
    0, 0, 0, 0,
};
// clang-format on

CTQControllerModel::CTQControllerModel()
    : CControllerModel(kDefaultValues.data(), kMaxima.data(), kMinima.data(), kNameIds.data(),
                       kRegisterCountTQ102_TQ402) {}

CTQControllerModel::CTQControllerModel(const TQModelPages& pages) : CTQControllerModel() {
    SetPages(pages);
}

bool CTQControllerModel::IsSupported(uint32_t index) const {
    return index < kImageSize && kRequiredVersions[index] <= values[reg::kSoftwareVersion];
}

bool CTQControllerModel::IsAvailable(uint32_t index) const {
    return IsSupported(index) && CControllerModel::IsAvailable(index);
}

void CTQControllerModel::SetPages(const TQModelPages& pageSlots) {
    pageList = pageSlots;
    RebuildPageList();
}

void CTQControllerModel::RebuildPageList() {
    pages.clear();
    IModelPage* const order[] = {
        pageList.configuration,
        pageList.inputOutput,
        family == TQ100 ? pageList.retransmission : nullptr,
        pageList.multipleControllers,
        pageList.parameters,
    };
    for (IModelPage* page : order) {
        if (page != nullptr)
            pages.push_back(page);
    }
}

namespace {
void RemoveFrom(IPropertySheet* sheet, IModelPage* page) {
    if (sheet != nullptr && page != nullptr)
        sheet->RemovePage(page);
}
void AddTo(IPropertySheet* sheet, IModelPage* page) {
    if (sheet != nullptr && page != nullptr)
        sheet->AddPage(page);
}
} // namespace

void CTQControllerModel::SetFamily(IPropertySheet* sheet, ModelFamily newFamily) {
    if (newFamily == family || (newFamily != TQ100 && newFamily != TQ102_TQ402))
        return;
    IModelPage* const remembered = sheet != nullptr ? sheet->GetActivePage() : nullptr;
    if (newFamily == TQ102_TQ402) {
        RemoveFrom(sheet, pageList.retransmission);
        count = kRegisterCountTQ102_TQ402;
    } else {
        // The retransmission page goes before the last two, so those are taken off and
        // added again behind it.
        RemoveFrom(sheet, pageList.parameters);
        RemoveFrom(sheet, pageList.multipleControllers);
        AddTo(sheet, pageList.retransmission);
        AddTo(sheet, pageList.multipleControllers);
        AddTo(sheet, pageList.parameters);
        if (sheet != nullptr && remembered != nullptr)
            sheet->SetActivePage(remembered);
        count = kRegisterCountTQ100;
    }
    family = newFamily;
    RebuildPageList();
}

const char* FamilyName(ModelFamily family) {
    switch (family) {
    case TQ100:
        return kFamilyNameTQ100;
    case TQ102_TQ402:
        return kFamilyNameTQ102_TQ402;
    }
    return "";
}
