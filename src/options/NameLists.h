// The editing operations of the domain, server and folder lists: the handlers of each list's
// Add, Remove, Clear, Load and Save buttons and of a double click, and the exchange between a
// list box and a list of names.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// What tells the three lists apart: their controls, their list files and the server rule.
struct NameListKind {
    int listBoxId;
    int addId, removeId, clearId, loadId, saveId;
    const char* defaultExtension; // "dop"
    const char* proposedName;     // "DomainOpt.dop"
    const char* filter;           // "*.dop|*.dop|"
    bool serverRule;              // names take the form "\\server"
};

extern const NameListKind kDomainList;
extern const NameListKind kServerList;
extern const NameListKind kFolderList;

// One list of a page: its settings, the page window holding its controls, and the page's names.
struct NameList {
    const NameListKind& kind;
    HWND page;
    std::vector<std::string>& names;

    HWND listBox() const { return GetDlgItem(page, kind.listBoxId); }
};

// Runs the operation of a command from the page (a button click or a double click on the list
// box, notification code given); false when the command is none of this list's.
bool handleNameListCommand(const NameList& list, int id, int code);

// Enables or disables the list box together with its five buttons.
void enableNameList(const NameList& list, bool enable);

// Asks for a new name ("Add") and puts it in its sorted place, selected.
void addName(const NameList& list);
// Asks for a new text for the selected entry ("Edit"); an edit that leaves nothing removes it.
void editName(const NameList& list);
// Deletes the selected entry and selects the one now at its place (or the new last one).
void removeName(const NameList& list);
// Empties the list box.
void clearNames(const NameList& list);
// Reads a list file chosen by the user into the names and shows them.
void loadNames(const NameList& list);
// Writes the list box entries to a list file chosen by the user.
void saveNames(const NameList& list);

// Adds typed text the way Add and Edit do: trimmed (or in server form for the server list);
// nothing when that leaves the empty text. The new entry is selected unless the list box
// refused it.
void putTypedName(HWND listBox, const std::string& typed, bool serverRule);

// toNames: the names become the list box entries, first to last. Otherwise the list box is
// emptied and every name added (each takes its sorted place).
void exchangeListBox(bool toNames, HWND listBox, std::vector<std::string>& names);
