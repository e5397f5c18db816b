#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// NotRegular: the target exists and is not a regular file (a folder, a device, a FIFO, a
// socket); it is left as it was.
enum class FileWriteResult { Ok, CannotCreate, WriteFailed, NotRegular };

// Writes `bytes` to a temporary file in the target's folder and renames it over the target
// only when every write, the sync and the close succeeded, so the target holds either the
// old or the new content, never part of one, also across a power cut. A symbolic link is
// followed and the file it leads to is replaced; a replaced file keeps its permission bits
// (and, where allowed, its owner).
FileWriteResult WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

// Extends a file in place in two synced steps: the file is cut to `at` bytes (dropping the
// tail of an extension cut short), `tail` is written there, then `head` over its first bytes.
// A crash between the two leaves the old head with (part of) the new tail after it. A file
// that is shorter than `at` or does not begin with `expectedHead` is not the one written
// before: it is left alone (WriteFailed). CannotCreate when it cannot be opened for writing.
FileWriteResult ExtendFileInPlace(const std::string& path, uint64_t at,
                                  const std::vector<uint8_t>& expectedHead,
                                  const std::vector<uint8_t>& tail,
                                  const std::vector<uint8_t>& head);

// CannotOpen also when the path is not a regular file (errno EISDIR or EINVAL): nothing is
// read from a FIFO or a device.
enum class FileReadResult { Ok, CannotOpen, TooLarge, ReadFailed };

// Opens a file for reading (and with `forWriting` also for writing) only when it is a regular
// file, without ever blocking on a FIFO or a device; -1 otherwise with errno set (ENOENT,
// EACCES, ... or EINVAL for a path that is not a regular file). The descriptor is blocking
// again when returned.
int OpenRegularFile(const std::string& path, bool& notRegular, bool forWriting = false);

// Reads a whole regular file of at most `limit` bytes.
FileReadResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, size_t limit);
