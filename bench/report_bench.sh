#!/usr/bin/env bash
# Times `ortheo report` side by side with two tools that only list fonts,
# `mutool info -F` and `pdffonts`, on a generated 1000-page document with 100
# fonts (some in form XObjects, one with a CJK-sized ToUnicode CMap), and
# checks the targets: at most 3 times mutool's time, less than pdffonts',
# and a peak memory under 300 MB.
#
#   bench/report_bench.sh [BUILD_DIR]     (RUNS=N sets the runs per tool; best counts)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${RUNS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$root/bench/make_fonts_document.py" "$work/fonts.pdf" 1000

# Prints "SECONDS KILOBYTES": the best wall time of the runs, in
# milliseconds' precision, and the largest peak.
measure() {
  local best="" peak=0 start seconds kilobytes
  for _ in $(seq "$runs"); do
    start=$EPOCHREALTIME
    /usr/bin/time -f "%M" -o "$work/time" "$@" >/dev/null 2>&1
    seconds=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }')
    read -r kilobytes < "$work/time"
    if [ -z "$best" ] || awk -v a="$seconds" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$seconds; fi
    [ "$kilobytes" -gt "$peak" ] && peak=$kilobytes
  done
  echo "$best $peak"
}

read -r ortheo_s ortheo_kb < <(measure "$build/bin/ortheo" report "$work/fonts.pdf" -o "$work/report.pdf")
read -r mutool_s mutool_kb < <(measure mutool info -F "$work/fonts.pdf")
read -r pdffonts_s pdffonts_kb < <(measure pdffonts "$work/fonts.pdf")

printf '%-16s %8s %10s\n' tool seconds "peak MB"
printf '%-16s %8.3f %10.1f\n' "ortheo report" "$ortheo_s" "$(awk -v k="$ortheo_kb" 'BEGIN { print k / 1024 }')"
printf '%-16s %8.3f %10.1f\n' "mutool info -F" "$mutool_s" "$(awk -v k="$mutool_kb" 'BEGIN { print k / 1024 }')"
printf '%-16s %8.3f %10.1f\n' "pdffonts" "$pdffonts_s" "$(awk -v k="$pdffonts_kb" 'BEGIN { print k / 1024 }')"
echo "report: $(pdfinfo "$work/report.pdf" | awk '/^Pages:/ { print $2 }') pages"

verdict() { if awk "BEGIN { exit !($2) }"; then echo "met:    $1"; else echo "missed: $1"; fi; }
verdict "at most 3 times mutool's time" "$ortheo_s <= 3 * $mutool_s"
verdict "less than pdffonts' time" "$ortheo_s < $pdffonts_s"
verdict "peak memory under 300 MB" "$ortheo_kb < 300 * 1024"
