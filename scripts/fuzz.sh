#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour
# checks on) and runs each over its corpus in tests/fuzz/corpus:
#   bash scripts/fuzz.sh          a short run each, as CI does: 20,000 inputs or 30 s
#   bash scripts/fuzz.sh 3600     by hand: an hour each, no input limit
# New inputs go to a scratch folder; copy any that failed into the corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh clang libclang-rt-14-dev
seconds=${1:-30}
runs=20000
[ $# -gt 0 ] && runs=-1
sanitize="-fsanitize=address,undefined -fno-sanitize=vptr -fno-sanitize-recover=undefined"
bash scripts/build.sh build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DKERFMATE_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link $sanitize -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitize" --target fuzz_textfield --target fuzz_engine --target fuzz_settings --target fuzz_inifile --target fuzz_sheet
status=0
for target in textfield engine settings inifile sheet; do
  scratch=$(mktemp -d)
  echo "fuzz_$target: $runs inputs at most, $seconds s"
  if ! QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 ./build-fuzz/bin/fuzz_$target "$scratch" \
      "tests/fuzz/corpus/$target" -runs="$runs" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -malloc_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$scratch/" >"$scratch/log" 2>&1; then
    status=1
    grep -E "ERROR|SUMMARY|Test unit written" "$scratch/log" || tail -20 "$scratch/log"
  fi
  grep -E "stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb" "$scratch/log" | tr '\n' ' '
  echo
done
exit $status
