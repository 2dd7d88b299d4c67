#!/usr/bin/env bash
# Makes the benchmark's mixed set (three 100 x 80 x 60 mm boxes, a rounded
# box, eight gear pairs, one with a 50 mm bore, and five badges) COPIES times
# over into one sheet file, by headless runs of kerfmate-host, unnested:
#   bash scripts/mixed-set.sh HOST SHEET [COPIES]
# XDG_CONFIG_HOME should point at a scratch folder: each run saves its settings.
set -euo pipefail
host=$1 sheet=$2 copies=${3:-1}
rm -f "$sheet"
add() { # generator, then --set values
  local generator=$1; shift
  local open=()
  [ -f "$sheet" ] && open=(--open "$sheet")
  local sets=()
  for value in "$@"; do sets+=(--set "$value"); done
  local said # what the engine adjusted is said on every run: shown only when a run fails
  if ! said=$("$host" "${open[@]}" --accept --generator "$generator" "${sets[@]}" --save "$sheet" 2>&1 >/dev/null); then
    echo "$said" >&2
    exit 1
  fi
}
box=(length=100 width=80 height=60 length-groove=25 width-groove=20 height-groove=15 thickness=3 kerf=0.1)
modules=(1 2 1 2 1 2 1)
for ((copy = 0; copy < copies; ++copy)); do
  for _ in 1 2 3; do add 0 "${box[@]}"; done
  add 1 length=100 width=80 height=60 thickness=3 kerf=0.1
  add 2 module=2 teeth1=10 bore1=3 teeth2=40 bore2=50
  for i in 0 1 2 3 4 5 6; do
    add 2 module=${modules[$i]} teeth1=$((12 + 2 * i)) bore1=3 teeth2=$((20 + 3 * i)) bore2=3
  done
  for badge in 60:45 50:37.5 48:36 40:30 40:30; do
    add 3 diameter=${badge%:*} inner=${badge#*:}
  done
done
