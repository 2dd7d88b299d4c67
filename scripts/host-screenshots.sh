#!/usr/bin/env bash
# The README's pictures of the kerfmate-host window with a box and a gear pair
# placed, taken by the program itself on an Xvfb display, on the built-in
# defaults (a fresh config folder).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh xvfb xauth
bash scripts/build.sh --target kerfmate-host
for lang in en de zh; do
  config=$(mktemp -d)
  XDG_CONFIG_HOME="$config" xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb \
    ./build/bin/kerfmate-host --window --lang "$lang" --accept --generator 0 --generator 2 \
    --screenshot "docs/host-window-$lang.png"
  rm -rf "$config"
done
