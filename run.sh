#!/usr/bin/env bash
# Sets up what building and running ortheo needs, builds it without the
# tests, and writes the font report of the bundled sample PDF through the
# plug-in, as the viewer's command would.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh --for run
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORTHEO_TESTS=OFF
build/bin/ortheo report samples/sample.pdf -o build/sample-fonts.pdf
echo "The report of samples/sample.pdf is build/sample-fonts.pdf ($(($(stat -c %s build/sample-fonts.pdf) / 1024)) KB)."
