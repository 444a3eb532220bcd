// The HTML export of the current view: the page text, one table row per item, cell escaping.
#include "results/HtmlExport.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <optional>

#include "results/ResultView.h"
#include "toolkit/FileArchive.h"
#include "toolkit/MessageBoxes.h"

namespace {

// One cell of the table, opening and closing; the name, size and other cells use the same.
constexpr std::string_view kCellOpen =
    "            <td width=\"20%\"><font face=\"times new roman\">";
constexpr std::string_view kCellClose = "</font></td>\r\n";

} // namespace

const char* htmlCharsetOf(unsigned codePage) {
    switch (codePage) {
    case 874: return "windows-874";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "EUC-KR";
    case 950: return "Big5";
    case 1250: return "windows-1250";
    case 1251: return "windows-1251";
    case 1253: return "windows-1253";
    case 1254: return "windows-1254";
    case 1255: return "windows-1255";
    case 1256: return "windows-1256";
    case 1257: return "windows-1257";
    case 1258: return "windows-1258";
    case 54936: return "gb18030";
    case 65001: return "UTF-8";
    // Western European, and any code page a browser would not know by name: the closest to
    // what most ANSI text is, and what browsers assume for pages that say nothing.
    default: return "windows-1252";
    }
}

const std::string& htmlPageHeader() {
    static const std::string text =
        "<html>\r\n"
        "\r\n"
        "<head>\r\n"
        "<meta charset=\"" + std::string(htmlCharsetOf(GetACP())) + "\">\r\n"
        "<title>Search Result</title>\r\n"
        "</head>\r\n"
        "\r\n"
        "<body>\r\n"
        "\r\n"
        "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"100%\">\r\n"
        "  <tr>\r\n"
        "    <td><br>\r\n"
        "    <table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"761\">\r\n"
        "      <tr>\r\n"
        "        <td valign=\"top\" width=\"727\"><div align=\"center\"><center><table "
        "border=\"1\" width=\"95%\"\r\n"
        "        bordercolordark=\"#999966\" bordercolorlight=\"#FFFFFF\" cellspacing=\"0\" "
        "cellpadding=\"4\"\r\n"
        "        style=\"font-family: MS Sans Serif; font-size: 12pt\">\r\n"
        "          <tr>\r\n"
        "            <td width=\"20%\"><font face=\"times new roman\">Name</font></td>\r\n"
        "            <td width=\"20%\"><font face=\"times new roman\">In Folder</font></td>\r\n"
        "            <td width=\"20%\"><font face=\"times new roman\">Size</font></td>\r\n"
        "            <td width=\"20%\"><font face=\"times new roman\">Type</font></td>\r\n"
        "            <td width=\"20%\"><font face=\"times new roman\">Modified</font></td>\r\n"
        "          </tr>\r\n";
    return text;
}

const std::string& htmlPageFooter() {
    static const std::string text = "        </table>\r\n"
                                    "        </center></div><p>&nbsp;</td>\r\n"
                                    "      </tr>\r\n"
                                    "    </table>\r\n"
                                    "    </td>\r\n"
                                    "  </tr>\r\n"
                                    "</table>\r\n"
                                    "</body>\r\n"
                                    "</html>\r\n";
    return text;
}

namespace {

// Appends text with & < > " replaced, copying the runs between them whole.
void appendEscaped(std::string& out, std::string_view text) {
    size_t from = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char* reference = nullptr;
        switch (text[i]) {
        case '&': reference = "&amp;"; break;
        case '<': reference = "&lt;"; break;
        case '>': reference = "&gt;"; break;
        case '"': reference = "&quot;"; break;
        default: continue;
        }
        out.append(text.substr(from, i - from));
        out.append(reference);
        from = i + 1;
    }
    out.append(text.substr(from));
}

// One row's 8 lines; folder is shown with extra appended (a backslash after a drive root).
void appendRow(std::string& page, std::string_view name, std::string_view folder,
               std::string_view extra, std::string_view size, std::string_view type,
               std::string_view modified) {
    page += "          <tr>\r\n";
    page += kCellOpen;
    appendEscaped(page, name);
    page += kCellClose;
    page += kCellOpen;
    appendEscaped(page, folder);
    appendEscaped(page, extra);
    page += kCellClose;
    page += kCellOpen;
    page += size; // markup
    page += kCellClose;
    page += kCellOpen;
    appendEscaped(page, type);
    page += kCellClose;
    page += kCellOpen;
    appendEscaped(page, modified);
    page += kCellClose;
    // A row closes twice: the page has always been written this way and browsers accept it.
    page += "  </tr>\r\n";
    page += "          </tr>\r\n";
}

// The row of a stored item, cells as htmlCellsFor gives them.
void appendStoredRow(std::string& page, const StoredItem& item) {
    std::string_view folder = item.folderView();
    std::string_view extra = !folder.empty() && folder.back() == ':' ? "\\" : "";
    char size[24] = "&nbsp;";
    if (!item.isFolder()) {
        if (item.size == 0)
            std::memcpy(size, "0 KB", 5);
        else
            snprintf(size, sizeof size, "%d KB", int((item.size >> 10) + 1));
    }
    char modified[40];
    size_t modifiedLength = formatModified(item.lastWriteTime, modified);
    appendRow(page, item.nameView(), folder, extra, size,
              typeTextOf(folder, item.nameView(), item.attributes),
              std::string_view(modified, modifiedLength));
}

} // namespace

std::string escapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendEscaped(out, text);
    return out;
}

void appendHtmlRow(std::string& page, const HtmlRowCells& cells) {
    appendRow(page, cells.name, cells.folder, "", cells.size, cells.type, cells.modified);
}

HtmlRowCells htmlCellsFor(const FoundItem& item) {
    return HtmlRowCells{item.name, folderText(item), item.isFolder() ? "&nbsp;" : sizeText(item),
                        typeText(item), modifiedText(item.lastWriteTime)};
}

bool exportHtml(ResultView& view, const std::string& path, HWND owner) {
    std::optional<FileArchive> file;
    try {
        file.emplace(FileArchive::createForWriting(path));
    } catch (const FileError&) {
        showMessageBox(owner, "Open file error, can't export to text file\n", kAppTitle,
                       MB_ICONSTOP);
        return false;
    }
    try {
        file->writeBytes(htmlPageHeader().data(), htmlPageHeader().size());
        int32_t n = view.itemCount();
        // A block of rows is made under the locks and written with no lock held.
        std::string block;
        for (int32_t row = 0; row < n;) {
            block.clear();
            row += view.visitRowBlock(row, n, [&block](int32_t, const StoredItem* item) {
                if (item) appendStoredRow(block, *item);
            });
            file->writeBytes(block.data(), block.size());
        }
        file->writeBytes(htmlPageFooter().data(), htmlPageFooter().size());
        file->close();
        return true;
    } catch (const FileError& e) {
        // A page cut short by a full disk or a lost connection is reported, not passed off as
        // written.
        showMessageBox(owner, e.message(), kAppTitle, MB_ICONSTOP);
        return false;
    } catch (const std::bad_alloc&) {
        showMessageBox(owner, FileError(FileError::Generic, 0, path).message(), kAppTitle,
                       MB_ICONSTOP);
        return false;
    }
}
