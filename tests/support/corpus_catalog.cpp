#include "corpus_catalog.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "corpus_files.h"

namespace test_support {

namespace {

std::vector<std::string> cells_of(const std::string &line) {
    std::vector<std::string> out;
    std::stringstream in(line);
    std::string cell;
    while (std::getline(in, cell, '|')) {
        size_t a = cell.find_first_not_of(' '), b = cell.find_last_not_of(' ');
        out.push_back(a == std::string::npos ? std::string() : cell.substr(a, b - a + 1));
    }
    return out;
}

std::string backquoted(const std::string &cell) {
    size_t a = cell.find('`'), b = a == std::string::npos ? a : cell.find('`', a + 1);
    return b == std::string::npos ? std::string() : cell.substr(a + 1, b - a - 1);
}

// Where a row's tune waits outside the corpus ("not in this folder yet:
// ../corpus-next/PATH ...").
std::string waiting_path(const std::string &cell) {
    const size_t at = cell.find("../corpus-next/");
    return at == std::string::npos ? std::string() : cell.substr(at, cell.find(' ', at) - at);
}

// A catalog path: relative to the corpus, or ".../rest" for the one file
// whose path ends in "/rest".
std::string find_tune(const std::string &dir, const std::string &rel) {
    if (rel.empty()) return std::string();
    if (rel.rfind(".../", 0) != 0) return dir + "/" + rel;
    const std::string tail = rel.substr(3);
    for (const std::string &p : corpus_tunes())
        if (p.size() > tail.size() && p.compare(p.size() - tail.size(), tail.size(), tail) == 0) return p;
    return std::string();
}

}  // namespace

std::vector<CatalogTune> catalog_tunes() {
    std::vector<CatalogTune> out;
    const std::string dir = corpus_dir();
    if (dir.empty()) return out;
    std::ifstream in(dir + "/CATALOG.md");
    std::map<std::string, size_t> column;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> cells = cells_of(line);
        if (cells.size() < 3) continue;
        if (cells[1] == "#") {
            column.clear();
            for (size_t i = 0; i < cells.size(); i++) column[cells[i].substr(0, cells[i].find(" ("))] = i;
            continue;
        }
        if (!column.count("local file") || !column.count("reference render") ||
            cells[1].empty() || cells[1].find_first_not_of("0123456789") != std::string::npos ||
            cells.size() <= std::max(column["local file"], column["reference render"]))
            continue;
        CatalogTune t;
        t.number = std::stoi(cells[1]);
        const std::string &local = cells[column["local file"]];
        const std::string rel = backquoted(local);
        t.path = find_tune(dir, rel.empty() ? waiting_path(local) : rel);
        const std::string &rec = cells[column["reference render"]];
        t.recorded = !backquoted(rec).empty() && rec.rfind("none", 0) != 0 &&
                     rec.find("uncertain") == std::string::npos &&
                     line.find("another take") == std::string::npos;
        std::error_code ec;
        if (!t.path.empty() && std::filesystem::is_regular_file(t.path, ec)) out.push_back(t);
    }
    return out;
}

}  // namespace test_support
