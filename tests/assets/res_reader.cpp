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
