#include "core/modbus/SerialCommPort.h"

#include "core/modbus/ModbusFraming.h"
#include "core/platform/SerialPortList.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct BaudEntry {
    uint32_t rate;
    speed_t code;
};

constexpr BaudEntry kBaudRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000},
};

speed_t BaudCode(uint32_t rate) {
    for (const auto& entry : kBaudRates)
        if (entry.rate == rate)
            return entry.code;
    return B0;
}

int RemainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) + 1 : 0;
}

void SetModemLines(int fd, int lines, bool raise) {
    ioctl(fd, raise ? TIOCMBIS : TIOCMBIC, &lines);
}

} // namespace

CSerialCommPort::CSerialCommPort(const std::string& name_, uint32_t baud, uint8_t parity,
                                 uint8_t stopBits, uint8_t byteSize)
    : name(name_) {
    const std::string device = ResolveSerialDevice(name_);
    if (device.empty()) {
        Close();
        return;
    }
    handle = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0) {
        Close();
        return;
    }
    // TIOCEXCL keeps other programs out; the lock also keeps out a second master of ours,
    // which TIOCEXCL lets through when running privileged.
    if (flock(handle, LOCK_EX | LOCK_NB) != 0 || ioctl(handle, TIOCEXCL) != 0) {
        Close();
        return;
    }
    exclusive = true;
    tcgetattr(handle, &line); // a failure leaves the zeroed record; the arguments decide
    termios wanted = line;
    if (!ApplyLine(wanted, baud, parity, stopBits, byteSize)) {
        Close();
        return;
    }
    line = wanted;

    serial_rs485 rs485{};
    if (ioctl(handle, TIOCGRS485, &rs485) == 0) {
        rs485.flags |= SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
        rs485.flags &= ~static_cast<uint32_t>(SER_RS485_RTS_AFTER_SEND);
        driverRs485 = ioctl(handle, TIOCSRS485, &rs485) == 0;
    }

    ioctl(handle, TIOCCBRK);
    // Without the driver's RS-485 mode, each send raises RTS again and drops it once the
    // last byte is out, so the bus is free for the answer.
    SetModemLines(handle, TIOCM_DTR | TIOCM_RTS, true);
    tcflush(handle, TCIOFLUSH);
    open = true;
}

CSerialCommPort::~CSerialCommPort() {
    Close();
}

void CSerialCommPort::Close() {
    open = false;
    name = "Ninguno";
    if (handle >= 0) {
        const int fd = handle;
        handle = -1;
        tcflush(fd, TCIOFLUSH);
        // The exclusive flag belongs to the device, not to the descriptor: while another
        // descriptor keeps the device alive (a simulator's pty), it would outlive us.
        if (exclusive)
            ioctl(fd, TIOCNXCL);
        exclusive = false;
        ::close(fd);
    }
}

bool CSerialCommPort::ApplyLine(termios& settings, uint32_t baud, uint8_t parity, uint8_t stopBits,
                                uint8_t byteSize) {
    const speed_t code = BaudCode(baud);
    if (code == B0)
        return false;

    settings.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                               ICRNL | IXON | IXOFF | IXANY);
    settings.c_iflag |= INPCK;
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cflag &=
        ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL);
    settings.c_cflag |= CREAD | CLOCAL;
    switch (byteSize) {
    case 5:
        settings.c_cflag |= CS5;
        break;
    case 6:
        settings.c_cflag |= CS6;
        break;
    case 7:
        settings.c_cflag |= CS7;
        break;
    default:
        settings.c_cflag |= CS8;
        break;
    }
    switch (parity) {
    case 0:
        break;
    case 1:
        settings.c_cflag |= PARENB | PARODD;
        break;
    case 2:
        settings.c_cflag |= PARENB;
        break;
    case 3: // mark
        settings.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case 4: // space
        settings.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        return false;
    }
    if (stopBits != 0)
        settings.c_cflag |= CSTOPB;
    // With VMIN 1 an empty line reads as EAGAIN, so a read of 0 bytes means the device is gone.
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, code);
    cfsetospeed(&settings, code);

    // On a pseudo-terminal the C library reports EINVAL for a parity request (the terminal
    // keeps none) although the rest took; the read-back below decides.
    if (tcsetattr(handle, TCSANOW, &settings) != 0 && errno != EINVAL)
        return false;
    // tcsetattr succeeds when any part of the change took: check that the rate did. The
    // framing is not compared, since a pseudo-terminal always reports 8 bits without parity.
    termios applied{};
    if (tcgetattr(handle, &applied) != 0)
        return false;
    return cfgetospeed(&applied) == code;
}

bool CSerialCommPort::SetLineParameters(uint32_t baud, uint8_t parity, uint8_t stopBits,
                                        uint8_t byteSize) {
    if (!open || handle < 0)
        return false;
    termios fresh{};
    if (tcgetattr(handle, &fresh) != 0)
        fresh = line;
    if (ApplyLine(fresh, baud, parity, stopBits, byteSize)) {
        line = fresh;
        return true;
    }
    tcsetattr(handle, TCSANOW, &line);
    return false;
}

bool CSerialCommPort::WriteAll(const uint8_t* data, int length) {
    const bool toggleRts = !driverRs485;
    if (toggleRts)
        SetModemLines(handle, TIOCM_RTS, true);
    // Room for the slowest line (2400 baud, 11 bits a character) and a margin.
    const auto deadline = Clock::now() + std::chrono::milliseconds(2000 + length * 5);
    int written = 0;
    bool ok = true;
    while (written < length) {
        const ssize_t n = ::write(handle, data + written, static_cast<size_t>(length - written));
        if (n > 0) {
            written += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            ok = false;
            break;
        }
        const int left = RemainingMs(deadline);
        pollfd pfd{handle, POLLOUT, 0};
        if (left == 0 || poll(&pfd, 1, left) <= 0 || (pfd.revents & (POLLERR | POLLHUP))) {
            ok = false;
            break;
        }
    }
    if (toggleRts) {
        tcdrain(handle);
        SetModemLines(handle, TIOCM_RTS, false);
    }
    return ok;
}

int CSerialCommPort::Send(const uint8_t* data, int length) {
    if (data == nullptr || length <= 0 || handle < 0)
        return 0;
    tcflush(handle, TCIOFLUSH);
    return WriteAll(data, length) ? 1 : 0;
}

int CSerialCommPort::Receive(uint8_t* buffer, uint32_t* length) {
    if (buffer == nullptr || length == nullptr || *length == 0)
        return 0;
    const uint32_t capacity = *length;
    *length = 0;
    if (handle < 0)
        return 0;
    tcflush(handle, TCOFLUSH); // bytes already received stay
    while (*length < capacity) {
        const ssize_t n = ::read(handle, buffer + *length, capacity - *length);
        if (n > 0) {
            *length += static_cast<uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && errno == EAGAIN ? 1 : 0;
    }
    return 1;
}

bool CSerialCommPort::PollInput(int timeoutMs) {
    pollfd pfd[2] = {{handle, POLLIN, 0}, {StopFd(), POLLIN, 0}};
    return poll(pfd, StopFd() >= 0 ? 2 : 1, timeoutMs) >= 0 || errno == EINTR;
}

bool CSerialCommPort::StopRequested() const {
    pollfd pfd{StopFd(), POLLIN, 0};
    return StopFd() >= 0 && poll(&pfd, 1, 0) > 0;
}

bool CSerialCommPort::WaitForQuietLine(int quietMs) {
    // A slave that never falls silent must not hold the bus for ever.
    const auto giveUp = Clock::now() + std::chrono::milliseconds(std::max(2000, 4 * quietMs));
    auto quietUntil = Clock::now() + std::chrono::milliseconds(quietMs);
    uint8_t scratch[256];
    for (;;) {
        const ssize_t n = ::read(handle, scratch, sizeof scratch);
        if (n > 0) {
            quietUntil = std::min(giveUp, Clock::now() + std::chrono::milliseconds(quietMs));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno != EAGAIN)
            return false; // the device went away
        const int left = RemainingMs(quietUntil);
        if (left == 0)
            return true;
        if (StopRequested())
            return false; // the master gives the request up
        if (!PollInput(left))
            return false;
    }
}

int CSerialCommPort::Transact(const uint8_t* request, int requestLength, uint8_t* response,
                              uint32_t* responseLength, int waitMs) {
    if (request == nullptr || requestLength <= 0 || response == nullptr ||
        responseLength == nullptr || *responseLength == 0)
        return 0;
    const uint32_t capacity = *responseLength;
    *responseLength = 0;
    if (handle < 0)
        return 0;

    // RTU has no transaction id: the late answer of an exchange that ended without one would
    // pass for the answer to this request. A slave that answered nothing at all cannot be
    // taken for another address, whose answers the checks tell apart.
    if (unsettled.pending && (unsettled.heardBytes || unsettled.address == request[0]) &&
        !WaitForQuietLine(std::max(waitMs, unsettled.waitMs)))
        return 0;
    unsettled.pending = false;

    tcflush(handle, TCIOFLUSH); // stale input of earlier exchanges
    if (!WriteAll(request, requestLength))
        return 0;

    // The wait is the answer window; reading stops early once the answer is whole.
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs > 0 ? waitMs : 0);
    uint32_t count = 0;
    std::span<const uint8_t> answer;
    while (count < capacity && answer.empty()) {
        const ssize_t n = ::read(handle, response + count, capacity - count);
        if (n > 0) {
            count += static_cast<uint32_t>(n);
            if (requestLength >= static_cast<int>(kRequestFrameLength))
                answer = FindRtuAnswer(request, {response, count});
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno != EAGAIN) {
            *responseLength = count;
            return 0; // the device went away
        }
        const int left = RemainingMs(deadline);
        if (left == 0)
            break;
        if (!PollInput(left)) {
            *responseLength = count;
            return 0;
        }
        if (StopRequested())
            break; // the answer, if any, is left to the next exchange's quiet-line wait
    }
    if (answer.empty()) {
        unsettled = {true, count > 0, request[0], waitMs};
        *responseLength = count;
        return 1;
    }
    // Noise in front of the answer (a stray byte of the RS-485 turnaround) is dropped.
    const auto size = static_cast<uint32_t>(answer.size());
    std::memmove(response, answer.data(), size);
    *responseLength = size;
    return 1;
}

uint32_t BaudFromIndex(int16_t index) {
    static constexpr uint32_t kRates[] = {2400, 4800, 9600, 19200};
    if (index < 0)
        index = 0;
    if (index > 3)
        index = 3;
    return kRates[index];
}

uint8_t ParityFromIndex(int16_t index) {
    // Radio button order None / Even / Odd; the line codes are 0 none, 1 odd, 2 even.
    static constexpr uint8_t kParity[] = {0, 2, 1};
    if (index < 0)
        index = 0;
    if (index > 2)
        index = 2;
    return kParity[index];
}

std::string DescribeSerialLine(const std::string& name, uint32_t baud, int16_t parityIndex) {
    static constexpr char kLetters[] = {'N', 'E', 'O'};
    if (parityIndex > 2)
        return "Error";
    const char letter = kLetters[parityIndex < 0 ? 0 : parityIndex];
    char text[64];
    std::snprintf(text, sizeof text, "%lu%c1 8Bits", static_cast<unsigned long>(baud), letter);
    return name + text;
}
