#include "wav_file.h"

#include <cstring>
#include <fstream>

#include "corpus_files.h"

namespace test_support {

namespace {

void put(std::vector<uint8_t> &o, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; i++) o.push_back(uint8_t(v >> (8 * i)));
}

uint32_t get(const std::vector<uint8_t> &d, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; i++) v |= uint32_t(d[at + size_t(i)]) << (8 * i);
    return v;
}

}  // namespace

bool write_wav(const std::string &path, const Wav &w) {
    std::vector<uint8_t> o;
    const uint32_t data = uint32_t(w.samples.size() * 2);
    o.insert(o.end(), {'R', 'I', 'F', 'F'});
    put(o, 36 + data, 4);
    o.insert(o.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(o, 16, 4);
    put(o, 1, 2);
    put(o, uint32_t(w.channels), 2);
    put(o, uint32_t(w.rate), 4);
    put(o, uint32_t(w.rate * w.channels * 2), 4);
    put(o, uint32_t(w.channels * 2), 2);
    put(o, 16, 2);
    o.insert(o.end(), {'d', 'a', 't', 'a'});
    put(o, data, 4);
    for (int16_t s : w.samples) put(o, uint16_t(s), 2);
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char *>(o.data()), std::streamsize(o.size()));
    return bool(f);
}

bool read_wav(const std::string &path, Wav &w) {
    std::vector<uint8_t> d = read_bytes(path);
    if (d.size() < 12 || std::memcmp(d.data(), "RIFF", 4) || std::memcmp(d.data() + 8, "WAVE", 4))
        return false;
    size_t at = 12;
    bool have_fmt = false;
    while (at + 8 <= d.size()) {
        uint32_t size = get(d, at + 4, 4);
        size_t body = at + 8;
        if (body + size > d.size()) return false;
        if (!std::memcmp(d.data() + at, "fmt ", 4) && size >= 16) {
            if (get(d, body, 2) != 1 || get(d, body + 14, 2) != 16) return false;
            w.channels = int(get(d, body + 2, 2));
            w.rate = int(get(d, body + 4, 4));
            have_fmt = true;
        } else if (!std::memcmp(d.data() + at, "data", 4) && have_fmt) {
            w.samples.resize(size / 2);
            for (size_t i = 0; i < w.samples.size(); i++) w.samples[i] = int16_t(get(d, body + 2 * i, 2));
            return true;
        }
        at = body + size + (size & 1);
    }
    return false;
}

}  // namespace test_support
