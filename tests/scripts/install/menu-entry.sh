#!/usr/bin/env bash
# Runs a desktop entry's command as the menu does, on a desktop of its own
# (scripts/xvfb-openbox.sh), and passes once kerfmate-host's window shows.
#   bash tests/scripts/install/menu-entry.sh FILE.desktop [PROGRAM_FOLDER]
set -euo pipefail
command=$(sed -n 's/^Exec=//p' "$1")
folder=${2:-/usr/bin}
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
# The window manager announces each window it lists or activates: the
# windows are looked at then, so the pass comes with the window, not on a
# poll (a quiet second gets one more look, should an announcement come
# before the window is viewable). The command starts once xprop listens.
bash "$(dirname "$0")/../../../scripts/xvfb-openbox.sh" env PATH="$folder:/usr/bin:/bin" XDG_CONFIG_HOME="$runtime" \
  XDG_RUNTIME_DIR="$runtime" \
  bash -c 'exec 3< <(exec xprop -root -spy _NET_ACTIVE_WINDOW _NET_CLIENT_LIST_STACKING 2>/dev/null); spy=$!
           read -r -u 3 _
           ( while { read -r -t 1 -u 3 _ || [ $? -gt 128 ]; } && [ $SECONDS -lt 120 ]; do
               xdotool search --onlyvisible --name " - Kerfmate$" >/dev/null && exit 0
             done; exit 1 ) & seen=$!
           $1 & pid=$!
           wait -n $pid $seen; kill -0 $pid 2>/dev/null || exit 1; wait $seen; up=$?; kill $pid $spy; exit $up' _ "$command" ||
  { echo "'$command' from $1 opened no window" >&2; exit 1; }
