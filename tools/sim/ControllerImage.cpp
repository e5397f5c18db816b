#include "ControllerImage.h"

namespace sim {

ControllerImage::ControllerImage(ModelFamily f) : family(f) {
    for (uint32_t i = 0; i < CControllerModel::kImageSize; ++i)
        registers[i] = CTQControllerModel::kDefaultValues[i];
    registers[reg::kSoftwareVersion] = kSimSoftwareVersion;
    registers[reg::kHardwareVersion] = kSimHardwareVersion;
    registers[reg::kFamily] = family == TQ100 ? 0 : 1;
}

uint16_t ControllerImage::RegisterCount() const {
    return family == TQ100 ? kRegisterCountTQ100 : kRegisterCountTQ102_TQ402;
}

uint16_t ControllerImage::CoilCount() const {
    return family == TQ100 ? 11 : 10;
}

bool ControllerImage::HasRegister(uint32_t index) const {
    return index < RegisterCount() || index == reg::kFamily;
}

bool ControllerImage::IsWritable(uint32_t index) const {
    return index < RegisterCount();
}

bool ControllerImage::InRange(uint32_t index, int16_t value) const {
    return IsWritable(index) && value >= CTQControllerModel::kMinima[index] &&
           value <= CTQControllerModel::kMaxima[index];
}

bool ControllerImage::IsWritableCoil(uint32_t index) {
    return index == coil::kSelfTune || index == coil::kManual;
}

} // namespace sim
