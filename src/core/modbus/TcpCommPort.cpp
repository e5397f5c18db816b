#include "core/modbus/TcpCommPort.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    return left > 0 ? static_cast<int>(left) + 1 : 0;
}

// Waits for the events until the deadline; false when the time ran out, poll failed or stopFd
// became readable first.
bool WaitFor(int sock, short events, std::chrono::steady_clock::time_point deadline,
             int stopFd = -1) {
    for (;;) {
        pollfd pfd[2] = {{sock, events, 0}, {stopFd, POLLIN, 0}};
        const int ready = poll(pfd, stopFd >= 0 ? 2 : 1, RemainingMs(deadline));
        if (ready > 0)
            return pfd[0].revents != 0 && pfd[1].revents == 0;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

CTcpCommPort::CTcpCommPort(const std::string& ip_, uint16_t port_, int connectTimeoutMs_)
    : ip(ip_), port(port_), connectTimeoutMs(connectTimeoutMs_), random(std::random_device{}()) {
    open = Connect();
}

bool CTcpCommPort::Connect() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (inet_pton(AF_INET, ip.c_str(), &address.sin_addr) != 1)
        return false;

    sock = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (sock < 0)
        return false;
    // Without a bound, a wrong address would hold the caller for the system's minutes.
    const auto deadline = Clock::now() + std::chrono::milliseconds(connectTimeoutMs);
    int result = ::connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (result != 0 && errno == EINPROGRESS) {
        int error = ETIMEDOUT;
        if (WaitFor(sock, POLLOUT, deadline, StopFd())) {
            socklen_t size = sizeof error;
            if (getsockopt(sock, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                error = errno;
        }
        result = error == 0 ? 0 : -1;
    }
    if (result != 0) {
        Disconnect();
        return false;
    }
    const int one = 1;
    setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return true;
}

void CTcpCommPort::Disconnect() {
    if (sock >= 0) {
        ::close(sock);
        sock = -1;
    }
}

CTcpCommPort::~CTcpCommPort() {
    Close();
}

void CTcpCommPort::Close() {
    Disconnect();
    open = false;
}

int CTcpCommPort::Send(const uint8_t* data, int length) {
    // The MBAP length holds one byte here: unit identifier + PDU of at most 255 bytes.
    if (!open || sock < 0 || data == nullptr || length <= 2 || length - 2 > 255)
        return 0;
    transactionId = static_cast<uint16_t>(random());

    uint8_t frame[6 + 255];
    frame[0] = static_cast<uint8_t>(transactionId & 0xFF);
    frame[1] = static_cast<uint8_t>(transactionId >> 8);
    frame[2] = 0;
    frame[3] = 0;
    frame[4] = 0;
    frame[5] = static_cast<uint8_t>(length - 2);
    for (int i = 0; i < length - 2; ++i)
        frame[6 + i] = data[i];

    const size_t total = static_cast<size_t>(length) + 4;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kAnswerWindowMs);
    size_t sent = 0;
    while (sent < total) {
        const ssize_t n = ::send(sock, frame + sent, total - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN && WaitFor(sock, POLLOUT, deadline))
            continue;
        return 0;
    }
    return 1;
}

bool CTcpCommPort::ReadExactly(uint8_t* buffer, uint32_t count, Clock::time_point deadline) {
    uint32_t done = 0;
    while (done < count) {
        const ssize_t n = ::recv(sock, buffer + done, count - done, 0);
        if (n > 0) {
            done += static_cast<uint32_t>(n);
            continue;
        }
        if (n == 0 || (n < 0 && errno == ECONNRESET)) {
            connectionLost = true; // the peer closed before or during the answer
            return false;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN || !WaitFor(sock, POLLIN, deadline))
            return false;
    }
    return true;
}

bool CTcpCommPort::DiscardPending() {
    uint8_t scratch[512];
    for (;;) {
        const ssize_t n = ::recv(sock, scratch, sizeof scratch, 0);
        if (n > 0)
            continue;
        if (n == 0)
            return false;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN;
    }
}

int CTcpCommPort::ReceiveUntil(uint8_t* buffer, uint32_t* length, Clock::time_point deadline) {
    const uint32_t capacity = *length;
    *length = 0;
    if (!open || sock < 0)
        return 0;
    if (!WaitFor(sock, POLLIN, deadline, StopFd()))
        return 1; // a silent slave is no transport failure (nor is a stop: the master decides)

    uint8_t header[6];
    if (!ReadExactly(header, sizeof header, deadline)) {
        Disconnect();
        return 0;
    }
    // The whole 16-bit length: an answer that does not fit cannot be read past, so the
    // connection is given up and opened again for the next request.
    const uint32_t count = static_cast<uint32_t>(header[4] << 8 | header[5]);
    if (count == 0 || count > capacity || !ReadExactly(buffer, count, deadline)) {
        Disconnect();
        return 0;
    }
    // Not Modbus: refused. The unit identifier is the answer's first byte, which the master's
    // check holds against the address asked.
    if (header[2] != 0 || header[3] != 0)
        return 0;

    const uint16_t id = static_cast<uint16_t>(header[0] | (header[1] << 8));
    if (id == transactionId) {
        *length = count;
        return 1;
    }
    // An answer to some other request: let its fellows arrive, then throw them all away.
    std::this_thread::sleep_for(std::chrono::milliseconds(kMismatchPauseMs));
    if (!DiscardPending())
        Disconnect();
    idMismatch = true;
    return 0;
}

int CTcpCommPort::Receive(uint8_t* buffer, uint32_t* length) {
    if (buffer == nullptr || length == nullptr)
        return 0;
    return ReceiveUntil(buffer, length, Clock::now() + std::chrono::milliseconds(kAnswerWindowMs));
}

int CTcpCommPort::Transact(const uint8_t* request, int requestLength, uint8_t* response,
                           uint32_t* responseLength, int waitMs) {
    if (request == nullptr || requestLength <= 0 || response == nullptr ||
        responseLength == nullptr || *responseLength == 0)
        return 0;
    const uint32_t capacity = *responseLength;
    *responseLength = 0;
    connectionLost = false;
    if (!open)
        return 0;
    // A gateway restart or a peer's idle time-out closes the connection: it is opened again,
    // once for this request, so a scan or a monitoring run goes on.
    bool reconnected = false;
    auto usable = [&] {
        if (sock >= 0 && DiscardPending())
            return true;
        Disconnect();
        if (reconnected)
            return false;
        reconnected = true;
        return Connect();
    };
    for (int exchange = 0; exchange <= kMaxIdRepeats; ++exchange) {
        if (!usable())
            return 0;
        if (!Send(request, requestLength)) {
            // A reset connection shows only when written to.
            Disconnect();
            if (!usable() || !Send(request, requestLength))
                return 0;
        }
        const auto deadline =
            Clock::now() + std::chrono::milliseconds((waitMs > 0 ? waitMs : 0) + kAnswerWindowMs);
        uint32_t length = capacity;
        idMismatch = false;
        if (ReceiveUntil(response, &length, deadline)) {
            *responseLength = length;
            return 1;
        }
        if (!idMismatch)
            return 0;
        idMismatch = false;
    }
    return 0; // a peer that keeps answering other requests must not hold the bus
}
