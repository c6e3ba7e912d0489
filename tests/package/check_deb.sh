#!/usr/bin/env bash
# Makes the Debian package of a build (cpack -G DEB in its folder), holds it
# to lintian (no errors), installs it with apt-get, writes the report of
# samples/sample.pdf with the installed /usr/bin/ortheo, reads its manual
# page with man, and removes the package, checking that nothing of it is
# left behind. It needs root (or sudo) and changes the system while it runs,
# so ./test.sh runs it rather than ctest; the package is removed even when a
# step fails.
#
# Usage: tests/package/check_deb.sh [BUILD_DIR]   (default: build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=600)
fail() {
  echo "FAILED: $*"
  exit 1
}
known() { dpkg-query -W ortheo >/dev/null 2>&1; }

known && fail "a package ortheo is on this system already; remove it first (apt-get purge ortheo)"

work=$(mktemp -d)
chmod 755 "$work"  # apt reads the package as its own user
cleanUp() {
  if known; then
    "${apt[@]}" purge ortheo >/dev/null || echo "FAILED: the package ortheo could not be removed"
  fi
  rm -rf "$work"
}
trap cleanUp EXIT
trap 'exit 130' INT TERM  # through the EXIT trap

echo "-- cpack -G DEB"
rm -f "$build"/ortheo_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.txt" 2>&1) || { cat "$work/cpack.txt"; fail "cpack failed"; }
debs=("$build"/ortheo_*_"$(dpkg --print-architecture)".deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no ortheo_VERSION_ARCH.deb"
deb=$work/$(basename "${debs[0]}")
cp "${debs[0]}" "$deb"
echo "$(basename "$deb"), depending on: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -f "$deb" Depends | grep -q libqpdf || fail "the package's dependencies leave out qpdf's library"

echo "-- lintian"
status=0
lintian --fail-on error --display-info "$deb" >"$work/lintian.txt" 2>&1 || status=$?
grep -v '^running with root privileges' "$work/lintian.txt" || true
[ "$status" -eq 0 ] || fail "lintian found errors (status $status)"

echo "-- Installed with apt-get"
"${apt[@]}" install "$deb" >"$work/apt.txt" 2>&1 || { cat "$work/apt.txt"; fail "apt-get install failed"; }
mapfile -t files < <(dpkg -L ortheo)
cp "$root/samples/sample.pdf" "$work/sample.pdf"
(cd "$work" && /usr/bin/ortheo report sample.pdf >/dev/null 2>&1) || fail "/usr/bin/ortheo report ended with status $?"
"$build/bin/ortheo" report "$work/sample.pdf" -o "$work/built.pdf" >/dev/null 2>&1
cmp -s "$work/built.pdf" "$work/sample-fonts.pdf" || fail "the installed ortheo's report differs from the build's"
echo "/usr/bin/ortheo wrote the report of samples/sample.pdf ($(pdfinfo "$work/sample-fonts.pdf" | awk '/^Pages:/ { print $2 }') pages), as the build does"
if grep -qrs 'path-exclude.*/usr/share/man' /etc/dpkg/dpkg.cfg.d/; then
  echo "man ortheo not tried: dpkg leaves manual pages out on this system"
else
  man ortheo 2>&1 | grep -q 'ortheo - write a PDF report on the fonts of a PDF document' ||
    fail "man ortheo does not show the manual page"
  echo "man ortheo shows the manual page"
fi

echo "-- Removed with apt-get purge"
"${apt[@]}" purge ortheo >"$work/apt.txt" 2>&1 || { cat "$work/apt.txt"; fail "apt-get purge failed"; }
known && fail "dpkg still knows the package ortheo"
left=()
for file in "${files[@]}"; do
  # Folders such as /usr/bin belong to other packages too; ours must go.
  if [ -d "$file" ] && [ "$file" != "${file%/ortheo}" ]; then
    [ -e "$file" ] && left+=("$file")
  elif [ ! -d "$file" ] && [ -e "$file" ]; then
    left+=("$file")
  fi
done
[ ${#left[@]} -eq 0 ] || fail "removing the package left ${left[*]}"
echo "nothing of the package's ${#files[@]} files and folders is left"
