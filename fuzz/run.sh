#!/bin/sh
# Fuzzes the CMap parser for a number of seconds.
#
#   fuzz/run.sh SECONDS
#
# Configures a clang build in build-fuzz/ with ORTHEO_FUZZ=ON, builds only
# fuzz_cmap_parse, and runs it on a copy of fuzz/corpus/cmap in a temporary
# directory. Exits non-zero on any finding; the input that caused it is kept
# in build-fuzz/findings/. libFuzzer needs clang's runtime (libclang-rt-14-dev).
set -eu

if [ $# -ne 1 ]; then
    echo "usage: $0 SECONDS" >&2
    exit 2
fi
seconds=$1
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORTHEO_FUZZ=ON -DORTHEO_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_cmap_parse

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "$root"/fuzz/corpus/cmap/* "$corpus"/
mkdir -p "$build/findings"

"$build/bin/fuzz_cmap_parse" "$corpus" \
    -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$build/findings/"
