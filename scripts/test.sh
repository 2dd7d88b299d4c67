#!/usr/bin/env bash
# Builds and runs every test, headless.
set -euo pipefail
cd "$(dirname "$0")/.."
# xvfb (with xauth) gives the window test a real X server; python3-ezdxf reads the
# host's DXF back in the host test.
bash scripts/setup.sh xvfb xauth python3-ezdxf
bash scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 600
