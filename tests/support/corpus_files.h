// The corpus of real tunes beside the repository (../shared/corpus), read
// in place by the tests; never copied.
#ifndef TEST_SUPPORT_CORPUS_FILES_H
#define TEST_SUPPORT_CORPUS_FILES_H

#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

// The corpus folder, or "" when it is not there.
std::string corpus_dir();
// Every ".ptcop" and ".pttune" file in the corpus and in the folder of
// tunes waiting to join it (../shared/corpus-next), sorted; empty without
// the corpus.
std::vector<std::string> corpus_tunes();
// A file's bytes; empty when it cannot be read.
std::vector<uint8_t> read_bytes(const std::string &path);

}  // namespace test_support

#endif
