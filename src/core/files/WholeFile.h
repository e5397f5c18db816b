#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class FileWriteResult { Ok, CannotCreate, WriteFailed };

// Writes `bytes` to a temporary file in the target's folder and renames it over `path` only
// when every write and the close succeeded, so `path` holds either the old or the new
// content, never part of one.
FileWriteResult WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

enum class FileReadResult { Ok, CannotOpen, TooLarge, ReadFailed };

// Reads a whole file of at most `limit` bytes.
FileReadResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, size_t limit);
