#pragma once

#include "support/FdRead.h"
#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <functional>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

// A Modbus TCP slave on 127.0.0.1 played by the test: it accepts a connection and hands it
// to the script, which runs on its own thread and may accept again.
class LoopbackPeer {
public:
    using Script = std::function<void(LoopbackPeer&)>;

    explicit LoopbackPeer(Script script_) : script(std::move(script_)) {
        listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int one = 1;
        setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener, 4) != 0)
            return;
        socklen_t size = sizeof address;
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
        port = ntohs(address.sin_port);
        worker = std::thread([this] {
            if (Accept())
                script(*this);
        });
    }
    // Closes the connection and takes the next one (a script playing a restarted peer).
    bool Accept(int timeoutMs = 10000) {
        CloseConnection();
        pollfd pfd{listener, POLLIN, 0};
        if (poll(&pfd, 1, timeoutMs) <= 0)
            return false;
        connection = ::accept(listener, nullptr, nullptr);
        if (connection < 0)
            return false;
        const int noDelay = 1;
        setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
        return true;
    }
    ~LoopbackPeer() {
        Join();
        CloseConnection();
        if (listener >= 0)
            ::close(listener);
    }
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    uint16_t Port() const { return port; }
    void Join() {
        if (worker.joinable())
            worker.join();
    }

    // Reads exactly count bytes; fewer when the time runs out or the master closes.
    std::vector<uint8_t> Read(size_t count, int timeoutMs = 5000) {
        return ReadUpTo(connection, count, timeoutMs);
    }
    // One request of the master: the 12 bytes of a read or write of one register.
    std::vector<uint8_t> ReadRequest(int timeoutMs = 5000) { return Read(12, timeoutMs); }
    void Write(const std::vector<uint8_t>& bytes) {
        ::send(connection, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
    void CloseConnection() {
        if (connection >= 0)
            ::close(connection);
        connection = -1;
    }

    // An answer with the given identifier bytes and unit identifier + PDU.
    static std::vector<uint8_t> Answer(uint8_t idLow, uint8_t idHigh,
                                       const std::vector<uint8_t>& pdu) {
        std::vector<uint8_t> bytes{idLow, idHigh, 0, 0, 0, static_cast<uint8_t>(pdu.size())};
        bytes.insert(bytes.end(), pdu.begin(), pdu.end());
        return bytes;
    }
    // The answer to a request, echoing its identifier.
    static std::vector<uint8_t> AnswerTo(const std::vector<uint8_t>& request,
                                         const std::vector<uint8_t>& pdu) {
        return Answer(request.size() > 1 ? request[0] : 0, request.size() > 1 ? request[1] : 0,
                      pdu);
    }

private:
    Script script;
    int listener = -1;
    int connection = -1;
    uint16_t port = 0;
    std::thread worker;
};
