#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test: once in a normal
# build, whose Debian package it then makes, installs, uses and removes (as
# root, or through sudo); once under AddressSanitizer and
# UndefinedBehaviorSanitizer; fuzzes the CMap parser and the report pipeline
# for a minute each in between, and runs the sanitizer build's ortheo on
# mutations of the fixtures; then builds the Windows library and checks it,
# under 32-bit wine and wine64.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh --for test

echo "== Normal build"
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORTHEO_TESTS=ON
ctest --test-dir build --output-on-failure -j2

echo "== The Debian package: made, installed, used and removed"
tests/package/check_deb.sh build

echo "== Fuzzing the CMap parser and the report pipeline"
fuzz/run.sh 60 cmap report

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build"
scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DORTHEO_SANITIZE=ON -DORTHEO_BENCH=OFF
ctest --test-dir build-asan --output-on-failure -j2

echo "== ortheo report on mutations of the fixtures"
fuzz/mutation_check.py build-asan/bin/ortheo 50

echo "== Windows build: Ortheo.api and its run under wine"
tests/windows/check.sh
