#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test: once in a normal
# build, once under AddressSanitizer and UndefinedBehaviorSanitizer, and
# fuzzes the CMap parser for about a minute in between; then builds the
# Windows library and checks it, under wine for the run.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

echo "== Normal build"
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j2

echo "== Fuzzing the CMap parser"
fuzz/run.sh 60

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build"
scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DORTHEO_SANITIZE=ON -DORTHEO_BENCH=OFF
ctest --test-dir build-asan --output-on-failure -j2

echo "== Windows build: Ortheo.api and its run under wine"
tests/windows/check.sh
