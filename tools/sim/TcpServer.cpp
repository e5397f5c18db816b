#include "TcpServer.h"

#include "SimBus.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace sim {

namespace {

constexpr size_t kHeader = 6;

// A client that stops reading must not hold its thread (and so Stop) for ever.
constexpr int kSendTimeoutMs = 5000;

bool SendAll(int fd, const std::vector<uint8_t>& bytes, int stopFd) {
    size_t sent = 0;
    const auto giveUp =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kSendTimeoutMs);
    while (sent < bytes.size()) {
        const ssize_t n =
            send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              giveUp - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            return false;
        pollfd fds[2] = {{fd, POLLOUT, 0}, {stopFd, POLLIN, 0}};
        if (poll(fds, 2, static_cast<int>(left)) < 0 && errno != EINTR)
            return false;
        if (fds[1].revents & POLLIN)
            return false;
    }
    return true;
}

} // namespace

TcpServer::TcpServer(SimBus& b)
    : bus(b), idleTimeout(b.Options().tcpIdleTimeout),
      halfFrameTimeout(b.Options().tcpHalfFrameTimeout) {}

TcpServer::~TcpServer() {
    Stop();
}

uint16_t TcpServer::Start(const std::string& host, uint16_t wanted) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(wanted);
    if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1)
        throw std::runtime_error("not an IPv4 address: " + host);
    listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener < 0)
        throw std::runtime_error("cannot create a socket");
    const int yes = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 16) != 0) {
        const int error = errno;
        close(listener);
        listener = -1;
        throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(wanted) + ": " +
                                 std::to_string(error));
    }
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    acceptor = std::thread([this] { AcceptLoop(); });
    return port;
}

void TcpServer::Stop() {
    stop.Trigger();
    if (acceptor.joinable())
        acceptor.join();
    std::list<std::unique_ptr<Client>> all;
    {
        std::lock_guard<std::mutex> guard(clientsLock);
        all.swap(clients);
    }
    for (auto& client : all) {
        if (client->thread.joinable())
            client->thread.join();
    }
    if (listener >= 0) {
        close(listener);
        listener = -1;
    }
}

size_t TcpServer::ClientCount() const {
    std::lock_guard<std::mutex> guard(clientsLock);
    size_t n = 0;
    for (const auto& client : clients)
        n += client->done ? 0 : 1;
    return n;
}

void TcpServer::ReapFinished() {
    std::lock_guard<std::mutex> guard(clientsLock);
    for (auto it = clients.begin(); it != clients.end();) {
        if ((*it)->done) {
            (*it)->thread.join();
            it = clients.erase(it);
        } else {
            ++it;
        }
    }
}

void TcpServer::AcceptLoop() {
    while (!stop.Triggered()) {
        pollfd fds[2] = {{listener, POLLIN, 0}, {stop.Descriptor(), POLLIN, 0}};
        if (poll(fds, 2, 1000) < 0 && errno != EINTR)
            break;
        ReapFinished();
        if (stop.Triggered())
            break;
        if (!(fds[0].revents & POLLIN))
            continue;
        const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            // Out of descriptors, say: the pending connection stays readable, so pause.
            if (errno != EAGAIN && errno != EINTR && errno != ECONNABORTED)
                stop.SleepUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(50));
            continue;
        }
        const int yes = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        // Listed before its thread starts, so a client being served is always counted.
        std::lock_guard<std::mutex> guard(clientsLock);
        auto client = std::make_unique<Client>();
        client->fd = fd;
        Client* raw = client.get();
        clients.push_back(std::move(client));
        try {
            raw->thread = std::thread([this, raw] { Serve(*raw); });
        } catch (const std::system_error&) {
            clients.pop_back(); // no thread to spare: this one client is turned away
            close(fd);
        }
    }
}

void TcpServer::Serve(Client& client) {
    using Clock = std::chrono::steady_clock;
    std::vector<uint8_t> buffer;
    uint8_t chunk[512];
    bool open = true;
    auto lastByte = Clock::now();
    while (open && !stop.Triggered()) {
        const auto giveUp = lastByte + (buffer.empty() ? idleTimeout : halfFrameTimeout);
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(giveUp - Clock::now());
        if (left.count() <= 0)
            break; // silent too long: the connection is freed
        pollfd fds[2] = {{client.fd, POLLIN, 0}, {stop.Descriptor(), POLLIN, 0}};
        if (poll(fds, 2, static_cast<int>(std::min<int64_t>(left.count(), 60000))) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (stop.Triggered() || !(fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        const ssize_t n = recv(client.fd, chunk, sizeof chunk, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            break; // the client went away
        lastByte = Clock::now();
        buffer.insert(buffer.end(), chunk, chunk + n);
        // A frame may arrive in pieces, or several in one segment.
        while (open && buffer.size() >= kHeader) {
            const size_t length = size_t(buffer[4]) << 8 | buffer[5];
            const bool sane = buffer[2] == 0 && buffer[3] == 0 && length >= 2 && length <= 254;
            if (!sane) {
                open = false; // no way to find the next frame boundary
                break;
            }
            if (buffer.size() < kHeader + length)
                break;
            open = Answer(client.fd, buffer.data(), kHeader + length);
            buffer.erase(buffer.begin(), buffer.begin() + long(kHeader + length));
        }
    }
    shutdown(client.fd, SHUT_RDWR);
    close(client.fd);
    client.done = true;
}

bool TcpServer::Answer(int fd, const uint8_t* adu, size_t length) {
    const Reply reply = bus.Serve(Link::Tcp, {adu + kHeader, length - kHeader}, nullptr);
    if (reply.dropConnection)
        return false;
    if (!reply.send)
        return true;
    if (reply.delayMs > 0 && !stop.SleepUntil(std::chrono::steady_clock::now() +
                                              std::chrono::milliseconds(reply.delayMs)))
        return false;
    std::vector<uint8_t> frame = reply.frame;
    if (reply.fault == FaultKind::ShortAnswer)
        frame.resize(2);
    uint8_t id0 = adu[0], id1 = adu[1];
    if (reply.fault == FaultKind::WrongMbapId) {
        id0 ^= 0x5A;
        id1 ^= 0xA5;
    }
    std::vector<uint8_t> out = {id0, id1, 0, 0, 0, static_cast<uint8_t>(frame.size())};
    out.insert(out.end(), frame.begin(), frame.end());
    return SendAll(fd, out, stop.Descriptor());
}

} // namespace sim
