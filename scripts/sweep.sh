#!/usr/bin/env bash
# Sweeps every generator's dialog ranges through kerfmate-host, as a maker
# types them: each field at both ends, all at once at either end, settings
# makers met trouble with, and 200 random settings per generator (--count N).
# Every setting the dialog takes must cut a part that keeps the engine's
# promises (checked on the SVG written) or be refused with a sentence; the
# counts come last. Exit 0 when all are sound.
#   bash scripts/sweep.sh [--count N] [--seed S] [--generator G]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh --target kerfmate_sweep
./build/bin/kerfmate_sweep "$@"
