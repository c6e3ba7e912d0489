#!/usr/bin/env bash
# A run of ortheo report that SIGINT, SIGTERM or SIGHUP interrupts, in its
# analysis or while it writes the report, ends by that signal (a shell sees
# 128 + its number), leaves no report and no temporary file, and leaves the
# file that was at the output path as it was.
#
# Usage: interruption_test.sh ORTHEO SHARED_FONTS_GENERATOR
set -euo pipefail
set -m  # background runs get signals as a terminal would give them, not ignored
ortheo=$1
generator=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*"
  exit 1
}

# Over a second of analysis and a report of about 18 MB, whose writing
# lasts long enough to be caught.
python3 "$generator" "$work/long.pdf" 6000 100
printf 'an earlier report\n' >"$work/before.pdf"

temporaryFiles() { compgen -G "$work/out.pdf.part-*" || true; }
start() {
  cp "$work/before.pdf" "$work/out.pdf"
  "$ortheo" report "$work/long.pdf" -o "$work/out.pdf" >"$work/stdout" 2>"$work/stderr" &
  pid=$!
}
# Waits for the interrupted run and checks what it left.
checkEndedBy() {
  local signal=$1 where=$2 status=0
  wait "$pid" || status=$?
  [ "$status" -eq $((128 + $(kill -l "$signal"))) ] || fail "SIG$signal $where: status $status"
  cmp -s "$work/before.pdf" "$work/out.pdf" || fail "SIG$signal $where: the file at the output path changed"
  [ -z "$(temporaryFiles)" ] || fail "SIG$signal $where: a temporary file was left: $(temporaryFiles)"
  [ ! -s "$work/stdout" ] && [ ! -s "$work/stderr" ] || fail "SIG$signal $where: it wrote $(cat "$work/stdout" "$work/stderr")"
}

for signal in INT TERM HUP; do
  start
  sleep 0.3
  kill -0 "$pid" 2>/dev/null || fail "the run ended within 0.3 s; the input is too small to interrupt"
  kill -s "$signal" "$pid"
  checkEndedBy "$signal" "in the analysis"
done

# The run is stopped as soon as its temporary file appears, and signalled
# while it is stopped there; a run that renames its report first is tried
# again.
for attempt in 1 2 3 4 5; do
  start
  while kill -0 "$pid" 2>/dev/null && [ -z "$(temporaryFiles)" ]; do :; done
  kill -s STOP "$pid" 2>/dev/null || true
  if [ -n "$(temporaryFiles)" ]; then
    kill -s TERM "$pid"
    kill -s CONT "$pid"
    checkEndedBy TERM "while the report was written"
    echo "interrupted in the analysis by SIGINT, SIGTERM and SIGHUP, and while writing (attempt $attempt): nothing left"
    exit 0
  fi
  kill -s CONT "$pid" 2>/dev/null || true
  wait "$pid" || true
done
fail "the temporary file was never seen in five runs"
