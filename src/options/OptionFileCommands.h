// Save Configuration and Open Configuration: the option file commands of the main dialog.
#pragma once

#include <windows.h>

#include <string>

class COptionSheet;
struct SearchOptions;

// Asks for a file name ("Search.opt", extension "opt"), takes the pages into current and writes
// it as an option file. Cancel ends the command; a file error is reported in a message box.
void saveOptionFile(HWND owner, COptionSheet& sheet, SearchOptions& current);

// Asks for an option file and reads it; only a file read to its end reaches current and the
// pages. Cancel ends the command; a file error is reported and the pages keep what they showed.
void openOptionFile(HWND owner, COptionSheet& sheet, SearchOptions& current);

// Reads the option file at path; only a file read to its end reaches current and the pages. A
// file error is reported in a message box and answers false, the pages keeping what they showed.
bool loadOptionFile(HWND owner, COptionSheet& sheet, SearchOptions& current,
                    const std::string& path);
