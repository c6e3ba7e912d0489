#!/usr/bin/env bash
# Builds Ortheo.api for Windows with mingw-w64 and checks it: the 32-bit file
# as the viewer loads it (check_pe32.py), then the 64-bit build of the same
# sources, driven by the test host under 64-bit wine, since 32-bit programs
# cannot run on our machines. The run must match expected_run.txt.
#
# Usage: tests/windows/check.sh (from anywhere; builds into build-win32/ and
# build-win64/ beside build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
here=$root/tests/windows
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

missing=()
for tool in i686-w64-mingw32-g++ i686-w64-mingw32-windres i686-w64-mingw32-objdump x86_64-w64-mingw32-g++; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
[ -x "$wine" ] || missing+=("$wine")
if [ ${#missing[@]} -gt 0 ]; then
  echo "Windows checks skipped: the cross compiler or wine is not installed (${missing[*]})"
  exit 0
fi

for target in i686:win32 x86_64:win64; do
  "$root/scripts/build.sh" "$root/build-${target#*:}" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-${target%:*}.cmake"
done

echo "-- The 32-bit Ortheo.api"
/usr/bin/python3 "$here/check_pe32.py" i686-w64-mingw32-objdump "$root/build-win32/bin/Ortheo.api"

echo "-- The 64-bit build, loaded by the test host under wine"
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
cleanUp() {
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanUp EXIT
# Making the prefix says a few harmless things of its own.
"$wine" wineboot --init >/dev/null 2>&1 || {
  echo "FAILED: wine could not make its prefix"
  exit 1
}
status=0
(cd "$root/build-win64/bin" && ORTHEO_LOG_ERRORS=1 "$wine" test_host.exe Ortheo.api) \
  >"$work/run.txt" 2>&1 </dev/null || status=$?
tr -d '\r' <"$work/run.txt"
if [ "$status" -ne 0 ]; then
  echo "FAILED: the test host ended with status $status"
  exit 1
fi
tr -d '\r' <"$work/run.txt" | diff -u "$here/expected_run.txt" - || {
  echo "FAILED: the run differs from tests/windows/expected_run.txt (above)"
  exit 1
}
