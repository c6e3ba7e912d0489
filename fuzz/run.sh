#!/bin/sh
# Fuzzes the CMap parser and the report pipeline, each for a number of
# seconds.
#
#   fuzz/run.sh SECONDS [TARGET...]     TARGET: cmap, report (default: both)
#
# Configures a clang build in build-fuzz/ with ORTHEO_FUZZ=ON, builds only
# the fuzz targets asked for, and runs each on a copy of its seed corpus in
# a temporary directory: fuzz/corpus/cmap for the CMap parser; for the
# report, each font of the test fixtures and the sample in a document of its
# own and the small fixtures whole, each also uncompressed by qpdf --qdf,
# and files cut short. Exits
# non-zero on any finding; the input that caused it is kept in
# build-fuzz/findings/. libFuzzer needs clang's runtime (libclang-rt-14-dev).
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 SECONDS [cmap|report]..." >&2
    exit 2
fi
seconds=$1
shift
[ $# -gt 0 ] || set -- cmap report
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORTHEO_FUZZ=ON -DORTHEO_BENCH=OFF >/dev/null

# A shorter quarantine and shorter allocation stacks than ASan's defaults
# make the report fuzzer a tenth faster and still catch use after free.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=8}"

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
mkdir -p "$build/findings"

seed_cmap() {
    cp "$root"/fuzz/corpus/cmap/* "$1"/
}

# Each font of the fixtures and the sample in a document of its own, the
# small fixtures whole (several fonts, shared objects, a form under /Font),
# and files cut short (fuzz/corpus/report, tests/fixtures/cut), which qpdf
# cannot rewrite.
seed_report() {
    for pdf in "$root"/tests/fixtures/*.pdf "$root"/samples/sample.pdf; do
        "$build/bin/split_fonts" "$pdf" "$1/$(basename "$pdf" .pdf)"
    done
    cp "$root"/tests/fixtures/cairo-cjk.pdf "$root"/tests/fixtures/groff-gs.pdf \
        "$root"/tests/fixtures/not-a-font.pdf "$1"/
    for pdf in "$1"/*.pdf; do
        qpdf --qdf --object-streams=disable "$pdf" "${pdf%.pdf}-qdf.pdf" || [ $? -eq 3 ]
    done
    cp "$root"/fuzz/corpus/report/*.pdf "$root"/tests/fixtures/cut/*.pdf "$1"/
}

for target in "$@"; do
    case $target in
        cmap) binary=fuzz_cmap_parse seeder='' options="-max_len=4096" ;;
        # The report's notes and alerts would flood the log: the inputs run
        # with standard error closed, while libFuzzer keeps its own output;
        # run a finding's input again to see everything it wrote.
        report) binary=fuzz_report seeder=split_fonts options="-close_fd_mask=2 -rss_limit_mb=3072 -timeout=30" ;;
        *) echo "$0: no fuzz target is named $target" >&2; exit 2 ;;
    esac
    # shellcheck disable=SC2086
    cmake --build "$build" --target "$binary" $seeder
    mkdir "$corpus/$target"
    "seed_$target" "$corpus/$target"
    # shellcheck disable=SC2086
    "$build/bin/$binary" "$corpus/$target" $options -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/findings/"
done
