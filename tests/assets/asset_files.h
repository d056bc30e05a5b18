// Small helpers for the asset tests: file reading, temporary folders and
// running a command.
#ifndef ASSET_FILES_H
#define ASSET_FILES_H

#include <cstdint>
#include <string>
#include <vector>

// The whole file, or an empty vector when it cannot be read.
std::vector<uint8_t> read_file(const std::string &path);

// A fresh empty folder under the system temp dir, removed with its contents
// when the object goes away.
struct TempFolder {
    std::string path;
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
};

// Runs a shell command; returns its exit status (-1 when it could not run).
int run_command(const std::string &command);

#endif
