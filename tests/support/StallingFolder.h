// StallingFolder: a folder on this machine whose one file, stalled.txt (1 MiB of the text
// "Invoice 2024-117 " over and over), answers no read until release(): a server that stopped
// answering in the middle of a file. The lab's FUSE program (lab/stall), started through Wine as
// a Unix program; where the machine cannot run it (not built, no FUSE), ready() is false and
// why() says so.
#pragma once

#include <string>

class StallingFolder {
public:
    // at: the folder to show it as, a path on drive Z: that does not exist yet (inside a lab
    // share, for a search of the network to meet it); by default a folder of its own.
    explicit StallingFolder(const std::string& at = "");
    // Lets every read go and removes the folder.
    ~StallingFolder();
    StallingFolder(const StallingFolder&) = delete;
    StallingFolder& operator=(const StallingFolder&) = delete;

    bool ready() const { return ready_; }
    const std::string& why() const { return why_; }
    // The folder as the program reaches it (drive Z:).
    const std::string& path() const { return path_; }
    // From now on every read of stalled.txt answers.
    void release();

private:
    bool ready_ = false;
    std::string why_, path_, unixFolder_, unixRelease_;
};
