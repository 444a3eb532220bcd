// The buffered file archive against real files, and the file-error causes and texts.
#include <gtest/gtest.h>

#include "support/ScratchFolder.h"
#include "toolkit/FileArchive.h"

TEST(FileError, GivesTheStandardTextsWithThePath) {
    const std::string p = "C:\\x\\Search.opt";
    EXPECT_EQ(FileError(FileError::FileNotFound, 2, p).message(), p + " was not found.");
    EXPECT_EQ(FileError(FileError::BadPath, 3, p).message(), p + " contains an invalid path.");
    EXPECT_EQ(FileError(FileError::AccessDenied, 5, p).message(),
              "Access to " + p + " was denied.");
    EXPECT_EQ(FileError(FileError::SharingViolation, 32, p).message(),
              "A sharing violation occurred while accessing " + p + ".");
    EXPECT_EQ(FileError(FileError::DiskFull, 112, p).message(),
              "Disk full while accessing " + p + ".");
    EXPECT_EQ(FileError(FileError::Generic, 0, p).message(),
              "An unknown error occurred while accessing " + p + ".");
    EXPECT_EQ(FileError(FileError::EndOfFile, 0, p).message(),
              "An attempt was made to access " + p + " past its end.");
}

TEST(FileError, MapsSystemErrorCodes) {
    EXPECT_EQ(FileError::causeOf(ERROR_FILE_NOT_FOUND), FileError::FileNotFound);
    EXPECT_EQ(FileError::causeOf(ERROR_PATH_NOT_FOUND), FileError::BadPath);
    EXPECT_EQ(FileError::causeOf(ERROR_ACCESS_DENIED), FileError::AccessDenied);
    EXPECT_EQ(FileError::causeOf(ERROR_SHARING_VIOLATION), FileError::SharingViolation);
    EXPECT_EQ(FileError::causeOf(ERROR_DISK_FULL), FileError::DiskFull);
    EXPECT_EQ(FileError::causeOf(ERROR_NOT_READY), FileError::Generic);
}

TEST(FileArchive, WritesAndReadsNumbersAndStringsAcrossBufferBoundaries) {
    ScratchFolder dir;
    std::string path = dir.file("data.bin");
    std::string longText(10000, 'q');
    {
        FileArchive out = FileArchive::createForWriting(path);
        for (uint32_t i = 0; i < 3000; ++i)
            out.writeU32(i * 2654435761u); // 12,000 bytes
        out.writeI32(-5);
        out.writeCountedString(longText);
        out.writeCountedString("");
        out.writeCountedString("end");
        out.close();
    }
    EXPECT_EQ(readWholeFile(path).size(), 12000u + 4 + 3 + 10000 + 1 + 4);

    FileArchive in = FileArchive::openForReading(path);
    EXPECT_EQ(in.bytesLeft(), 12000u + 4 + 3 + 10000 + 1 + 4);
    for (uint32_t i = 0; i < 3000; ++i)
        ASSERT_EQ(in.readU32(), i * 2654435761u);
    EXPECT_EQ(in.readI32(), -5);
    EXPECT_EQ(in.readCountedString(), longText);
    EXPECT_EQ(in.readCountedString(), "");
    EXPECT_EQ(in.readCountedString(), "end");
    EXPECT_EQ(in.bytesLeft(), 0u);
    try {
        in.readU32();
        FAIL() << "read past the end";
    } catch (const FileError& e) {
        EXPECT_EQ(e.cause, FileError::EndOfFile);
        EXPECT_EQ(e.path, path);
    }
}

TEST(FileArchive, NumbersAreLittleEndian) {
    ScratchFolder dir;
    std::string path = dir.file("le.bin");
    FileArchive out = FileArchive::createForWriting(path);
    out.writeU32(200);
    out.writeU32(0x0045E67C);
    out.close();
    EXPECT_EQ(readWholeFile(path), std::string("\xC8\0\0\0\x7C\xE6\x45\0", 8));
}

TEST(FileArchive, ReportsOpeningFailuresWithTheirCause) {
    ScratchFolder dir;
    auto causeOfOpening = [](const std::string& path) {
        try {
            FileArchive::openForReading(path);
        } catch (const FileError& e) {
            EXPECT_EQ(e.path, path);
            return e.cause;
        }
        return FileError::Cause(-1);
    };
    EXPECT_EQ(causeOfOpening(dir.file("missing.opt")), FileError::FileNotFound);
    EXPECT_EQ(causeOfOpening(dir.file("no-such-folder\\x.opt")), FileError::BadPath);

    // A folder cannot be opened as a file to write.
    try {
        FileArchive::createForWriting(dir.path());
        FAIL() << "a folder was opened for writing";
    } catch (const FileError& e) {
        EXPECT_EQ(e.cause, FileError::AccessDenied) << e.osError;
        EXPECT_EQ(e.message(), "Access to " + dir.path() + " was denied.");
    }

    // A file held open for writing cannot be opened again for writing.
    std::string held = dir.file("held.opt");
    FileArchive writer = FileArchive::createForWriting(held);
    try {
        FileArchive::createForWriting(held);
        FAIL() << "second writer opened";
    } catch (const FileError& e) {
        EXPECT_EQ(e.cause, FileError::SharingViolation);
    }
}

TEST(FileArchive, MovesKeepOneOwnerOfTheHandle) {
    ScratchFolder dir;
    std::string path = dir.file("moved.bin");
    FileArchive a = FileArchive::createForWriting(path);
    a.writeU32(7);
    FileArchive b = std::move(a);
    EXPECT_FALSE(a.isOpen());
    b.writeU32(8);
    b.close();
    EXPECT_EQ(readWholeFile(path).size(), 8u);
    FileArchive r = FileArchive::openForReading(path);
    r = FileArchive::openForReading(path); // the first reader's handle is closed here
    EXPECT_EQ(r.readU32(), 7u);
    EXPECT_EQ(r.readU32(), 8u);
}

TEST(FileArchive, HostileStringLengthEndsInEndOfFile) {
    ScratchFolder dir;
    std::string path = dir.file("hostile.bin");
    writeWholeFile(path, std::string("\xFF\xFF\xFF\xF0\xFF\xFF\x7F"
                                     "abc",
                                     10));
    FileArchive in = FileArchive::openForReading(path);
    try {
        in.readCountedString();
        FAIL() << "a 2 GB string was read from 10 bytes";
    } catch (const FileError& e) {
        EXPECT_EQ(e.cause, FileError::EndOfFile);
    }
}
