#!/usr/bin/env bash
# The main job: kerfmate-host, headless, on the built-in defaults; confirms
# the dialog and writes out/kerfmate.svg (and .dxf).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
mkdir -p out
./build/bin/kerfmate-host --accept --out out/kerfmate.svg --dxf out/kerfmate.dxf "$@"
