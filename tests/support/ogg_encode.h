// Ogg Vorbis streams for voice tests, made with the oggenc tool.
#ifndef TEST_SUPPORT_OGG_ENCODE_H
#define TEST_SUPPORT_OGG_ENCODE_H

#include <cstdint>
#include <vector>

namespace test_support {

// Whether oggenc can be run here.
bool have_oggenc();
// The .ogg file of a mono 16-bit sound at `rate`; empty when it cannot be
// made. Works through temporary files in the build folder, named by the
// process so that tests may run side by side.
std::vector<uint8_t> encode_ogg(const std::vector<int16_t> &mono, int rate);

}  // namespace test_support

#endif
