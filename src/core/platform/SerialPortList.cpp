#include "core/platform/SerialPortList.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <linux/serial.h>
#include <map>
#include <mutex>
#include <set>
#include <sys/ioctl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::mutex registryMutex;
std::map<std::string, std::string> registry; // "COM3:" -> device path
std::function<std::vector<std::string>()> scannerOverride;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t end = text.find(separator, begin);
        if (end == std::string::npos)
            end = text.size();
        if (end > begin)
            parts.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return parts;
}

// "COM3:" or "com3" -> 3; 0 when the text is no such name.
int PortNumber(const std::string& name) {
    if (name.size() < 4 || std::toupper(static_cast<unsigned char>(name[0])) != 'C' ||
        std::toupper(static_cast<unsigned char>(name[1])) != 'O' ||
        std::toupper(static_cast<unsigned char>(name[2])) != 'M')
        return 0;
    size_t end = name.size();
    if (name[end - 1] == ':')
        --end;
    if (end <= 3 || end - 3 > 5)
        return 0;
    int number = 0;
    for (size_t i = 3; i < end; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])))
            return 0;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

std::string PortName(int number) {
    return "COM" + std::to_string(number) + ":";
}

// A USB adapter gets a new ttyUSBn when plugged elsewhere; its by-id link stays the same.
std::string StableKey(const std::string& device) {
    std::error_code error;
    const fs::path target = fs::canonical(device, error);
    if (error)
        return device;
    for (const char* folder : {"/dev/serial/by-id", "/dev/serial/by-path"}) {
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            std::error_code linkError;
            if (fs::canonical(entry.path(), linkError) == target && !linkError)
                return entry.path().string();
        }
    }
    return device;
}

// 8250 ports exist in /sys for every possible slot; only those with a UART behind them count.
bool IsRealSerial8250(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == EACCES || errno == EBUSY; // there, but not ours to probe
    serial_struct info{};
    const bool known = ioctl(fd, TIOCGSERIAL, &info) != 0 || info.type != PORT_UNKNOWN;
    ::close(fd);
    return known;
}

// Natural order: ttyS2 before ttyS10.
bool DeviceLess(const std::string& a, const std::string& b) {
    auto split = [](const std::string& path) {
        size_t digits = path.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(path[digits - 1])))
            --digits;
        const long number = digits < path.size() ? std::stol(path.substr(digits)) : -1;
        return std::make_pair(path.substr(0, digits), number);
    };
    return split(a) < split(b);
}

} // namespace

std::vector<std::string> ScanSerialDevices() {
    std::vector<std::string> devices;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/sys/class/tty", error)) {
        const std::string node = entry.path().filename().string();
        const std::string device = "/dev/" + node;
        if (node.rfind("ttyUSB", 0) == 0 || node.rfind("ttyACM", 0) == 0) {
            if (fs::exists(device, error))
                devices.push_back(device);
        } else if (node.rfind("ttyS", 0) == 0) {
            std::error_code driverError;
            if (fs::exists(entry.path() / "device" / "driver", driverError) &&
                fs::exists(device, driverError) && IsRealSerial8250(device))
                devices.push_back(device);
        }
    }
    std::sort(devices.begin(), devices.end(), DeviceLess);
    return devices;
}

void SetSerialDeviceScanner(std::function<std::vector<std::string>()> scanner) {
    std::lock_guard<std::mutex> guard(registryMutex);
    scannerOverride = std::move(scanner);
}

std::vector<SerialPortInfo> EnumerateSerialPorts(IProfileStore& profile) {
    std::function<std::vector<std::string>()> scanner;
    {
        std::lock_guard<std::mutex> guard(registryMutex);
        scanner = scannerOverride;
    }
    std::vector<std::string> devices = scanner ? scanner() : ScanSerialDevices();
    for (const std::string& extra : Split(profile.GetString(kSerialPortExtraKey, ""), ';')) {
        std::error_code error;
        if (extra.front() == '/' && fs::exists(extra, error) &&
            std::find(devices.begin(), devices.end(), extra) == devices.end())
            devices.push_back(extra);
    }

    // Known numbers, also of devices not present now, so a replugged device gets its own back.
    std::map<std::string, int> numbers; // stable key -> number
    std::set<int> taken;
    for (const std::string& pair : Split(profile.GetString(kSerialPortMapKey, ""), ';')) {
        const size_t equals = pair.find('=');
        if (equals == std::string::npos)
            continue;
        const int number = PortNumber(pair.substr(0, equals));
        const std::string key = pair.substr(equals + 1);
        if (number > 0 && !key.empty() && !taken.count(number) && !numbers.count(key)) {
            numbers[key] = number;
            taken.insert(number);
        }
    }

    bool changed = false;
    std::vector<std::pair<int, std::string>> present;
    for (const std::string& device : devices) {
        const std::string key = StableKey(device);
        auto found = numbers.find(key);
        if (found == numbers.end()) {
            int number = 1;
            while (taken.count(number))
                ++number;
            found = numbers.emplace(key, number).first;
            taken.insert(number);
            changed = true;
        }
        if (std::none_of(present.begin(), present.end(),
                         [&](const auto& p) { return p.first == found->second; }))
            present.emplace_back(found->second, device);
    }
    std::sort(present.begin(), present.end());

    if (changed) {
        std::vector<std::pair<int, std::string>> byNumber;
        for (const auto& [key, number] : numbers)
            byNumber.emplace_back(number, key);
        std::sort(byNumber.begin(), byNumber.end());
        std::string text;
        for (const auto& [number, key] : byNumber)
            text += (text.empty() ? "" : ";") + PortName(number) + "=" + key;
        profile.WriteString(kSerialPortMapKey, text);
    }

    std::vector<SerialPortInfo> ports;
    std::lock_guard<std::mutex> guard(registryMutex);
    registry.clear();
    for (const auto& [number, device] : present) {
        ports.push_back({PortName(number), device});
        registry[PortName(number)] = device;
    }
    return ports;
}

std::string ResolveSerialDevice(const std::string& name) {
    if (name.empty())
        return "";
    if (name.front() == '/')
        return name;
    const int number = PortNumber(name);
    if (number == 0)
        return "";
    std::lock_guard<std::mutex> guard(registryMutex);
    const auto found = registry.find(PortName(number));
    return found == registry.end() ? "" : found->second;
}
