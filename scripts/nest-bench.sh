#!/usr/bin/env bash
# Nests the public strip-packing instances in ../shared/nesting (or FOLDER) in
# strip mode with the default budget; prints density, its ratio to the best
# known and the time, medians over the runs:
#   bash scripts/nest-bench.sh [FOLDER] [--runs N] [--time SECONDS] [--only NAME]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh --target kerfmate_nest_instances
./build/bin/kerfmate_nest_instances "$@"
