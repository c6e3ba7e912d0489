#!/usr/bin/env bash
# Installs the Debian packages that Ortheo needs to build and test, and only
# those that are missing, so a second run costs nothing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config binutils
  libqpdf-dev libfreetype-dev zlib1g-dev libdeflate-dev libcli11-dev
  libjemalloc-dev libgtest-dev libbenchmark-dev valgrind
  qpdf poppler-utils mupdf-tools python3-pdfminer
  ghostscript python3 python3-cairo fonts-ipafont-gothic
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 wine32:i386 python3-pefile
)

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
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
