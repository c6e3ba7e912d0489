#!/usr/bin/env bash
# The manual page renders without a warning, and names every subcommand and
# option that `ortheo --help` and each subcommand's --help list, and the
# version, so the two cannot drift apart.
#
# Usage: man_page_test.sh ORTHEO MAN_PAGE
set -euo pipefail
ortheo=$1
page=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Plain ASCII on lines too long to break, with no hyphenation, so every
# name stands whole.
groff -man -ww -Tascii -P-cbou -rLL=1000n -rHY=0 "$page" >"$work/page.txt" 2>"$work/warnings.txt"
man -l "$page" >/dev/null 2>>"$work/warnings.txt"
if [ -s "$work/warnings.txt" ]; then
  echo "FAILED: $page renders with warnings:"
  cat "$work/warnings.txt"
  exit 1
fi

# The words of the option lines of a --help text ("  -o,--output TEXT  ..."),
# split at commas.
options() {
  sed -n 's/^  \(-[^ ]*\).*/\1/p' | tr ',' '\n'
}
subcommands=$("$ortheo" --help | sed -n '/^Subcommands:/,/^$/s/^  \([a-z][-a-z]*\) .*/\1/p')
[ -n "$subcommands" ] || { echo "FAILED: ortheo --help lists no subcommands"; exit 1; }
names=$( {
  "$ortheo" --help | options
  for subcommand in $subcommands; do
    echo "$subcommand"
    "$ortheo" "$subcommand" --help | options
  done
} | sort -u)

missing=()
for name in $names; do
  grep -qE -- "(^|[^-[:alnum:]])$name([^-[:alnum:]]|$)" "$work/page.txt" || missing+=("$name")
done
version=$("$ortheo" --version | awk '{ print $NF }')
grep -qF "Ortheo $version" "$work/page.txt" || missing+=("the version, Ortheo $version")
if [ ${#missing[@]} -gt 0 ]; then
  echo "FAILED: $page does not name: ${missing[*]}"
  exit 1
fi
echo "$(echo "$names" | wc -l) subcommands and options, all in $page"
