#include "corpus_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace test_support {

namespace fs = std::filesystem;

namespace {

std::string shared_folder(const char *name) {
    fs::path p = fs::path(SHARED_DIR) / name;
    std::error_code ec;
    return fs::is_directory(p, ec) ? p.string() : std::string();
}

void add_tunes(const std::string &dir, std::vector<std::string> &out) {
    if (dir.empty()) return;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        std::string ext = it->path().extension().string();
        if (ext == ".ptcop" || ext == ".pttune") out.push_back(it->path().string());
    }
}

}  // namespace

std::string corpus_dir() { return shared_folder("corpus"); }

std::vector<std::string> corpus_tunes() {
    std::vector<std::string> out;
    if (corpus_dir().empty()) return out;
    add_tunes(corpus_dir(), out);
    add_tunes(shared_folder("corpus-next"), out);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<uint8_t> read_bytes(const std::string &path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

}  // namespace test_support
