#!/usr/bin/env bash
# Builds Ortheo.api for Windows with mingw-w64 and checks it: the 32-bit file
# as the viewer loads it (check_pe32.py), alone in its install folder; then,
# under 32-bit wine, the same file loaded by the test host (its run must
# match expected_run.txt) and by the conformance host in C
# (tests/conformance/); then the 64-bit build of the same sources, by both
# hosts under wine64. Where the kernel cannot run 32-bit programs (a tiny
# i386 program is tried), or 32-bit wine could not be installed, one line
# says so and the 64-bit checks run alone.
#
# Usage: tests/windows/check.sh (from anywhere; builds into build-win32/ and
# build-win64/ beside build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
here=$root/tests/windows
wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

missing=()
for tool in i686-w64-mingw32-g++ i686-w64-mingw32-gcc i686-w64-mingw32-windres i686-w64-mingw32-objdump \
  x86_64-w64-mingw32-g++ x86_64-w64-mingw32-gcc as ld; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
[ -x "$wine64" ] || missing+=("$wine64")
if [ ${#missing[@]} -gt 0 ]; then
  echo "Windows checks skipped: the cross compiler or wine is not installed (${missing[*]})"
  exit 0
fi

for target in i686:win32 x86_64:win64; do
  "$root/scripts/build.sh" "$root/build-${target#*:}" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-${target%:*}.cmake"
done

work=$(mktemp -d)
export WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
cleanUp() {
  for prefix in "$work"/prefix-*; do
    [ -d "$prefix" ] && WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanUp EXIT

echo "-- The 32-bit Ortheo.api, as cmake --install gives it: alone in its folder"
cmake --install "$root/build-win32" --prefix "$work/installed" >/dev/null
files=$(cd "$work/installed" && find . -mindepth 1 -printf '%P\n')
if [ "$files" != Ortheo.api ]; then
  echo "FAILED: the install folder holds $(echo "$files" | tr '\n' ' ')rather than Ortheo.api alone"
  exit 1
fi
/usr/bin/python3 "$here/check_pe32.py" i686-w64-mingw32-objdump "$work/installed/Ortheo.api"

# Whether the kernel runs 32-bit x86 programs: a static i386 program that
# only exits.
kernelRuns32Bit() {
  printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$work/probe.s"
  as --32 -o "$work/probe.o" "$work/probe.s" && ld -m elf_i386 -o "$work/probe" "$work/probe.o" || {
    echo "FAILED: could not build the i386 probe program"
    exit 1
  }
  "$work/probe" 2>/dev/null
}

# runHosts NAME WINE WINEARCH BUILD: both hosts against BUILD's Ortheo.api
# under WINE, in a prefix of its own.
runHosts() {
  local name=$1 wine=$2 arch=$3 bin=$4/bin status=0
  export WINEPREFIX=$work/prefix-$name WINEARCH=$arch
  # Making the prefix says a few harmless things of its own.
  "$wine" wineboot --init >/dev/null 2>&1 || {
    echo "FAILED: $name wine could not make its prefix"
    exit 1
  }
  echo "-- The $name build, loaded by the test host under $name wine"
  (cd "$bin" && ORTHEO_LOG_ERRORS=1 "$wine" test_host.exe Ortheo.api) >"$work/run.txt" 2>&1 </dev/null || status=$?
  tr -d '\r' <"$work/run.txt"
  if [ "$status" -ne 0 ]; then
    echo "FAILED: the $name test host ended with status $status"
    exit 1
  fi
  tr -d '\r' <"$work/run.txt" | diff -u "$here/expected_run.txt" - || {
    echo "FAILED: the $name run differs from tests/windows/expected_run.txt (above)"
    exit 1
  }
  echo "-- The $name build, loaded by the conformance host under $name wine"
  (cd "$bin" && "$wine" conformance_host.exe Ortheo.api) </dev/null 2>&1 | tr -d '\r' || status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAILED: the $name conformance host found differences (above)"
    exit 1
  fi
}

if ! kernelRuns32Bit; then
  echo "-- 32-bit checks skipped: this kernel cannot run 32-bit programs (an i386 probe did not start);" \
    "the 64-bit checks run alone"
elif [ ! -x "$wine32" ]; then
  # scripts/install-deps.sh installs it where the mirror's i386 packages match the amd64 ones.
  echo "-- 32-bit checks skipped: 32-bit wine is not installed ($wine32); the 64-bit checks run alone"
else
  runHosts 32-bit "$wine32" win32 "$root/build-win32"
fi
runHosts 64-bit "$wine64" win64 "$root/build-win64"
