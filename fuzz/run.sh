#!/bin/sh
# Fuzzes the CMap parser and the report pipeline, each for a number of
# seconds.
#
#   fuzz/run.sh SECONDS [TARGET...]     TARGET: cmap, report (default: both)
#
# Configures a clang build in build-fuzz/ with ORTHEO_FUZZ=ON, builds only
# the fuzz targets asked for, and runs each on a copy of its seed corpus in
# a temporary directory: fuzz/corpus/cmap for the CMap parser; the test
# fixtures and the sample, as they are and uncompressed by qpdf --qdf, for
# the report. Exits non-zero on any finding; the input that caused it is
# kept in build-fuzz/findings/. libFuzzer needs clang's runtime
# (libclang-rt-14-dev).
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

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
mkdir -p "$build/findings"

seed_cmap() {
    cp "$root"/fuzz/corpus/cmap/* "$1"/
}

seed_report() {
    for pdf in "$root"/tests/fixtures/*.pdf "$root"/samples/sample.pdf; do
        name=$(basename "$pdf" .pdf)
        cp "$pdf" "$1/$name.pdf"
        qpdf --qdf --object-streams=disable "$pdf" "$1/$name-qdf.pdf" || [ $? -eq 3 ]
    done
}

for target in "$@"; do
    case $target in
        cmap) binary=fuzz_cmap_parse options="-max_len=4096" ;;
        # The report's notes and alerts would flood the log: the inputs run
        # with standard error closed, while libFuzzer keeps its own output;
        # run a finding's input again to see everything it wrote.
        report) binary=fuzz_report options="-close_fd_mask=2 -rss_limit_mb=3072 -timeout=30" ;;
        *) echo "$0: no fuzz target is named $target" >&2; exit 2 ;;
    esac
    cmake --build "$build" --target "$binary"
    mkdir "$corpus/$target"
    "seed_$target" "$corpus/$target"
    # shellcheck disable=SC2086
    "$build/bin/$binary" "$corpus/$target" $options -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/findings/"
done
