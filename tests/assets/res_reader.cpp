#include "res_reader.h"

namespace res_reader {

uint16_t le16(const std::vector<uint8_t> &b, size_t at) {
    if (at + 2 > b.size()) return 0;
    return uint16_t(b[at] | b[at + 1] << 8);
}

uint32_t le32(const std::vector<uint8_t> &b, size_t at) {
    if (at + 4 > b.size()) return 0;
    return uint32_t(le16(b, at)) | uint32_t(le16(b, at + 2)) << 16;
}

static size_t align4(size_t v) { return (v + 3) & ~size_t(3); }

// UTF-16 string ending in NUL, within [at, end); returns false when the NUL
// is missing. `at` moves past the NUL.
static bool read_utf16z(const std::vector<uint8_t> &b, size_t &at, size_t end, std::string &out) {
    out.clear();
    while (at + 2 <= end) {
        uint16_t ch = le16(b, at);
        at += 2;
        if (ch == 0) return true;
        out += ch < 128 ? char(ch) : '?';
    }
    return false;
}

static bool read_id(const std::vector<uint8_t> &b, size_t &at, size_t end, ResId &id) {
    if (at + 2 > end) return false;
    if (le16(b, at) == 0xffff) {
        if (at + 4 > end) return false;
        id.id = le16(b, at + 2);
        at += 4;
        return true;
    }
    id.id = -1;
    return read_utf16z(b, at, end, id.text);
}

bool read_res(const std::vector<uint8_t> &file, std::vector<Resource> &out, std::string &error) {
    out.clear();
    size_t at = 0;
    while (at < file.size()) {
        if (at + 8 > file.size()) return error = "truncated entry header", false;
        uint32_t data_size = le32(file, at), header_size = le32(file, at + 4);
        if (header_size < 24 || header_size > file.size() - at ||
            data_size > file.size() - at - header_size)
            return error = "entry sizes run past the file", false;
        size_t header_end = at + header_size, p = at + 8;
        Resource r;
        if (!read_id(file, p, header_end, r.type) || !read_id(file, p, header_end, r.name))
            return error = "bad type or name", false;
        p = align4(p);
        if (p + 16 > header_end) return error = "header too short", false;
        r.language = le16(file, p + 6);
        r.data.assign(file.begin() + long(header_end), file.begin() + long(header_end + data_size));
        // The first entry of a .res file is an empty marker (type 0).
        if (!(r.type.id == 0 && data_size == 0)) out.push_back(std::move(r));
        at = align4(header_end + data_size);
    }
    return true;
}

static bool read_node(const std::vector<uint8_t> &d, size_t at, size_t limit, VersionNode &node,
                      size_t &next, std::string &error, int depth) {
    if (depth > 8) return error = "version tree too deep", false;
    if (at + 6 > limit) return error = "truncated version node", false;
    size_t length = le16(d, at), value_length = le16(d, at + 2);
    node.is_text = le16(d, at + 4) == 1;
    if (length < 6 || at + length > limit) return error = "version node overruns", false;
    size_t end = at + length, p = at + 6;
    if (!read_utf16z(d, p, end, node.key)) return error = "unterminated key", false;
    p = align4(p);
    size_t value_bytes = node.is_text ? value_length * 2 : value_length;
    if (p + value_bytes > end) return error = "value overruns node " + node.key, false;
    node.value.assign(d.begin() + long(p), d.begin() + long(p + value_bytes));
    if (node.is_text) {
        size_t q = p;
        read_utf16z(d, q, p + value_bytes, node.text);
    }
    p = align4(p + value_bytes);
    while (p < end) {
        VersionNode child;
        size_t after = 0;
        if (!read_node(d, p, end, child, after, error, depth + 1)) return false;
        node.children.push_back(std::move(child));
        p = align4(after);
    }
    next = end;
    return true;
}

bool read_version_info(const std::vector<uint8_t> &data, VersionNode &root, std::string &error) {
    size_t next = 0;
    return read_node(data, 0, data.size(), root, next, error, 0);
}

}  // namespace res_reader

namespace res_reader {

namespace {

constexpr size_t MAX_ENTRIES = 4096;  // directory entries and imports: each

struct Pe {
    const std::vector<uint8_t> &file;
    size_t sections = 0, section_count = 0;

    // The file offset of `size` bytes at `rva`, or 0 when they are not all
    // inside one section's data.
    size_t at(uint32_t rva, size_t size) const {
        for (size_t i = 0; i < section_count; i++) {
            size_t s = sections + 40 * i;
            uint32_t va = le32(file, s + 12), raw_size = le32(file, s + 16), raw = le32(file, s + 20);
            if (rva >= va && rva - va <= raw_size && size <= raw_size - (rva - va) &&
                size_t(raw) + raw_size <= file.size())
                return raw + (rva - va);
        }
        return 0;
    }

    bool text(uint32_t rva, std::string &out) const {
        out.clear();
        for (size_t n = 0; n < 256; n++) {
            size_t o = at(rva + uint32_t(n), 1);
            if (!o) return false;
            if (!file[o]) return true;
            out += char(file[o]);
        }
        return false;
    }
};

bool read_imports(const Pe &pe, uint32_t rva, PeImage &out) {
    for (size_t i = 0; i < MAX_ENTRIES; i++, rva += 20) {
        size_t d = pe.at(rva, 20);
        if (!d) return false;
        if (le32(pe.file, d + 12) == 0) return true;
        out.imports.emplace_back();
        if (!pe.text(le32(pe.file, d + 12), out.imports.back())) return false;
    }
    return false;
}

// One level of the resource tree: type, then name, then language.
bool read_resource_level(const Pe &pe, uint32_t base_rva, uint32_t offset, int level, Resource r,
                         PeImage &out) {
    size_t dir = pe.at(base_rva + offset, 16);
    if (!dir || level > 2) return false;
    size_t entries = size_t(le16(pe.file, dir + 12)) + le16(pe.file, dir + 14);
    if (entries > MAX_ENTRIES || out.resources.size() > MAX_ENTRIES) return false;
    for (size_t k = 0; k < entries; k++) {
        size_t e = pe.at(base_rva + offset + 16 + uint32_t(8 * k), 8);
        if (!e) return false;
        uint32_t name = le32(pe.file, e), target = le32(pe.file, e + 4);
        ResId id{int(name & 0xffff), ""};
        if (name & 0x80000000u) {
            size_t s = pe.at(base_rva + (name & 0x7fffffff), 2);
            size_t length = s ? le16(pe.file, s) : 0;
            if (!s || !pe.at(base_rva + (name & 0x7fffffff), 2 + 2 * length)) return false;
            id.id = -1;
            for (size_t c = 0; c < length; c++) {
                uint16_t ch = le16(pe.file, s + 2 + 2 * c);
                id.text += ch < 128 ? char(ch) : '?';
            }
        }
        if (level == 0) r.type = id;
        if (level == 1) r.name = id;
        if (level == 2) r.language = id.id;
        if (target & 0x80000000u) {
            if (!read_resource_level(pe, base_rva, target & 0x7fffffff, level + 1, r, out))
                return false;
            continue;
        }
        size_t leaf = pe.at(base_rva + target, 8);
        if (!leaf || level != 2) return false;
        uint32_t data_rva = le32(pe.file, leaf), size = le32(pe.file, leaf + 4);
        size_t data = pe.at(data_rva, size);
        if (!data) return false;
        r.data.assign(pe.file.begin() + long(data), pe.file.begin() + long(data + size));
        out.resources.push_back(r);
    }
    return true;
}

}  // namespace

bool read_pe(const std::vector<uint8_t> &file, PeImage &out, std::string &error) {
    out = PeImage();
    size_t pe_at = le32(file, 0x3c);
    if (file.size() < 0x40 || file[0] != 'M' || file[1] != 'Z' || pe_at > file.size() - 24 ||
        le32(file, pe_at) != 0x4550)
        return error = "not a PE image", false;
    Pe pe{file};
    out.machine = le16(file, pe_at + 4);
    pe.section_count = le16(file, pe_at + 6);
    size_t optional = pe_at + 24, optional_size = le16(file, pe_at + 20);
    pe.sections = optional + optional_size;
    if (optional_size < 96 + 8 * 3 || pe.sections + 40 * pe.section_count > file.size())
        return error = "headers run past the file", false;
    out.magic = le16(file, optional);
    if (out.magic != 0x10b) return error = "not a 32-bit program", false;
    out.subsystem = le16(file, optional + 68);
    const size_t directories = optional + 96;
    uint32_t imports = le32(file, directories + 8), resources = le32(file, directories + 16);
    if (imports && !read_imports(pe, imports, out)) return error = "bad import table", false;
    if (resources && !read_resource_level(pe, resources, 0, 0, Resource(), out))
        return error = "bad resource tree", false;
    return true;
}

}  // namespace res_reader
