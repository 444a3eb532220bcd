// Shortcut (.lnk) files written through the shell's link object, and their names.
#pragma once

#include <windows.h>

#include <string>

// Writes a shortcut file at linkPath to target with the given working folder and description,
// through the shell's link object (IShellLinkA, saved by IPersistFile). Returns the result of
// the last call made: the failure to create the object or to get IPersistFile, or the save's.
// OLE must be initialised on the calling thread.
HRESULT CreateShellLink(const std::string& workingFolder, const std::string& target,
                        const std::string& linkPath, const std::string& description);

// The file name of a shortcut to an item: "Shortcut to " + name + ".lnk" (the whole name, its
// extension included).
std::string shortcutFileName(const std::string& itemName);
