// The HTML export of the current view: the page text, one table row per item, cell escaping.
#include "results/HtmlExport.h"

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

const std::string& htmlPageHeader() {
    static const std::string text =
        "<html>\r\n"
        "\r\n"
        "<head>\r\n"
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

std::string escapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c; break;
        }
    }
    return out;
}

void appendHtmlRow(std::string& page, const HtmlRowCells& cells) {
    auto cell = [&page](std::string_view text) {
        page += kCellOpen;
        page += text;
        page += kCellClose;
    };
    page += "          <tr>\r\n";
    cell(escapeHtml(cells.name));
    cell(escapeHtml(cells.folder));
    cell(cells.size);
    cell(escapeHtml(cells.type));
    cell(escapeHtml(cells.modified));
    // A row closes twice: the page has always been written this way and browsers accept it.
    page += "  </tr>\r\n";
    page += "          </tr>\r\n";
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
        std::string rowText;
        for (int32_t row = 0; row < n; ++row) {
            std::optional<FoundItem> item = view.itemAt(row);
            if (!item) continue;
            rowText.clear();
            appendHtmlRow(rowText, htmlCellsFor(*item));
            file->writeBytes(rowText.data(), rowText.size());
        }
        file->writeBytes(htmlPageFooter().data(), htmlPageFooter().size());
        file->close();
        return true;
    } catch (const FileError& e) {
        // A page cut short by a full disk or a lost connection is reported, not passed off as
        // written.
        showMessageBox(owner, e.message(), kAppTitle, MB_ICONSTOP);
        return false;
    }
}
