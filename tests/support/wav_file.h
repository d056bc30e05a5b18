// 16-bit PCM WAV files, for tests that keep or read renders.
#ifndef TEST_SUPPORT_WAV_FILE_H
#define TEST_SUPPORT_WAV_FILE_H

#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

struct Wav {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;  // interleaved
    size_t frames() const { return channels ? samples.size() / size_t(channels) : 0; }
};

bool write_wav(const std::string &path, const Wav &w);
// Reads a plain 16-bit PCM WAV; false for anything else.
bool read_wav(const std::string &path, Wav &w);

}  // namespace test_support

#endif
