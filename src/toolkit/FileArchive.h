// FileError and FileArchive: buffered reading and writing of the program's binary files, with
// failures that carry their cause and path and give the standard file-error texts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "toolkit/CountedString.h"

// A failed file operation. message() is the text shown to the user, with the file's path.
class FileError {
public:
    enum Cause {
        Generic,          // "An unknown error occurred while accessing %1."
        FileNotFound,     // "%1 was not found."
        BadPath,          // "%1 contains an invalid path."
        AccessDenied,     // "Access to %1 was denied."
        SharingViolation, // "A sharing violation occurred while accessing %1."
        DiskFull,         // "Disk full while accessing %1."
        EndOfFile,        // "An attempt was made to access %1 past its end."
    };

    FileError(Cause c, DWORD os, std::string p) : cause(c), osError(os), path(std::move(p)) {}

    // The cause of a Win32 error code.
    static Cause causeOf(DWORD osError);
    // A FileError for the calling thread's last Win32 error.
    static FileError fromLastError(const std::string& path);
    // The file's data needs more memory than there is, or than its size allows (the generic
    // text: the file itself is readable).
    static FileError outOfMemory(const std::string& path) {
        return FileError(Generic, ERROR_NOT_ENOUGH_MEMORY, path);
    }

    // The standard text of the cause with the path in place of %1.
    std::string message() const;

    Cause cause;
    DWORD osError; // the Win32 error code, 0 when the cause is not the system's (end of file)
    std::string path;
};

// A file opened either for reading or for writing, through a 4,096-byte buffer (a read or write
// of a buffer's size or more, when nothing is buffered in its way, goes straight to the file in
// one call). Every failure
// throws FileError. Numbers are little-endian. Movable; the destructor closes the handle (a
// writer that was not closed explicitly loses its unwritten buffer silently, so writers call
// close() to learn whether everything reached the disk).
class FileArchive : public ByteSource {
public:
    static constexpr size_t kBufferSize = 4096;

    static FileArchive openForReading(const std::string& path);
    // Creates the file, or truncates an existing one.
    static FileArchive createForWriting(const std::string& path);

    FileArchive(FileArchive&& other) noexcept;
    FileArchive& operator=(FileArchive&& other) noexcept;
    FileArchive(const FileArchive&) = delete;
    FileArchive& operator=(const FileArchive&) = delete;
    ~FileArchive() override;

    uint32_t readU32();
    int32_t readI32();
    // Reads exactly n bytes; reading past the end throws FileError::EndOfFile.
    void readBytes(void* dst, size_t n) override;
    // A counted string in any of its forms; its length is checked against bytesLeft() first.
    std::string readCountedString();
    // Bytes between the read position and the end of the file (0 for a writer).
    uint64_t bytesLeft() const override;
    [[noreturn]] void failPastEnd() override;

    void writeU32(uint32_t v);
    void writeI32(int32_t v);
    void writeBytes(const void* src, size_t n);
    // In the shortest prefix form.
    void writeCountedString(std::string_view s);

    // Writes what is buffered and closes the file; throws on failure. Harmless when closed.
    void close();

    const std::string& path() const { return path_; }
    bool isOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    FileArchive(HANDLE h, std::string path, bool writing, uint64_t size);
    void flushBuffer();
    void refill();
    void release() noexcept;

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::string path_;
    bool writing_ = false;
    std::unique_ptr<uint8_t[]> buffer_;
    size_t bufferPos_ = 0;  // reader: next byte to hand out; writer: bytes waiting
    size_t bufferEnd_ = 0;  // reader: bytes valid in the buffer
    uint64_t fileSize_ = 0; // reader: size at opening
    uint64_t consumed_ = 0; // reader: bytes handed out so far
};
