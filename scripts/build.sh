#!/usr/bin/env bash
# Configures and builds into build/ or another folder:
#   bash scripts/build.sh [FOLDER] [-DCMAKE_...=...]... [--target NAME]...
set -euo pipefail
cd "$(dirname "$0")/.."
folder=build
configure=()
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --target) targets+=(--target "$2"); shift ;;
    -D*) configure+=("$1") ;;
    *) folder=$1 ;;
  esac
  shift
done
cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${configure[@]}" >/dev/null
cmake --build "$folder" -j"$(nproc)" "${targets[@]}"
