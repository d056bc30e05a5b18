// The corpus catalog (../shared/corpus/CATALOG.md): which tunes have a
// recording of the same take, read from its tables. Each table's header
// says which column holds the tune and which the recording.
#ifndef TEST_SUPPORT_CORPUS_CATALOG_H
#define TEST_SUPPORT_CORPUS_CATALOG_H

#include <string>
#include <vector>

namespace test_support {

struct CatalogTune {
    int number = 0;
    std::string path;    // the tune file, in the corpus
    bool recorded = false;  // a recording of the same take is listed
};

// Every catalog row whose tune file is found; empty without the corpus.
std::vector<CatalogTune> catalog_tunes();

}  // namespace test_support

#endif
