#!/usr/bin/env bash
# Builds and runs every test, headless.
set -euo pipefail
cd "$(dirname "$0")/.."
# fonts-lyx brings TeX symbol faces that an unnamed font falls on; the
# engine test proves that face labels never come from one.
bash scripts/setup.sh fonts-lyx
bash scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 600
