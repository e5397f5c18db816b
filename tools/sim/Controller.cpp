#include "Controller.h"

#include "ModbusSlave.h"

#include <cmath>
#include <stdexcept>

namespace sim {

namespace {
// Beyond this many steps behind, the load has long settled; skip rather than replay.
constexpr int64_t kMaxCatchUpSteps = 200000;

int64_t TickOf(double seconds) {
    return static_cast<int64_t>(std::floor(seconds / ProcessModel::kStep + 1e-6));
}
} // namespace

Controller::Controller(uint8_t a, ModelFamily f, LineSettings l, uint64_t seed,
                       std::shared_ptr<const SimClock> c, PlantParams plant, double tuneSeconds)
    : address(a), family(f), line(l), clock(std::move(c)), image(f), process(plant, tuneSeconds),
      tick(TickOf(clock->Now())), random(seed) {
    process.Publish(image);
}

uint16_t Controller::RegisterCount() const {
    return image.RegisterCount();
}
uint16_t Controller::CoilCount() const {
    return image.CoilCount();
}

void Controller::CatchUp() {
    const int64_t now = TickOf(clock->Now());
    if (now - tick > kMaxCatchUpSteps)
        tick = now - kMaxCatchUpSteps;
    for (; tick < now; ++tick)
        process.Step(image);
}

int16_t Controller::Register(uint16_t index) {
    if (index >= ControllerImage::kHeldRegisters)
        throw std::out_of_range("register");
    std::lock_guard<std::mutex> guard(lock);
    CatchUp();
    return image.registers[index];
}

void Controller::SetRegister(uint16_t index, int16_t value) {
    if (index >= ControllerImage::kHeldRegisters)
        throw std::out_of_range("register");
    std::lock_guard<std::mutex> guard(lock);
    CatchUp();
    image.registers[index] = value;
    process.Publish(image);
}

std::vector<int16_t> Controller::Registers(uint16_t first, uint16_t count) {
    if (uint32_t(first) + count > ControllerImage::kHeldRegisters)
        throw std::out_of_range("register");
    std::lock_guard<std::mutex> guard(lock);
    CatchUp();
    return {image.registers.begin() + first, image.registers.begin() + first + count};
}

bool Controller::Coil(uint16_t index) {
    if (index >= ControllerImage::kMaxCoils)
        throw std::out_of_range("coil");
    std::lock_guard<std::mutex> guard(lock);
    CatchUp();
    return image.coils[index] != 0;
}

void Controller::SetCoil(uint16_t index, bool on) {
    if (index >= ControllerImage::kMaxCoils)
        throw std::out_of_range("coil");
    std::lock_guard<std::mutex> guard(lock);
    CatchUp();
    image.coils[index] = on ? 1 : 0;
}

double Controller::Temperature() {
    std::lock_guard<std::mutex> guard(lock);
    CatchUp();
    return process.Temperature();
}

void Controller::SetTemperature(double celsius) {
    std::lock_guard<std::mutex> guard(lock);
    CatchUp();
    process.SetTemperature(celsius);
    process.Publish(image);
}

PlantParams Controller::Plant() {
    std::lock_guard<std::mutex> guard(lock);
    return process.Plant();
}

void Controller::SetPlant(const PlantParams& params) {
    std::lock_guard<std::mutex> guard(lock);
    CatchUp();
    process.SetPlant(params);
}

bool Controller::Tuning() {
    std::lock_guard<std::mutex> guard(lock);
    CatchUp();
    return process.Tuning();
}

void Controller::AddFault(const Fault& fault) {
    std::lock_guard<std::mutex> guard(lock);
    faults.push_back(fault);
}

void Controller::ClearFaults() {
    std::lock_guard<std::mutex> guard(lock);
    faults.clear();
}

std::vector<Fault> Controller::Faults() {
    std::lock_guard<std::mutex> guard(lock);
    return faults;
}

Controller::Outcome Controller::Serve(std::span<const uint8_t> pdu) {
    std::lock_guard<std::mutex> guard(lock);
    CatchUp();
    Outcome outcome;
    std::uniform_real_distribution<double> draw(0.0, 1.0);
    for (const Fault& fault : faults) {
        // Every fault draws, so one fault's outcome does not shift another's sequence.
        const double u = draw(random);
        if (!outcome.fault && u < fault.rate)
            outcome.fault = fault;
    }
    const bool silent = outcome.fault && (outcome.fault->kind == FaultKind::Silent ||
                                          outcome.fault->kind == FaultKind::DropConnection);
    // A controller that ignores a request does not act on it either.
    if (silent)
        return outcome;
    if (outcome.fault && outcome.fault->kind == FaultKind::Exception) {
        const uint8_t code = outcome.fault->param > 0 ? uint8_t(outcome.fault->param) : 4;
        outcome.answer = {static_cast<uint8_t>((pdu.empty() ? 0 : pdu[0]) | 0x80), code};
        return outcome;
    }
    outcome.answer = AnswerPdu(image, pdu);
    process.Publish(image);
    return outcome;
}

} // namespace sim
