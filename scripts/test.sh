#!/usr/bin/env bash
# Builds and runs every test, headless; the arguments go to scripts/build.sh
# (another folder, other compiler flags).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --tests
bash scripts/build.sh "$@"
folder=build
for arg in "$@"; do
  case "$arg" in -*) ;; *) folder=$arg ;; esac
done
cd "$folder"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 900
