#include "out_names.h"

#include <filesystem>

#include "file_names.h"

std::string OutNames::take(const std::string &tune_path) {
    std::string name = std::filesystem::u8path(tune_path).stem().u8string();
    if (name.empty()) name = "tune";
    std::string chosen = name;
    for (int n = 2; !taken_.insert(file_name_key(chosen)).second; n++)
        chosen = name + "-" + std::to_string(n);
    return (std::filesystem::u8path(dir_) / std::filesystem::u8path(chosen + extension_)).u8string();
}
