#!/usr/bin/env bash
# cmake --install into a fresh prefix gives exactly the files an
# installation holds, and an ortheo that finds its plug-in relative to its
# own folder: with no --plugin, after the prefix is moved, and through a
# symbolic link; --plugin still overrides. The installed ortheo writes the
# same report as the build tree's, and man finds the page under the prefix.
#
# Usage: install_test.sh BUILD_DIR PLUGIN_INSTALL_DIR SAMPLE_PDF
set -euo pipefail
build=$1
pluginDir=$2
sample=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*"
  exit 1
}

cmake --install "$build" --prefix "$work/prefix" >/dev/null
expected=$(printf '%s\n' bin/ortheo "$pluginDir/Ortheo.api" share/man/man1/ortheo.1.gz \
  share/doc/ortheo/README.md share/doc/ortheo/LICENSE share/doc/ortheo/copyright share/doc/ortheo/changelog.gz | sort)
installed=$(cd "$work/prefix" && find . -type f -printf '%P\n' | sort)
[ "$installed" = "$expected" ] || fail "the prefix holds"$'\n'"$installed"$'\n'"instead of"$'\n'"$expected"

# Reports on one input in a folder of their own, by the build tree's ortheo
# and the installed one.
mkdir "$work/built" "$work/run"
cp "$sample" "$work/built/sample.pdf"
cp "$sample" "$work/run/sample.pdf"
(cd "$work/built" && "$build/bin/ortheo" report sample.pdf >/dev/null 2>&1)
mv "$work/prefix" "$work/moved"
out=$(cd "$work/run" && "$work/moved/bin/ortheo" report sample.pdf 2>/dev/null) ||
  fail "the installed ortheo ended with status $?"
[ "$out" = "Report: sample-fonts.pdf" ] || fail "the installed ortheo said: $out"
cmp -s "$work/built/sample-fonts.pdf" "$work/run/sample-fonts.pdf" ||
  fail "the installed ortheo's report differs from the build tree's"

mkdir "$work/links"
ln -s "$work/moved/bin/ortheo" "$work/links/ortheo"
loaded=$("$work/links/ortheo" plugin-info | head -n 1)
[ "$loaded" = "Plug-in: $work/moved/$pluginDir/Ortheo.api" ] || fail "through a link: $loaded"
loaded=$("$work/links/ortheo" plugin-info --plugin "$build/bin/Ortheo.api" | head -n 1)
[ "$loaded" = "Plug-in: $build/bin/Ortheo.api" ] || fail "with --plugin: $loaded"

page=$(MANPATH="$work/moved/share/man" man -w ortheo)
[ "$page" = "$work/moved/share/man/man1/ortheo.1.gz" ] || fail "man finds $page"
echo "installed $(echo "$installed" | wc -l) files; the installed ortheo found its plug-in and wrote the same report"
