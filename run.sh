#!/usr/bin/env bash
# Sets up what is missing, builds, and loads the plug-in into our host.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
build/bin/ortheo plugin-info
