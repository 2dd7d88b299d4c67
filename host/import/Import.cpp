#include "Import.h"

#include "CShape.h"
#include "Pieces.h"
#include "SheetDocument.h"

#include <QFileInfo>
#include <QHash>
#include <QLineF>
#include <cmath>

namespace Import {
namespace {
// Joins open strokes of one layer whose ends meet within kJoinMm, end to
// end (turned round where needed); a chain whose ends meet is closed.
QVector<Stroke> Joined(const QVector<Stroke>& strokes)
{
    QVector<Stroke> out;
    QVector<int> open;
    for (int i = 0; i < strokes.size(); ++i) {
        Stroke s = strokes[i];
        if (!s.bClosed && s.points.size() > 2 && QLineF(s.points.first(), s.points.last()).length() <= kJoinMm)
            s.points.removeLast(), s.bClosed = true;
        if (s.bClosed)
            out << s;
        else
            open << i;
    }
    // Ends in a grid of kJoinMm cells: each end meets those of its cell and the neighbours.
    const auto cell = [](const QPointF& p) {
        return std::pair<qint64, qint64>(qint64(std::floor(p.x() / kJoinMm)), qint64(std::floor(p.y() / kJoinMm)));
    };
    QHash<std::pair<qint64, qint64>, QVector<int>> ends; // cell: 2 * stroke + (0 first, 1 last)
    for (int i : std::as_const(open))
        for (int end = 0; end < 2; ++end)
            ends[cell(end ? strokes[i].points.last() : strokes[i].points.first())] << 2 * i + end;
    QVector<bool> used(strokes.size(), false);
    const auto take = [&](const QPointF& at, bool bEngrave) {
        const auto [cx, cy] = cell(at);
        for (qint64 dx = -1; dx <= 1; ++dx)
            for (qint64 dy = -1; dy <= 1; ++dy)
                for (int key : ends.value({cx + dx, cy + dy})) {
                    const Stroke& s = strokes[key / 2];
                    if (!used[key / 2] && s.bEngrave == bEngrave
                        && QLineF(at, key % 2 ? s.points.last() : s.points.first()).length() <= kJoinMm)
                        return used[key / 2] = true, key;
                }
        return -1;
    };
    for (int i : std::as_const(open)) {
        if (used[i])
            continue;
        used[i] = true;
        Stroke chain = strokes[i];
        // Grown at its end, then turned round and grown at the other.
        for (int side = 0; side < 2; ++side) {
            for (int key; (key = take(chain.points.last(), chain.bEngrave)) >= 0;) {
                QPolygonF next = strokes[key / 2].points;
                if (key % 2)
                    std::reverse(next.begin(), next.end());
                chain.points += next.mid(1);
            }
            std::reverse(chain.points.begin(), chain.points.end());
        }
        if (chain.points.size() > 2 && QLineF(chain.points.first(), chain.points.last()).length() <= kJoinMm)
            chain.points.removeLast(), chain.bClosed = true;
        out << chain;
    }
    return out;
}

// Where a path starts, as the maker's drawing program shows it.
QString At(const QPainterPath& path, bool bYUp)
{
    const QPointF p = path.elementCount() ? QPointF(path.elementAt(0)) : QPointF();
    return QStringLiteral("(%1, %2) mm").arg(p.x(), 0, 'f', 2).arg(bYUp ? -p.y() : p.y(), 0, 'f', 2);
}
} // namespace

bool ReadBytes(const QByteArray& bytes, const QString& strName, Imported* pImported, QString* pError)
{
    const auto fail = [pError](const QString& why) {
        if (pError)
            *pError = why;
        return false;
    };
    // By what the file holds: after a byte-order mark and blank space, XML or DXF pairs.
    const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    const QByteArray head = body.left(4096).trimmed();
    Drawing drawing;
    QString why;
    if (head.startsWith("\x1f\x8b"))
        return fail(QStringLiteral("it is compressed (an .svgz?): save it as a plain SVG"));
    if (head.startsWith('<')) {
        if (!ReadSvg(body, &drawing, &why))
            return fail(why);
    } else if (head.startsWith("AutoCAD Binary DXF") || head.startsWith("0") || head.startsWith("999")) {
        if (!ReadDxf(body, &drawing, &why))
            return fail(why);
    } else {
        return fail(QStringLiteral("it is neither an SVG nor a DXF drawing"));
    }
    const QVector<Stroke> strokes = Joined(drawing.strokes);
    Outlines outlines;
    QRectF extent;
    bool closed = false;
    for (const Stroke& stroke : strokes) {
        // Smaller than the ends that join into one point, it is a point: nothing a beam can follow.
        const QRectF box = stroke.points.boundingRect();
        if (stroke.bClosed && std::max(box.width(), box.height()) < kJoinMm)
            return fail(QStringLiteral("a closed outline at %1 is less than %2 mm across: a point, nothing to cut")
                            .arg(At(QPainterPath(stroke.points.value(0)), drawing.bYUp)).arg(kJoinMm));
        Outline outline;
        outline.path.addPolygon(stroke.points);
        if (stroke.bClosed)
            outline.path.closeSubpath();
        // An open path falls out of nothing but keeps its layer: a cut one is a
        // slit (a living hinge's), an engraved one a line.
        outline.nLayer = stroke.bEngrave ? CShape::LayerEngrave : CShape::LayerCut;
        closed = closed || (stroke.bClosed && !stroke.bEngrave);
        extent = extent.united(box);
        outlines << outline;
    }
    if (!closed)
        return fail(outlines.isEmpty() ? QStringLiteral("it holds nothing to cut")
                                       : QStringLiteral("nothing in it is closed to cut out (its %1 path(s) are open or engraved)")
                                             .arg(outlines.size()));
    if (extent.width() > kMostExtentMm || extent.height() > kMostExtentMm)
        return fail(QStringLiteral("it is %1 x %2 m, larger than any board (%3 m)")
                        .arg(extent.width() / 1000, 0, 'g', 3).arg(extent.height() / 1000, 0, 'g', 3).arg(kMostExtentMm / 1000));
    QVector<int> stray;
    const QVector<Outlines> pieces = GroupPieces(outlines, &stray);
    if (!stray.isEmpty())
        return fail(QStringLiteral("%1 path(s) lie outside every closed outline, the first at %2: a line needs a piece to lie on")
                        .arg(stray.size()).arg(At(outlines[stray.first()].path, drawing.bYUp)));
    Imported imported;
    imported.part.pieces = Framed(pieces);
    imported.part.nGenerator = -1;
    imported.part.strName = strName;
    imported.part.bGrouped = true;
    imported.origin = BoundsOf(outlines).topLeft();
    imported.notes = drawing.notes;
    *pImported = imported;
    return true;
}

bool ReadFile(const QString& path, Imported* pImported, QString* pError)
{
    QByteArray bytes;
    return SheetDocument::ReadBounded(path, SheetDocument::kMostBytes, &bytes, pError) && ReadBytes(bytes, QFileInfo(path).completeBaseName(), pImported, pError);
}

} // namespace Import
