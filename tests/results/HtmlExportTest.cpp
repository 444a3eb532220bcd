// Checks the exported result page: its exact lines, CR LF ends, escaping and the cells of a row.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/HtmlExport.h"
#include "results/ResultHistory.h"
#include "results/ResultStore.h"
#include "results/ResultView.h"
#include "ResultFileTestHelpers.h"

namespace {

// Splits a page at CR LF; fails the test on a bare LF or CR.
std::vector<std::string> pageLines(const std::string& page) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < page.size()) {
        size_t end = page.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "page does not end with CR LF";
        if (end == std::string::npos) break;
        std::string line = page.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line break: " << line;
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

} // namespace

TEST(HtmlPage, EmptyPageIsHeaderAndFooterIn33Lines) {
    std::vector<std::string> lines = pageLines(htmlPageHeader() + htmlPageFooter());
    ASSERT_EQ(lines.size(), 33u);
    EXPECT_EQ(lines[0], "<html>");
    EXPECT_EQ(lines[1], "");
    // The bytes are in the ANSI code page, and the page says which.
    EXPECT_EQ(lines[3], std::string("<meta charset=\"") + htmlCharsetOf(GetACP()) + "\">");
    EXPECT_STREQ(htmlCharsetOf(1251), "windows-1251");
    EXPECT_STREQ(htmlCharsetOf(932), "Shift_JIS");
    EXPECT_STREQ(htmlCharsetOf(437), "windows-1252");
    EXPECT_EQ(lines[4], "<title>Search Result</title>");
    EXPECT_EQ(lines[9], "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"100%\">");
    EXPECT_EQ(lines[14], "        <td valign=\"top\" width=\"727\"><div align=\"center\"><center>"
                         "<table border=\"1\" width=\"95%\"");
    EXPECT_EQ(lines[15], "        bordercolordark=\"#999966\" bordercolorlight=\"#FFFFFF\" "
                         "cellspacing=\"0\" cellpadding=\"4\"");
    EXPECT_EQ(lines[16], "        style=\"font-family: MS Sans Serif; font-size: 12pt\">");
    EXPECT_EQ(lines[17], "          <tr>");
    EXPECT_EQ(lines[20],
              "            <td width=\"20%\"><font face=\"times new roman\">Size</font></td>");
    EXPECT_EQ(lines[23], "          </tr>");
    EXPECT_EQ(lines[24], "        </table>");
    EXPECT_EQ(lines[25], "        </center></div><p>&nbsp;</td>");
    EXPECT_EQ(lines[26], "      </tr>");
    EXPECT_EQ(lines[28], "    </td>");
    EXPECT_EQ(lines[32], "</html>");
}

TEST(HtmlPage, RowIsEightLinesWithTwoClosingTags) {
    std::string page;
    appendHtmlRow(page, {"notes.txt", "C:\\", "2 KB", "Text Document", "03/07/2002 09:05 PM"});
    std::vector<std::string> lines = pageLines(page);
    ASSERT_EQ(lines.size(), 8u);
    const std::string open = "            <td width=\"20%\"><font face=\"times new roman\">";
    EXPECT_EQ(lines[0], "          <tr>");
    EXPECT_EQ(lines[1], open + "notes.txt</font></td>");
    EXPECT_EQ(lines[2], open + "C:\\</font></td>");
    EXPECT_EQ(lines[3], open + "2 KB</font></td>");
    EXPECT_EQ(lines[4], open + "Text Document</font></td>");
    EXPECT_EQ(lines[5], open + "03/07/2002 09:05 PM</font></td>");
    EXPECT_EQ(lines[6], "  </tr>");
    EXPECT_EQ(lines[7], "          </tr>");
}

TEST(HtmlPage, CellTextsAreEscapedButTheSizeMarkupIsNot) {
    EXPECT_EQ(escapeHtml("a<b>&\"c\"'"), "a&lt;b&gt;&amp;&quot;c&quot;'");
    EXPECT_EQ(escapeHtml("\x82\xa0\x93\xfa"), "\x82\xa0\x93\xfa"); // double-byte text kept
    std::string page;
    appendHtmlRow(page, {"<script>&\"x\".txt", "\\\\S\\a&b", "&nbsp;", "X<Y File", "<>"});
    std::vector<std::string> lines = pageLines(page);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_NE(lines[1].find(">&lt;script&gt;&amp;&quot;x&quot;.txt</font>"), std::string::npos);
    EXPECT_NE(lines[2].find(">\\\\S\\a&amp;b</font>"), std::string::npos);
    EXPECT_NE(lines[3].find(">&nbsp;</font>"), std::string::npos);
    EXPECT_NE(lines[4].find(">X&lt;Y File</font>"), std::string::npos);
    EXPECT_NE(lines[5].find(">&lt;&gt;</font>"), std::string::npos);
    EXPECT_EQ(page.find("<script>"), std::string::npos);
}

namespace {

class HtmlExportTest : public ResultFileFixture {
protected:
    std::vector<std::string> exported() {
        std::string path = dir.file("Result.html");
        EXPECT_TRUE(exportHtml(view, path, nullptr));
        return pageLines(readWholeFile(path));
    }
};

const std::string kOpen = "            <td width=\"20%\"><font face=\"times new roman\">";
std::string cellLine(const std::string& text) {
    return kOpen + text + "</font></td>";
}

} // namespace

TEST_F(HtmlExportTest, EmptyViewGivesThe33LinePage) {
    std::string path = dir.file("empty.html");
    ASSERT_TRUE(exportHtml(view, path, nullptr));
    EXPECT_EQ(readWholeFile(path), htmlPageHeader() + htmlPageFooter());
    EXPECT_EQ(pageLines(readWholeFile(path)).size(), 33u);
}

TEST_F(HtmlExportTest, RowsShowTheListTextsWithNbspForAFolderSize) {
    store.append(rawItem("Docs", "C:", 0, FILE_ATTRIBUTE_DIRECTORY));
    store.append(rawItem("a.txt", "\\\\SRV\\Share", 1024));
    store.append(rawItem("R&D <draft> \"v2\".txt", "D:\\Q&A", 0));
    std::vector<std::string> lines = exported();
    ASSERT_EQ(lines.size(), 33u + 3 * 8);
    // First row: a folder in a drive root.
    EXPECT_EQ(lines[25], cellLine("Docs"));
    EXPECT_EQ(lines[26], cellLine("C:\\"));
    EXPECT_EQ(lines[27], cellLine("&nbsp;"));
    EXPECT_EQ(lines[28], cellLine("File Folder"));
    EXPECT_EQ(lines[29], cellLine("")); // a zero time is before 1970: empty
    // Second row: 1,024 bytes are 2 KB.
    EXPECT_EQ(lines[34], cellLine("\\\\SRV\\Share"));
    EXPECT_EQ(lines[35], cellLine("2 KB"));
    EXPECT_EQ(lines[36], cellLine(typeText(rawItem("a.txt", "\\\\SRV\\Share", 1024))));
    // Third row: markup characters stay text.
    EXPECT_EQ(lines[41], cellLine("R&amp;D &lt;draft&gt; &quot;v2&quot;.txt"));
    EXPECT_EQ(lines[42], cellLine("D:\\Q&amp;A"));
    EXPECT_EQ(lines[43], cellLine("0 KB"));
    EXPECT_EQ(lines[56], "</html>");
}

TEST_F(HtmlExportTest, ALevelExportsOnlyItsRowsInOrder) {
    for (const char* name : {"zero.txt", "one.txt", "two.txt"})
        store.append(rawItem(name, "C:", 1));
    history.pushIdentityLevel();
    history.truncateAfterCurrent();
    int32_t level = history.pushEmptyLevel();
    history.appendToLevel(level, 2);
    history.appendToLevel(level, 0);
    std::vector<std::string> lines = exported();
    ASSERT_EQ(lines.size(), 33u + 2 * 8);
    EXPECT_EQ(lines[25], cellLine("two.txt"));
    EXPECT_EQ(lines[33], cellLine("zero.txt"));
}

TEST_F(HtmlExportTest, AFileThatCannotBeCreatedIsReportedAndNothingWritten) {
    std::string path = dir.file("missing folder\\Result.html");
    EXPECT_FALSE(exportHtml(view, path, nullptr));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Open file error, can't export to text file\n");
    EXPECT_EQ(boxes[0].caption, "Corvask");
    EXPECT_EQ(boxes[0].type & MB_ICONMASK, UINT(MB_ICONSTOP));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}
