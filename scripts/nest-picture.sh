#!/usr/bin/env bash
# The README's picture of a nested sheet, from kerfmate-host's own export:
# the benchmark's mixed set (scripts/mixed-set.sh) nested onto a 600 x 400
# mm board (margin 5 mm, spacing 2 mm), written as a PDF and drawn by pdftoppm.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh poppler-utils
bash scripts/build.sh --target kerfmate-host
host=$PWD/build/bin/kerfmate-host
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
sheet="$work/mixed.kerfmate"
bash scripts/mixed-set.sh "$host" "$sheet"
"$host" --open "$sheet" --sheet 600x400 --margin 5 --spacing 2 --nest --out "$work/nested.pdf"
pdftoppm -png -singlefile -scale-to 1200 "$work/nested.pdf" docs/nested-sheet
