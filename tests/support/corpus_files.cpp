#include "corpus_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace test_support {

namespace fs = std::filesystem;

std::string corpus_dir() {
    fs::path p = fs::path(SHARED_DIR) / "corpus";
    std::error_code ec;
    return fs::is_directory(p, ec) ? p.string() : std::string();
}

std::vector<std::string> corpus_tunes() {
    std::vector<std::string> out;
    if (corpus_dir().empty()) return out;
    std::error_code ec;
    for (const char *folder : {"corpus", "corpus-next"}) {
        for (auto it = fs::recursive_directory_iterator(fs::path(SHARED_DIR) / folder, ec);
             !ec && it != fs::end(it); it.increment(ec)) {
            std::string ext = it->path().extension().string();
            if (ext == ".ptcop" || ext == ".pttune") out.push_back(it->path().string());
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<uint8_t> read_bytes(const std::string &path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

}  // namespace test_support
