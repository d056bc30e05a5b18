#include "read/byte_reader.h"

#include <cstring>

namespace pxtone {

bool ByteReader::u8(uint8_t &v) {
    if (!ok_ || remaining() < 1) return fail();
    v = data_[pos_++];
    return true;
}

bool ByteReader::u16(uint16_t &v) {
    if (!ok_ || remaining() < 2) return fail();
    v = uint16_t(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return true;
}

bool ByteReader::u32(uint32_t &v) {
    if (!ok_ || remaining() < 4) return fail();
    v = uint32_t(data_[pos_]) | uint32_t(data_[pos_ + 1]) << 8 | uint32_t(data_[pos_ + 2]) << 16 |
        uint32_t(data_[pos_ + 3]) << 24;
    pos_ += 4;
    return true;
}

bool ByteReader::f32(float &v) {
    uint32_t bits;
    if (!u32(bits)) return false;
    std::memcpy(&v, &bits, 4);
    return true;
}

bool ByteReader::varint(uint32_t &v) {
    if (!ok_) return false;
    uint32_t result = 0;
    for (size_t i = 0; i < 5; i++) {
        if (pos_ + i >= size_) return fail();
        uint8_t b = data_[pos_ + i];
        result |= uint32_t(b & 0x7f) << (7 * i);
        if (!(b & 0x80)) {
            pos_ += i + 1;
            v = result;
            return true;
        }
    }
    return fail();  // a sixth byte would be needed: not a number of ours
}

bool ByteReader::varint_signed(int32_t &v) {
    uint32_t u;
    if (!varint(u)) return false;
    v = int32_t(u);
    return true;
}

bool ByteReader::bytes(size_t n, const uint8_t *&out) {
    if (!ok_ || remaining() < n) return fail();
    out = data_ + pos_;
    pos_ += n;
    return true;
}

bool ByteReader::skip(size_t n) {
    if (!ok_ || remaining() < n) return fail();
    pos_ += n;
    return true;
}

bool ByteReader::text(size_t n, std::string &out) {
    const uint8_t *p;
    if (!bytes(n, p)) return false;
    size_t len = 0;
    while (len < n && p[len] != 0) len++;
    out.assign(reinterpret_cast<const char *>(p), len);
    return true;
}

bool ByteReader::seek(size_t offset) {
    if (!ok_ || offset > size_) return fail();
    pos_ = offset;
    return true;
}

bool ByteReader::sub(size_t n, ByteReader &out) {
    const uint8_t *p;
    if (!bytes(n, p)) return false;
    out = ByteReader(p, n);
    return true;
}

}  // namespace pxtone
