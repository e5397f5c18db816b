#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <thread>
#include <vector>

// A text file that grows by whole rows: rows either reach the file completely or the file is
// cut back to where it ended before, so a reader never meets part of a row, and a later row
// can never be glued to a cut one.
class CRowFile {
public:
    // Creates `base` + ".log", or `base` + "-2.log", "-3.log", ... when that name is taken:
    // never an existing file. Null when none could be created; `error` then says why.
    static std::unique_ptr<CRowFile> CreateNew(const std::string& base, std::string& error);
    ~CRowFile();

    CRowFile(const CRowFile&) = delete;
    CRowFile& operator=(const CRowFile&) = delete;

    // Appends `rows`. False when they did not all reach the file (Error() says why, and the
    // file is as it was before the call), or when the file no longer has a name: rows written
    // to a deleted file, or to one whose folder was removed, are lost to everyone.
    bool Append(std::string_view rows);
    // Writes the file's data to the disk: 0, or the errno of the failure. Safe on another
    // thread while Append runs.
    int Sync() const;

    const std::string& Path() const { return path; }
    // "PATH: reason" of the last failed Append.
    const std::string& Error() const { return error; }

private:
    CRowFile(int fd, std::string path);

    const int fd;
    const std::string path;
    off_t length = 0;
    std::string error;
};

// "PATH: the system's text for `code`".
std::string PathAndReason(const std::string& path, int code);

// Brings appended rows to the disk on a thread of its own, so the writer never waits for the
// disk: after Request() it syncs each file once; requests made meanwhile are served by one
// more pass. Only these files are synced, never the rest of their file system.
class CRowFileSync {
public:
    // The files must stay open until this object is gone.
    explicit CRowFileSync(std::vector<const CRowFile*> files);
    // Runs a last pass for rows not yet synced, then ends the thread.
    ~CRowFileSync();

    CRowFileSync(const CRowFileSync&) = delete;
    CRowFileSync& operator=(const CRowFileSync&) = delete;

    void Request();
    // Ends the thread after a last pass; afterwards Failure() is final.
    void Finish();
    // "PATH: reason" of the first file that could not be synced; empty while none failed.
    std::string Failure() const;

private:
    void Run();
    void Pass();

    const std::vector<const CRowFile*> files;
    mutable std::mutex lock;
    std::condition_variable wake;
    bool pending = false;
    bool finishing = false;
    std::string failure;
    // Empty when no thread could be started: Request() then syncs on the caller's thread.
    std::thread thread;
};
