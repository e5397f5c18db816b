#include "core/files/WholeFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// A temporary name beside `path` that no other writer in this or another process uses.
int CreateTemporary(const std::string& path, std::string& temporary) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

FileWriteResult WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string temporary;
    const int fd = CreateTemporary(path, temporary);
    if (fd < 0)
        return FileWriteResult::CannotCreate;
    bool ok = WriteAll(fd, bytes.data(), bytes.size());
    ok = ::close(fd) == 0 && ok;
    if (ok)
        ok = std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return FileWriteResult::WriteFailed;
    }
    return FileWriteResult::Ok;
}

FileReadResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return FileReadResult::CannotOpen;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return FileReadResult::CannotOpen;
    }
    if (static_cast<uint64_t>(info.st_size) > limit) {
        ::close(fd);
        return FileReadResult::TooLarge;
    }
    bytes.clear();
    uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return FileReadResult::ReadFailed;
        }
        if (n == 0)
            break;
        if (bytes.size() + static_cast<size_t>(n) > limit) {
            ::close(fd);
            return FileReadResult::TooLarge;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    ::close(fd);
    return FileReadResult::Ok;
}
