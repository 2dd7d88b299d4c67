#!/usr/bin/env bash
# Runs a command as on a desktop: on an X server of its own (Xvfb, 1600 x 1000)
# that a window manager (openbox) manages, with Qt drawing there. The command
# starts once openbox is up (its start-up command signals the shell), so every
# window it opens is placed, framed and mapped by openbox; its exit code is
# this script's.
#   bash scripts/xvfb-openbox.sh COMMAND [ARG]...
set -euo pipefail
for tool in xvfb-run openbox; do
  command -v "$tool" >/dev/null || { echo "$0: needs $tool (bash scripts/setup.sh --tests installs it)" >&2; exit 127; }
done
# openbox's own notes (no menu file, the server gone at the end) are not the command's.
exec xvfb-run -a -s "-screen 0 1600x1000x24" \
  sh -c 'trap "exec env QT_QPA_PLATFORM=xcb \"\$@\"" USR1; openbox --sm-disable --startup "kill -USR1 $$" >/dev/null 2>&1 & wait' \
  sh "$@"
