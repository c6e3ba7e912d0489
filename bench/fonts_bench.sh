#!/usr/bin/env bash
# Times `ortheo fonts` beside mutool and pdffonts on real documents: groff
# output of installed man pages, made into PDF by Ghostscript, of about 100
# and 931 pages, and over 2,000 (three copies of the 931, a favourable case:
# the copies share their content, which is walked once). Prints the CPU time (user + sys, median of 5) of
#   ortheo fonts --no-codes  against  mutool info -F   (target: at most 1.5 times)
#   ortheo fonts             against  pdffonts         (target: at most half)
# and the two ratios.
#
# Usage: bench/fonts_bench.sh ORTHEO [FOLDER]   (FOLDER keeps the documents; default build/bench-fonts)
set -euo pipefail
ortheo=$1
folder=${2:-build/bench-fonts}
mkdir -p "$folder"

# A document of the first N man pages of section 1, in name order.
make_document() {
  local pages=$1 out=$2
  [ -s "$out" ] && return
  # head ends the listing early: the pipeline's first commands may die of SIGPIPE.
  set +o pipefail
  find /usr/share/man/man1 -name '*.1.gz' | LC_ALL=C sort | head -n "$pages" | xargs zcat 2>/dev/null |
    groff -man -Tps 2>/dev/null | ps2pdf - "$out"
  set -o pipefail
}

# The median CPU time of five runs, in seconds.
cpu_time() {
  local times=() measured
  measured=$(mktemp)
  for _ in 1 2 3 4 5; do
    /usr/bin/time -f '%U %S' -o "$measured" "$@" >/dev/null 2>&1 || true
    times+=("$(awk '{print $1 + $2}' "$measured")")
  done
  rm -f "$measured"
  printf '%s\n' "${times[@]}" | sort -n | sed -n 3p
}

make_document 18 "$folder/man-100.pdf"
make_document 400 "$folder/man-900.pdf"
# Ghostscript's output of more man pages at once stops near 900 pages; three
# copies of it, joined by qpdf, make the long document.
[ -s "$folder/man-2000.pdf" ] ||
  qpdf --empty --pages "$folder/man-900.pdf" "$folder/man-900.pdf" "$folder/man-900.pdf" -- "$folder/man-2000.pdf"
printf '%-14s %6s %14s %10s %6s %8s %10s %6s\n' document pages "fonts --no-codes" "mutool -F" ratio fonts pdffonts ratio
for document in "$folder/man-100.pdf" "$folder/man-900.pdf" "$folder/man-2000.pdf"; do
  pages=$(pdfinfo "$document" | awk '/^Pages:/ {print $2}')
  listing=$(cpu_time "$ortheo" fonts --no-codes "$document")
  mutool=$(cpu_time mutool info -F "$document")
  codes=$(cpu_time "$ortheo" fonts "$document")
  pdffonts=$(cpu_time pdffonts "$document")
  awk -v d="$(basename "$document")" -v p="$pages" -v l="$listing" -v m="$mutool" -v c="$codes" -v f="$pdffonts" 'BEGIN {
    printf "%-14s %6d %14.2f s %8.2f s %6.2f %6.2f s %8.2f s %6.2f\n", d, p, l, m, l / m, c, f, c / f }'
done
