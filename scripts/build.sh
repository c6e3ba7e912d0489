#!/usr/bin/env bash
# Configures and builds one build tree: build.sh DIR [CMAKE OPTIONS...]
set -euo pipefail
dir=$1
shift
cmake -S "$(dirname "$0")/.." -B "$dir" -G Ninja -DORTHEO_WERROR=ON "$@" >/dev/null
cmake --build "$dir"
