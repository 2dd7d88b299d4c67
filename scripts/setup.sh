#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing, and
# those named as arguments; --tests adds what the tests need.
set -euo pipefail
# Clipper (libpolyclipping-dev) grows the host's pieces by the spacing before its own nest
# places them.
packages=(g++ cmake make qt6-base-dev qt6-base-dev-tools qt6-5compat-dev qt6-svg-dev libgl-dev qt6-translations-l10n
          fonts-dejavu-core fonts-wqy-zenhei libpolyclipping-dev)
# Clipper also merges the outlines of letters that touch into one; pkg-config finds it.
packages+=(pkg-config)
# help2man writes kerfmate-host's manual page from its --help.
packages+=(help2man)
# dxflib (libdxflib-dev) reads the DXF drawings a maker imports: the library CAD programs such as LibreCAD read DXF with.
packages+=(libdxflib-dev)
for arg in "$@"; do
  if [ "$arg" = --tests ]; then
    # xvfb (with xauth) gives the window test a real X server and openbox
    # manages it, as a desktop does; python3-ezdxf reads the host's DXF back
    # and poppler-utils renders its PDF; fonts-lyx brings the TeX symbol faces
    # an unnamed font falls on, and the engine test proves labels never use one.
    # The install test validates the desktop entry and the AppStream file and
    # finds the window the menu entry opens with xdotool when the window
    # manager announces it (xprop, of x11-utils); strace kills the host at the
    # moment a file it writes would be replaced.
    packages+=(xvfb xauth openbox python3-ezdxf poppler-utils fonts-lyx desktop-file-utils appstream xdotool x11-utils strace)
    # CGAL measures a nest's gaps and margins from its files with exact
    # arithmetic, a library the nest's own check does not use.
    packages+=(libcgal-dev)
  else
    packages+=("$arg")
  fi
done
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
