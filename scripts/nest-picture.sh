#!/usr/bin/env bash
# The README's picture of a nested sheet, from kerfmate-host's own export:
# the benchmark's mixed set (three 100 x 80 x 60 mm boxes, a rounded box,
# eight gear pairs, one with a 50 mm bore, and five badges) made by headless
# runs into one sheet file, nested onto a 600 x 400 mm board (margin 5 mm,
# spacing 2 mm), written as a PDF and drawn by pdftoppm.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh poppler-utils
bash scripts/build.sh --target kerfmate-host
host=$PWD/build/bin/kerfmate-host
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
sheet="$work/mixed.kerfmate"
add() { # generator, then --set values
  local generator=$1; shift
  local open=()
  [ -f "$sheet" ] && open=(--open "$sheet")
  local sets=()
  for value in "$@"; do sets+=(--set "$value"); done
  "$host" "${open[@]}" --accept --generator "$generator" "${sets[@]}" --save "$sheet" >/dev/null
}
box=(length=100 width=80 height=60 length-groove=25 width-groove=20 height-groove=15 thickness=3 kerf=0.1)
for _ in 1 2 3; do add 0 "${box[@]}"; done
add 1 length=100 width=80 height=60 thickness=3 kerf=0.1
add 2 module=2 teeth1=10 bore1=3 teeth2=40 bore2=50
modules=(1 2 1 2 1 2 1)
for i in 0 1 2 3 4 5 6; do
  add 2 module=${modules[$i]} teeth1=$((12 + 2 * i)) bore1=3 teeth2=$((20 + 3 * i)) bore2=3
done
for badge in 60:45 50:37.5 48:36 40:30 40:30; do
  add 3 diameter=${badge%:*} inner=${badge#*:}
done
"$host" --open "$sheet" --sheet 600x400 --margin 5 --spacing 2 --nest --out "$work/nested.pdf"
pdftoppm -png -singlefile -scale-to 1200 "$work/nested.pdf" docs/nested-sheet
