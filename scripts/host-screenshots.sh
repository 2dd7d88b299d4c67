#!/usr/bin/env bash
# The README's pictures, as the screen shows them under a window manager
# (scripts/xvfb-openbox.sh), on the built-in defaults (a fresh config folder):
# the dialog as it opens, and the kerfmate-host window with a box and a gear
# pair placed, each in English, German and Chinese.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh xvfb xauth openbox
bash scripts/build.sh --target kerfmate-host
host=./build/bin/kerfmate-host
for lang in en de zh; do
  config=$(mktemp -d)
  # Closed once the picture is taken: a cancelled run, exit code 1.
  XDG_CONFIG_HOME="$config" bash scripts/xvfb-openbox.sh "$host" --lang "$lang" \
    --screenshot "docs/dialog-$lang.png" || [ $? -eq 1 ]
  rm -rf "$config"
  config=$(mktemp -d)
  XDG_CONFIG_HOME="$config" bash scripts/xvfb-openbox.sh "$host" --window --lang "$lang" --accept \
    --generator 0 --generator 2 --screenshot "docs/host-window-$lang.png"
  rm -rf "$config"
done
