// How every build of the reference engine ends. A record that breaks a
// limit is refused with one line in the host's log naming the build, the
// field and its limit; a built part is checked before any of it reaches the
// host's lists, so that no build ever hands over a coordinate that is not
// finite, lies outside its part, an outline left open that must be closed,
// or a cut outline that crosses or touches itself. What became of the build
// is kept as one report: built, adjusted or refused, with the first reason.
#pragma once

#include "GeometryRecords.h"
#include "ReferenceEngine.h"

#include <QRectF>
#include <QString>
#include <cstring>
#include <memory>
#include <vector>

class CShape;
class CShapeList;

namespace EngineBuild {

// The text of a zero-terminated UTF-8 record field; a full field has no terminator.
template <size_t N>
QString FieldText(const char (&field)[N])
{
    return QString::fromUtf8(field, int(qstrnlen(field, N)));
}

// Which end of a range the value may not take.
enum class Ends { Closed, OpenLow, OpenHigh };

// What a build made, not yet in the host's lists.
class Part
{
public:
    Part();
    ~Part();
    Part(const Part&) = delete;
    Part& operator=(const Part&) = delete;

    // Every coordinate of the part lies inside.
    QRectF bounds;

    // False, and the part refused with a sentence that names the field and
    // its limit, when value is not finite or lies outside [low, high]. Once
    // refused, every further requirement is false too.
    bool Require(const char* field, double value, double low, double high, Ends ends = Ends::Closed);
    // Refuses the part for a reason given as a sentence; the first reason is kept.
    void Refuse(const QString& reason);
    bool Refused() const { return !m_refusal.isEmpty(); }
    // Notes that a value was brought to one that can be cut, as a clause
    // saying which, from what to what and why; the report joins them into
    // one sentence.
    void Adjust(const QString& clause);

    // Takes ownership; null is ignored. Closed: every contour must end where it starts.
    void AddMain(CShape* pShape, bool bClosed);
    void AddAux(CShape* pShape, bool bClosed);

private:
    struct Piece
    {
        std::unique_ptr<CShape> shape;
        bool bClosed;
    };
    friend bool Deliver(const char* build, Part& part, CShapeList* pMain, CShapeList* pAux, EngineReport* pReport);

    QString m_refusal;
    QString m_adjustment;
    std::vector<Piece> m_main;
    std::vector<Piece> m_aux;
};

// A record's flag as the byte it travels as: any byte but zero means yes.
// Hosts built by other compilers may send other bytes than 0 and 1, and
// reading such a byte as a bool would be undefined.
inline void ReadFlag(bool& flag)
{
    unsigned char byte = 0;
    std::memcpy(&byte, &flag, 1);
    flag = byte != 0;
}

// Every flag of a record, read as above; a new flag in a record goes here.
inline void ReadFlags(SRectBoxParam& box)
{
    for (bool* pFlag : {&box.bInSize, &box.bNoTop, &box.bNoBottom})
        ReadFlag(*pFlag);
}

inline void ReadFlags(SFilletBoxParam& box)
{
    ReadFlags(static_cast<SRectBoxParam&>(box));
    ReadFlag(box.bNoFlute3Edge);
}

inline void ReadFlags(SSealBoxParam& seal)
{
    ReadFlag(seal.bTextReverse);
    ReadFlag(seal.bStar);
}

// The one way out of a build: false with both lists untouched when the part
// was refused or fails its check (each logged at level 2), else true with the
// part moved into the lists (aux pieces only when pAux is given) and any
// adjustment logged. The report says which, with its sentence.
bool Deliver(const char* build, Part& part, CShapeList* pMain, CShapeList* pAux, EngineReport* pReport);

// A length as a sentence shows it: millimetres to 0.01, no trailing zeros.
QString Millimetres(double value);
// "What raised from a to b" or "What lowered from a to b", lengths in
// millimetres, counts (bLength false) as they are.
QString Changed(const char* what, double from, double to, bool bLength = true);

} // namespace EngineBuild
