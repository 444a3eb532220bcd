// CShellFileOp: one file operation of the shell (a copy), with the two double-NUL path lists that
// the shell's call takes built up entry by entry.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

class CShellFileOp {
public:
    enum class List { Source, Destination };

    CShellFileOp();
    virtual ~CShellFileOp();
    CShellFileOp(const CShellFileOp&) = delete;
    CShellFileOp& operator=(const CShellFileOp&) = delete;

    // The window that owns the shell's progress and error windows.
    void setOwner(HWND owner) { operation.hwnd = owner; }
    // FOF_ flags of the operation.
    void setFlags(FILEOP_FLAGS flags) { operation.fFlags = flags; }

    // Makes room for n bytes of paths: the list's capacity becomes n + 1 (never less than what
    // it holds already, with its final NUL).
    void reserve(List which, size_t n);
    // Adds a path and its NUL at the end of the list, which stays closed by one more NUL; the
    // buffer grows to exactly what it then needs when it is too small.
    void append(List which, const std::string& path);

    // Runs the copy (FO_COPY) of the source list to the destination list; the shell's result.
    int copy();

    // Whether the user cancelled part of the last operation.
    bool aborted() const { return operation.fAnyOperationsAborted != FALSE; }

private:
    struct Side {
        std::vector<char> buffer;
        size_t used = 0;
    };
    Side& side(List which) { return which == List::Source ? source : destination; }
    const Side& side(List which) const { return which == List::Source ? source : destination; }
    // Resizes a list's buffer keeping its paths, and points the operation at the new storage.
    void resize(List which, size_t bytes);

    Side source;
    Side destination;
    SHFILEOPSTRUCTA operation{};
};
