#pragma once

#include "ControllerImage.h"
#include "ProcessModel.h"
#include "SimClock.h"
#include "SimTypes.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <span>
#include <vector>

namespace sim {

// One simulated controller on the bus. Every accessor first brings the process up to the
// simulated time, so values read here are the values a master would read now. Thread-safe.
class Controller {
public:
    Controller(uint8_t address, ModelFamily family, LineSettings line, uint64_t seed,
               std::shared_ptr<const SimClock> clock, PlantParams plant, double tuneSeconds);

    uint8_t Address() const { return address; }
    ModelFamily Family() const { return family; }
    LineSettings Line() const { return line; }
    uint16_t RegisterCount() const;
    uint16_t CoilCount() const;

    // Registers 0..56 (the image holds them all; the bus answers only the family's map).
    // SetRegister stores without a range check, so tests can force any value.
    int16_t Register(uint16_t index);
    void SetRegister(uint16_t index, int16_t value);
    bool Coil(uint16_t index);
    void SetCoil(uint16_t index, bool on);
    std::vector<int16_t> Registers(uint16_t first, uint16_t count);

    // The load behind the controller.
    double Temperature();
    void SetTemperature(double celsius);
    PlantParams Plant();
    void SetPlant(const PlantParams& params);
    bool Tuning();

    // Faults, tried in the order they were added; the first whose draw hits applies.
    void AddFault(const Fault& fault);
    void ClearFaults();
    std::vector<Fault> Faults();

    // Answers a request PDU as the controller would, after the process caught up. Returns
    // the answer PDU and the fault drawn for it (if any).
    struct Outcome {
        std::vector<uint8_t> answer;
        std::optional<Fault> fault;
    };
    Outcome Serve(std::span<const uint8_t> pdu);

private:
    void CatchUp();

    const uint8_t address;
    const ModelFamily family;
    const LineSettings line;
    std::shared_ptr<const SimClock> clock;
    std::mutex lock;
    ControllerImage image;
    ProcessModel process;
    int64_t tick = 0; // simulated time reached, in process steps
    std::vector<Fault> faults;
    std::mt19937_64 random;
};

} // namespace sim
