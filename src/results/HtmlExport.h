// The HTML export of the current view: the page text, one table row per item, cell escaping.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "results/FoundItem.h"

class ResultView;

// Writes the rows of the current view, in display order, as an HTML page with one five-column
// table. Callable while a search runs: the rows counted at the start are written. When the file
// cannot be created, shows "Open file error, can't export to text file" (MB_ICONSTOP, owned by
// owner) and returns false; a failed write shows the file-error text and returns false too.
bool exportHtml(ResultView& view, const std::string& path, HWND owner);

// The page is plain text with CR LF line ends in the ANSI code page. These pieces know nothing of
// the result store, so they can be checked and reused on their own.

// The 24 lines that open the page, up to and including the table's title row. The page declares
// its character set: the system's ANSI code page, in which its bytes are written.
const std::string& htmlPageHeader();
// The name a browser knows for an ANSI code page ("windows-1252" for one it would not know).
const char* htmlCharsetOf(unsigned codePage);
// The 9 lines that close the table and the page.
const std::string& htmlPageFooter();

// The five cell texts of one row, in column order: Name, In Folder, Size, Type, Modified.
struct HtmlRowCells {
    std::string name;
    std::string folder;
    std::string size; // markup, written as is ("&nbsp;" for a folder)
    std::string type;
    std::string modified;
};

// The cells of an item: as the result list shows them, except that a folder's Size is "&nbsp;"
// (an empty cell would lose its border in some browsers).
HtmlRowCells htmlCellsFor(const FoundItem& item);

// Appends the 8 lines of one row. Every cell except Size is escaped: a file name may hold any of
// & < > " and must stay text in the page.
void appendHtmlRow(std::string& page, const HtmlRowCells& cells);

// Replaces & < > " by their character references; every other byte is kept. None of these four
// bytes can be the trail byte of a double-byte character, so multibyte names stay intact.
std::string escapeHtml(std::string_view text);
