// ByteReader: reads little-endian fields from a byte range that may be
// hostile. Every read checks the remaining length first; a read that does
// not fit fails, leaves the position unchanged and marks the reader failed.
// Once failed, every later read fails too, so a parser may check `ok()` once
// after a run of reads.
#ifndef PXTONE_BYTE_READER_H
#define PXTONE_BYTE_READER_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace pxtone {

class ByteReader {
public:
    ByteReader(const uint8_t *data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }
    size_t size() const { return size_; }
    size_t remaining() const { return size_ - pos_; }
    const uint8_t *here() const { return data_ + pos_; }

    bool u8(uint8_t &v);
    bool u16(uint16_t &v);
    bool u32(uint32_t &v);
    bool f32(float &v);
    // The files' variable-length number: 7 bits a byte, low group first,
    // high bit set on all but the last byte, at most 5 bytes, 32 bits kept.
    bool varint(uint32_t &v);
    // A varint read as a two's complement 32-bit value.
    bool varint_signed(int32_t &v);
    // `n` raw bytes; `out` points into the reader's range.
    bool bytes(size_t n, const uint8_t *&out);
    bool skip(size_t n);
    // A fixed-size text field: stops at the first NUL, keeps at most `n`
    // bytes (names fill their field without a terminator).
    bool text(size_t n, std::string &out);
    // Moves to an absolute offset within the range.
    bool seek(size_t offset);
    // A reader over the next `n` bytes, advancing this one past them.
    bool sub(size_t n, ByteReader &out);

private:
    bool fail() { ok_ = false; return false; }
    const uint8_t *data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace pxtone

#endif
