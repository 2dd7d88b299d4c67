// The host's reference geometry engine: real cut outlines for the four
// generator builds. Lengths are millimetres, outlines use y-down coordinates.
//
// Every build checks its record first. A value that is not finite, a size that
// must be positive and is not, or a value beyond the limits below makes the
// build return false, leaves both lists empty and writes one line to the host's
// log (level 2) naming the build, the field and its limit. A value the dialog
// takes but that would not cut a working part is brought to the nearest one
// that does (the rules below say which), or, where none does, refused with the
// value that would; either way the log gets one line and LastReport() the
// sentence, in the dialog's words. Grooves are merely coarsened to whole
// fingers, without a word. Every build ends in one check of all it made:
// coordinates finite and inside the part, outlines closed where they must be,
// and every closed cut outline simple (no edge crossing or touching another,
// no corner turning back along its edge); a part that fails it is refused.
// Every text comes from text faces that draw its characters, never a symbol
// face (sdk/shape/TextOutline.h). Without a running QGuiApplication no text is
// drawn (fonts need one); everything else is.
#pragma once

#include "IGeometryEngine.h"

#include <QString>

// What the last build made of its record, for the host to show: built as
// asked, built after values were brought to the nearest ones that can be cut
// (one sentence, its clauses joined by semicolons), or refused (the first
// reason). The sentence names each value in the dialog's words, what it was
// and what it became or would have to be.
struct EngineReport
{
    enum Status { Built, Adjusted, Refused };
    Status status = Built;
    QString sentence;
};

class CReferenceEngine : public IGeometryEngine
{
public:
    const EngineReport& LastReport() const { return m_report; }

    // --- limits shared by both boxes
    static constexpr double kMaxBoxSide = 5000.0;    // outside measure
    static constexpr double kMaxThickness = 50.0;
    static constexpr double kMaxKerf = 5.0;          // and always below the thickness
    static constexpr double kMinFingerWidth = 1.0;   // also never below twice the kerf
    // --- rounded box: the living hinge (see CreateFilletBox)
    // Narrowest bridge of material a hinge keeps between two cuts: 0.5 mm still
    // holds in plywood. The beam takes the kerf from every bridge, so dXSpace,
    // dYSpace and the slits' distance from the strip's edges are raised to this
    // plus the kerf.
    static constexpr double kMinHingeBridge = 0.5;
    static constexpr int kMaxSlitsPerColumn = 50;    // nYCount is clamped to 1..this
    // Shear strain a twisting bar works at: plywood, MDF and acrylic crack at
    // a few per cent, so 2 % leaves them a margin.
    static constexpr double kHingeShearStrain = 0.02;
    // A slit is at least this many bridges long: the bar between two columns
    // then twists over at least a bridge's length between the bridges that
    // hold it, and the bridges of either column fall inside the other's slits.
    static constexpr double kSlitToBridge = 3.0;
    // However fine the kerf given, a beam cuts a slit at least this wide.
    static constexpr double kMinSlitWidth = 0.1;
    // --- gears
    static constexpr int kMinTeeth = 4;
    static constexpr int kMaxTeeth = 1000;
    static constexpr double kMinModule = 0.1;        // smaller teeth cannot be cut
    static constexpr double kMaxModule = 100.0;
    // Every pair turns with at least this contact ratio: a pair of teeth has
    // taken over before the one before it leaves contact.
    static constexpr double kMinContactRatio = 1.1;
    // No undercut cuts deeper than this many modules into a tooth: a fiftieth
    // of the tooth's height, finer than any beam at module 1.
    static constexpr double kMaxUndercut = 0.02;
    // A tip is never narrower than this many modules.
    static constexpr double kMinTipLand = 0.2;
    // A bore leaves a ring of at least this many modules below the tooth
    // roots: the ring carries each tooth's load round the hub, and less than
    // a module (half a tooth's height) flexes and cracks under it.
    static constexpr double kMinRing = 1.0;
    static constexpr double kMaxBore = 2000.0;
    // Pressure angles of the basic rack, tried in this order.
    static constexpr double kPressureAngles[] = {20.0, 22.5, 25.0, 27.5, 30.0};
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
    // kMinTextHeight tall refuses the build; one set more than 5 % smaller
    // than asked is reported with the height it took. bTextReverse mirrors everything
    // left to right, as a stamp must be.
    //
    // An arc line's outer side asked so deep that the band cannot hold the
    // asked height (nor it, as deep as that, twice its height from the
    // centre) comes out until it can; the report gives the offset it took.
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
    // every edge outward by half its width, corners staying sharp (mitred;
    // where an edge's offset would turn back, Clipper's union of the grown
    // area, so no outline carries a hook). A side too short
    // for two boards and one finger between them is refused with the least
    // length that works, and the thickest board that would.
    bool CreateRectBox(SRectBoxParam param, CShapeList* pMain, CShapeList* pAux, SFaceLabels* pLabels) override;

    // Two meshing spur gears of module m without backlash, at the centre
    // distance the dialog shows, m (z1 + z2) / 2. Each is cut as its basic
    // rack cuts it: involute flanks, the trochoid the rack's rounded tip
    // sweeps as root fillet, and any undercut it leaves. The rack has a
    // pressure angle a, an addendum of 1.25 m (the gear's dedendum) and tips
    // rounded to 0.38 m, or less where a steeper rack's tips are too narrow;
    // gear tips stand m above the pitch circle. Cut at 20 degrees without
    // shift, pinions under 17 teeth are undercut and small pairs turn with a
    // contact ratio under 1 (8/8: 0.52), so every pair is cut by the least
    // remedy that keeps its centre distance: the rack of kPressureAngles in
    // turn, and on each the gear with fewer teeth shifted out by just enough
    // to lose its undercut and the other in by as much (equal and opposite
    // shifts keep the pitch circles rolling on each other), or where the
    // larger gear cannot take that, shifts between the two. A pair is taken
    // when its contact ratio, on the stretch of the line of action where both
    // flanks are involute and within both tips, is at least kMinContactRatio,
    // no undercut cuts deeper than kMaxUndercut m into a tooth, and every tip
    // is at least kMinTipLand m wide (a tip that would be narrower is cut
    // lower). Of the pairs the dialog takes (8 to 60 teeth) all are cut at 20
    // degrees but the 36 with 23 teeth or fewer together, at up to 27.5
    // degrees, which the report says (such gears mesh only with each other).
    // A pair no remedy makes mesh (any gear of 4 or 5 teeth, 6/6, 7/7) is
    // refused with the fewest teeth that would. Gear 1 is centred on the
    // origin with a tooth pointing along +x, gear 2 at (m (z1 + z2) / 2, 0)
    // turned so that a tooth space faces gear 1. Curves are sampled to
    // within EngineOutline::kChordTolerance (0.01 mm) and never outside the
    // tooth. Each gear gives its outline and then its bore (when dCDiameter >
    // 0), all on the cut layer; a bore leaving less than kMinRing modules of
    // ring under the teeth is refused with the largest that does. dReserved
    // is not used.
    bool CreateGear(SGearBoxParam param, CShapeList* pMain) override;

    // A rounded box: top and bottom are rounded rectangles that sit inside one
    // wall strip wrapping round them; their straight sides carry tabs and the
    // strip's long edges the matching slots (length sides use dFluteOfHeight,
    // width sides dFluteOfWidth). Going round from the strip's start the
    // straight sides are front, right, back and left; the "third side" is the
    // back, which bNoFlute3Edge leaves plain. The strip is one piece as long as
    // the rounded rectangle's perimeter at mid-board (the neutral line of the
    // bend) and starts where the front side does. The corner radius is the
    // outside radius, kept between the thickness and half the shorter side
    // (the report says when it was moved). Each bend zone of the strip gets a
    // lattice hinge: columns of slits across the zone, centred, the outer ones
    // at least half a spacing and kMinHingeBridge plus half the kerf from the
    // zone's ends; each column has nYCount slits separated by bridges, the
    // same bridge keeps them from the strip's edges, and every other column
    // is shifted by half a slit pitch.
    //
    // The rules of the hinge. Between two columns a bar of board twists; the
    // bars of a zone (its columns less one) share the 90 degree bend, and one
    // bar takes at most
    //   min(kHingeShearStrain x L / b, 2 w / t)   radians,
    // L = (slit - bridge) / 2 being the stretch of bar that twists between the
    // bridges holding it, b = min(spacing - kerf, t) its thinner side, w the
    // slit's width (the kerf, at least kMinSlitWidth) and t the board: the
    // twist stays within the working strain, and it stops before the slit's
    // inner side closes, as in kerf bending. So a bend needs at least
    // ceil(90 degrees / that) + 1 columns: in 3 mm board with a 0.3 mm kerf at
    // most 11.5 degrees per bar, 9 columns or more (the default pattern has 13);
    // with a 0.1 mm kerf 25. Slits are at least kSlitToBridge bridges long, so
    // no fibre crosses a bend uncut but those under the bridge along each of
    // the strip's edges. To meet the rules dXSpace and dYSpace are raised to
    // kMinHingeBridge plus the kerf; nYCount is lowered (and with one slit too
    // short, dYSpace) until slits are long enough; nYCount is lowered further
    // while even the narrowest spacing gives too few columns, since longer
    // slits twist further; and dXSpace is narrowed to the widest spacing, in
    // 0.01 mm, that gives enough. The report names each change. A corner no
    // pattern can bend is refused with the least radius that takes a hinge
    // (or the box that radius needs), a strip too low for one slit with the
    // least height.
    //
    // Parts in pMain: top, bottom, strip outlines, then one shape of open slit
    // lines per bend zone; pAux gets each bend zone's outline as an engraved
    // mark. Kerf as for the right-angle box; slits are single lines and get
    // none.
    bool CreateFilletBox(SFilletBoxParam param, CShapeList* pMain, CShapeList* pAux) override;

private:
    EngineReport m_report;
};
