// Builds a dialog template (DLGTEMPLATE with "MS Sans Serif" 8) in memory, so tests can make
// real dialogs and pages without resources.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class DialogTemplateBuilder {
public:
    DialogTemplateBuilder(DWORD style, int x, int y, int width, int height,
                          const std::string& caption);
    // Adds a control of a window class given by name ("BUTTON", "EDIT", "SysDateTimePick32"...).
    DialogTemplateBuilder& add(const std::string& className, const std::string& text, int id,
                               DWORD style, int x, int y, int width, int height, DWORD exStyle = 0);
    // The finished template; valid while the builder lives and nothing more is added.
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words.data()); }

private:
    void put(WORD w) { words.push_back(w); }
    void putDword(DWORD d);
    void putText(const std::string& text);
    void align();

    std::vector<WORD> words;
    size_t countAt = 0;
};
