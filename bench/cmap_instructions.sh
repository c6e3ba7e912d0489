#!/bin/sh
# Instructions per input byte of CMap::parse, counted by callgrind.
#
#   bench/cmap_instructions.sh BENCH_BINARY [BYTES]
#
# Runs the already-built bench_cmap's BM_Parse/BYTES case (default 1048576,
# the 1 MB CMap, whose text is exactly BYTES long) under callgrind, counting
# only the instructions inside CMap::parse, and divides them by the bytes of
# all the parses made. Builds nothing; needs valgrind.
set -eu

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 BENCH_BINARY [BYTES]" >&2
    exit 2
fi
binary=$1
bytes=${2:-1048576}

out=$(mktemp)
trap 'rm -f "$out"' EXIT

valgrind --tool=callgrind --callgrind-out-file="$out" --compress-strings=no \
    --toggle-collect='ortheo::CMap::parse(*' \
    "$binary" --benchmark_filter="^BM_Parse/${bytes}\$" --benchmark_min_time=0.01 >/dev/null 2>&1

# The collected total is the instructions inside every parse; the "calls="
# lines under a call of CMap::parse count the parses.
awk -v bytes="$bytes" '
    /^totals:/ { instructions = $2 }
    /^cfn=.*ortheo::CMap::parse\(/ { parseCall = 1; next }
    parseCall && /^calls=/ { split($1, field, "="); parses += field[2] }
    { parseCall = 0 }
    END {
        if (parses == 0) { print "no call of CMap::parse was recorded" > "/dev/stderr"; exit 1 }
        printf "%d parses of %d bytes: %.2f instructions per byte\n", parses, bytes, instructions / (parses * bytes)
    }' "$out"
