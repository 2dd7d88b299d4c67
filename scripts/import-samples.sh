#!/usr/bin/env bash
# Makes the drawings tests/data/import/ holds, with the tools makers draw
# them with: Inkscape 1.2 (Debian's inkscape) opens a plain seed drawing,
# converts and turns some of it with its own actions and saves it as an
# Inkscape SVG, and saves it again as plain paths; ezdxf (Debian's python3-ezdxf) writes one DXF per version
# from R12 to R2018. Only for remaking the samples: the tests read the
# committed files and need neither tool.
#   bash scripts/import-samples.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh inkscape python3-ezdxf
out=tests/data/import
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT

# A plate with holes in a millimetre document: a rounded rectangle, a circle,
# an ellipse, a slot of arcs and a triangle inside it; a blob of every curve
# command with a hole used from the definitions, turned in its group; a star
# skewed and scaled; a square closed by its last point; engraving on the layer
# named Engrave.
cat > "$seeds/mm.svg" <<'EOF'
<svg xmlns="http://www.w3.org/2000/svg" xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape"
     xmlns:xlink="http://www.w3.org/1999/xlink" width="130mm" height="90mm" viewBox="0 0 130 90">
  <defs><circle id="pin" cx="0" cy="0" r="2"/></defs>
  <g inkscape:groupmode="layer" id="layer1" inkscape:label="Cut" style="fill:none;stroke:#ff0000;stroke-width:0.1">
    <rect id="plate" x="5" y="5" width="70" height="50" rx="6" ry="6"/>
    <circle id="hole" cx="15" cy="15" r="3"/>
    <ellipse id="oval" cx="62" cy="44" rx="6" ry="3"/>
    <path id="slot" d="M 30,40 h 15 a 4,4 0 0 1 0,8 H 30 A 4,4 0 0 1 30,40 Z"/>
    <polygon id="triangle" points="30,15 42,15 36,25"/>
    <g id="blob" transform="translate(100,25) rotate(20)">
      <path d="M -12,0 C -12,-8 -6,-12 0,-12 S 12,-8 12,0 Q 12,10 4,11 T -8,8 L -12,0 z"/>
      <use xlink:href="#pin" x="0" y="0"/>
    </g>
    <g id="star" transform="translate(100,62) skewX(10) scale(0.8)">
      <polygon points="0,-12 3,-4 11,-4 5,1 7,9 0,4 -7,9 -5,1 -11,-4 -3,-4"/>
    </g>
    <polyline id="square" points="85,78 95,78 95,88 85,88 85,78"/>
    <line id="edge1" x1="10" y1="62" x2="30" y2="62"/>
    <line id="edge2" x1="30" y1="62" x2="30" y2="80"/>
    <line id="edge3" x1="10" y1="80" x2="30" y2="80"/>
    <line id="edge4" x1="10" y1="80" x2="10" y2="62"/>
  </g>
  <g inkscape:groupmode="layer" id="layer2" inkscape:label="Engrave" style="fill:none;stroke:#000000;stroke-width:0.1">
    <path id="mark" d="m 20,28 h 30 v 5"/>
    <circle id="ring" cx="62" cy="20" r="6"/>
  </g>
</svg>
EOF
inkscape "$seeds/mm.svg" --actions="select-by-id:hole,slot;object-to-path;select-clear;select-by-id:star;object-flip-horizontal;select-clear;select-by-id:blob;object-rotate-90-cw;select-clear" \
  --export-type=svg --export-filename="$out/inkscape-mm.svg" 2>/dev/null

# A pixel document (96 to the inch): a rounded rectangle with a circular
# hole and an arc-shaped window, turned by a matrix; a piece of relative
# commands; a group scaled and turned about a point; engraving on a layer
# named engrave and by a blue stroke.
cat > "$seeds/px.svg" <<'EOF'
<svg xmlns="http://www.w3.org/2000/svg" xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape"
     width="400" height="300" viewBox="0 0 400 300">
  <g inkscape:groupmode="layer" id="cut" inkscape:label="cut" style="fill:none;stroke:#ff0000;stroke-width:1">
    <g id="turned" transform="matrix(0.866025,0.5,-0.5,0.866025,120,20)">
      <rect id="panel" x="0" y="0" width="160" height="100" rx="16" ry="10"/>
      <circle id="bore" cx="40" cy="50" r="18"/>
      <path id="window" d="M 95,30 A 30,30 0 0 1 140,55 L 140,75 A 45,30 10 0 1 95,30 Z"/>
      <path id="scratch" style="stroke:#0000ff" d="M 70,85 L 110,85"/>
    </g>
    <path id="relative" d="m 20,190 l 40,-10 c 20,0 30,10 30,30 s -10,30 -30,30 q -20,0 -30,-10 t -10,-30 a 10,12 30 0 1 0,-10 z m 30,15 v 20 h 20 v -20 z"/>
    <g id="pivot" transform="rotate(30,300,220) scale(1.25)">
      <polygon points="220,160 270,160 270,200 220,200"/>
    </g>
  </g>
  <g inkscape:groupmode="layer" id="marks" inkscape:label="engrave" style="fill:none;stroke:#000000;stroke-width:1">
    <polyline points="28,200 40,200 40,214"/>
    <line x1="118.7" y1="42.3" x2="93" y2="96.8"/>
  </g>
</svg>
EOF
inkscape "$seeds/px.svg" --actions="select-by-id:bore;object-to-path;select-clear;select-by-id:pivot;object-flip-vertical;select-clear" \
  --export-type=svg --export-filename="$out/inkscape-px.svg" 2>/dev/null

# What Inkscape itself makes of each: every shape and clone as a path, the
# reference the tests read the drawing by (through QtSvg, which rounds a
# rectangle's corner radii).
for name in inkscape-mm inkscape-px; do
  inkscape "$out/$name.svg" --actions="select-all:all;object-unlink-clones;select-all:all;object-to-path" \
    --export-plain-svg --export-type=svg --export-filename="$out/$name.paths.svg" 2>/dev/null
done

# One DXF per version, the same plate in each (drawn in millimetres, written
# in the file's unit): a rectangle of LINEs in no order, a circle, a slot of
# a bulged polyline, a stadium of two ARCs and two LINEs, an ellipse and a
# closed spline (R12 has neither: a bulged polyline each), a block of a pin
# and a square inserted turned and scaled; a bulged tab as a second piece;
# engraving on the layer ENGRAVE, an open polyline and an open spline.
/usr/bin/python3 - "$out" <<'EOF'
import sys, ezdxf
out = sys.argv[1]
files = [('R12', 'unitless', 0), ('R2000', 'inch', 1), ('R2004', 'cm', 5), ('R2007', 'mm', 4),
         ('R2010', 'mm', 4), ('R2013', 'inch', 1), ('R2018', 'mm', 4)]
per_mm = {4: 1.0, 1: 1 / 25.4, 5: 0.1, 0: 1.0}
for version, name, units in files:
    k = per_mm[units]
    s = lambda *p: tuple(v * k for v in p)
    doc = ezdxf.new(version, setup=False)
    if version != 'R12':
        doc.header['$INSUNITS'] = units
    doc.layers.add('CUT', color=1)
    doc.layers.add('ENGRAVE', color=5)
    msp = doc.modelspace()
    cut, engrave = {'layer': 'CUT'}, {'layer': 'ENGRAVE'}
    modern = version != 'R12'
    def polyline(points, closed, attribs):
        pts = [s(x, y) + (b,) for x, y, b in points]
        if modern:
            msp.add_lwpolyline(pts, format='xyb', close=closed, dxfattribs=attribs)
        else:
            msp.add_polyline2d([p[:2] for p in pts], dxfattribs=attribs, close=closed)
            for vertex, p in zip(msp.query('POLYLINE')[-1].vertices, pts):
                vertex.dxf.bulge = p[2]
    for a, b in [((80, 0), (80, 50)), ((0, 0), (80, 0)), ((0, 50), (0, 0)), ((0, 50), (80, 50))]:
        msp.add_line(s(*a), s(*b), dxfattribs=cut)
    msp.add_circle(s(12, 12), 4 * k, dxfattribs=cut)
    polyline([(25, 8, 0), (40, 8, 1), (40, 14, 0), (25, 14, 1)], True, cut)
    msp.add_arc(s(50, 38), 4 * k, 90, 270, dxfattribs=cut)
    msp.add_line(s(50, 34), s(62, 34), dxfattribs=cut)
    msp.add_arc(s(62, 38), 4 * k, 270, 90, dxfattribs=cut)
    msp.add_line(s(62, 42), s(50, 42), dxfattribs=cut)
    if modern:
        msp.add_ellipse(s(20, 38), major_axis=s(7, 2), ratio=0.5, dxfattribs=cut)
        # Clamped, its last control point its first: a closed outline.
        ring = [s(62, 10), s(70, 12), s(72, 20), s(64, 24), s(58, 18)]
        msp.add_open_spline(ring + ring[:1], degree=3, dxfattribs=cut)
    else:
        polyline([(13, 38, 0.6), (27, 38, 0.6)], True, cut)
        polyline([(60, 12, 0.5), (70, 12, 0.4), (70, 22, 0.5), (60, 22, 0.3)], True, cut)
    pin = doc.blocks.new('PIN', base_point=s(1, 1))
    pin.add_circle(s(1, 1), 2 * k)
    pin.add_line(s(-3, -3), s(5, -3))
    pin.add_line(s(5, -3), s(5, 5))
    pin.add_line(s(5, 5), s(-3, 5))
    pin.add_line(s(-3, 5), s(-3, -3))
    msp.add_blockref('PIN', s(40, 28), dxfattribs={'layer': 'CUT', 'rotation': 30, 'xscale': 1.2, 'yscale': 1.2})
    msp.add_blockref('PIN', s(72, 40), dxfattribs={'layer': 'CUT'})
    polyline([(95, 0, 0), (125, 0, 0.4), (125, 30, 0), (95, 30, -0.3)], True, cut)
    polyline([(8, 25, 0), (30, 25, 0.5), (34, 30, 0)], False, engrave)
    if modern:
        msp.add_open_spline([s(102, 8), s(106, 20), s(112, 5), s(118, 18)], degree=3, dxfattribs=engrave)
    else:
        polyline([(102, 8, 0), (118, 18, 0)], False, engrave)
    doc.saveas(f'{out}/ezdxf-{version.lower()}-{name}.dxf')
EOF
ls -l "$out"
