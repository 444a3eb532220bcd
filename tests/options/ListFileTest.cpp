// List files: the reading rules (line ends, the empty line that ends a list, a last line without
// line end) and the bytes written, through real files.
#include "options/ListFile.h"

#include <gtest/gtest.h>

#include "support/AllocationWatch.h"
#include "support/ScratchFolder.h"
#include "toolkit/FileArchive.h"

namespace {

std::vector<std::string> parse(const std::string& bytes, size_t piece = 0) {
    std::vector<std::string> names;
    ListFileReader reader(names);
    if (piece == 0) piece = bytes.size() ? bytes.size() : 1;
    for (size_t at = 0; at < bytes.size(); at += piece)
        if (!reader.feed(bytes.data() + at, std::min(piece, bytes.size() - at))) break;
    reader.finish();
    return names;
}

using Names = std::vector<std::string>;

} // namespace

TEST(ListFileReader, LineEndsAndTheEmptyLineThatEndsTheList) {
    // CR LF, LF, an empty line, then a name that is never read.
    EXPECT_EQ(parse("a\r\nb\n\nc\n"), (Names{"a", "b"}));
    // The same bytes in pieces of one byte: a CR LF split across pieces is one line end.
    EXPECT_EQ(parse("a\r\nb\n\nc\n", 1), (Names{"a", "b"}));
    EXPECT_EQ(parse("a\r\n\r\nc\n", 1), (Names{"a"}));
    // A last line without line end counts.
    EXPECT_EQ(parse("one\ntwo"), (Names{"one", "two"}));
    // The byte after a carriage return belongs to the line end, whatever it is.
    EXPECT_EQ(parse("ab\rXcd\n"), (Names{"ab", "cd"}));
    EXPECT_EQ(parse(""), Names{});
    EXPECT_EQ(parse("\nlater\n"), Names{});
}

TEST(ListFileReader, NamesAreTakenUnchanged) {
    EXPECT_EQ(parse("  padded \t\nsrv\n\\\\srv\nsrv\n"),
              (Names{"  padded \t", "srv", "\\\\srv", "srv"}));
}

class ListFileOnDisk : public testing::Test {
protected:
    std::string bytes() const { return readWholeFile(path_); }
    void writeBytes(const std::string& text) const { writeWholeFile(path_, text); }
    ScratchFolder folder_;
    std::string path_ = folder_.file("list.sop");
};

TEST_F(ListFileOnDisk, WritesEachNameWithOneLineFeedAndReadsItBack) {
    writeListFile(path_, {"\\\\alpha", "\\\\beta"});
    EXPECT_EQ(bytes(), "\\\\alpha\n\\\\beta\n");
    Names names{"old"};
    readListFile(path_, names);
    EXPECT_EQ(names, (Names{"\\\\alpha", "\\\\beta"}));

    writeListFile(path_, {});
    EXPECT_EQ(bytes(), "");
    readListFile(path_, names);
    EXPECT_TRUE(names.empty());
}

TEST_F(ListFileOnDisk, ReadsAFileWrittenElsewhere) {
    writeBytes("a\r\nb\n\nc\n");
    Names names;
    readListFile(path_, names);
    EXPECT_EQ(names, (Names{"a", "b"}));

    // Longer than any read buffer, without a final line feed.
    std::string longName(10000, 'x');
    writeBytes("first\n" + longName);
    readListFile(path_, names);
    EXPECT_EQ(names, (Names{"first", longName}));
}

TEST_F(ListFileOnDisk, MillionsOfShortNamesAreRefusedWithinASmallMultipleOfTheFileSize) {
    std::string file;
    for (int i = 0; i < 2000000; ++i)
        file += "a\n";
    writeBytes(file);
    Names names;
    AllocationWatch watch;
    try {
        readListFile(path_, names);
        ADD_FAILURE() << "read " << names.size() << " names";
    } catch (const FileError& e) {
        EXPECT_EQ(e.message(), "An unknown error occurred while accessing " + path_ + ".");
    }
    EXPECT_LT(watch.peakGrowth(), 8 * file.size() + (2u << 20));
}
