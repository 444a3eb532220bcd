// The shell file operation and its path lists.
#include "actions/CShellFileOp.h"

#include <algorithm>
#include <cstring>

CShellFileOp::CShellFileOp() = default;

CShellFileOp::~CShellFileOp() = default;

void CShellFileOp::resize(List which, size_t bytes) {
    Side& list = side(which);
    list.buffer.resize(bytes, '\0'); // a new, empty list is a single NUL
    char* start = list.buffer.data();
    if (which == List::Source)
        operation.pFrom = start;
    else
        operation.pTo = start;
}

void CShellFileOp::reserve(List which, size_t n) {
    Side& list = side(which);
    resize(which, std::max(n + 1, list.used + 1));
}

void CShellFileOp::append(List which, const std::string& path) {
    Side& list = side(which);
    size_t needed = list.used + path.size() + 2;
    if (list.buffer.size() < needed) resize(which, needed);
    char* at = list.buffer.data() + list.used;
    std::memcpy(at, path.c_str(), path.size() + 1);
    list.used += path.size() + 1;
    list.buffer[list.used] = '\0';
}

int CShellFileOp::copy() {
    operation.fAnyOperationsAborted = FALSE;
    operation.wFunc = FO_COPY;
    return SHFileOperationA(&operation);
}
