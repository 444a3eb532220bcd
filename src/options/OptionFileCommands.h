// Save Configuration and Open Configuration: the option file commands of the main dialog.
#pragma once

#include <windows.h>

class COptionSheet;
struct SearchOptions;

// Asks for a file name ("Search.opt", extension "opt"), takes the pages into current and writes
// it as an option file. Cancel ends the command; a file error is reported in a message box.
void saveOptionFile(HWND owner, COptionSheet& sheet, SearchOptions& current);

// Asks for an option file and reads it; only a file read to its end reaches current and the
// pages. Cancel ends the command; a file error is reported and the pages keep what they showed.
void openOptionFile(HWND owner, COptionSheet& sheet, SearchOptions& current);
