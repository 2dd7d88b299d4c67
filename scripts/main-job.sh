#!/usr/bin/env bash
# The main job: kerfmate-host, headless, on the built-in defaults (a fresh
# config folder, so no saved settings apply); confirms the dialog and
# writes out/kerfmate.svg and out/kerfmate.dxf.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
mkdir -p out
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
XDG_CONFIG_HOME="$config" QT_QPA_PLATFORM=offscreen ./build/bin/kerfmate-host --accept --out out/kerfmate.svg --dxf out/kerfmate.dxf "$@"
