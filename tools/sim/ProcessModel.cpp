#include "ProcessModel.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

int16_t ToRegister(double value) {
    return static_cast<int16_t>(std::clamp(std::lround(value), -9999L, 9999L));
}

// Input ranges of the thermocouple and resistance codes, ºC.
struct Range {
    double low, high;
};
constexpr Range kSensorRanges[] = {
    {0, 1372}, {0, 1200}, {0, 1000}, {0, 1300}, {0, 1769}, {0, 1769}, {0, 1800}, {0, 400},
};

} // namespace

ProcessModel::ProcessModel(PlantParams p, double tune)
    : plant(p), tuneSeconds(tune), temperature(p.ambient), filtered(p.ambient) {}

double ProcessModel::Scale::ToDisplay(double celsius) const {
    return fahrenheit ? celsius * 1.8 + 32.0 : celsius;
}

ProcessModel::Scale ProcessModel::ScaleOf(const ControllerImage& image) {
    // Only 0..3 digits after the point exist; more count as 3.
    int decimals = image.registers[reg::kDecimalPoint];
    decimals = decimals < 0 ? 0 : std::min(decimals, 3);
    return {std::pow(10.0, decimals), image.registers[reg::kUnit] == 1};
}

void ProcessModel::SetTemperature(double celsius) {
    temperature = celsius;
    filterPrimed = false;
    lastPvValid = false;
    slope = 0;
}

double ProcessModel::Measured(const ControllerImage& image, const Scale& s) const {
    return s.ToDisplay(temperature) + image.registers[reg::kInputBias] / s.factor;
}

void ProcessModel::InputRange(const ControllerImage& image, const Scale& s, double& low,
                              double& high) const {
    int code = image.registers[reg::kInputType];
    const int index = code > 9 ? code - 1 : code;
    if (index >= 0 && index <= 7) {
        low = s.ToDisplay(kSensorRanges[index].low);
        high = s.ToDisplay(kSensorRanges[index].high);
    } else if (index == 8) {
        low = s.ToDisplay(-199.9);
        high = s.ToDisplay(image.family == TQ100 ? 840.0 : 649.0);
    } else if (index >= 9 && index <= 12) {
        // Analogue inputs span the set point limits.
        low = image.registers[reg::kSetpointLowerLimit] / s.factor;
        high = image.registers[reg::kSetpointUpperLimit] / s.factor;
        if (low > high)
            std::swap(low, high);
    } else {
        low = s.ToDisplay(kSensorRanges[0].low);
        high = s.ToDisplay(kSensorRanges[0].high);
    }
}

double ProcessModel::TargetSetpoint(const ControllerImage& image, const Scale& s) const {
    int16_t raw = image.registers[reg::kSetpoint];
    // Digital input function 1 switches to the secondary set point.
    if (image.coils[coil::kDigitalInput] && image.registers[reg::kDigitalInputConfig] == 1)
        raw = image.registers[reg::kSecondarySetpoint];
    const int16_t low = image.registers[reg::kSetpointLowerLimit];
    const int16_t high = image.registers[reg::kSetpointUpperLimit];
    if (low <= high)
        raw = std::clamp(raw, low, high);
    return raw / s.factor;
}

void ProcessModel::UpdateWorkingSetpoint(const ControllerImage& image, const Scale& s) {
    const double target = TargetSetpoint(image, s);
    const bool ramp = image.registers[reg::kRampConfig] != 0 &&
                      image.registers[reg::kRampTime] > 0 && workingPrimed;
    if (!ramp) {
        working = rampTarget = target;
        workingPrimed = true;
        return;
    }
    // The ramp time register is the minutes a set point change takes.
    if (target != rampTarget) {
        rampTarget = target;
        rampRate = std::abs(target - working) / (image.registers[reg::kRampTime] * 60.0);
    }
    const double stepSize = rampRate * kStep;
    if (std::abs(target - working) <= stepSize)
        working = target;
    else
        working += target > working ? stepSize : -stepSize;
}

void ProcessModel::UpdateTuning(ControllerImage& image) {
    const bool requested = image.coils[coil::kSelfTune] != 0;
    const bool manual = image.coils[coil::kManual] != 0;
    if (requested && !tuning && !manual) {
        tuning = true;
        tuneElapsed = 0;
    } else if (tuning && (!requested || manual)) {
        tuning = false;
        image.coils[coil::kSelfTune] = 0;
    } else if (requested && manual) {
        image.coils[coil::kSelfTune] = 0;
    }
    if (!tuning)
        return;
    tuneElapsed += kStep;
    if (tuneElapsed < tuneSeconds)
        return;
    // Parameters from the load the oscillation revealed.
    const Scale s = ScaleOf(image);
    const double band = std::max(1.0, plant.gain * 0.05 * (s.fahrenheit ? 1.8 : 1.0));
    image.registers[reg::kProportionalBand] = std::max<int16_t>(1, ToRegister(band * s.factor));
    image.registers[reg::kIntegralTime] =
        std::max<int16_t>(1, ToRegister(plant.timeConstant * 0.8));
    image.registers[reg::kDerivativeTime] = ToRegister(plant.timeConstant * 0.125);
    image.coils[coil::kSelfTune] = 0;
    tuning = false;
    integral = 0;
}

double ProcessModel::Regulate(const ControllerImage& image, const Scale& s, double pv) {
    const double limit = std::clamp<int>(image.registers[reg::kOutputLimit], 0, 1000) / 1000.0;
    // Action bit 0 = heating (output rises below the set point), 1 = cooling.
    const bool cooling = image.registers[reg::kOutputConfig] & 1;
    double setpoint = working;
    if (tuning)
        setpoint = working * image.registers[reg::kSelfTunePercent] / 100.0;
    const double error = cooling ? pv - setpoint : setpoint - pv;
    const double band = image.registers[reg::kProportionalBand] / s.factor;

    if (tuning || band <= 0) {
        const double hysteresis = std::max(0.0, image.registers[reg::kHysteresis] / s.factor);
        if (error > hysteresis)
            relayOn = true;
        else if (error <= 0)
            relayOn = false;
        integral = 0;
        return relayOn ? limit : 0.0;
    }

    const double integralTime = image.registers[reg::kIntegralTime];
    const double derivativeTime = std::max<int>(0, image.registers[reg::kDerivativeTime]);
    const double integralLimit =
        std::clamp<int>(image.registers[reg::kIntegralLimit], 0, 100) / 100.0;
    // The derivative acts on the filtered slope of the measurement, so a step of the set
    // point or a single sample does not kick the output.
    const double rawSlope = lastPvValid ? (pv - lastPv) / kStep : 0.0;
    const double filterTime = std::max(1.0, derivativeTime / 5.0);
    slope += (rawSlope - slope) * (1.0 - std::exp(-kStep / filterTime));
    const double directedSlope = cooling ? -slope : slope;
    const double proportional = error / band;
    const double derivative = -derivativeTime * directedSlope / band;
    double next = integral;
    if (integralTime > 0)
        next = std::clamp(integral + error * kStep / (integralTime * band), -integralLimit,
                          integralLimit);
    else
        next = 0;
    const double unclamped = proportional + next + derivative;
    // Integrate only while the output is not pinned in the direction of the error.
    if (!((unclamped > limit && error > 0) || (unclamped < 0 && error < 0)))
        integral = next;
    return std::clamp(proportional + integral + derivative, 0.0, limit);
}

void ProcessModel::UpdateAlarms(ControllerImage& image, const Scale& s, double pv) {
    for (int k = 0; k < 2; ++k) {
        const int config = image.registers[k ? reg::kAlarm2Config : reg::kAlarm1Config] & 7;
        const double point =
            image.registers[k ? reg::kAlarm2Setpoint : reg::kAlarm1Setpoint] / s.factor;
        const double hy = std::max(
            0.0, image.registers[k ? reg::kAlarm2Hysteresis : reg::kAlarm1Hysteresis] / s.factor);
        const double deviation = pv - working;
        bool& on = alarm[k];
        switch (config) {
        case 1: // absolute high
            on = on ? pv >= point - hy : pv > point;
            break;
        case 2: // absolute low
            on = on ? pv <= point + hy : pv < point;
            break;
        case 3:
        case 4: // deviation high
            on = on ? deviation >= point - hy : deviation > point;
            break;
        case 5: // deviation low
            on = on ? deviation <= -point + hy : deviation < -point;
            break;
        case 6: // outside the band
            on = on ? std::abs(deviation) >= point - hy : std::abs(deviation) > point;
            break;
        case 7: // inside the band
            on = on ? std::abs(deviation) <= point + hy : std::abs(deviation) < point;
            break;
        default:
            on = false;
        }
        image.coils[k ? coil::kAlarm2 : coil::kAlarm1] = on ? 1 : 0;
    }
}

void ProcessModel::Step(ControllerImage& image) {
    const Scale s = ScaleOf(image);
    const double measured = Measured(image, s);
    if (image.registers[reg::kInputFilter] != 0 && filterPrimed)
        filtered += (measured - filtered) * (1.0 - std::exp(-kStep / 2.0));
    else
        filtered = measured;
    filterPrimed = true;
    const double pv = filtered;

    UpdateWorkingSetpoint(image, s);
    UpdateTuning(image);

    const bool manual = image.coils[coil::kManual] != 0;
    if (manual)
        output = std::clamp<int>(image.registers[reg::kOutputPower], 0, 1000) / 1000.0;
    else
        output = Regulate(image, s, pv);
    lastPv = pv;
    lastPvValid = true;

    const double cycle = std::max<int>(1, image.registers[reg::kCycleTime]);
    cyclePhase = std::fmod(cyclePhase + kStep, cycle);

    const double tau = std::max(0.1, plant.timeConstant);
    const double steady = plant.ambient + plant.gain * output;
    temperature += (steady - temperature) * (1.0 - std::exp(-kStep / tau));

    UpdateAlarms(image, s, pv);
    Publish(image);
}

void ProcessModel::Publish(ControllerImage& image) {
    const Scale s = ScaleOf(image);
    const double pv = filterPrimed ? filtered : Measured(image, s);
    if (!workingPrimed) {
        working = rampTarget = TargetSetpoint(image, s);
        workingPrimed = true;
    }
    double low = 0, high = 0;
    InputRange(image, s, low, high);
    image.registers[reg::kProcessValue] = ToRegister(pv * s.factor);
    image.registers[reg::kDisplaySetpoint] = ToRegister(working * s.factor);
    if (image.coils[coil::kManual] == 0)
        image.registers[reg::kOutputPower] = ToRegister(output * 1000.0);
    image.coils[coil::kOverRange] = pv > high ? 1 : 0;
    image.coils[coil::kUnderRange] = pv < low ? 1 : 0;
    image.coils[coil::kFahrenheit] = s.fahrenheit ? 1 : 0;
    image.coils[coil::kRamp] = working != rampTarget ? 1 : 0;
    if (image.CoilCount() > coil::kOutput) {
        // A relay output is time-proportioned over the cycle time; ON-OFF is on or off.
        const double cycle = std::max<int>(1, image.registers[reg::kCycleTime]);
        image.coils[coil::kOutput] = output > 0 && cyclePhase < output * cycle ? 1 : 0;
    } else {
        image.coils[coil::kOutput] = 0;
    }
}

} // namespace sim
