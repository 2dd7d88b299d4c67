#!/usr/bin/env bash
# Runs a desktop entry's command as the menu does, on a desktop of its own
# (scripts/xvfb-openbox.sh), and passes once kerfmate-host's window shows.
#   bash tests/install/menu-entry.sh FILE.desktop [PROGRAM_FOLDER]
set -euo pipefail
command=$(sed -n 's/^Exec=//p' "$1")
folder=${2:-/usr/bin}
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
bash "$(dirname "$0")/../../scripts/xvfb-openbox.sh" env PATH="$folder:/usr/bin:/bin" XDG_CONFIG_HOME="$runtime" \
  XDG_RUNTIME_DIR="$runtime" \
  bash -c '$1 & pid=$!; timeout 120 xdotool search --sync --onlyvisible --name " - Kerfmate$" >/dev/null & seen=$!
           wait -n; kill -0 $pid 2>/dev/null || exit 1; wait $seen; up=$?; kill $pid; exit $up' _ "$command" ||
  { echo "'$command' from $1 opened no window" >&2; exit 1; }
