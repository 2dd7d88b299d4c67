#!/usr/bin/env bash
# Kerfmate as a maker and a laser program get it: the build installed into a
# temporary prefix and moved elsewhere, holding no path of the build or the
# sources; kerfmate-host run from there headless to an SVG and, on a desktop,
# by its menu entry's command; and a laser program's host built against the
# installed package (find_package(Kerfmate)) that loads the module and calls
# Create.
#   bash tests/scripts/install/check.sh BUILD_FOLDER VERSION
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
source=$(cd "$(dirname "$0")/../../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# Nothing from the caller's environment points the program anywhere.
mkdir -m 700 "$work/runtime"
run() { env -i PATH=/usr/bin:/bin HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
          QT_QPA_PLATFORM=offscreen "$@"; }

cmake --install "$build" --prefix "$work/staged" --strip >/dev/null
mv "$work/staged" "$work/kerfmate"
prefix=$work/kerfmate
# As bytes and as Qt's UTF-16 string literals.
python3 - "$prefix" "$source" "$build" <<'PY' || fail "installed files name $source or $build"
import os, sys
needles = [path.encode(code) for path in sys.argv[2:] for code in ("utf-8", "utf-16-le")]
named = [os.path.join(folder, name) for folder, _, names in os.walk(sys.argv[1]) for name in names
         if not os.path.islink(os.path.join(folder, name))
         and any(n in open(os.path.join(folder, name), "rb").read() for n in needles)]
print(*named, sep="\n")
sys.exit(1 if named else 0)
PY
while read -r file; do
  if readelf -d "$file" | grep -E 'R(UN)?PATH' | grep -vE '\[\$ORIGIN[^:]*(:\$ORIGIN[^:]*)*\]$'; then
    fail "$file searches libraries outside the installed tree"
  fi
done < <(find "$prefix/bin" "$prefix/lib" -type f -name 'kerfmate-host' -o -type f -name '*.so*')

[ "$(run "$prefix/bin/kerfmate-host" --version)" = "kerfmate-host $version" ] || fail "--version is not $version"
zcat "$prefix"/share/man/man1/kerfmate-host.1.gz | grep -q "^\.TH .*kerfmate-host $version" || fail "no manual page"
desktop-file-validate "$prefix"/share/applications/*.desktop
appstreamcli validate --no-net --explain "$prefix"/share/metainfo/*.metainfo.xml >/dev/null

(cd "$work" && run "$prefix/bin/kerfmate-host" --accept --out box.svg) || fail "the installed host did not run"
python3 - "$work/box.svg" <<'PY' || fail "box.svg is not the box"
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
paths = [p for p in root.iter("{http://www.w3.org/2000/svg}path") if p.get("d", "").strip()]
assert root.tag == "{http://www.w3.org/2000/svg}svg" and root.get("width").endswith("mm"), root.attrib
assert len(paths) >= 6, f"{len(paths)} outlines, a box has six panels"
PY

bash "$source/tests/scripts/install/menu-entry.sh" "$prefix"/share/applications/*.desktop "$prefix/bin"

cmake -S "$source/examples/minimal-host" -B "$work/host" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/host" >/dev/null
said=$(run "$work/host/minimal-host" --cancel) || fail "minimal-host failed: $said"
grep -qx "build: box 50 x 50 x 50 mm" <<<"$said" && grep -qx cancelled <<<"$said" || fail "minimal-host said: $said"
echo "installed, moved and run: kerfmate-host $version, its menu entry and a host of its own"
