// The host's reference geometry engine: real cut outlines for the four
// generator builds. Lengths are millimetres, outlines use y-down coordinates.
//
// Every build checks its record first. A value that is not finite, a size that
// must be positive and is not, or a value beyond the limits below makes the
// build return false, leaves both lists empty and writes one line to the host's
// log (level 2) naming the build, the field and its limit. Pattern sizes that
// are merely impractical (grooves larger than their side, hinge spacing too
// small to hold) are brought to the nearest workable value instead. Every build
// ends in one check of all it made: coordinates finite and inside the part,
// outlines closed where they must be; a part that fails it is not handed over
// either. Every text comes from text faces that draw its characters, never a
// symbol face (sdk/shape/TextOutline.h). Without a running QGuiApplication no
// text is drawn (fonts need one); everything else is.
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
    // Narrowest bridge of material a hinge keeps between two cuts: 0.5 mm still
    // holds in plywood. The beam takes the kerf from every bridge, so dXSpace,
    // dYSpace and the slits' distance from the strip's edges are raised to this
    // plus the kerf.
    static constexpr double kMinHingeBridge = 0.5;
    static constexpr int kMaxSlitsPerColumn = 50;    // nYCount is clamped to 1..this
    // --- gears
    static constexpr int kMinTeeth = 4;
    static constexpr int kMaxTeeth = 1000;
    static constexpr double kMinModule = 0.1;        // smaller teeth cannot be cut
    static constexpr double kMaxModule = 100.0;
    // --- badge and seal
    static constexpr double kMinSealDiameter = 10.0;   // D1; a smaller badge holds no text
    static constexpr double kMaxSealDiameter = 2000.0; // also bounds text height, offset and spacing
    // Letters under 0.1 mm can neither be cut nor read: a smaller text height
    // is raised to it, and no line is shrunk below it to fit.
    static constexpr double kMinTextHeight = 0.1;
    // Least gap between a text line and any other line, circle or the star.
    static constexpr double kTextClearance = 0.5;

    // A round badge centred on the origin: outer rim (D1) on the cut layer,
    // then on the engrave layer the inner circle (D2, none when 0), the
    // five-pointed star (when bStar and dStarSize > 0; dStarSize is the
    // diameter through its points) and one shape per line of text that leaves
    // ink. The rim alone is cut, so the badge stays one piece.
    //
    // Each line is set as the toolkit sets it straight: in reading order for
    // each direction, letters joined and ligatures formed as their script
    // wants, each grapheme from a face that draws it. A character that no
    // installed face draws refuses the build, naming it. Text 1 runs clockwise
    // over the upper half of the ring, glyph tops outward; text 2 left to right
    // along the lower half, tops inward; each cluster (a letter with its marks,
    // or a ligature) is turned whole onto the arc, in the order the line
    // prints. Neighbours keep their straight distance, plus the spacing, at the
    // innermost radius either reaches, so that letters apart on a straight line
    // stay apart on the arc; letters their script joins keep it on the
    // baseline, so that they stay joined, and the letters of one word of a
    // joining script (Arabic) take no spacing. Clusters whose ink boxes meet
    // are merged into one outline, its curves sampled within
    // EngineOutline::kChordTolerance: no two outlines of a line overlap, and an
    // even-odd fill engraves what a winding fill does. A line's band reaches
    // from dOffset inside the rim (its outer side) dHeight inward, and its ink,
    // from the lowest descender to the highest ascender, fills the band, so
    // Latin and Chinese lines sit alike. The band lies between the inner circle
    // and the rim when its outer side lies outside the inner circle and that
    // ring is wide enough, else inside the innermost circle, never deeper than
    // half its outer radius, and always kTextClearance clear of both circles.
    // Each arc line keeps to its own half, clear of the horizontal diameter by
    // a quarter of its height. A line too long for its half first loses its
    // extra spacing (dSpace, down to the font's own), then is set smaller until
    // it fits, centred. Text 3 is a straight line, centred, below the star (or
    // on the centre without one), moved down by its dOffset; it keeps the
    // font's own spacing and is set smaller until it fits inside the inner
    // circle (or the arc lines), kTextClearance clear. The star takes at most
    // half of that middle room. A line that cannot fit even with letters
    // kMinTextHeight tall refuses the build. bTextReverse mirrors everything
    // left to right, as a stamp must be.
    bool CreateSeal(SSealBoxParam param, CShapeList* pMain) override;

    // Six finger-jointed panels laid flat, in the order front, behind, left,
    // right, top, bottom (missing covers left out), each one closed outline on
    // the cut layer; with pLabels, each face name is engraved centred on its
    // panel in pAux, in the system's general text face. Front and behind
    // (length x height) keep all eight corners and carry tabs on every edge;
    // left and right (width x height) carry slots; top and bottom (length x
    // width) carry slots towards front and behind and tabs towards left and
    // right. Between its two corners each edge is split into the odd number (at
    // least 3) of equal fingers whose width is nearest its groove size, none
    // narrower than kMinFingerWidth, so a pattern is its partner's complement.
    // A missing cover leaves the edges that met it straight. The kerf moves
    // every edge outward by half its width.
    bool CreateRectBox(SRectBoxParam param, CShapeList* pMain, CShapeList* pAux, SFaceLabels* pLabels) override;

    // Two meshing spur gears of module m without backlash, each cut as the
    // basic rack of its module cuts it (20 degree pressure angle, rack addendum
    // 1.25 m with tips rounded to 0.38 m, no profile shift): involute flanks,
    // the trochoid the rack's tip sweeps as root fillet, and on small gears
    // (fewer than 17 teeth) the undercut it leaves, so that any pair turns
    // through without its teeth cutting into each other. Addendum m, root
    // circle 1.25 m below the pitch circle. Gear 1 is centred on the origin
    // with a tooth pointing along +x, gear 2 at (m (z1 + z2) / 2, 0) turned so
    // that a tooth space faces gear 1. Curves are sampled to within
    // EngineOutline::kChordTolerance (0.01 mm) and never outside the tooth.
    // Each gear gives its outline and then its bore (when dCDiameter > 0; it
    // must stay inside the root circle), all on the cut layer. dReserved is not
    // used.
    bool CreateGear(SGearBoxParam param, CShapeList* pMain) override;

    // A rounded box: top and bottom are rounded rectangles that sit inside one
    // wall strip wrapping round them; their straight sides carry tabs and the
    // strip's long edges the matching slots (length sides use dFluteOfHeight,
    // width sides dFluteOfWidth). Going round from the strip's start the
    // straight sides are front, right, back and left; the "third side" is the
    // back, which bNoFlute3Edge leaves plain. The strip is one piece as long as
    // the rounded rectangle's perimeter at mid-board (the neutral line of the
    // bend) and starts where the front side does. The corner radius is the
    // outside radius, kept between the thickness and half the shorter side.
    // Each bend zone of the strip gets a lattice hinge: columns of slits
    // dXSpace apart across the zone, centred, the outer ones at least half that
    // and kMinHingeBridge plus half the kerf from the zone's ends (a bend too
    // short for that gets none); each column has nYCount slits separated by
    // bridges of dYSpace, the same bridge keeps them from the strip's edges,
    // and every other column is shifted by half a slit pitch. Both spacings are
    // raised to kMinHingeBridge plus the kerf. Parts in pMain: top, bottom,
    // strip outlines, then one shape of open slit lines per bend zone; pAux
    // gets each bend zone's outline as an engraved mark. Kerf as for the
    // right-angle box; slits are single lines and get none.
    bool CreateFilletBox(SFilletBoxParam param, CShapeList* pMain, CShapeList* pAux) override;
};
