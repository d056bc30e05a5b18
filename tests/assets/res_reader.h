// res_reader: reads a compiled Windows resource file (.res, as windres -O res
// writes it), a Windows program (a PE image: its kind, imports and
// resources) and the version record inside them, for the resource tests.
//
// Every length and offset is checked against the data; malformed input
// gives false and an error text, never a read out of bounds.
#ifndef RES_READER_H
#define RES_READER_H

#include <cstdint>
#include <string>
#include <vector>

namespace res_reader {

// A type or name: a number (id >= 0) or a string (id == -1).
struct ResId {
    int id = -1;
    std::string text;  // ASCII part of the UTF-16 name
};

struct Resource {
    ResId type, name;
    int language = 0;
    std::vector<uint8_t> data;
};

bool read_res(const std::vector<uint8_t> &file, std::vector<Resource> &out, std::string &error);

struct PeImage {
    int machine = 0;    // 0x14c: i386
    int magic = 0;      // 0x10b: PE32, a 32-bit program
    int subsystem = 0;  // 2: GUI, 3: console
    std::vector<std::string> imports;  // the DLLs' names, as written
    std::vector<Resource> resources;
};

bool read_pe(const std::vector<uint8_t> &file, PeImage &out, std::string &error);

// One node of a VS_VERSIONINFO tree: key, value bytes (text values are
// decoded to ASCII into `text`, without the terminating NUL) and children.
struct VersionNode {
    std::string key;
    bool is_text = false;
    std::vector<uint8_t> value;
    std::string text;
    std::vector<VersionNode> children;
};

bool read_version_info(const std::vector<uint8_t> &data, VersionNode &root, std::string &error);

uint32_t le32(const std::vector<uint8_t> &b, size_t at);  // 0 past the end
uint16_t le16(const std::vector<uint8_t> &b, size_t at);  // 0 past the end

}  // namespace res_reader

#endif
