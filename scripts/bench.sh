#!/usr/bin/env bash
# Builds and runs the benchmarks; prints medians over nine repetitions.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh libbenchmark-dev
bash scripts/build.sh --target kerfmate_bench
./build/bin/kerfmate_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true "$@"
