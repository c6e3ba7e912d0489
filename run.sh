#!/usr/bin/env bash
# Sets up what is missing, builds, and writes the font report of the bundled
# sample PDF through the plug-in, as the viewer's command would.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
build/bin/ortheo report samples/sample.pdf -o build/sample-fonts.pdf
echo "The report of samples/sample.pdf is build/sample-fonts.pdf ($(pdfinfo build/sample-fonts.pdf | awk '/^Pages:/ { print $2 }') pages)."
