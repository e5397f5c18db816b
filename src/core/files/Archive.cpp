#include "core/files/Archive.h"

#include "core/files/ArchiveCodePage.h"
#include "core/files/WholeFile.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Longest length stored after the 0xFF byte as 16 bits; 0xFFFE and 0xFFFF are markers.
constexpr uint32_t kLongest16BitLength = 0xFFFD;
constexpr uint16_t kUnicodeMarker = 0xFFFE;
constexpr uint16_t k32BitLengthMarker = 0xFFFF;

// Strings are read in pieces, so a forged length costs no more memory than the data holds.
constexpr size_t kStringPiece = 64 * 1024;

uint32_t ToUInt32(const uint8_t* b) {
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

void FromUInt32(uint32_t v, uint8_t* b) {
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<uint8_t>(v >> (8 * i));
}

} // namespace

const char* CArchiveException::what() const noexcept {
    switch (cause) {
    case endOfFile:
        return "archive: unexpected end of file";
    case badIndex:
        return "archive: unexpected file format";
    case badSchema:
        return "archive: unsupported version";
    case genericException:
        return "archive: read or write failure";
    default:
        return "archive error";
    }
}

// ---- reader

void CArchiveReader::ReadBytes(void* destination, size_t size) {
    if (ReadSome(destination, size) != size)
        throw CArchiveException(CArchiveException::endOfFile);
}

uint8_t CArchiveReader::ReadUInt8() {
    uint8_t b = 0;
    ReadBytes(&b, 1);
    return b;
}

int8_t CArchiveReader::ReadInt8() {
    return static_cast<int8_t>(ReadUInt8());
}

uint16_t CArchiveReader::ReadUInt16() {
    uint8_t b[2];
    ReadBytes(b, 2);
    return static_cast<uint16_t>(b[0] | b[1] << 8);
}

int16_t CArchiveReader::ReadInt16() {
    return static_cast<int16_t>(ReadUInt16());
}

uint32_t CArchiveReader::ReadUInt32() {
    uint8_t b[4];
    ReadBytes(b, 4);
    return ToUInt32(b);
}

int32_t CArchiveReader::ReadInt32() {
    return static_cast<int32_t>(ReadUInt32());
}

float CArchiveReader::ReadFloat() {
    const uint32_t bits = ReadUInt32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double CArchiveReader::ReadDouble() {
    const uint64_t low = ReadUInt32();
    const uint64_t high = ReadUInt32();
    const uint64_t bits = low | high << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string CArchiveReader::ReadStringBytes() {
    uint32_t length = ReadUInt8();
    if (length == 0xFF) {
        const uint16_t length16 = ReadUInt16();
        // Wide-character strings are never written in these files.
        if (length16 == kUnicodeMarker)
            throw CArchiveException(CArchiveException::badIndex);
        length = length16 == k32BitLengthMarker ? ReadUInt32() : length16;
    }
    if (length > RemainingBytes())
        throw CArchiveException(CArchiveException::endOfFile);
    if (length > kLongestArchiveString)
        throw CArchiveException(CArchiveException::badIndex);
    std::string text;
    while (text.size() < length) {
        const size_t piece = std::min<size_t>(kStringPiece, length - text.size());
        const size_t old = text.size();
        text.resize(old + piece);
        ReadBytes(text.data() + old, piece);
    }
    return text;
}

std::string CArchiveReader::ReadString() {
    return Cp1252ToUtf8(ReadStringBytes());
}

CMemoryArchiveReader::CMemoryArchiveReader(const void* data, size_t size)
    : bytes(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size) {}

size_t CMemoryArchiveReader::ReadSome(void* destination, size_t size) {
    const size_t n = std::min(size, GetRemaining());
    if (n > 0)
        std::memcpy(destination, bytes.data() + position, n);
    position += n;
    return n;
}

CFileArchiveReader::~CFileArchiveReader() {
    Close();
}

bool CFileArchiveReader::Open(const std::string& path) {
    Close();
    const int fd = OpenRegularFile(path, notRegular);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || (file = ::fdopen(fd, "rb")) == nullptr) {
        ::close(fd);
        return false;
    }
    openedSize = static_cast<uint64_t>(info.st_size);
    consumed = 0;
    return true;
}

void CFileArchiveReader::Close() {
    if (file != nullptr)
        std::fclose(file);
    file = nullptr;
}

size_t CFileArchiveReader::ReadSome(void* destination, size_t size) {
    if (file == nullptr)
        throw CArchiveException(CArchiveException::genericException);
    const size_t n = std::fread(destination, 1, size, file);
    if (n < size && std::ferror(file))
        throw CArchiveException(CArchiveException::genericException);
    consumed += n;
    return n;
}

size_t CFileArchiveReader::RemainingBytes() const {
    return consumed < openedSize ? static_cast<size_t>(openedSize - consumed) : 0;
}

// ---- writer

void CArchiveWriter::WriteBytes(const void* data, size_t size) {
    if (size > 0)
        Put(data, size);
}

void CArchiveWriter::WriteUInt8(uint8_t value) {
    WriteBytes(&value, 1);
}

void CArchiveWriter::WriteInt8(int8_t value) {
    WriteUInt8(static_cast<uint8_t>(value));
}

void CArchiveWriter::WriteUInt16(uint16_t value) {
    const uint8_t b[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    WriteBytes(b, 2);
}

void CArchiveWriter::WriteInt16(int16_t value) {
    WriteUInt16(static_cast<uint16_t>(value));
}

void CArchiveWriter::WriteUInt32(uint32_t value) {
    uint8_t b[4];
    FromUInt32(value, b);
    WriteBytes(b, 4);
}

void CArchiveWriter::WriteInt32(int32_t value) {
    WriteUInt32(static_cast<uint32_t>(value));
}

void CArchiveWriter::WriteFloat(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteUInt32(bits);
}

void CArchiveWriter::WriteDouble(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteUInt32(static_cast<uint32_t>(bits));
    WriteUInt32(static_cast<uint32_t>(bits >> 32));
}

// One byte below 255; 0xFF and 16 bits up to 0xFFFD (that is, below 65534, the form the
// graph files describe); beyond, 0xFF, 0xFFFF and 32 bits.
void CArchiveWriter::WriteStringBytes(std::string_view bytes) {
    const size_t length = bytes.size();
    if (length > kLongestArchiveString)
        throw CArchiveException(CArchiveException::genericException);
    if (length < 0xFF) {
        WriteUInt8(static_cast<uint8_t>(length));
    } else if (length <= kLongest16BitLength) {
        WriteUInt8(0xFF);
        WriteUInt16(static_cast<uint16_t>(length));
    } else {
        WriteUInt8(0xFF);
        WriteUInt16(k32BitLengthMarker);
        WriteUInt32(static_cast<uint32_t>(length));
    }
    WriteBytes(bytes.data(), length);
}

void CArchiveWriter::WriteString(std::string_view utf8) {
    WriteStringBytes(Utf8ToCp1252(utf8));
}

void CMemoryArchiveWriter::Put(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + size);
}

CFileArchiveWriter::~CFileArchiveWriter() {
    if (file != nullptr)
        std::fclose(file);
}

bool CFileArchiveWriter::Open(const std::string& path) {
    if (file != nullptr)
        std::fclose(file);
    file = std::fopen(path.c_str(), "wb");
    return file != nullptr;
}

void CFileArchiveWriter::Close() {
    if (file == nullptr)
        return;
    const bool failed = std::fclose(file) != 0;
    file = nullptr;
    if (failed)
        throw CArchiveException(CArchiveException::genericException);
}

void CFileArchiveWriter::Put(const void* data, size_t size) {
    if (file == nullptr || std::fwrite(data, 1, size, file) != size)
        throw CArchiveException(CArchiveException::genericException);
}
