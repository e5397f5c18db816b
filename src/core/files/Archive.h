#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A failure while reading or writing an archive. The cause codes are those of the
// framework's archive exception, which callers map to messages.
class CArchiveException : public std::exception {
public:
    enum Cause : int {
        none = 0,
        genericException = 1, // an I/O failure
        readOnly = 2,
        endOfFile = 3, // the data ended early
        writeOnly = 4,
        badIndex = 5, // unexpected file format
        badClass = 6,
        badSchema = 7,
    };

    explicit CArchiveException(int cause) : cause(cause) {}
    const char* what() const noexcept override;

    int cause;
};

// Longest text an archive holds. Names and units are short; a longer length is a damaged or
// forged file, refused before anything is allocated for it.
inline constexpr size_t kLongestArchiveString = size_t{1} << 20;

// Little-endian reader of binary values and length-prefixed strings. Strings are stored in
// Windows-1252 and returned as UTF-8. Every read throws CArchiveException on failure.
class CArchiveReader {
public:
    virtual ~CArchiveReader() = default;

    uint8_t ReadUInt8();
    int8_t ReadInt8();
    uint16_t ReadUInt16();
    int16_t ReadInt16();
    uint32_t ReadUInt32();
    int32_t ReadInt32();
    float ReadFloat();
    double ReadDouble();
    // A length-prefixed string, converted from Windows-1252 to UTF-8.
    std::string ReadString();
    // The stored bytes of a length-prefixed string, unconverted. A length past the rest of
    // the data is endOfFile, one past kLongestArchiveString badIndex; both before reading.
    std::string ReadStringBytes();
    // Exactly size bytes, or endOfFile.
    void ReadBytes(void* destination, size_t size);

protected:
    // Up to size bytes; fewer only at the end of the data.
    virtual size_t ReadSome(void* destination, size_t size) = 0;
    // How many bytes are left to read.
    virtual size_t RemainingBytes() const = 0;
};

// Reads from bytes held in memory.
class CMemoryArchiveReader : public CArchiveReader {
public:
    explicit CMemoryArchiveReader(std::vector<uint8_t> bytes) : bytes(std::move(bytes)) {}
    CMemoryArchiveReader(const void* data, size_t size);

    size_t GetPosition() const { return position; }
    size_t GetRemaining() const { return bytes.size() - position; }

protected:
    size_t ReadSome(void* destination, size_t size) override;
    size_t RemainingBytes() const override { return GetRemaining(); }

private:
    std::vector<uint8_t> bytes;
    size_t position = 0;
};

// Reads from a regular file. A file that cannot be opened is not an archive error: Open says
// so (errno tells why), and so does NotRegular for a folder, device or FIFO, which Open
// refuses without waiting on it.
class CFileArchiveReader : public CArchiveReader {
public:
    CFileArchiveReader() = default;
    ~CFileArchiveReader() override;
    CFileArchiveReader(const CFileArchiveReader&) = delete;
    CFileArchiveReader& operator=(const CFileArchiveReader&) = delete;

    bool Open(const std::string& path);
    bool IsOpen() const { return file != nullptr; }
    bool NotRegular() const { return notRegular; }
    void Close();

protected:
    size_t ReadSome(void* destination, size_t size) override;
    size_t RemainingBytes() const override;

private:
    std::FILE* file = nullptr;
    uint64_t openedSize = 0; // a file that changes while it is read ends where it ended then
    uint64_t consumed = 0;
    bool notRegular = false;
};

// Little-endian writer, the counterpart of CArchiveReader.
class CArchiveWriter {
public:
    virtual ~CArchiveWriter() = default;

    void WriteUInt8(uint8_t value);
    void WriteInt8(int8_t value);
    void WriteUInt16(uint16_t value);
    void WriteInt16(int16_t value);
    void WriteUInt32(uint32_t value);
    void WriteInt32(int32_t value);
    void WriteFloat(float value);
    void WriteDouble(double value);
    // A UTF-8 text stored as Windows-1252 with its length prefix; characters outside the
    // code page become '?'.
    void WriteString(std::string_view utf8);
    // Bytes stored as they are, with the length prefix. A text longer than a reader takes
    // (kLongestArchiveString) is refused (genericException), so no file is written that
    // cannot be read back.
    void WriteStringBytes(std::string_view bytes);
    void WriteBytes(const void* data, size_t size);

protected:
    virtual void Put(const void* data, size_t size) = 0;
};

// Writes into memory.
class CMemoryArchiveWriter : public CArchiveWriter {
public:
    const std::vector<uint8_t>& GetBytes() const { return bytes; }

protected:
    void Put(const void* data, size_t size) override;

private:
    std::vector<uint8_t> bytes;
};

// Writes to a file, created or truncated by Open. Close reports a failed flush by throwing;
// the destructor closes quietly.
class CFileArchiveWriter : public CArchiveWriter {
public:
    CFileArchiveWriter() = default;
    ~CFileArchiveWriter() override;
    CFileArchiveWriter(const CFileArchiveWriter&) = delete;
    CFileArchiveWriter& operator=(const CFileArchiveWriter&) = delete;

    bool Open(const std::string& path);
    bool IsOpen() const { return file != nullptr; }
    void Close();

protected:
    void Put(const void* data, size_t size) override;

private:
    std::FILE* file = nullptr;
};
