#include "PtyLink.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const unsigned char* data, ssize_t length) {
    while (length > 0) {
        const ssize_t n = write(fd, data, static_cast<size_t>(length));
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                pollfd p{fd, POLLOUT, 0};
                poll(&p, 1, 100);
                continue;
            }
            return false;
        }
        data += n;
        length -= n;
    }
    return true;
}

} // namespace

CPtyLink::CPtyLink() {
    termios raw{};
    cfmakeraw(&raw);
    // The device ends stay open here too, so the control ends never see a hang-up while the
    // peers open and close their devices.
    if (openpty(&controlA, &deviceA, nullptr, &raw, nullptr) != 0 ||
        openpty(&controlB, &deviceB, nullptr, &raw, nullptr) != 0 || pipe(wake) != 0)
        return;
    pathA = ttyname(deviceA);
    pathB = ttyname(deviceB);
    ok = true;
    relay = std::thread([this] { Relay(); });
}

CPtyLink::~CPtyLink() {
    stop = true;
    if (wake[1] >= 0) {
        const char c = 0;
        (void)!write(wake[1], &c, 1);
    }
    if (relay.joinable())
        relay.join();
    for (int fd : {controlA, deviceA, controlB, deviceB, wake[0], wake[1]})
        if (fd >= 0)
            close(fd);
}

void CPtyLink::Relay() {
    unsigned char buffer[512];
    while (!stop) {
        pollfd fds[3] = {{controlA, POLLIN, 0}, {controlB, POLLIN, 0}, {wake[0], POLLIN, 0}};
        if (poll(fds, 3, 500) < 0 && errno != EINTR)
            return;
        for (int side = 0; side < 2; ++side) {
            if (!(fds[side].revents & POLLIN))
                continue;
            const ssize_t n = read(fds[side].fd, buffer, sizeof buffer);
            if (n > 0)
                WriteAll(side == 0 ? controlB : controlA, buffer, n);
        }
    }
}
