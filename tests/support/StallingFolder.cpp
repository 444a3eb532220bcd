// Mounting the lab's stalling folder from a test, and taking it down again.
#include "support/StallingFolder.h"

#include <windows.h>

#include <atomic>
#include <string>

#include "support/ScratchFolder.h"

namespace {

// The Windows form (drive Z:) of a Unix path.
std::string onDriveZ(const std::string& unixPath) {
    std::string out = "Z:" + unixPath;
    for (char& c : out)
        if (c == '/') c = '\\';
    return out;
}

// The Unix form of a path on drive Z: (the build tree and the prefix are reached there).
std::string unixPath(const std::string& windowsPath) {
    std::string out = windowsPath.size() > 2 && windowsPath[1] == ':' ? windowsPath.substr(2)
                                                                       : windowsPath;
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

// Runs a Unix command line (Wine starts Unix programs as it starts its own) and waits for it.
bool runUnix(std::string commandLine, DWORD waitMs) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    if (waitMs) WaitForSingleObject(process.hProcess, waitMs);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace

StallingFolder::StallingFolder(const std::string& at) {
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string program = exe;
    program = program.substr(0, program.rfind('\\')); // ...\build\cmake\tests
    program = program.substr(0, program.rfind('\\')) + "\\lab\\stallfs";
    if (GetFileAttributesA(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
        why_ = "the stalling folder is not built (no libfuse 3 on the build machine)";
        return;
    }
    static std::atomic<int> made{0};
    const std::string name = "corvask-stall-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(made++);
    unixFolder_ = at.empty() ? "/tmp/" + name : unixPath(at);
    unixRelease_ = "/tmp/" + name + ".release";
    path_ = onDriveZ(unixFolder_);
    CreateDirectoryA(path_.c_str(), nullptr);
    // Its own output goes nowhere: a program started this way would otherwise hold the test
    // run's output open for as long as it lives.
    if (!runUnix("/bin/sh -c \"exec '" + unixPath(program) + "' '" + unixFolder_ + "' " +
                     unixRelease_ + " </dev/null >/dev/null 2>&1\"",
                 0)) {
        why_ = "the stalling folder's program could not be started";
        return;
    }
    const std::string file = path_ + "\\stalled.txt";
    for (int i = 0; i < 200 && !ready_; ++i) {
        ready_ = GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!ready_) Sleep(50);
    }
    if (!ready_) why_ = "the stalling folder did not mount (no FUSE here)";
}

StallingFolder::~StallingFolder() {
    release();
    if (ready_) {
        runUnix("/bin/sh -c \"fusermount3 -u '" + unixFolder_ + "'\"", 10000);
        const std::string file = path_ + "\\stalled.txt";
        for (int i = 0; i < 100 && GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
            Sleep(50);
    }
    RemoveDirectoryA(path_.c_str());
    DeleteFileA(onDriveZ(unixRelease_).c_str());
}

void StallingFolder::release() {
    if (!unixRelease_.empty()) writeWholeFile(onDriveZ(unixRelease_), "");
}
