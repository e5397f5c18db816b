#include "core/files/WholeFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// More links in a row than this is a loop (the system's own limit is of this order).
constexpr int kMaxLinkHops = 40;

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

bool WriteAllAt(int fd, const uint8_t* data, size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
        offset += n;
    }
    return true;
}

bool BeginsWith(int fd, const std::vector<uint8_t>& expected) {
    std::vector<uint8_t> found(expected.size());
    size_t got = 0;
    while (got < found.size()) {
        const ssize_t n =
            ::pread(fd, found.data() + got, found.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        got += static_cast<size_t>(n);
    }
    return found == expected;
}

// The folder part of a path with its trailing slash, or "" for a bare name.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

enum class Target { Missing, Regular, Other, Error };

// Follows symbolic links to the path that is really written; `info` describes it when it
// exists. A link that leads nowhere gives the path it names, to be created.
Target ResolveTarget(std::string path, std::string& resolved, struct stat& info) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        if (::lstat(path.c_str(), &info) != 0) {
            resolved = path;
            return errno == ENOENT ? Target::Missing : Target::Error;
        }
        if (!S_ISLNK(info.st_mode)) {
            resolved = path;
            return S_ISREG(info.st_mode) ? Target::Regular : Target::Other;
        }
        char link[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), link, sizeof link - 1);
        if (n <= 0)
            return Target::Error;
        const std::string next(link, static_cast<size_t>(n));
        path = next[0] == '/' ? next : FolderOf(path) + next;
    }
    errno = ELOOP;
    return Target::Error;
}

// A temporary name beside `path` that no other writer in this or another process uses.
int CreateTemporary(const std::string& path, std::string& temporary, mode_t mode) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Gives the new file the owner and permission bits of the one it replaces, before any data
// is in it. The owner only where the system lets us (as root); the group where we belong.
void TakeOverAttributes(int fd, const struct stat& old) {
    struct stat now {};
    if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid)) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0)
            (void)!::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    ::fchmod(fd, old.st_mode & 07777);
}

// Makes the rename itself durable. File systems that cannot sync a folder say EINVAL.
bool SyncFolder(const std::string& path) {
    const std::string folder = FolderOf(path);
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return ok;
}

} // namespace

FileWriteResult WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string target;
    struct stat old {};
    const Target kind = ResolveTarget(path, target, old);
    if (kind == Target::Other)
        return FileWriteResult::NotRegular;
    if (kind == Target::Error)
        return FileWriteResult::CannotCreate;

    std::string temporary;
    const int fd = CreateTemporary(target, temporary, kind == Target::Regular ? 0600 : 0666);
    if (fd < 0)
        return FileWriteResult::CannotCreate;
    if (kind == Target::Regular)
        TakeOverAttributes(fd, old);
    bool ok = WriteAll(fd, bytes.data(), bytes.size());
    // The data is on the disk before the name points at it.
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok)
        ok = std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return FileWriteResult::WriteFailed;
    }
    // Until the folder is synced a power cut may still bring back the old name.
    return SyncFolder(target) ? FileWriteResult::Ok : FileWriteResult::WriteFailed;
}

FileWriteResult ExtendFileInPlace(const std::string& path, uint64_t at,
                                  const std::vector<uint8_t>& expectedHead,
                                  const std::vector<uint8_t>& tail,
                                  const std::vector<uint8_t>& head) {
    bool notRegular = false;
    const int fd = OpenRegularFile(path, notRegular, true);
    if (fd < 0)
        return notRegular ? FileWriteResult::NotRegular : FileWriteResult::CannotCreate;
    struct stat info {};
    const off_t end = static_cast<off_t>(at);
    bool ok = ::fstat(fd, &info) == 0 && info.st_size >= end && BeginsWith(fd, expectedHead);
    // The tail is on the disk before the head that counts it.
    ok = ok && (info.st_size == end || ::ftruncate(fd, end) == 0);
    ok = ok && WriteAllAt(fd, tail.data(), tail.size(), end) && ::fsync(fd) == 0;
    ok = ok && WriteAllAt(fd, head.data(), head.size(), 0) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    return ok ? FileWriteResult::Ok : FileWriteResult::WriteFailed;
}

int OpenRegularFile(const std::string& path, bool& notRegular, bool forWriting) {
    notRegular = false;
    // Checked before opening: opening a FIFO waits for a writer, opening a device may act.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return -1;
    if (!S_ISREG(info.st_mode)) {
        notRegular = true;
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    // Non-blocking in case the path was swapped for something else meanwhile.
    const int fd =
        ::open(path.c_str(), (forWriting ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        notRegular = true;
        errno = EINVAL;
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

FileReadResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, size_t limit) {
    bool notRegular = false;
    const int fd = OpenRegularFile(path, notRegular);
    if (fd < 0)
        return FileReadResult::CannotOpen;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        return FileReadResult::ReadFailed;
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
