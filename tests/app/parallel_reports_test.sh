#!/usr/bin/env bash
# Reports written in parallel into one folder, as the README's batch command
# writes them, never collide: runs on copies of one input, and runs that all
# write one output, each give the report a single run gives, and leave no
# temporary file behind. Through the batch command's wrapper, a document
# without fonts (status 3) fails nothing, and a broken one does.
#
# Usage: parallel_reports_test.sh ORTHEO SAMPLE_PDF
set -euo pipefail
ortheo=$1
sample=$2
runs=8
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*"
  exit 1
}
export ORTHEO=$ortheo
# The README's batch command, with ortheo given by the test.
batch() {
  find "$1" -name '*.pdf' ! -name '*-fonts.pdf' -print0 |
    xargs -0 -P "$runs" -n 1 sh -c '"$ORTHEO" report "$1" >/dev/null 2>&1; status=$?
      [ "$status" -eq 3 ] && exit 0
      exit "$status"' sh
}
noTemporaryFiles() {
  local left
  left=$(find "$work" -name '*.part-*')
  [ -z "$left" ] || fail "temporary files were left: $left"
}

cp "$sample" "$work/single.pdf"
"$ortheo" report "$work/single.pdf" >/dev/null 2>&1 || fail "a single run ended with status $?"

mkdir "$work/batch"
for run in $(seq "$runs"); do cp "$sample" "$work/batch/copy-$run.pdf"; done
batch "$work/batch" || fail "the batch ended with status $?"
for run in $(seq "$runs"); do
  cmp -s "$work/single-fonts.pdf" "$work/batch/copy-$run-fonts.pdf" || fail "the report of copy $run differs"
done
noTemporaryFiles

seq "$runs" | xargs -P "$runs" -I{} "$ortheo" report "$work/single.pdf" -o "$work/shared.pdf" >/dev/null 2>&1 ||
  fail "a run into one output failed"
cmp -s "$work/single-fonts.pdf" "$work/shared.pdf" || fail "the report that runs into one output left differs"
noTemporaryFiles

mkdir "$work/mixed"
cp "$sample" "$work/mixed/fonts.pdf"
qpdf --empty "$work/mixed/no-fonts.pdf"
batch "$work/mixed" || fail "a document without fonts failed the batch (status $?)"
echo "not a PDF" >"$work/mixed/broken.pdf"
status=0
batch "$work/mixed" || status=$?
[ "$status" -eq 123 ] || fail "a broken document gave the batch status $status, not xargs's 123"
echo "$runs runs on copies and $runs runs into one output gave the single run's report; batch statuses hold"
