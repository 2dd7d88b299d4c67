#!/usr/bin/env bash
# The README's pictures of parts, drawn from the SVG that kerfmate-host writes
# headless for settings typed with --set (a fresh config folder each):
#   docs/rounded-box-hinges.png  the first bend of a 50 mm rounded box's wall
#                                strip at three hinge settings, as cut, with
#                                what the engine made of each
#   docs/gear-pair-8-8.png       two 8-tooth gears of module 10 at the mesh point
# Parts are filled, cut lines black, pitch circles dashed; rsvg-convert draws.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh librsvg2-bin
bash scripts/build.sh --target kerfmate-host
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

part() { # NAME GENERATOR NAME=VALUE...
  local name=$1 generator=$2
  shift 2
  local sets=()
  for s in "$@"; do sets+=(--set "$s"); done
  XDG_CONFIG_HOME="$work/config-$name" QT_QPA_PLATFORM=offscreen ./build/bin/kerfmate-host --accept \
    --generator "$generator" "${sets[@]}" --out "$work/$name.svg" 2>"$work/$name.txt" >/dev/null
}

part hinge-defaults 1
part hinge-x9 1 x-spacing=9
part hinge-count14 1 y-count=14
part gears 2 module=10 teeth1=8 teeth2=8 bore1=20 bore2=20

/usr/bin/python3 - "$work" <<'EOF'
import re, sys
work = sys.argv[1]

def outlines(name):
    svg = open(f"{work}/{name}.svg").read()
    paths = []
    for d in re.findall(r'<path [^>]*stroke="#ff0000"[^>]* d="([^"]*)"', svg):
        for sub in re.findall(r"M[^M]*", d):
            nums = [float(v) for v in re.findall(r"-?[0-9.]+", sub)]
            paths.append((list(zip(nums[0::2], nums[1::2])), sub.strip().endswith("Z")))
    return paths

def said(name):
    text = open(f"{work}/{name}.txt").read()
    m = re.search(r"adjusted to cut: (.*)", text)
    return m.group(1) if m else "as asked"

def d(points, closed):
    return "M" + " L".join(f"{x:.4f} {y:.4f}" for x, y in points) + (" Z" if closed else "")

# Hinges: the strip is the widest closed outline; its first bend starts one
# straight side (50 - 2 x 12 mm) after its start and runs a quarter circle
# at mid-board (3 mm board), shaded, with some straight side either way.
kerf, length, radius, board = 0.3, 50.0, 12.0, 3.0
bend = 3.141592653589793 / 2 * (radius - board / 2)
panel, height, head, gap = bend + 20.0, 50.6, 10.0, 4.0
out = ['<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 %g %g" width="%d" height="%d">'
       % (3 * panel + 4 * gap, height + head + gap, int((3 * panel + 4 * gap) * 12), int((height + head + gap) * 12)),
       '<rect width="100%" height="100%" fill="white"/>']
for i, (name, asked) in enumerate([("hinge-defaults", "Defaults: X 1.2, Y 2, count 2"),
                                   ("hinge-x9", "X spacing 9 typed"),
                                   ("hinge-count14", "Y count 14 typed")]):
    parts = outlines(name)
    strip = max((p for p in parts if p[1]), key=lambda p: max(x for x, _ in p[0]) - min(x for x, _ in p[0]))
    zone = min(x for x, _ in strip[0]) + kerf / 2 + length - 2 * radius
    top = min(y for _, y in strip[0])
    columns = {round(p[0][0][0], 4) for p in parts if not p[1] and zone < p[0][0][0] < zone + bend}
    note = said(name)
    spacing = re.search(r"X spacing lowered from [0-9.]+ mm to ([0-9.]+ mm)", note)
    count = re.search(r"Y count lowered from [0-9]+ to ([0-9]+)", note)
    cut = ", ".join(filter(None, ["count " + count.group(1) if count else "",
                                  "X " + spacing.group(1) if spacing else ""])) or "as asked"
    ox = gap + i * (panel + gap)
    out.append(f'<text x="{ox:.2f}" y="4" font-family="DejaVu Sans" font-size="2.1" font-weight="bold">{asked}</text>')
    out.append(f'<text x="{ox:.2f}" y="7.6" font-family="DejaVu Sans" font-size="1.9">cut: {cut}; {len(columns)} columns</text>')
    out.append(f'<clipPath id="c{i}"><rect x="{ox:.4f}" y="{head - 0.5}" width="{panel:.4f}" height="{height + 1}"/></clipPath>')
    out.append(f'<g clip-path="url(#c{i})"><g transform="translate({ox + 10 - zone:.4f} {head - top:.4f})">')
    out.append(f'<rect x="{zone:.4f}" y="{top:.4f}" width="{bend:.4f}" height="{height}" fill="#ecd3a6"/>')
    for points, closed in parts:
        out.append(f'<path d="{d(points, closed)}" fill="{"#f6ead4" if closed else "none"}" fill-opacity="0.6" '
                   f'stroke="black" stroke-width="{0.12 if closed else 0.09}"/>')
    out.append("</g></g>")
out.append("</svg>")
open(f"{work}/hinges.svg", "w").write("\n".join(out))

# Gears: the two outlines with the most corners; their centres are the
# corners' means; the pitch circles are m z / 2.
parts = sorted((p for p in outlines("gears") if p[1]), key=lambda p: -len(p[0]))
gears, bores = parts[:2], parts[2:]
centres = [(sum(x for x, _ in g[0]) / len(g[0]), sum(y for _, y in g[0]) / len(g[0])) for g in gears]
out = ['<svg xmlns="http://www.w3.org/2000/svg" viewBox="-56 -72 192 128" width="1152" height="768">',
       '<rect x="-56" y="-72" width="192" height="128" fill="white"/>']
for (points, closed), colour in zip(gears, ["#bfcce8", "#eac4b8"]):
    out.append(f'<path d="{d(points, True)}" fill="{colour}" stroke="black" stroke-width="0.25"/>')
for points, closed in bores:
    out.append(f'<path d="{d(points, True)}" fill="white" stroke="black" stroke-width="0.25"/>')
for cx, cy in centres:
    out.append(f'<circle cx="{cx}" cy="{cy}" r="40" fill="none" stroke="#555" stroke-width="0.15" stroke-dasharray="1.2 0.8"/>')
out.append('<text x="-52" y="-65" font-family="DejaVu Sans" font-size="4.2" font-weight="bold">8 and 8 teeth, module 10, at the mesh point</text>')
note = said("gears").split("; ")
for k, line in enumerate(note):
    out.append(f'<text x="-52" y="{-59.5 + 4.2 * k}" font-family="DejaVu Sans" font-size="3.2">{line}</text>')
out.append("</svg>")
open(f"{work}/gears.svg", "w").write("\n".join(out))
EOF

rsvg-convert "$work/hinges.svg" -o docs/rounded-box-hinges.png
rsvg-convert "$work/gears.svg" -o docs/gear-pair-8-8.png
