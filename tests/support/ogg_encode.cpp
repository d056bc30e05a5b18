#include "ogg_encode.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "corpus_files.h"
#include "wav_file.h"

namespace test_support {

bool have_oggenc() { return std::system("command -v oggenc > /dev/null 2>&1") == 0; }

std::vector<uint8_t> encode_ogg(const std::vector<int16_t> &mono, int rate) {
    static int made = 0;  // tests within one process run one at a time
    const std::string base = std::string(BUILD_DIR) + "/ogg_voice_" + std::to_string(getpid()) +
                             "_" + std::to_string(made++);
    Wav w;
    w.rate = rate;
    w.channels = 1;
    w.samples = mono;
    std::vector<uint8_t> ogg;
    if (write_wav(base + ".wav", w) &&
        std::system(("oggenc -Q -o " + base + ".ogg " + base + ".wav").c_str()) == 0)
        ogg = read_bytes(base + ".ogg");
    std::remove((base + ".wav").c_str());
    std::remove((base + ".ogg").c_str());
    return ogg;
}

}  // namespace test_support
