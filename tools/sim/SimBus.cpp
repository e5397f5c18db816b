#include "SimBus.h"

#include "ModbusSlave.h"
#include "SerialServer.h"
#include "TcpServer.h"

#include <random>
#include <stdexcept>

namespace sim {

namespace {

uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

uint16_t Word(std::span<const uint8_t> frame, size_t at) {
    return frame.size() >= at + 2 ? static_cast<uint16_t>(frame[at] << 8 | frame[at + 1]) : 0;
}

} // namespace

bool HeardLine::Reaches(const LineSettings& line) const {
    if (line.baud != baud)
        return false;
    if (evenLooksLikeNone && parity != Parity::Odd)
        return line.parity != Parity::Odd;
    return line.parity == parity;
}

SimBus::SimBus(SimBusOptions o) : options(o), clock(std::make_shared<SimClock>(o.timeScale)) {}

SimBus::~SimBus() {
    Stop();
}

Controller& SimBus::AddController(uint8_t address, ModelFamily family, uint32_t baud,
                                  Parity parity) {
    if (address < 1 || address > 247)
        throw std::invalid_argument("controller address must be 1..247");
    if (family != TQ100 && family != TQ102_TQ402)
        throw std::invalid_argument("unknown family");
    const uint64_t seed = Mix(options.seed ^ Mix(address));
    PlantParams plant;
    if (!options.uniformPlants) {
        std::mt19937_64 draw(seed ^ 0x5A5A5A5Aull);
        plant.timeConstant = std::uniform_real_distribution<double>(40.0, 120.0)(draw);
        plant.gain = std::uniform_real_distribution<double>(500.0, 700.0)(draw);
        plant.ambient = std::uniform_real_distribution<double>(18.0, 25.0)(draw);
    }
    auto controller = std::make_shared<Controller>(address, family, LineSettings{baud, parity},
                                                   seed, clock, plant, options.tuneSeconds);
    std::lock_guard<std::mutex> guard(controllersLock);
    if (controllers.count(address))
        throw std::invalid_argument("controller address already taken");
    return *(controllers[address] = std::move(controller));
}

void SimBus::AddDefaultControllers() {
    for (int address = 1; address <= 72; ++address) {
        if (!Has(static_cast<uint8_t>(address)))
            AddController(static_cast<uint8_t>(address), address % 2 ? TQ100 : TQ102_TQ402);
    }
}

void SimBus::RemoveController(uint8_t address) {
    std::lock_guard<std::mutex> guard(controllersLock);
    controllers.erase(address);
}

bool SimBus::Has(uint8_t address) const {
    std::lock_guard<std::mutex> guard(controllersLock);
    return controllers.count(address) != 0;
}

Controller& SimBus::At(uint8_t address) {
    std::lock_guard<std::mutex> guard(controllersLock);
    auto it = controllers.find(address);
    if (it == controllers.end())
        throw std::out_of_range("no controller at address " + std::to_string(address));
    return *it->second;
}

std::vector<uint8_t> SimBus::Addresses() const {
    std::lock_guard<std::mutex> guard(controllersLock);
    std::vector<uint8_t> out;
    for (const auto& [address, controller] : controllers)
        out.push_back(address);
    return out;
}

void SimBus::SetFault(uint8_t address, FaultKind kind, double rate, int param) {
    At(address).AddFault({kind, rate, param});
}

void SimBus::ClearFaults(uint8_t address) {
    At(address).ClearFaults();
}

void SimBus::ClearAllFaults() {
    std::lock_guard<std::mutex> guard(controllersLock);
    for (auto& [address, controller] : controllers)
        controller->ClearFaults();
}

uint16_t SimBus::StartTcp(uint16_t port, const std::string& host) {
    std::lock_guard<std::mutex> guard(serversLock);
    if (tcp)
        throw std::runtime_error("TCP server already running");
    auto server = std::make_unique<TcpServer>(*this);
    const uint16_t bound = server->Start(host, port);
    tcp = std::move(server);
    return bound;
}

std::string SimBus::StartPty(const std::string& linkPath) {
    std::lock_guard<std::mutex> guard(serversLock);
    if (serial)
        throw std::runtime_error("serial server already running");
    auto server = std::make_unique<SerialServer>(*this);
    const std::string path = server->StartPty(linkPath);
    serial = std::move(server);
    return path;
}

void SimBus::StartDevice(const std::string& path, LineSettings line) {
    std::lock_guard<std::mutex> guard(serversLock);
    if (serial)
        throw std::runtime_error("serial server already running");
    auto server = std::make_unique<SerialServer>(*this);
    server->StartDevice(path, line);
    serial = std::move(server);
}

void SimBus::Stop() {
    std::unique_ptr<TcpServer> t;
    std::unique_ptr<SerialServer> s;
    {
        std::lock_guard<std::mutex> guard(serversLock);
        t = std::move(tcp);
        s = std::move(serial);
    }
    if (t)
        t->Stop();
    if (s)
        s->Stop();
}

uint16_t SimBus::TcpPort() const {
    std::lock_guard<std::mutex> guard(serversLock);
    return tcp ? tcp->Port() : 0;
}

std::string SimBus::PtyPath() const {
    std::lock_guard<std::mutex> guard(serversLock);
    return serial ? serial->Path() : std::string();
}

size_t SimBus::TcpClientCount() const {
    std::lock_guard<std::mutex> guard(serversLock);
    return tcp ? tcp->ClientCount() : 0;
}

void SimBus::Advance(double seconds) {
    clock->Advance(seconds);
    std::vector<std::shared_ptr<Controller>> all;
    {
        std::lock_guard<std::mutex> guard(controllersLock);
        for (auto& [address, controller] : controllers)
            all.push_back(controller);
    }
    for (auto& controller : all)
        controller->Temperature(); // any accessor catches the process up
}

std::vector<RequestRecord> SimBus::RequestLog() const {
    std::lock_guard<std::mutex> guard(logLock);
    return {log.begin(), log.end()};
}

void SimBus::ClearRequestLog() {
    std::lock_guard<std::mutex> guard(logLock);
    log.clear();
    counts.clear();
}

uint64_t SimBus::RequestCount(uint8_t function) const {
    std::lock_guard<std::mutex> guard(logLock);
    auto it = counts.find(function);
    return it == counts.end() ? 0 : it->second;
}

void SimBus::SetRequestObserver(std::function<void(const RequestRecord&)> o) {
    std::lock_guard<std::mutex> guard(logLock);
    observer = std::move(o);
}

void SimBus::Record(const RequestRecord& record) {
    std::function<void(const RequestRecord&)> notify;
    {
        std::lock_guard<std::mutex> guard(logLock);
        log.push_back(record);
        while (log.size() > options.logCapacity)
            log.pop_front();
        ++counts[record.function];
        notify = observer;
    }
    if (notify)
        notify(record);
}

Reply SimBus::Serve(Link link, std::span<const uint8_t> frame, const HeardLine* heard) {
    Reply reply;
    if (frame.size() < 2)
        return reply;
    const uint8_t address = frame[0];
    const std::span<const uint8_t> pdu = frame.subspan(1);

    std::vector<std::shared_ptr<Controller>> targets;
    {
        std::lock_guard<std::mutex> guard(controllersLock);
        if (address == 0) {
            for (auto& [a, controller] : controllers)
                targets.push_back(controller);
        } else if (auto it = controllers.find(address); it != controllers.end()) {
            targets.push_back(it->second);
        }
    }

    for (auto& controller : targets) {
        // A controller at other line settings hears only noise.
        if (heard && !heard->Reaches(controller->Line()))
            continue;
        const bool broadcast = address == 0;
        if (broadcast && pdu[0] != 5 && pdu[0] != 6)
            continue;
        Controller::Outcome outcome = controller->Serve(pdu);
        RequestRecord record;
        record.link = link;
        record.address = controller->Address();
        record.function = pdu[0];
        record.start = Word(pdu, 1);
        record.quantity = Word(pdu, 3);
        record.exception = ExceptionOf(outcome.answer);
        if (outcome.fault)
            record.fault = outcome.fault->kind;
        Record(record);
        if (broadcast)
            continue; // broadcasts are never answered

        reply.line = controller->Line();
        reply.fault = record.fault;
        if (outcome.answer.empty()) {
            // Silent, or a dropped connection where there is a connection to drop.
            reply.dropConnection = link == Link::Tcp && outcome.fault &&
                                   outcome.fault->kind == FaultKind::DropConnection;
            return reply;
        }
        reply.send = true;
        reply.frame.push_back(address);
        reply.frame.insert(reply.frame.end(), outcome.answer.begin(), outcome.answer.end());
        if (outcome.fault && outcome.fault->kind == FaultKind::Slow)
            reply.delayMs = outcome.fault->param;
        if (outcome.fault && outcome.fault->kind == FaultKind::WrongAddress)
            reply.frame[0] = static_cast<uint8_t>(address % 247 + 1);
    }
    return reply;
}

} // namespace sim
