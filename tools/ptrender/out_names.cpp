#include "out_names.h"

#include <filesystem>

std::string OutNames::take(const std::string &tune_path) {
    std::string name = std::filesystem::path(tune_path).stem().string();
    if (name.empty()) name = "tune";
    std::string chosen = name;
    for (int n = 2; !taken_.insert(chosen).second; n++) chosen = name + "-" + std::to_string(n);
    return (std::filesystem::path(dir_) / (chosen + extension_)).string();
}
