// ansiFromUtf16 and the lead bytes of the program's code page, with the platform's tables.
#include <windows.h>

#include "toolkit/AnsiChars.h"
#include "toolkit/CountedString.h"

std::string ansiFromUtf16(const char16_t* units, size_t count) {
    if (count == 0) return {};
    // Lengths come from a checked file, but the platform call takes an int.
    if (count > 0x3FFFFFFF) count = 0x3FFFFFFF;
    auto wide = reinterpret_cast<const wchar_t*>(units);
    int needed = WideCharToMultiByte(CP_ACP, 0, wide, int(count), nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string out(size_t(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, int(count), out.data(), needed, nullptr, nullptr);
    return out;
}

// The program's code page and its lead bytes, from the platform's tables.
namespace ansi {

unsigned platformCodePage() { return GetACP(); }

bool platformLeadBytes(unsigned codePage, LeadBytes& table) {
    CPINFO info{};
    if (!GetCPInfo(codePage, &info)) return false;
    for (unsigned b = 0; b < 256; ++b)
        table.setLead(static_cast<unsigned char>(b), IsDBCSLeadByteEx(codePage, BYTE(b)) != 0);
    return true;
}

} // namespace ansi
