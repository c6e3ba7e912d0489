// The CMap parser's speed on generated ToUnicode CMaps of about 100 KB, 1 MB
// and 10 MB, against the reference parser of the tests.
//
// BM_Parse/<bytes> runs CMap::parse, BM_ParseReference/<bytes> the reference.
// Each reports bytes per second and mappings per second. Build it with
// CMAKE_BUILD_TYPE=Release; bench/cmap_instructions.sh counts the
// instructions per byte of BM_Parse.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <map>
#include <string>

#include "cmap_generator.h"
#include "reference_cmap_parser.h"
#include "tabulorum/pdf/pdf_cmap.h"

namespace {

const std::string& cmapText(std::size_t size) {
    static std::map<std::size_t, std::string> texts;
    auto [entry, added] = texts.try_emplace(size);
    if (added) {
        entry->second = ortheo::bench::generateToUnicodeCMap(size);
    }
    return entry->second;
}

void reportThroughput(benchmark::State& state, std::size_t bytes, std::size_t mappings) {
    const auto iterations = static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
    state.counters["mappings"] = static_cast<double>(mappings);
    state.counters["mappings_per_second"] =
        benchmark::Counter(iterations * static_cast<double>(mappings), benchmark::Counter::kIsRate);
}

void BM_Parse(benchmark::State& state) {
    const std::string& text = cmapText(static_cast<std::size_t>(state.range(0)));
    std::size_t mappings = 0;
    for (auto _ : state) {
        ortheo::CMap cmap;
        cmap.parse(text.data(), text.size());
        mappings = cmap.mappings().size();
        benchmark::DoNotOptimize(mappings);
    }
    reportThroughput(state, text.size(), mappings);
}

void BM_ParseReference(benchmark::State& state) {
    const std::string& text = cmapText(static_cast<std::size_t>(state.range(0)));
    std::size_t mappings = 0;
    for (auto _ : state) {
        const ortheo::reference::ParsedCMap parsed = ortheo::reference::parseWithReference(text);
        mappings = parsed.mappings.size();
        benchmark::DoNotOptimize(mappings);
    }
    reportThroughput(state, text.size(), mappings);
}

constexpr std::int64_t kSmall = 100 * 1024;
constexpr std::int64_t kMedium = 1024 * 1024;
constexpr std::int64_t kLarge = 10 * 1024 * 1024;

BENCHMARK(BM_Parse)->Arg(kSmall)->Arg(kMedium)->Arg(kLarge)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseReference)->Arg(kSmall)->Arg(kMedium)->Arg(kLarge)->Unit(benchmark::kMicrosecond);

void ignoreNote(std::string_view) {}

}  // namespace

// Keeps freed memory in the process, as the heap of a long-running viewer
// does, so that every iteration does not page in fresh memory for the model.
// On a virtual machine those page faults can cost more than the parse itself.
void keepFreedMemory() {
    mallopt(M_MMAP_THRESHOLD, 256 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
}

int main(int argc, char** argv) {
    // Well-formed CMaps write no notes; silence any so they cannot skew a run.
    ortheo::setCMapNoteSinkForTesting(ignoreNote);
    keepFreedMemory();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
