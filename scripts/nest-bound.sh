#!/usr/bin/env bash
# How much of a 600 x 400 mm board (margin 5 mm, spacing 2 mm plus the
# 0.1 mm kerf) the benchmark's mixed set could take at best, read from the
# outlines kerfmate-host exports, not from the nest:
#   bash scripts/nest-bound.sh [COPIES [USE%]...]   (default 2: the 84-piece set)
# Each panel (any piece not round) takes its box grown by half the spacing,
# less what lies outside its hull (rounded or notched corners, where a
# neighbour's corner may go). A tab gets into a neighbour's notch only where
# the notch is wider than the tab by twice the spacing: here only the rounded
# box's narrow tabs and the smallest gears are, so the figures err little. Each round
# piece (a gear, a badge) takes its disc grown by half the spacing; a bore
# that holds a piece gives its room back. For each USE%, the room that use
# leaves inside the margins for every gap between those footprints.
set -euo pipefail
cd "$(dirname "$0")/.."
copies=${1:-2}
shift || true
bash scripts/setup.sh python3-ezdxf
bash scripts/build.sh --target kerfmate-host --target Kerfmate >/dev/null
host=$PWD/build/bin/kerfmate-host
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen
bash scripts/mixed-set.sh "$host" "$work/set.kerfmate" "$copies"
if ! "$host" --open "$work/set.kerfmate" --out "$work/set.dxf" >/dev/null 2>"$work/export.log"; then
  cat "$work/export.log" >&2
  exit 1
fi
/usr/bin/python3 - "$work" "$@" <<'PY'
import glob, math, sys
import ezdxf

spacing, margin, board = 2.1, 5.0, (600.0, 400.0)

def area(ring):
    return abs(sum(a[0] * b[1] - b[0] * a[1] for a, b in zip(ring, ring[1:] + ring[:1]))) / 2

def hull_area(ring):
    pts = sorted(set(ring))
    def cross(o, a, b):
        return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0])
    half = []
    for seq in (pts, pts[::-1]):
        part = []
        for p in seq:
            while len(part) >= 2 and cross(part[-2], part[-1], p) <= 0:
                part.pop()
            part.append(p)
        half += part[:-1]
    return area(half)

def box(ring):
    xs, ys = [p[0] for p in ring], [p[1] for p in ring]
    return min(xs), min(ys), max(xs), max(ys)

def within(inner, outer):
    return (outer[0] <= inner[0] and outer[1] <= inner[1] and outer[2] >= inner[2] and outer[3] >= inner[3]
            and (outer[2] - outer[0]) * (outer[3] - outer[1]) > (inner[2] - inner[0]) * (inner[3] - inner[1]))

rings = []  # (sheet, box, ring): every closed cut; the unnested parts lie apart on their sheets
for sheet, name in enumerate(sorted(glob.glob(sys.argv[1] + '/set*.dxf'))):
    for e in ezdxf.readfile(name).modelspace():
        if e.dxftype() == 'POLYLINE' and e.dxf.layer == 'CUT':
            if any(v.dxf.bulge for v in e.vertices):
                sys.exit('an outline with arcs: this measure reads straight edges only')
            ring = [(v.dxf.location.x, v.dxf.location.y) for v in e.vertices]
            rings.append((sheet, box(ring), ring))

pieces, holes, net = [], [], 0.0
for i, (sheet, b, ring) in enumerate(rings):
    depth = sum(1 for j, (s, c, _) in enumerate(rings) if j != i and s == sheet and within(b, c))
    net += area(ring) if depth % 2 == 0 else -area(ring)
    if depth < 2:  # deeper: a piece inside another's hole, none while unnested
        (pieces if depth == 0 else holes).append((b, ring))

round_pieces, panel_pieces = [], []
for b, ring in pieces:
    w, h = b[2] - b[0], b[3] - b[1]
    (round_pieces if w * h - hull_area(ring) > 0.15 * w * h else panel_pieces).append((b, ring))
rounds = sum(math.pi * ((max(b[2] - b[0], b[3] - b[1]) + spacing) / 2) ** 2 for b, _ in round_pieces)
# Its box grown, the corners rounded by the growth, less what lies outside its hull.
panels = sum((b[2] - b[0] + spacing) * (b[3] - b[1] + spacing) - spacing ** 2 * (1 - math.pi / 4)
             - ((b[2] - b[0]) * (b[3] - b[1]) - hull_area(ring)) for b, ring in panel_pieces)
smallest = min(min(b[2] - b[0], b[3] - b[1]) + spacing for b, _ in pieces)
given_back = 0.0
for b, ring in holes:
    room = min(b[2] - b[0], b[3] - b[1]) - spacing
    if room >= smallest:
        given_back += math.pi * (room / 2) ** 2

inside = (board[0] - 2 * (margin - spacing / 2)) * (board[1] - 2 * (margin - spacing / 2)) / (board[0] * board[1])
taken = panels + rounds - given_back
hexagonal = math.pi / math.sqrt(12)
print(f'{len(pieces)} pieces ({len(panel_pieces)} panels, {len(round_pieces)} round), net area {net:.0f} mm2')
print(f'footprints: panels {panels:.0f} mm2, round pieces {rounds:.0f} mm2, less {given_back:.0f} mm2 bores may hold: {taken:.0f} mm2')
print(f'round pieces as densely as equal circles pack leave {(rounds - given_back) * (1 / hexagonal - 1):.0f} mm2 between them')
for use in [float(u) for u in sys.argv[2:]]:
    room = net / (use / 100) * inside
    print(f'material use {use:.1f} %: {net / (use / 100):.0f} mm2 of board, {room:.0f} mm2 inside the margin, '
          f'{room - taken:.0f} mm2 ({100 * (room - taken) / room:.1f} %) left for every gap')
for density, said in ((1.0, 'solid'), (hexagonal, 'as dense as equal circles')):
    material = (panels + (rounds - given_back) / density) / inside
    print(f'panels tiling with no gap, round pieces {said}: material use at most {100 * net / material:.1f} %')
PY
