// Builds dialog templates in memory for tests.
#include "support/DialogTemplateBuilder.h"

DialogTemplateBuilder::DialogTemplateBuilder(DWORD style, int x, int y, int width, int height,
                                             const std::string& caption) {
    putDword(style | DS_SETFONT);
    putDword(0);
    countAt = words.size();
    put(0);
    for (int v : {x, y, width, height})
        put(static_cast<WORD>(static_cast<short>(v)));
    put(0); // no menu
    put(0); // the dialog class
    putText(caption);
    put(8);
    putText("MS Sans Serif");
}

DialogTemplateBuilder& DialogTemplateBuilder::add(const std::string& className,
                                                  const std::string& text, int id, DWORD style,
                                                  int x, int y, int width, int height,
                                                  DWORD exStyle) {
    align();
    putDword(style | WS_CHILD | WS_VISIBLE);
    putDword(exStyle);
    for (int v : {x, y, width, height})
        put(static_cast<WORD>(static_cast<short>(v)));
    put(static_cast<WORD>(id));
    putText(className);
    putText(text);
    put(0); // no creation data
    ++words[countAt];
    return *this;
}

void DialogTemplateBuilder::putDword(DWORD d) {
    put(LOWORD(d));
    put(HIWORD(d));
}

void DialogTemplateBuilder::putText(const std::string& text) {
    for (unsigned char c : text)
        put(c);
    put(0);
}

void DialogTemplateBuilder::align() {
    // Items start on a DWORD boundary; the vector's data is at least DWORD-aligned.
    if (words.size() % 2) put(0);
}
