// Loading a tune from a file: the file code is checked on the first bytes,
// before anything else is read, and the size is capped, so a large file of
// anything else costs one small read.
#include <cstdio>
#include <memory>
#include <vector>

#include "error_text.h"
#include "read/file_code.h"
#include "read/open_file.h"
#include "tune_limits.h"
#include "tune.h"

namespace pxtone {

namespace {

struct FileCloser {
    void operator()(FILE *f) const { std::fclose(f); }
};

}  // namespace

LoadResult load_tune_file(const std::string &path, const std::string &shown_name) {
    LoadResult res;
    std::unique_ptr<FILE, FileCloser> f(open_for_reading(path));
    if (!f) {
        res.error = error_text("cannot open", shown_name);
        return res;
    }
    std::vector<uint8_t> data(20);
    size_t got = std::fread(data.data(), 1, data.size(), f.get());
    data.resize(got);
    if (got < 20 || !is_tune_code(data.data())) return load_tune(data.data(), got, shown_name);
    if (std::fseek(f.get(), 0, SEEK_END) == 0) {
        long total = std::ftell(f.get());
        if (total > long(MAX_FILE_BYTES)) {
            res.error = error_text("tune too big", shown_name);
            return res;
        }
        if (total > 0) data.reserve(size_t(total));
        std::fseek(f.get(), long(got), SEEK_SET);
    }
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) {
        if (data.size() + n > MAX_FILE_BYTES) {
            res.error = error_text("tune too big", shown_name);
            return res;
        }
        data.insert(data.end(), buf, buf + n);
    }
    if (std::ferror(f.get())) {
        res.error = error_text("cannot open", shown_name);
        return res;
    }
    return load_tune(data.data(), data.size(), shown_name);
}

}  // namespace pxtone
