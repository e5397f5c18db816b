#pragma once

#include "core/model/ControllerModel.h"

#include <array>
#include <cstdint>

// The two families of the series. Stored as a 32-bit value.
enum ModelFamily : int32_t {
    TQ100 = 0,
    TQ102_TQ402 = 1,
};

// Names of the families as the user sees them.
inline constexpr const char* kFamilyNameTQ100 = "TQ100";
inline constexpr const char* kFamilyNameTQ102_TQ402 = "ZI102-VA402";

// Active register count of each family.
inline constexpr uint32_t kRegisterCountTQ100 = 54;
inline constexpr uint32_t kRegisterCountTQ102_TQ402 = 43;

// Registers by meaning (index = Modbus holding-register address).
namespace reg {
inline constexpr uint32_t kProcessValue = 0;
inline constexpr uint32_t kSetpoint = 1;
inline constexpr uint32_t kSecondarySetpoint = 2;
inline constexpr uint32_t kOutputPower = 3; // tenths of a percent, written in manual mode
inline constexpr uint32_t kDisplaySetpoint = 4;
inline constexpr uint32_t kAlarm1Setpoint = 5;
inline constexpr uint32_t kAlarm2Setpoint = 6;
inline constexpr uint32_t kProportionalBand = 8; // 0 = ON-OFF
inline constexpr uint32_t kIntegralTime = 9;
inline constexpr uint32_t kDerivativeTime = 10;
inline constexpr uint32_t kIntegralLimit = 11;
inline constexpr uint32_t kCycleTime = 12;
inline constexpr uint32_t kInputBias = 16;
inline constexpr uint32_t kInputType = 19;
inline constexpr uint32_t kUnit = 20; // 0 = ºC, 1 = F
inline constexpr uint32_t kAlarm1Config = 22;
inline constexpr uint32_t kAlarm2Config = 23;
inline constexpr uint32_t kOutputConfig = 24;
inline constexpr uint32_t kAlarmContacts = 25;
inline constexpr uint32_t kManualModeConfig = 26;
inline constexpr uint32_t kDigitalInputConfig = 28;
inline constexpr uint32_t kRampConfig = 29; // needs software 1.2
inline constexpr uint32_t kSetpointUpperLimit = 30;
inline constexpr uint32_t kSetpointLowerLimit = 31;
inline constexpr uint32_t kDecimalPoint = 32; // digits after the point
inline constexpr uint32_t kHysteresis = 33;
inline constexpr uint32_t kAlarm1Hysteresis = 34;
inline constexpr uint32_t kAlarm2Hysteresis = 35;
inline constexpr uint32_t kSelfTunePercent = 36;
inline constexpr uint32_t kInputFilter = 37;
inline constexpr uint32_t kOffset = 38;          // tenths
inline constexpr uint32_t kOutputLimit = 39;     // tenths of a percent
inline constexpr uint32_t kRampTime = 40;        // needs software 1.2
inline constexpr uint32_t kSoftwareVersion = 41; // tenths: 12 = version 1.2
inline constexpr uint32_t kHardwareVersion = 42; // tenths
inline constexpr uint32_t kRetransAddress = 46;
inline constexpr uint32_t kRetransBaud = 47;
inline constexpr uint32_t kRetransParity = 48;
inline constexpr uint32_t kRetransDelay = 49;
inline constexpr uint32_t kRetransVariable = 50;
inline constexpr uint32_t kRetransSignal = 51;
inline constexpr uint32_t kRetransLowerLimit = 52;
inline constexpr uint32_t kRetransUpperLimit = 53;
// Outside the image: 0 on a TQ100, non-zero on a ZI102-VA402.
inline constexpr uint32_t kFamily = 56;
} // namespace reg

// The five configuration pages the model brings to the sheet. Supplied by the windows (not
// owned by the model; they must outlive it or be detached). A null slot is left out.
struct TQModelPages {
    IModelPage* configuration = nullptr;       // CConfigurationPage
    IModelPage* inputOutput = nullptr;         // CInputOutputPage
    IModelPage* retransmission = nullptr;      // CRetransmissionPage, TQ100 only
    IModelPage* multipleControllers = nullptr; // CMultipleControllersPage
    IModelPage* parameters = nullptr;          // CParametersPage
};

// The model of both families of the series; the family is a switch inside the one object.
class CTQControllerModel : public CControllerModel {
public:
    using Table16 = std::array<int16_t, kImageSize>;
    using Table32 = std::array<int32_t, kImageSize>;

    // The fixed tables, one entry per register. Name ids are string numbers of the
    // language library; -1 = not a transferable parameter. Required version in tenths.
    static const Table16 kDefaultValues;
    static const Table16 kMinima;
    static const Table16 kMaxima;
    static const Table32 kNameIds;
    static const Table16 kRequiredVersions;

    CTQControllerModel();
    explicit CTQControllerModel(const TQModelPages& pages);

    int16_t GetBaseTimeout() const override { return 200; }
    bool IsSupported(uint32_t index) const override;
    bool IsAvailable(uint32_t index) const override;

    ModelFamily GetFamily() const { return family; }
    // Switches the active register count and the sheet's pages. Nothing happens for the
    // current family or a value that is no family. The sheet may be null (no windows).
    void SetFamily(IPropertySheet* sheet, ModelFamily family);

    // Supplies the pages after construction (before AddPagesTo). The page list follows
    // the current family.
    void SetPages(const TQModelPages& pages);
    const TQModelPages& GetPageSlots() const { return pageList; }

private:
    void RebuildPageList();

    TQModelPages pageList;
    ModelFamily family = TQ102_TQ402;
};

// A family's user-visible name ("TQ100" or "ZI102-VA402"), or "" for no family.
const char* FamilyName(ModelFamily family);
