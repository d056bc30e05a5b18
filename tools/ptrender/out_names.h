// The files ptrender -o writes: DIR/NAME.EXT, NAME being the tune's file
// name without its extension. A NAME given out before in the same run gets
// "-2", "-3" and so on, so two tunes of one name never write one file
// (on Windows, names that differ in letter case alone are one name).
#ifndef PTRENDER_OUT_NAMES_H
#define PTRENDER_OUT_NAMES_H

#include <set>
#include <string>

class OutNames {
public:
    OutNames(std::string dir, std::string extension) : dir_(std::move(dir)), extension_(std::move(extension)) {}
    // The path for the tune at `tune_path`, not given out before.
    std::string take(const std::string &tune_path);

private:
    std::string dir_, extension_;
    std::set<std::string> taken_;
};

#endif
