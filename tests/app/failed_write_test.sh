#!/usr/bin/env bash
# A report that cannot be written completely, past a file size limit, onto
# a full device, into standard output redirected to a file, or onto a full
# filesystem, ends with one line that names the output and the cause and
# status 1, and leaves no partial report, no temporary file, and the file
# that was at the output path as it was.
#
# Usage: failed_write_test.sh ORTHEO INPUT_PDF (its report must exceed 64 KB,
# and its run write nothing else to standard error)
set -euo pipefail
ortheo=$1
input=$2
work=$(mktemp -d)
mounted=
cleanup() {
  [ -z "$mounted" ] || umount "$mounted"
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  exit 1
}
printf 'an earlier report\n' >"$work/before.pdf"

# Runs ortheo with a file size limit of LIMIT KB (or none for "-"), with
# standard output into $work/stdout, and checks its status and its one line.
expectFailure() {
  local limit=$1 cause=$2 named=$3 status=0
  shift 3
  (
    [ "$limit" = - ] || ulimit -f "$limit"
    exec "$ortheo" report "$input" "$@"
  ) >>"$work/stdout" 2>"$work/stderr" || status=$?
  [ "$status" -eq 1 ] || fail "$named: status $status"
  printf 'ortheo: %s: the document could not be written (%s)\n' "$named" "$cause" | cmp -s - "$work/stderr" ||
    fail "$named: standard error was: $(cat "$work/stderr")"
}
# The file at PATH is still the earlier report, and nothing lies beside it.
expectUnchanged() {
  cmp -s "$work/before.pdf" "$1" || fail "$1 changed"
  [ -z "$(compgen -G "$1.part-*")" ] || fail "a temporary file was left beside $1"
}

cp "$work/before.pdf" "$work/out.pdf"
: >"$work/stdout"
expectFailure 64 "File too large" "$work/out.pdf" -o "$work/out.pdf"
expectUnchanged "$work/out.pdf"
[ ! -s "$work/stdout" ] || fail "standard output was written to while the report went to a file"

expectFailure - "No space left on device" /dev/full -o /dev/full

# A report sent to standard output, which the shell redirected to a file,
# is cut back to what the file held before.
cp "$work/before.pdf" "$work/stdout"
expectFailure 64 "File too large" "standard output" -o -
cmp -s "$work/before.pdf" "$work/stdout" || fail "a partial report was left in standard output's file"

if mkdir "$work/small" && mount -t tmpfs -o size=64k tmpfs "$work/small" 2>/dev/null; then
  mounted=$work/small
  cp "$work/before.pdf" "$work/small/out.pdf"
  expectFailure - "No space left on device" "$work/small/out.pdf" -o "$work/small/out.pdf"
  expectUnchanged "$work/small/out.pdf"
  echo "a file size limit, /dev/full, standard output and a full tmpfs: one line each, nothing partial"
else
  echo "a file size limit, /dev/full and standard output: one line each, nothing partial" \
    "(a full filesystem skipped: no tmpfs could be mounted here)"
fi
