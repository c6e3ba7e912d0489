#!/usr/bin/env bash
# Times `ortheo report` side by side with tools that only list fonts
# (`mutool info -F`, `pdffonts`) and with `qpdf --show-pages`, the floor of
# the PDF reader ortheo stands on, on generated documents shaped like real
# files (balanced page trees, object streams; see make_fonts_document.py):
# 1,000, 10,000 and 50,000 pages with 100 fonts, and 1,000 pages with 1,000
# fonts that each have a ToUnicode CMap (about 2,000 report pages). Prints,
# per document, the CPU time (user + sys, median of the runs) and the peak
# memory of each tool, ortheo's ratios to the others, and the targets.
#
#   bench/report_bench.sh [BUILD_DIR]
#
# RUNS=N sets the runs per tool (5); the 50,000-page document gets
# LARGE_RUNS (3). FLAT=1 adds the 1,000-page document with a flat page tree,
# which no producer writes and which is slow for mutool.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${RUNS:-5}
large_runs=${LARGE_RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_document() { python3 "$root/bench/make_fonts_document.py" "$@"; }

# Prints "SECONDS KILOBYTES": the median CPU time (user + sys) of N runs
# and the largest peak, or "fail 0" when the command fails.
measure() {
  local n=$1 times=() peak=0 cpu kilobytes
  shift
  for _ in $(seq "$n"); do
    if ! /usr/bin/time -f "%U %S %M" -o "$work/time" "$@" >/dev/null 2>"$work/stderr"; then
      echo "fail 0"
      return
    fi
    read -r cpu kilobytes < <(awk '{ printf "%.3f %d\n", $1 + $2, $3 }' "$work/time")
    times+=("$cpu")
    [ "$kilobytes" -gt "$peak" ] && peak=$kilobytes
  done
  echo "$(printf '%s\n' "${times[@]}" | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }') $peak"
}

megabytes() { awk -v k="$1" 'BEGIN { printf "%.0f", k / 1024 }'; }
ratio() { if [ "$1" = fail ] || [ "$2" = fail ]; then echo "-"; else awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; fi; }
verdict() { if awk "BEGIN { exit !($2) }"; then echo "  met:    $1"; else echo "  missed: $1"; fi; }

# One document: its line of the table, then its targets.
bench() {
  local name=$1 n=$2 pdf=$3 target=$4
  read -r ortheo_s ortheo_kb < <(measure "$n" "$build/bin/ortheo" report "$pdf" -o "$work/report.pdf")
  read -r mutool_s mutool_kb < <(measure "$n" mutool info -F "$pdf")
  read -r pdffonts_s pdffonts_kb < <(measure "$n" pdffonts "$pdf")
  read -r qpdf_s qpdf_kb < <(measure "$n" qpdf --show-pages "$pdf")
  local report_pages="-"
  [ "$ortheo_s" != fail ] && report_pages=$(pdfinfo "$work/report.pdf" | awk '/^Pages:/ { print $2 }')
  printf '%-24s %7s %7s %7s %7s %8s %8s %8s %6s %6s %6s %6s %7s\n' "$name" "$ortheo_s" "$mutool_s" "$pdffonts_s" \
    "$qpdf_s" "$(ratio "$ortheo_s" "$mutool_s")" "$(ratio "$ortheo_s" "$pdffonts_s")" "$(ratio "$ortheo_s" "$qpdf_s")" \
    "$(megabytes "$ortheo_kb")" "$(megabytes "$mutool_kb")" "$(megabytes "$pdffonts_kb")" "$(megabytes "$qpdf_kb")" \
    "$report_pages"
  [ "$ortheo_s" = fail ] && { echo "  missed: completes ($(head -c 200 "$work/stderr"))"; return; }
  case $target in
    small) verdict "at most 0.10 s" "$ortheo_s <= 0.10" ;;
    medium) verdict "at most 1.5 times mutool" "$ortheo_s <= 1.5 * $mutool_s"
            verdict "at most 200 MB" "$ortheo_kb <= 200 * 1024" ;;
    large) verdict "completes, faster than mutool" "$ortheo_s < $mutool_s"
           verdict "at most 600 MB" "$ortheo_kb <= 600 * 1024" ;;
    fonts) verdict "at most 0.5 s" "$ortheo_s <= 0.5"
           verdict "at most 150 MB" "$ortheo_kb <= 150 * 1024" ;;
  esac
}

make_document "$work/1k.pdf" 1000
make_document "$work/10k.pdf" 10000
make_document "$work/50k.pdf" 50000
make_document "$work/fonts.pdf" 1000 --fonts 1000 --tounicode-all
[ "${FLAT:-0}" = 1 ] && make_document "$work/1k-flat.pdf" 1000 --flat --classic-xref

echo "CPU seconds (user + sys), median of $runs runs ($large_runs for 50,000 pages); peak memory in MB"
printf '%-24s %7s %7s %7s %7s %8s %8s %8s %6s %6s %6s %6s %7s\n' document ortheo mutool pdffonts qpdf \
  "/mutool" "/pdffnts" "/qpdf" "MB" "MB mu" "MB pf" "MB qp" "report"
bench "1,000 pages" "$runs" "$work/1k.pdf" small
bench "10,000 pages" "$runs" "$work/10k.pdf" medium
bench "50,000 pages" "$large_runs" "$work/50k.pdf" large
bench "1,000 fonts" "$runs" "$work/fonts.pdf" fonts
if [ "${FLAT:-0}" = 1 ]; then bench "1,000 pages, flat tree" "$runs" "$work/1k-flat.pdf" none; fi
