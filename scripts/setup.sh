#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing, and
# those named as arguments; --tests adds what the tests need.
set -euo pipefail
packages=(g++ cmake make pkg-config qt6-base-dev qt6-base-dev-tools qt6-5compat-dev qt6-svg-dev libgl-dev
          libpolyclipping-dev fonts-dejavu-core fonts-wqy-zenhei)
for arg in "$@"; do
  if [ "$arg" = --tests ]; then
    # xvfb (with xauth) gives the window test a real X server; python3-ezdxf
    # reads the host's DXF back; fonts-lyx brings the TeX symbol faces an
    # unnamed font falls on, and the engine test proves labels never use one.
    packages+=(xvfb xauth python3-ezdxf fonts-lyx)
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
