// The host's reference geometry engine: real cut outlines for the four
// generator builds. Lengths are millimetres, outlines use y-down coordinates.
//
// Every build checks its record first. A value that is not finite, a size
// that must be positive and is not, or a value beyond the limits below makes
// the build return false and leaves both lists empty. Pattern sizes that are
// merely impractical (grooves larger than their side, hinge spacing of 0) are
// brought to the nearest workable value instead. Without a running
// QGuiApplication no text is drawn (fonts need one); everything else is.
#pragma once

#include "IGeometryEngine.h"

class CReferenceEngine : public IGeometryEngine
{
public:
    // --- limits shared by both boxes
    static constexpr double kMaxBoxSide = 5000.0;    // outside measure
    static constexpr double kMaxThickness = 50.0;
    static constexpr double kMaxKerf = 5.0;          // and always below the thickness
    static constexpr double kMinFingerWidth = 1.0;   // also never below twice the kerf
    // --- rounded box
    static constexpr double kMinHingeSpacing = 0.5;  // dXSpace and dYSpace are raised to it
    static constexpr int kMaxSlitsPerColumn = 50;    // nYCount is clamped to 1..this
    // --- gears
    static constexpr int kMinTeeth = 4;
    static constexpr int kMaxTeeth = 1000;
    static constexpr double kMaxModule = 100.0;
    // --- badge and seal
    static constexpr double kMaxSealDiameter = 2000.0; // also bounds text height, offset and spacing

    // A round badge centred on the origin: outer rim (D1) and inner circle
    // (D2, none when 0) on the cut layer, then on the engrave layer the
    // five-pointed star (when bStar and dStarSize > 0; dStarSize is the
    // diameter through its points) and one shape per non-empty text line.
    // Text 1 runs clockwise along the upper arc and text 2 left to right
    // along the lower arc, both upright and centred; their dOffset is the gap
    // from the rim to the line's outer side (cap line above, baseline below),
    // dSpace the extra gap between letters. Text 3 is a straight line,
    // centred, below the star (or on the centre without one) and moved down
    // by its dOffset; it has no spacing control in the dialog, so it keeps the
    // font's own spacing. dHeight is the height of capitals, and of any
    // taller glyph of the line (ideographs, ascenders) above its baseline. A family
    // that is not installed falls back to the default font; characters the
    // font lacks come from the system's fallback fonts. bTextReverse mirrors
    // everything left to right, as a stamp must be.
    bool CreateSeal(SSealBoxParam param, CShapeList* pMain) override;

    // Six finger-jointed panels laid flat, in the order front, behind, left,
    // right, top, bottom (missing covers left out), each one closed outline
    // on the cut layer; with pLabels, each face name is engraved centred on
    // its panel in pAux. Front and behind (length x height) keep all eight
    // corners and carry tabs on every edge; left and right (width x height)
    // carry slots; top and bottom (length x width) carry slots towards front
    // and behind and tabs towards left and right. Between its two corners
    // each edge is split into an odd number of equal fingers of about its
    // groove size, so a pattern is its partner's complement. A missing cover
    // leaves the edges that met it straight. The kerf moves every edge
    // outward by half its width.
    bool CreateRectBox(SRectBoxParam param, CShapeList* pMain, CShapeList* pAux, SFaceLabels* pLabels) override;

    // Two meshing spur gears (20 degree involute, addendum m, dedendum
    // 1.25 m, plain root arc): gear 1 centred on the origin with a tooth
    // pointing along +x, gear 2 at (m (z1 + z2) / 2, 0) turned so that a
    // tooth space faces gear 1. Each gear gives its outline and then its bore
    // (when dCDiameter > 0; it must stay inside the root circle), all on the
    // cut layer. dReserved is not used.
    bool CreateGear(SGearBoxParam param, CShapeList* pMain) override;

    // A rounded box: top and bottom are rounded rectangles that sit inside
    // one wall strip wrapping round them; their straight sides carry tabs
    // and the strip's long edges the matching slots (length sides use
    // dFluteOfHeight, width sides dFluteOfWidth). Going round from the
    // strip's start the straight sides are front, right, back and left; the
    // "third side" is the back, which bNoFlute3Edge leaves plain. The strip
    // is one piece as long as the rounded rectangle's perimeter at mid-board
    // (the neutral line of the bend) and starts where the front side does.
    // The corner radius is the outside radius, kept between the thickness
    // and half the shorter side. Each bend zone of the strip gets a lattice
    // hinge: columns of slits dXSpace apart across the zone; each column has
    // nYCount slits separated by bridges of dYSpace, the same bridge keeps
    // them from the strip's edges, and every other column is shifted by half
    // a slit pitch. Parts in pMain: top, bottom, strip outlines, then one shape
    // of open slit lines per bend zone; pAux gets each bend zone's outline
    // as an engraved mark. Kerf as for the right-angle box; slits are single
    // lines and get none.
    bool CreateFilletBox(SFilletBoxParam param, CShapeList* pMain, CShapeList* pAux) override;
};
