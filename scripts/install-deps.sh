#!/usr/bin/env bash
# Installs the Debian packages of one set, and only those that are missing,
# so a second run costs nothing.
#
#   scripts/install-deps.sh [--for run|test]
#
# run:  what building and running ortheo needs (./run.sh);
# test: that and what the tests, fuzzers, benchmarks, the Windows build and
#       the Debian package need (./test.sh); the default.
set -euo pipefail

run_packages=(
  cmake ninja-build g++ pkg-config
  libqpdf-dev libfreetype-dev zlib1g-dev libdeflate-dev libcli11-dev libjemalloc-dev nlohmann-json3-dev
  ghostscript python3
)
test_packages=(
  clang libclang-rt-14-dev binutils libgtest-dev libbenchmark-dev valgrind
  qpdf poppler-utils mupdf-tools python3-pdfminer python3-cairo fonts-ipafont-gothic
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 wine32:i386 python3-pefile
  dpkg-dev file lintian groff-base man-db
)

set_name=test
if [ $# -gt 0 ]; then
  if [ $# -ne 2 ] || [ "$1" != --for ] || { [ "$2" != run ] && [ "$2" != test ]; }; then
    echo "usage: $0 [--for run|test]" >&2
    exit 2
  fi
  set_name=$2
fi
packages=("${run_packages[@]}")
[ "$set_name" = run ] || packages+=("${test_packages[@]}")

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
# 32-bit wine comes from the i386 architecture, which must be known before
# the package lists are fetched.
if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386
fi
# A mirror in the middle of a sync fails one index now and then: tried
# three times, then the lists that did arrive are used.
updated=no
for attempt in 1 2 3; do
  if "${as_root[@]}" apt-get update -qq; then
    updated=yes
    break
  fi
  sleep $((attempt * 5))
done
[ "$updated" = yes ] || echo "install-deps: some package lists could not be fetched; going on with the others" >&2

install() {
  # Waits for another apt to finish rather than failing on its lock.
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "$@"
}
native=()
foreign=()
for package in "${missing[@]}"; do
  if [[ $package == *:i386 ]]; then foreign+=("$package"); else native+=("$package"); fi
done
[ ${#native[@]} -eq 0 ] || install "${native[@]}"
# 32-bit wine needs i386 libraries of exactly the versions of the amd64 ones;
# while a mirror lags behind for i386 that cannot be met, and only the
# 32-bit wine run, which tests/windows/check.sh skips without it, is lost.
if [ ${#foreign[@]} -gt 0 ] && ! install "${foreign[@]}"; then
  echo "install-deps: could not install ${foreign[*]}; the 32-bit wine checks will be skipped" >&2
fi
