// Every parameter of every generator, written down once: its name on the
// host's command line (--set), its key in Kerfmate.ini, the record field it
// fills, the dialog widget that edits it, its kind and its help. The
// generators' load and save walk these rows in this order (the order of the
// file's keys); the host's --set, --help and a part's saved parameters read
// them too, and the pages show the record's values by them. A new field is
// one row here, its widget in the form and its slot.
#pragma once

#include "GeometryRecords.h"

#include <QList>
#include <QPair>
#include <QString>

#include <cstdint>

namespace ParameterTable {

// Millimetre and inch ranges of one length widget.
struct UnitRange
{
    double dMmMin;
    double dMmMax;
    double dInchMin;
    double dInchMax;
};

inline constexpr UnitRange kThicknessRange{1.0, 10.0, 0.04, 0.39};
inline constexpr UnitRange kLaserWidthRange{0.1, 0.8, 0.004, 0.03};
inline constexpr UnitRange kRectDimensionRange{10.0, 850.0, 0.4, 33.46};
inline constexpr UnitRange kFilletDimensionRange{0.0, 850.0, 0.0, 33.46};
inline constexpr UnitRange kCornerRadiusRange{0.0, 99.0, 0.0, 3.9};
inline constexpr UnitRange kCornerSpaceRange{0.0, 99.99, 0.0, 3.94};

enum class Kind {
    Length, // a number shown in the ruler's unit
    Number, // a number without a unit
    Flag,   // a check box: 1 or 0
    Choice, // radio buttons: one value each
    Text,
    Font,   // a family from the font list
};

// How Kerfmate.ini keeps a field: flags as 1 or 0, lengths in thousandths,
// counts as whole numbers (Count also takes "3.9" back as 3).
enum class Stored { None, Flag, Number, Integer, Count, Text };

template <typename Record>
struct Row
{
    const char* pszSet;    // null: no --set name
    const char* pszKey;    // in Kerfmate.ini
    Kind kind;
    Stored stored;
    // The widget's object name; a choice's "value=widget,value=widget".
    const char* pszWidget;
    const char* pszHelp;
    double& (*pNumber)(Record&) = nullptr;
    bool& (*pFlag)(Record&) = nullptr;
    int32_t& (*pCount)(Record&) = nullptr;
    char* (*pText)(Record&) = nullptr;
    int nTextSize = 0;
    // Set before the value is shown; null where the page sets it itself.
    const UnitRange* pRange = nullptr;
};

// A choice's "value=widget,value=widget" as (value, widget) pairs.
inline QList<QPair<QString, QString>> ChoiceButtons(const QString& widgets)
{
    QList<QPair<QString, QString>> choices;
    for (const QString& item : widgets.split(QLatin1Char(','))) {
        const int eq = int(item.indexOf(QLatin1Char('=')));
        choices.append({item.left(eq), item.mid(eq + 1)});
    }
    return choices;
}

// Row makers, one per kind of field.
template <typename R>
constexpr Row<R> Length(const char* set, const char* key, const char* widget, const char* help, double& (*field)(R&),
                        const UnitRange* range = nullptr)
{
    return {set, key, Kind::Length, Stored::Number, widget, help, field, nullptr, nullptr, nullptr, 0, range};
}
template <typename R>
constexpr Row<R> Number(const char* set, const char* key, const char* widget, const char* help, double& (*field)(R&))
{
    return {set, key, Kind::Number, Stored::Number, widget, help, field};
}
template <typename R>
constexpr Row<R> Count(const char* set, const char* key, Stored stored, const char* widget, const char* help,
                       int32_t& (*field)(R&))
{
    return {set, key, Kind::Number, stored, widget, help, nullptr, nullptr, field};
}
template <typename R>
constexpr Row<R> Flag(const char* set, const char* key, Kind kind, const char* widget, const char* help, bool& (*field)(R&))
{
    return {set, key, kind, Stored::Flag, widget, help, nullptr, field};
}
template <typename R, int N>
constexpr Row<R> Text(const char* set, const char* key, Kind kind, const char* widget, const char* help, char* (*field)(R&))
{
    return {set, key, kind, Stored::Text, widget, help, nullptr, nullptr, nullptr, field, N};
}

#define KERFMATE_FIELD(Record, member) [](Record& r) -> auto& { return r.member; }
#define KERFMATE_TEXT(Record, member) [](Record& r) -> char* { return r.member; }

inline const Row<SRectBoxParam> kRectBox[] = {
    Flag<SRectBoxParam>("inside", "bInSize", Kind::Choice, "1=radioButton_rectInside,0=radioButton_rectOutside",
                        "1: sizes are inside measures, 0: outside", KERFMATE_FIELD(SRectBoxParam, bInSize)),
    Flag<SRectBoxParam>("no-top", "bNoTop", Kind::Flag, "checkBox_rectNoTop", "1: leave the top cover out",
                        KERFMATE_FIELD(SRectBoxParam, bNoTop)),
    Flag<SRectBoxParam>("no-bottom", "bNoBottom", Kind::Flag, "checkBox_rectNoBottom", "1: leave the bottom out",
                        KERFMATE_FIELD(SRectBoxParam, bNoBottom)),
    Length<SRectBoxParam>("length", "dWidth", "spinBox_rectLength", "box length", KERFMATE_FIELD(SRectBoxParam, dWidth), &kRectDimensionRange),
    Length<SRectBoxParam>("height", "dHeight", "spinBox_rectHeight", "box height", KERFMATE_FIELD(SRectBoxParam, dHeight), &kRectDimensionRange),
    Length<SRectBoxParam>("width", "dDepth", "spinBox_rectWidth", "box width", KERFMATE_FIELD(SRectBoxParam, dDepth), &kRectDimensionRange),
    Length<SRectBoxParam>("length-groove", "dFluteOfWidth", "doubleSpinBox_rectFluteLength",
                          "finger size along the length (a new length resets it)", KERFMATE_FIELD(SRectBoxParam, dFluteOfWidth)),
    Length<SRectBoxParam>("width-groove", "dFluteOfHeight", "doubleSpinBox_rectFluteWidth",
                          "finger size along the width (a new width resets it)", KERFMATE_FIELD(SRectBoxParam, dFluteOfHeight)),
    Length<SRectBoxParam>("height-groove", "dFluteOfDepth", "doubleSpinBox_rectFluteHeight",
                          "finger size along the height (a new height resets it)", KERFMATE_FIELD(SRectBoxParam, dFluteOfDepth)),
    Length<SRectBoxParam>("thickness", "dThickness", "doubleSpinBox_rectThickness", "board thickness",
                          KERFMATE_FIELD(SRectBoxParam, dThickness), &kThicknessRange),
    Length<SRectBoxParam>("kerf", "dLaserWidth", "doubleSpinBox_rectLaserWidth", "laser kerf",
                          KERFMATE_FIELD(SRectBoxParam, dLaserWidth), &kLaserWidthRange),
};

inline const Row<SFilletBoxParam> kFilletBox[] = {
    Flag<SFilletBoxParam>("inside", "bInSize", Kind::Choice, "1=radioButton_filletInside,0=radioButton_filletOutside",
                          "1: sizes are inside measures, 0: outside", KERFMATE_FIELD(SFilletBoxParam, bInSize)),
    Flag<SFilletBoxParam>("no-top", "bNoTop", Kind::Flag, "checkBox_filletNoTop", "1: leave the top cover out",
                          KERFMATE_FIELD(SFilletBoxParam, bNoTop)),
    Flag<SFilletBoxParam>("no-bottom", "bNoBottom", Kind::Flag, "checkBox_filletNoBottom", "1: leave the bottom out",
                          KERFMATE_FIELD(SFilletBoxParam, bNoBottom)),
    Length<SFilletBoxParam>("length", "dWidth", "spinBox_filletLength", "box length", KERFMATE_FIELD(SFilletBoxParam, dWidth), &kFilletDimensionRange),
    Length<SFilletBoxParam>("height", "dHeight", "spinBox_filletHeight", "box height", KERFMATE_FIELD(SFilletBoxParam, dHeight), &kFilletDimensionRange),
    Length<SFilletBoxParam>("width", "dDepth", "spinBox_filletWidth", "box width", KERFMATE_FIELD(SFilletBoxParam, dDepth), &kFilletDimensionRange),
    Length<SFilletBoxParam>("width-groove", "dFluteOfWidth", "doubleSpinBox_filletFluteWidth",
                            "finger size along the width (a new width resets it)", KERFMATE_FIELD(SFilletBoxParam, dFluteOfWidth)),
    Length<SFilletBoxParam>("length-groove", "dFluteOfHeight", "doubleSpinBox_filletFluteLength",
                            "finger size along the length (a new length resets it)", KERFMATE_FIELD(SFilletBoxParam, dFluteOfHeight)),
    Length<SFilletBoxParam>("thickness", "dThickness", "doubleSpinBox_filletThickness", "board thickness",
                            KERFMATE_FIELD(SFilletBoxParam, dThickness), &kThicknessRange),
    Length<SFilletBoxParam>("kerf", "dLaserWidth", "doubleSpinBox_filletLaserWidth", "laser kerf",
                            KERFMATE_FIELD(SFilletBoxParam, dLaserWidth), &kLaserWidthRange),
    Length<SFilletBoxParam>("radius", "sCorner.dRadius", "spinBox_filletCornerRadius", "corner radius",
                            KERFMATE_FIELD(SFilletBoxParam, sCorner.dRadius), &kCornerRadiusRange),
    Length<SFilletBoxParam>("x-spacing", "sCorner.dXSpace", "doubleSpinBox_filletCornerXSpace", "hinge slit columns apart",
                            KERFMATE_FIELD(SFilletBoxParam, sCorner.dXSpace), &kCornerSpaceRange),
    Length<SFilletBoxParam>("y-spacing", "sCorner.dYSpace", "doubleSpinBox_filletCornerYSpace", "hinge bridges",
                            KERFMATE_FIELD(SFilletBoxParam, sCorner.dYSpace), &kCornerSpaceRange),
    Count<SFilletBoxParam>("y-count", "sCorner.nYCount", Stored::Count, "spinBox_filletCornerYCount", "hinge slits per column",
                           KERFMATE_FIELD(SFilletBoxParam, sCorner.nYCount)),
    Flag<SFilletBoxParam>("no-groove-3", "sCorner.bNoFlute3Edge", Kind::Flag, "checkBox_3edgeNoFlute",
                          "1: no fingers on the third (back) side", KERFMATE_FIELD(SFilletBoxParam, bNoFlute3Edge)),
    // The dialog's own choice, kept under its own rules: no field of the record.
    {"preset", "nTemp", Kind::Choice, Stored::Integer,
     "25=radioButton_filletSize25,50=radioButton_filletSize50,100=radioButton_filletSize100",
     "corner preset: 25 for boxes of 25-50 mm, 50 for 50-100, 100 for 100-200"},
};

inline const Row<SGearBoxParam> kGearBox[] = {
    Number<SGearBoxParam>("module", "dModulus", "lineEdit_gearModulus", "gear module", KERFMATE_FIELD(SGearBoxParam, dModulus)),
    Length<SGearBoxParam>("bore1", "sGear1.dCDiameter", "lineEdit_gearDiameter1", "bore diameter of gear 1",
                          KERFMATE_FIELD(SGearBoxParam, sGear1.dCDiameter)),
    Count<SGearBoxParam>("teeth1", "sGear1.nGCount", Stored::Integer, "lineEdit_gearCount1", "teeth of gear 1",
                         KERFMATE_FIELD(SGearBoxParam, sGear1.nGCount)),
    Length<SGearBoxParam>("bore2", "sGear2.dCDiameter", "lineEdit_gearDiameter2", "bore diameter of gear 2",
                          KERFMATE_FIELD(SGearBoxParam, sGear2.dCDiameter)),
    Count<SGearBoxParam>("teeth2", "sGear2.nGCount", Stored::Integer, "lineEdit_gearCount2", "teeth of gear 2",
                         KERFMATE_FIELD(SGearBoxParam, sGear2.nGCount)),
};

// The badge's head is read and written by its own rules (its keys' orders
// differ, the star's size has two keys); its lines' rows are walked.
inline const Row<SSealBoxParam> kSealHead[] = {
    Flag<SSealBoxParam>(nullptr, "bStar", Kind::Flag, nullptr, nullptr, KERFMATE_FIELD(SSealBoxParam, bStar)),
    Flag<SSealBoxParam>("seal", "bTextReverse", Kind::Choice, "1=radioButton_seal,0=radioButton_badge",
                        "1: seal (mirrored for stamping), 0: badge", KERFMATE_FIELD(SSealBoxParam, bTextReverse)),
    Length<SSealBoxParam>("diameter", "D1", "doubleSpinBox_sealD1", "outer rim diameter", KERFMATE_FIELD(SSealBoxParam, D1)),
    Length<SSealBoxParam>("inner", "D2", "doubleSpinBox_sealD2", "inner diameter", KERFMATE_FIELD(SSealBoxParam, D2)),
};

inline const Row<SSealBoxParam> kSealLines[] = {
    Length<SSealBoxParam>("height1", "sText1_dHeight", "doubleSpinBox_sealTextHeight1", "text 1 height",
                          KERFMATE_FIELD(SSealBoxParam, sText1.dHeight)),
    Length<SSealBoxParam>("spacing1", "sText1_dSpace", "doubleSpinBox_sealTextDistance1", "text 1 letter spacing",
                          KERFMATE_FIELD(SSealBoxParam, sText1.dSpace)),
    Length<SSealBoxParam>("offset1", "sText1_dOffset", "doubleSpinBox_sealTextOffset1", "text 1 gap from the rim",
                          KERFMATE_FIELD(SSealBoxParam, sText1.dOffset)),
    Length<SSealBoxParam>("height2", "sText2_dHeight", "doubleSpinBox_sealTextHeight2", "text 2 height",
                          KERFMATE_FIELD(SSealBoxParam, sText2.dHeight)),
    Length<SSealBoxParam>("spacing2", "sText2_dSpace", "doubleSpinBox_sealTextDistance2", "text 2 letter spacing",
                          KERFMATE_FIELD(SSealBoxParam, sText2.dSpace)),
    Length<SSealBoxParam>("offset2", "sText2_dOffset", "doubleSpinBox_sealTextOffset2", "text 2 gap from the rim",
                          KERFMATE_FIELD(SSealBoxParam, sText2.dOffset)),
    Length<SSealBoxParam>("height3", "sText3_dHeight", "doubleSpinBox_sealTextHeight3", "text 3 height",
                          KERFMATE_FIELD(SSealBoxParam, sText3.dHeight)),
    // Text 3 keeps a spacing no widget edits.
    Length<SSealBoxParam>(nullptr, "sText3_dSpace", nullptr, nullptr, KERFMATE_FIELD(SSealBoxParam, sText3.dSpace)),
    Length<SSealBoxParam>("offset3", "sText3_dOffset", "doubleSpinBox_sealTextOffset3",
                          "text 3 shift down from the centre", KERFMATE_FIELD(SSealBoxParam, sText3.dOffset)),
    Text<SSealBoxParam, 256>("text1", "sText1_Text", Kind::Text, "lineEdit_sealText1", "text along the top",
                             KERFMATE_TEXT(SSealBoxParam, sText1.Text)),
    Text<SSealBoxParam, 256>("text2", "sText2_Text", Kind::Text, "lineEdit_sealText2", "text along the bottom",
                             KERFMATE_TEXT(SSealBoxParam, sText2.Text)),
    Text<SSealBoxParam, 256>("text3", "sText3_Text", Kind::Text, "lineEdit_sealText3", "text across the middle",
                             KERFMATE_TEXT(SSealBoxParam, sText3.Text)),
    Text<SSealBoxParam, 64>("font1", "sText1_Facename", Kind::Font, "fontComboBox_sealTextFont1", "text 1 font family",
                            KERFMATE_TEXT(SSealBoxParam, sText1.Facename)),
    Text<SSealBoxParam, 64>("font2", "sText2_Facename", Kind::Font, "fontComboBox_sealTextFont2", "text 2 font family",
                            KERFMATE_TEXT(SSealBoxParam, sText2.Facename)),
    Text<SSealBoxParam, 64>("font3", "sText3_Facename", Kind::Font, "fontComboBox_sealTextFont3", "text 3 font family",
                            KERFMATE_TEXT(SSealBoxParam, sText3.Facename)),
};

#undef KERFMATE_FIELD
#undef KERFMATE_TEXT

// One row's field through an INI reader or writer; a value the record does
// not hold, and texts, are left to their generator's own rules.
template <typename Store, typename Record>
void Exchange(const Store& ini, const Row<Record>& row, Record& record)
{
    if (!row.pszKey)
        return;
    if (row.pNumber)
        ini.Number(row.pszKey, row.pNumber(record));
    else if (row.pFlag)
        ini.Flag(row.pszKey, row.pFlag(record));
    else if (row.pCount && row.stored == Stored::Count)
        ini.Count(row.pszKey, row.pCount(record));
    else if (row.pCount)
        ini.Integer(row.pszKey, row.pCount(record));
}

template <typename Store, typename Record, size_t N>
void ExchangeAll(const Store& ini, const Row<Record> (&rows)[N], Record& record)
{
    for (const Row<Record>& row : rows)
        Exchange(ini, row, record);
}

} // namespace ParameterTable
