#!/usr/bin/env bash
# Makes sample.pdf from sample.tex with pdfTeX (texlive-latex-base). The PDF
# is committed, so ./run.sh needs no TeX; run this to make it again.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SOURCE_DATE_EPOCH=1700000000 FORCE_SOURCE_DATE=1
cp sample.tex "$work/"
(cd "$work" && pdflatex -interaction=batchmode sample.tex > /dev/null)
cp "$work/sample.pdf" sample.pdf
