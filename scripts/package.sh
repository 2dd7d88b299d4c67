#!/usr/bin/env bash
# Builds the Debian package, build-deb/kerfmate_<version>_amd64.deb: installed
# under /usr, with Debian's hardening flags, no tests; lintian checks it.
#   bash scripts/package.sh         the package and lintian's findings
#   bash scripts/package.sh --try   then installs it with apt as a user would,
#                                   runs kerfmate-host from it and purges it
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh dpkg-dev file lintian
[ "${1:-}" != --try ] || bash scripts/setup.sh xvfb xauth openbox xdotool
folder=build-deb
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
bash scripts/build.sh "$folder" -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags"
rm -f "$folder"/kerfmate_*.deb
(cd "$folder" && cpack >/dev/null)
deb=$(ls "$PWD/$folder"/kerfmate_*_amd64.deb)
echo "$deb"
lintian --fail-on error --info --display-info "$deb"
[ "${1:-}" = --try ] || exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$deb" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"; DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq kerfmate >/dev/null' EXIT
/usr/bin/kerfmate-host --version
(cd "$work" && XDG_CONFIG_HOME="$work" QT_QPA_PLATFORM=offscreen /usr/bin/kerfmate-host --accept --out box.svg)
ls -l "$work/box.svg"
bash tests/scripts/install/menu-entry.sh /usr/share/applications/org.kerfmate.Kerfmate.desktop && echo "the menu entry opens the window"
