// FileArchive over CreateFileA, ReadFile and WriteFile, and the causes and texts of FileError.
#include "toolkit/FileArchive.h"

#include <cstring>
#include <utility>

FileError::Cause FileError::causeOf(DWORD osError) {
    switch (osError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_PARAMETER: return BadPath;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED: return AccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return SharingViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return DiskFull;
    case ERROR_HANDLE_EOF: return EndOfFile;
    default: return Generic;
    }
}

FileError FileError::fromLastError(const std::string& path) {
    DWORD code = GetLastError();
    return FileError(causeOf(code), code, path);
}

std::string FileError::message() const {
    const char* text = "An unknown error occurred while accessing %1.";
    switch (cause) {
    case FileNotFound: text = "%1 was not found."; break;
    case BadPath: text = "%1 contains an invalid path."; break;
    case AccessDenied: text = "Access to %1 was denied."; break;
    case SharingViolation: text = "A sharing violation occurred while accessing %1."; break;
    case DiskFull: text = "Disk full while accessing %1."; break;
    case EndOfFile: text = "An attempt was made to access %1 past its end."; break;
    case Generic: break;
    }
    std::string out(text);
    size_t at = out.find("%1");
    if (at != std::string::npos) out.replace(at, 2, path);
    return out;
}

FileArchive::FileArchive(HANDLE h, std::string path, bool writing, uint64_t size)
    : handle_(h), path_(std::move(path)), writing_(writing), buffer_(new uint8_t[kBufferSize]),
      fileSize_(size) {}

FileArchive FileArchive::openForReading(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw FileError::fromLastError(path);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h, &size)) {
        FileError error = FileError::fromLastError(path);
        CloseHandle(h);
        throw error;
    }
    return FileArchive(h, path, false, uint64_t(size.QuadPart));
}

FileArchive FileArchive::createForWriting(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw FileError::fromLastError(path);
    return FileArchive(h, path, true, 0);
}

FileArchive::FileArchive(FileArchive&& other) noexcept
    : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)), path_(std::move(other.path_)),
      writing_(other.writing_), buffer_(std::move(other.buffer_)), bufferPos_(other.bufferPos_),
      bufferEnd_(other.bufferEnd_), fileSize_(other.fileSize_), consumed_(other.consumed_) {}

FileArchive& FileArchive::operator=(FileArchive&& other) noexcept {
    if (this != &other) {
        release();
        handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        path_ = std::move(other.path_);
        writing_ = other.writing_;
        buffer_ = std::move(other.buffer_);
        bufferPos_ = other.bufferPos_;
        bufferEnd_ = other.bufferEnd_;
        fileSize_ = other.fileSize_;
        consumed_ = other.consumed_;
    }
    return *this;
}

FileArchive::~FileArchive() {
    release();
}

void FileArchive::release() noexcept {
    if (handle_ != INVALID_HANDLE_VALUE) {
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    bufferPos_ = bufferEnd_ = 0;
}

void FileArchive::close() {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    if (writing_) {
        try {
            flushBuffer();
        } catch (...) {
            release();
            throw;
        }
    }
    HANDLE h = std::exchange(handle_, INVALID_HANDLE_VALUE);
    bufferPos_ = bufferEnd_ = 0;
    if (!CloseHandle(h)) throw FileError::fromLastError(path_);
}

uint64_t FileArchive::bytesLeft() const {
    if (writing_ || consumed_ >= fileSize_) return 0;
    return fileSize_ - consumed_;
}

void FileArchive::failPastEnd() {
    throw FileError(FileError::EndOfFile, 0, path_);
}

void FileArchive::refill() {
    DWORD got = 0;
    if (!ReadFile(handle_, buffer_.get(), DWORD(kBufferSize), &got, nullptr))
        throw FileError::fromLastError(path_);
    bufferPos_ = 0;
    bufferEnd_ = got;
}

void FileArchive::readBytes(void* dst, size_t n) {
    if (handle_ == INVALID_HANDLE_VALUE || writing_) throw FileError(FileError::Generic, 0, path_);
    auto out = static_cast<uint8_t*>(dst);
    while (n > 0) {
        if (bufferPos_ == bufferEnd_ && n >= kBufferSize) {
            // A large read goes straight into the caller's memory instead of through the buffer.
            DWORD want = n > 0x40000000 ? 0x40000000 : DWORD(n), got = 0;
            if (!ReadFile(handle_, out, want, &got, nullptr)) throw FileError::fromLastError(path_);
            if (got == 0) failPastEnd();
            consumed_ += got;
            out += got;
            n -= got;
            continue;
        }
        if (bufferPos_ == bufferEnd_) {
            refill();
            if (bufferEnd_ == 0) failPastEnd();
        }
        size_t take = std::min(n, bufferEnd_ - bufferPos_);
        std::memcpy(out, buffer_.get() + bufferPos_, take);
        bufferPos_ += take;
        consumed_ += take;
        out += take;
        n -= take;
    }
}

uint32_t FileArchive::readU32() {
    return readLE32(*this);
}

int32_t FileArchive::readI32() {
    return int32_t(readU32());
}

std::string FileArchive::readCountedString() {
    return ::readCountedString(*this);
}

void FileArchive::flushBuffer() {
    size_t done = 0;
    while (done < bufferPos_) {
        DWORD wrote = 0;
        if (!WriteFile(handle_, buffer_.get() + done, DWORD(bufferPos_ - done), &wrote, nullptr))
            throw FileError::fromLastError(path_);
        if (wrote == 0) throw FileError(FileError::DiskFull, ERROR_DISK_FULL, path_);
        done += wrote;
    }
    bufferPos_ = 0;
}

void FileArchive::writeBytes(const void* src, size_t n) {
    if (handle_ == INVALID_HANDLE_VALUE || !writing_) throw FileError(FileError::Generic, 0, path_);
    auto in = static_cast<const uint8_t*>(src);
    if (n >= kBufferSize) {
        // A large write goes out in one call after what is buffered, not 4,096 bytes at a time.
        flushBuffer();
        while (n > 0) {
            DWORD want = n > 0x40000000 ? 0x40000000 : DWORD(n), wrote = 0;
            if (!WriteFile(handle_, in, want, &wrote, nullptr))
                throw FileError::fromLastError(path_);
            if (wrote == 0) throw FileError(FileError::DiskFull, ERROR_DISK_FULL, path_);
            in += wrote;
            n -= wrote;
        }
        return;
    }
    while (n > 0) {
        if (bufferPos_ == kBufferSize) flushBuffer();
        size_t take = std::min(n, kBufferSize - bufferPos_);
        std::memcpy(buffer_.get() + bufferPos_, in, take);
        bufferPos_ += take;
        in += take;
        n -= take;
    }
}

void FileArchive::writeU32(uint32_t v) {
    char b[4];
    putLE32(b, v);
    writeBytes(b, 4);
}

void FileArchive::writeI32(int32_t v) {
    writeU32(uint32_t(v));
}

void FileArchive::writeCountedString(std::string_view s) {
    std::string encoded;
    encoded.reserve(s.size() + 7);
    appendCountedString(encoded, s);
    writeBytes(encoded.data(), encoded.size());
}
