#include "core/files/RowFile.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

// Names tried before giving up on a base that is taken.
constexpr int kMaxSuffix = 999;

} // namespace

std::string PathAndReason(const std::string& path, int code) {
    return path + ": " + std::error_code(code, std::generic_category()).message();
}

std::unique_ptr<CRowFile> CRowFile::CreateNew(const std::string& base, std::string& error) {
    for (int attempt = 1; attempt <= kMaxSuffix; ++attempt) {
        const std::string path =
            attempt == 1 ? base + ".log" : base + "-" + std::to_string(attempt) + ".log";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0)
            return std::unique_ptr<CRowFile>(new CRowFile(fd, path));
        if (errno != EEXIST) {
            error = PathAndReason(path, errno);
            return nullptr;
        }
    }
    error = base + ".log: every name up to -" + std::to_string(kMaxSuffix) + " is taken";
    return nullptr;
}

CRowFile::CRowFile(int fd, std::string path) : fd(fd), path(std::move(path)) {}

CRowFile::~CRowFile() {
    ::close(fd);
}

bool CRowFile::Append(std::string_view rows) {
    size_t done = 0;
    while (done < rows.size()) {
        const ssize_t n =
            ::pwrite(fd, rows.data() + done, rows.size() - done, length + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A full disk takes part of the rows and then refuses the rest.
            error = PathAndReason(path, n < 0 ? errno : ENOSPC);
            if (done > 0 && ::ftruncate(fd, length) != 0)
                error += "; the part written could not be removed";
            return false;
        }
        done += static_cast<size_t>(n);
    }
    length += static_cast<off_t>(done);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = PathAndReason(path, errno);
        return false;
    }
    if (info.st_nlink == 0) {
        error = path + ": the file or its folder was deleted";
        return false;
    }
    return true;
}

int CRowFile::Sync() const {
    return ::fdatasync(fd) == 0 ? 0 : errno;
}

CRowFileSync::CRowFileSync(std::vector<const CRowFile*> files) : files(std::move(files)) {
    try {
        thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // No thread: the caller's thread syncs instead.
    }
}

CRowFileSync::~CRowFileSync() {
    Finish();
}

void CRowFileSync::Request() {
    if (!thread.joinable()) {
        Pass();
        return;
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        pending = true;
    }
    wake.notify_one();
}

void CRowFileSync::Finish() {
    if (!thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> guard(lock);
        finishing = true;
    }
    wake.notify_one();
    thread.join();
}

std::string CRowFileSync::Failure() const {
    std::lock_guard<std::mutex> guard(lock);
    return failure;
}

void CRowFileSync::Run() {
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        wake.wait(guard, [this] { return pending || finishing; });
        const bool last = finishing;
        if (pending) {
            pending = false;
            guard.unlock();
            Pass();
            guard.lock();
        }
        if (last && !pending)
            return;
    }
}

void CRowFileSync::Pass() {
    for (const CRowFile* file : files) {
        const int code = file->Sync();
        if (code == 0)
            continue;
        std::lock_guard<std::mutex> guard(lock);
        if (failure.empty())
            failure = PathAndReason(file->Path(), code);
        return;
    }
}
