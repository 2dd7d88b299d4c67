#!/usr/bin/env bash
# Builds and runs every test, headless.
set -euo pipefail
cd "$(dirname "$0")/.."
# xvfb (with xauth) gives the window test a real X server; python3-ezdxf reads the
# host's DXF back in the host test; fonts-lyx brings the TeX symbol faces an
# unnamed font falls on, and the engine test proves face labels never use one.
bash scripts/setup.sh xvfb xauth python3-ezdxf fonts-lyx
bash scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 600
