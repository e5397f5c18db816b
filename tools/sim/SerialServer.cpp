#include "SerialServer.h"

#include "ModbusSlave.h"

#include "core/modbus/ModbusFraming.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

constexpr size_t kMaxBuffer = 512;

struct RateCode {
    uint32_t baud;
    speed_t code;
};
constexpr RateCode kRates[] = {
    {300, B300},     {600, B600},       {1200, B1200},     {2400, B2400},
    {4800, B4800},   {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400},
};

speed_t CodeOf(uint32_t baud) {
    for (const RateCode& r : kRates) {
        if (r.baud == baud)
            return r.code;
    }
    throw std::runtime_error("unsupported rate " + std::to_string(baud));
}

uint32_t BaudOf(speed_t code) {
    for (const RateCode& r : kRates) {
        if (r.code == code)
            return r.baud;
    }
    return 0;
}

void MakeRaw(termios& t, const LineSettings& line) {
    cfmakeraw(&t);
    cfsetispeed(&t, CodeOf(line.baud));
    cfsetospeed(&t, CodeOf(line.baud));
    t.c_cflag &= ~(PARENB | PARODD | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD | CS8;
    if (line.parity != Parity::None)
        t.c_cflag |= PARENB;
    if (line.parity == Parity::Odd)
        t.c_cflag |= PARODD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
}

} // namespace

double CharacterTime(const LineSettings& line) {
    const double bits = line.parity == Parity::None ? 10.0 : 11.0;
    return bits / (line.baud ? line.baud : 19200);
}

SerialServer::SerialServer(SimBus& b) : bus(b) {}

SerialServer::~SerialServer() {
    Stop();
}

std::string SerialServer::StartPty(const std::string& linkPath) {
    fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 || grantpt(fd) != 0 || unlockpt(fd) != 0)
        throw std::runtime_error("cannot create a pseudo-terminal");
    char name[128];
    if (ptsname_r(fd, name, sizeof name) != 0)
        throw std::runtime_error("cannot name the pseudo-terminal");
    path = name;
    pty = true;
    // Raw 19200 8N1 until the master sets its own line (this reaches the terminal side).
    termios t{};
    tcgetattr(fd, &t);
    MakeRaw(t, LineSettings{});
    tcsetattr(fd, TCSANOW, &t);
    // Held open so the terminal lives on between the master's opens. Its exclusive-open
    // flag would then outlive each master and lock out the next one, so it is cleared
    // whenever the master closes the terminal.
    ownSlave = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch >= 0 &&
        inotify_add_watch(watch, path.c_str(), IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        close(watch);
        watch = -1;
    }
    if (!linkPath.empty()) {
        struct stat st {};
        if (lstat(linkPath.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode))
                throw std::runtime_error(linkPath + " exists and is not a symbolic link");
            unlink(linkPath.c_str());
        }
        if (symlink(path.c_str(), linkPath.c_str()) != 0)
            throw std::runtime_error("cannot create the link " + linkPath);
        link = linkPath;
    }
    thread = std::thread([this] { Loop(); });
    return path;
}

void SerialServer::StartDevice(const std::string& device, LineSettings line) {
    fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("cannot open " + device);
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        MakeRaw(t, line);
        tcsetattr(fd, TCSANOW, &t);
        tcflush(fd, TCIOFLUSH);
    }
    path = device;
    deviceLine = line;
    thread = std::thread([this] { Loop(); });
}

void SerialServer::Stop() {
    stop.Trigger();
    if (thread.joinable())
        thread.join();
    for (int* d : {&fd, &ownSlave, &watch}) {
        if (*d >= 0)
            close(*d);
        *d = -1;
    }
    if (!link.empty()) {
        struct stat st {};
        if (lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            unlink(link.c_str());
        link.clear();
    }
}

HeardLine SerialServer::Heard() const {
    if (!pty)
        return {deviceLine.baud, deviceLine.parity, false};
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return {};
    HeardLine heard;
    heard.baud = BaudOf(cfgetospeed(&t));
    heard.parity = (t.c_cflag & PARODD) ? Parity::Odd : Parity::None;
    heard.evenLooksLikeNone = true;
    return heard;
}

void SerialServer::ReleaseExclusive() {
    if (watch < 0)
        return;
    char events[1024];
    bool closed = false;
    while (read(watch, events, sizeof events) > 0)
        closed = true;
    if (closed && ownSlave >= 0)
        ioctl(ownSlave, TIOCNXCL);
}

void SerialServer::Loop() {
    while (!stop.Triggered()) {
        const double gap = std::max(3.5 * CharacterTime({Heard().baud, Parity::None}), 0.002);
        int timeout = -1;
        if (!buffer.empty()) {
            const auto end = lastByte + std::chrono::duration_cast<Clock::duration>(
                                            std::chrono::duration<double>(gap));
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
            timeout = static_cast<int>(std::max<int64_t>(0, left.count() + 1));
        }
        pollfd fds[3] = {{fd, POLLIN, 0}, {stop.Descriptor(), POLLIN, 0}, {watch, POLLIN, 0}};
        const int n = poll(fds, watch >= 0 ? 3 : 2, timeout);
        if (n < 0 && errno != EINTR)
            break;
        if (stop.Triggered())
            break;
        if (fds[2].revents & POLLIN)
            ReleaseExclusive();
        if (fds[0].revents & POLLIN) {
            uint8_t chunk[256];
            const ssize_t got = read(fd, chunk, sizeof chunk);
            if (got > 0) {
                const auto now = Clock::now();
                if (buffer.empty())
                    firstByte = now;
                lastByte = now;
                buffer.insert(buffer.end(), chunk, chunk + got);
                if (buffer.size() > kMaxBuffer)
                    buffer.clear(); // noise, not Modbus
                TakeFrames(false);
                continue;
            }
            if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                // The line is gone for now (a device unplugged, no one on the far side).
                buffer.clear();
                stop.SleepUntil(Clock::now() + std::chrono::milliseconds(20));
                continue;
            }
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            // Nobody holds the other side: wait for the next master.
            buffer.clear();
            stop.SleepUntil(Clock::now() + std::chrono::milliseconds(20));
            continue;
        }
        if (!buffer.empty() && Clock::now() - lastByte >= std::chrono::duration<double>(gap))
            TakeFrames(true);
    }
}

void SerialServer::TakeFrames(bool gapPassed) {
    while (buffer.size() >= 2) {
        const size_t length = RtuRequestLength(buffer);
        if (length == 0 || buffer.size() < length || !CrcMatches({buffer.data(), length}))
            break;
        const std::vector<uint8_t> request(buffer.begin(), buffer.begin() + long(length));
        buffer.erase(buffer.begin(), buffer.begin() + long(length));
        Handle(request, firstByte);
        firstByte = Clock::now();
    }
    if (!gapPassed || buffer.empty())
        return;
    // The line went quiet: what is left is one frame of a shape not known here, or noise.
    if (buffer.size() >= 4 && CrcMatches(buffer))
        Handle(buffer, firstByte);
    buffer.clear();
}

void SerialServer::Handle(const std::vector<uint8_t>& request, Clock::time_point first) {
    const HeardLine heard = Heard();
    const Reply reply = bus.Serve(Link::Serial, {request.data(), request.size() - 2}, &heard);
    if (!reply.send)
        return;
    std::vector<uint8_t> answer = reply.frame;
    AppendCrc(answer);
    if (reply.fault == FaultKind::BadCrc)
        answer.back() ^= 0xFF;
    if (reply.fault == FaultKind::ShortAnswer)
        answer.resize(3);
    auto deadline = Clock::now();
    if (bus.Options().wireTime) {
        const double chars = double(request.size()) + 3.5 + double(answer.size());
        deadline = first + std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(chars * CharacterTime(reply.line)));
    }
    deadline += std::chrono::milliseconds(reply.delayMs);
    if (deadline > Clock::now() && !stop.SleepUntil(deadline))
        return;
    WriteAll(answer);
}

bool SerialServer::WriteAll(const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    const auto giveUp = Clock::now() + std::chrono::seconds(1);
    while (done < bytes.size() && Clock::now() < giveUp && !stop.Triggered()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd p{fd, POLLOUT, 0};
        poll(&p, 1, 10);
    }
    return done == bytes.size();
}

} // namespace sim
