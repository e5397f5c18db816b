#pragma once

#include "ControllerImage.h"

#include <cstdint>

namespace sim {

// The heated load a controller drives: first order, temperature in ºC.
struct PlantParams {
    double timeConstant = 60.0; // seconds
    double gain = 600.0;        // ºC above ambient at full power
    double ambient = 20.0;      // ºC
};

// One controller's regulation, driven from its own registers and coils: the working set
// point (with ramp), PID or ON-OFF action, manual mode, self-tuning, alarms and the input
// range. Everything is a function of the simulated time steps it is given.
class ProcessModel {
public:
    // Length of one regulation step in simulated seconds.
    static constexpr double kStep = 0.1;

    ProcessModel(PlantParams plant, double tuneSeconds);

    // Advances one step and publishes the results into the image.
    void Step(ControllerImage& image);
    // Writes the measured value, output and status coils without advancing.
    void Publish(ControllerImage& image);

    double Temperature() const { return temperature; }
    void SetTemperature(double celsius);
    const PlantParams& Plant() const { return plant; }
    void SetPlant(const PlantParams& params) { plant = params; }
    void SetTuneSeconds(double seconds) { tuneSeconds = seconds; }
    bool Tuning() const { return tuning; }

private:
    struct Scale {
        double factor; // 10^decimals
        bool fahrenheit;
        double ToDisplay(double celsius) const;
    };
    static Scale ScaleOf(const ControllerImage& image);
    double Measured(const ControllerImage& image, const Scale& s) const;
    void InputRange(const ControllerImage& image, const Scale& s, double& low, double& high) const;
    double TargetSetpoint(const ControllerImage& image, const Scale& s) const;
    void UpdateWorkingSetpoint(const ControllerImage& image, const Scale& s);
    void UpdateTuning(ControllerImage& image);
    double Regulate(const ControllerImage& image, const Scale& s, double pv);
    void UpdateAlarms(ControllerImage& image, const Scale& s, double pv);

    PlantParams plant;
    double tuneSeconds;
    double temperature;
    double filtered;
    bool filterPrimed = false;
    double working = 0;  // working set point, display units
    double rampRate = 0; // display units per second
    double rampTarget = 0;
    bool workingPrimed = false;
    double integral = 0;
    double lastPv = 0;
    double slope = 0; // filtered slope of the measurement, per second
    bool lastPvValid = false;
    bool relayOn = false;
    double output = 0;     // 0..1
    double cyclePhase = 0; // seconds into the cycle-time period
    bool tuning = false;
    double tuneElapsed = 0;
    bool alarm[2] = {false, false};
};

} // namespace sim
