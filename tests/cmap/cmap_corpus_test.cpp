// The engine's parser and the reference parser agree on every seed CMap of
// the fuzz corpus.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "reference_cmap_parser.h"

namespace ortheo::reference {
namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(CMapCorpus, FastAndReferenceParsersAgreeOnEverySeed) {
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ORTHEO_CMAP_CORPUS_DIR)) {
        const std::string text = readFile(entry.path());
        const ParsedCMap fast = parseWithEngine(text);
        const ParsedCMap reference = parseWithReference(text);
        EXPECT_EQ(fast, reference) << entry.path() << "\nfast:\n"
                                   << describe(fast) << "reference:\n"
                                   << describe(reference);
        ++seeds;
    }
    EXPECT_GE(seeds, 10);
}

}  // namespace
}  // namespace ortheo::reference
