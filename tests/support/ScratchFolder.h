// A fresh folder under the temporary folder for one test, deleted with everything in it after.
#pragma once

#include <string>

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    // path + "\" + name.
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Whole-file helpers for tests: bytes as stored, no conversion.
std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& bytes);
// Deletes a folder with its files and subfolders; a linked folder inside is removed, never entered.
void removeTree(const std::string& path);
