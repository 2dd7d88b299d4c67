// DXF as CAD programs write it, R12 to R2018, read by dxflib. dxflib trusts
// what it reads (a vertex count allocates that many vertices, a word where
// a number belongs reads as 0), so the text is checked first, pair by pair;
// then blocks are kept as dxflib hands them over and drawn at every insert.
#include "Flattener.h"
#include "Import.h"

#include <dl_creationadapter.h>
#include <dl_dxf.h>

#include <QHash>
#include <QLineF>
#include <QRegularExpression>
#include <QSet>
#include <cmath>
#include <functional>
#include <sstream>

namespace Import {
namespace {
constexpr int kMostLine = 1000;      // dxflib reads lines of up to 1024 characters
constexpr int kMostInsertDepth = 16; // blocks inserted inside blocks
constexpr qint64 kMostCopies = 100'000; // of one insert's rows and columns

// What the pair-by-pair check learns on its way.
struct Header
{
    int nUnits = 0; // $INSUNITS
};

bool IsReal(int code)
{
    return (code >= 10 && code <= 59) || (code >= 110 && code <= 149) || (code >= 210 && code <= 239);
}

bool IsInteger(int code)
{
    return (code >= 60 && code <= 99) || (code >= 170 && code <= 179);
}

QString EntityAdvice(const QByteArray& kind)
{
    if (kind == "TEXT" || kind == "MTEXT" || kind == "ATTRIB")
        return QStringLiteral("%1 entities: text is not read, convert it to outlines first").arg(QLatin1String(kind));
    if (kind == "HATCH" || kind == "SOLID")
        return QStringLiteral("%1 entities: fills are not cut, take them out first (their outlines stay)").arg(QLatin1String(kind));
    if (kind == "DIMENSION" || kind == "LEADER" || kind == "MLEADER")
        return QStringLiteral("%1 entities: dimensions are not cut, take them out first").arg(QLatin1String(kind));
    return QStringLiteral("%1 entities are not read").arg(QLatin1String(kind));
}

// The text as pairs of a group code and a value: every code a number,
// every coordinate a number, every count no more than what follows, the
// entities ones it reads, the end marked.
bool CheckPairs(const QByteArray& bytes, Header* pHeader, QString* pWhy)
{
    const auto fail = [pWhy](const QString& why) { return *pWhy = why, false; };
    if (bytes.startsWith("AutoCAD Binary DXF"))
        return fail(QStringLiteral("it is a binary DXF: save it as an ASCII DXF"));
    static const QSet<QByteArray> drawn{"LINE", "ARC", "CIRCLE", "ELLIPSE", "LWPOLYLINE", "POLYLINE", "VERTEX",
                                        "SEQEND", "SPLINE", "INSERT", "BLOCK", "ENDBLK"};
    // Nothing to cut: points, paper-space viewports, attribute templates.
    static const QSet<QByteArray> uncut{"POINT", "VIEWPORT", "ATTDEF"};
    qsizetype at = 0;
    qint64 line = 0;
    QByteArray section, entity, variable, last;
    bool expectName = false, ended = false;
    QHash<int, qint64> counted, declared; // per entity: codes seen, counts it claims
    const auto endEntity = [&]() {
        // LWPOLYLINE 90 counts vertices (10); SPLINE 72 knots (40), 73 control points (10), 74 fit points (11).
        const QList<std::pair<int, int>> claims = entity == "LWPOLYLINE" ? QList<std::pair<int, int>>{{90, 10}}
                                                : entity == "SPLINE" ? QList<std::pair<int, int>>{{72, 40}, {73, 10}, {74, 11}}
                                                                     : QList<std::pair<int, int>>{};
        for (const auto& [claim, code] : claims)
            if (declared.contains(claim) && declared.value(claim) != counted.value(code))
                return fail(QStringLiteral("it is damaged: a %1 ending before line %2 says it holds %3 points, not the %4 it has")
                                .arg(QLatin1String(entity)).arg(line).arg(declared.value(claim)).arg(counted.value(code)));
        counted.clear(), declared.clear();
        return true;
    };
    const auto next = [&](QByteArray* pLine) {
        if (at >= bytes.size())
            return false;
        qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            end = bytes.size();
        *pLine = bytes.mid(at, end - at);
        if (pLine->endsWith('\r'))
            pLine->chop(1);
        at = end + 1;
        ++line;
        return true;
    };
    QByteArray codeLine, value;
    while (next(&codeLine)) {
        if (!next(&value))
            return fail(QStringLiteral("it is damaged: it ends on line %1 between a group code and its value").arg(line));
        if (codeLine.size() > kMostLine || value.size() > kMostLine)
            return fail(QStringLiteral("it is damaged: line %1 is longer than a DXF line may be").arg(line - 1));
        bool ok = false;
        const int code = codeLine.trimmed().toInt(&ok);
        if (!ok || code < 0 || code > 1071) {
            if (line == 2)
                return fail(QStringLiteral("it is not a DXF drawing"));
            return fail(QStringLiteral("it is damaged: line %1 holds \"%2\" where a group code belongs")
                            .arg(line - 1).arg(QString::fromLatin1(codeLine.left(40))));
        }
        const QByteArray trimmed = value.trimmed();
        if (line == 2 && !(code == 0 && trimmed == "SECTION") && code != 999)
            return fail(QStringLiteral("it is not a DXF drawing"));
        if (ended)
            continue; // after EOF: nothing of the drawing
        if (IsReal(code) || IsInteger(code)) {
            const double number = IsReal(code) ? QByteArray(trimmed).replace(',', '.').toDouble(&ok) : trimmed.toLongLong(&ok);
            if (!ok || !std::isfinite(number))
                return fail(QStringLiteral("it is damaged: line %1 holds \"%2\" where a number belongs")
                                .arg(line).arg(QString::fromLatin1(trimmed.left(40))));
            if (section == "HEADER" && variable == "$INSUNITS" && code == 70)
                pHeader->nUnits = int(number);
            if (!entity.isEmpty()) {
                ++counted[code];
                if (IsInteger(code))
                    declared[code] = qint64(number);
            }
        }
        if (code == 9)
            variable = trimmed;
        if (expectName && code == 2)
            section = trimmed, expectName = false;
        if (code != 0)
            continue;
        if (!endEntity())
            return false;
        entity.clear();
        if (trimmed == "SECTION") {
            expectName = true;
        } else if (trimmed == "ENDSEC") {
            section.clear();
        } else if (trimmed == "EOF") {
            ended = true;
        } else if (section == "ENTITIES" || section == "BLOCKS") {
            if (!drawn.contains(trimmed) && !uncut.contains(trimmed))
                return fail(EntityAdvice(trimmed));
            entity = trimmed;
        }
        last = trimmed;
    }
    if (!ended)
        return fail(QStringLiteral("it is damaged: it ends without EOF (cut short?)"));
    return true;
}

// One entity as dxflib gave it, in its block's units.
struct Item
{
    enum Kind { Line, Polyline, Arc, Circle, Ellipse, Spline, Insert } kind = Line;
    QString layer;
    bool bMirrored = false; // drawn in an object coordinate system seen from below
    bool bBelow = false;    // extruded towards -z: an ellipse turns the other way
    QVector<QPointF> points; // line ends, polyline vertices, spline control points
    QVector<double> values;  // polyline bulges, spline knots
    QVector<double> weights;
    bool bClosed = false;
    QPointF centre, axis; // arcs and ellipses; an ellipse's major axis
    double dRadius = 0, dStart = 0, dEnd = 0, dRatio = 1;
    int nDegree = 0, nFit = 0;
    QString block;
    QPointF scale{1, 1}, spacing;
    double dAngle = 0;
    int nColumns = 1, nRows = 1;
};

struct Block
{
    QPointF base;
    QVector<Item> items;
};

class DxfReader : public DL_CreationAdapter
{
public:
    explicit DxfReader(Drawing& drawing) : m_flat(drawing) {}

    bool Draw(double dMmPerUnit, QString* pError);

    void addBlock(const DL_BlockData& data) override
    {
        m_block = QString::fromStdString(data.name);
        m_blocks[m_block].base = QPointF(data.bpx, data.bpy);
    }
    void endBlock() override { m_block.clear(); }
    void addLine(const DL_LineData& d) override
    {
        Item item = Start(Item::Line, false);
        item.points = {{d.x1, d.y1}, {d.x2, d.y2}};
        Keep(item);
    }
    void addArc(const DL_ArcData& d) override
    {
        Item item = Start(Item::Arc, true);
        item.centre = {d.cx, d.cy}, item.dRadius = d.radius, item.dStart = d.angle1, item.dEnd = d.angle2;
        Keep(item);
    }
    void addCircle(const DL_CircleData& d) override
    {
        Item item = Start(Item::Circle, true);
        item.centre = {d.cx, d.cy}, item.dRadius = d.radius;
        Keep(item);
    }
    void addEllipse(const DL_EllipseData& d) override
    {
        Item item = Start(Item::Ellipse, false); // in world coordinates, its turn by the extrusion
        item.centre = {d.cx, d.cy}, item.axis = {d.mx, d.my}, item.dRatio = d.ratio;
        item.dStart = d.angle1, item.dEnd = d.angle2;
        Keep(item);
    }
    void addPolyline(const DL_PolylineData& d) override
    {
        if (d.flags & (16 | 64))
            Fail(QStringLiteral("POLYLINE meshes are not read: a mesh is a surface, not an outline"));
        // Its frame's vertices are no points of the curve.
        if (d.flags & 4)
            Fail(QStringLiteral("spline-fit POLYLINEs are not read: turn them into a SPLINE or a plain polyline first"));
        // A 3-D polyline's vertices are in world coordinates.
        m_pending = Start(Item::Polyline, !(d.flags & 8));
        m_pending.bClosed = d.flags & 1;
        m_bPending = true;
    }
    void addVertex(const DL_VertexData& d) override
    {
        m_pending.points << QPointF(d.x, d.y);
        m_pending.values << d.bulge;
    }
    void addSpline(const DL_SplineData& d) override
    {
        m_pending = Start(Item::Spline, false);
        m_pending.nDegree = int(d.degree);
        m_pending.bClosed = d.flags & 1;
        m_bPending = true;
    }
    void addControlPoint(const DL_ControlPointData& d) override
    {
        m_pending.points << QPointF(d.x, d.y);
        m_pending.weights << d.w;
    }
    void addKnot(const DL_KnotData& d) override { m_pending.values << d.k; }
    void addFitPoint(const DL_FitPointData&) override { ++m_pending.nFit; }
    void endEntity() override
    {
        if (m_bPending)
            Keep(m_pending);
        m_bPending = false;
    }
    void addInsert(const DL_InsertData& d) override
    {
        Item item = Start(Item::Insert, true);
        item.block = QString::fromStdString(d.name);
        item.centre = {d.ipx, d.ipy}, item.scale = {d.sx, d.sy}, item.dAngle = d.angle;
        item.nColumns = std::max(1, d.cols), item.nRows = std::max(1, d.rows), item.spacing = {d.colSp, d.rowSp};
        Keep(item);
    }

private:
    Item Start(Item::Kind kind, bool bObjectCoordinates);
    void Keep(const Item& item);
    void Fail(const QString& why)
    {
        if (m_error.isEmpty())
            m_error = why;
    }
    bool DrawItem(const Item& item, const QTransform& toMm, const QString& layer, int depth);
    void DrawSpline(const Item& item);
    void Place(const QTransform& toMm);

    Flattener m_flat;
    QHash<QString, Block> m_blocks;
    QVector<Item> m_model;
    QString m_block; // the block being read; empty in the drawing itself
    Item m_pending;  // a polyline or spline until its last vertex
    bool m_bPending = false;
    bool m_bSkipping = false;
    QStringList m_inserting; // blocks being drawn, against cycles
    QTransform m_toMm;       // of the item being drawn
    QString m_error;
};

Item DxfReader::Start(Item::Kind kind, bool bObjectCoordinates)
{
    static const char* const names[] = {"LINE", "POLYLINE", "ARC", "CIRCLE", "ELLIPSE", "SPLINE", "INSERT"};
    Item item;
    item.kind = kind;
    const DL_Attributes attributes = getAttributes();
    item.layer = QString::fromStdString(attributes.getLayer());
    m_bSkipping = attributes.isInPaperSpace() && m_block.isEmpty();
    const double* n = getExtrusion()->getDirection();
    if (std::abs(n[0]) > 1e-9 || std::abs(n[1]) > 1e-9)
        Fail(QStringLiteral("it holds a %1 outside the drawing's plane (extrusion %2, %3, %4): flatten the drawing first")
                 .arg(QLatin1String(names[kind])).arg(n[0]).arg(n[1]).arg(n[2]));
    // Seen from below, an object's own x axis points the other way.
    item.bBelow = n[2] < 0;
    item.bMirrored = item.bBelow && bObjectCoordinates;
    return item;
}

void DxfReader::Keep(const Item& item)
{
    if (!m_bSkipping) // paper space is a layout sheet, not the drawing
        (m_block.isEmpty() ? m_model : m_blocks[m_block].items) << item;
}

void DxfReader::Place(const QTransform& toMm)
{
    m_toMm = toMm;
    m_flat.SetTransform(toMm);
}

void DxfReader::DrawSpline(const Item& item)
{
    const int p = item.nDegree, n = int(item.points.size());
    const QVector<double>& u = item.values;
    const QVector<double>& w = item.weights;
    // Homogeneous de Boor on the span holding t (the last one holding the end).
    const auto at = [&](double t) {
        int k = p;
        while (k + 1 < n && u[k + 1] <= t)
            ++k;
        while (k > p && !(u[k] < u[k + 1]))
            --k;
        QVector<double> x(p + 1), y(p + 1), h(p + 1);
        for (int j = 0; j <= p; ++j) {
            const int i = k - p + j;
            x[j] = item.points[i].x() * w[i], y[j] = item.points[i].y() * w[i], h[j] = w[i];
        }
        for (int r = 1; r <= p; ++r)
            for (int j = p; j >= r; --j) {
                const int i = k - p + j;
                const double span = u[i + p - r + 1] - u[i];
                const double a = span > 0 ? (t - u[i]) / span : 0.0;
                x[j] = (1 - a) * x[j - 1] + a * x[j], y[j] = (1 - a) * y[j - 1] + a * y[j], h[j] = (1 - a) * h[j - 1] + a * h[j];
            }
        return QPointF(x[p] / h[p], y[p] / h[p]);
    };
    // Halved until the curve lies within the flatness of each chord where
    // measured (a quarter, the middle, three quarters), at least four to a span.
    std::function<void(double, double, const QPointF&, int)> split = [&](double t0, double t1, const QPointF& end, int depth) {
        const QPointF a = m_toMm.map(at(t0)), b = m_toMm.map(end), ab = b - a;
        const double length = std::hypot(ab.x(), ab.y());
        bool flat = depth >= 2;
        for (double s : {0.25, 0.5, 0.75}) {
            const QPointF m = m_toMm.map(at(t0 + s * (t1 - t0)));
            const double off = length > 0 ? std::abs(ab.x() * (m - a).y() - ab.y() * (m - a).x()) / length : QLineF(m, a).length();
            flat = flat && off <= kFlatnessMm;
        }
        if (flat || depth > 24 || !m_flat.Room(2)) {
            m_flat.LineTo(end);
            return;
        }
        const double tm = (t0 + t1) / 2;
        split(t0, tm, at(tm), depth + 1);
        split(tm, t1, end, depth + 1);
    };
    m_flat.MoveTo(at(u[p]));
    for (int k = p; k < n; ++k)
        if (u[k] < u[k + 1])
            split(u[k], u[k + 1], at(u[k + 1]), 0);
    m_flat.End();
}

bool DxfReader::DrawItem(const Item& item, const QTransform& toMm, const QString& layer, int depth)
{
    // In a block, what lies on layer 0 takes the layer of its insert.
    const QString on = item.layer == QLatin1String("0") && !layer.isEmpty() ? layer : item.layer;
    static const QRegularExpression engrave(QStringLiteral("engrav"), QRegularExpression::CaseInsensitiveOption);
    m_flat.SetEngrave(on.contains(engrave));
    const QTransform placed = (item.bMirrored ? QTransform::fromScale(-1, 1) : QTransform()) * toMm;
    Place(placed);
    const QPointF r(item.dRadius, 0), s(0, item.dRadius);
    switch (item.kind) {
    case Item::Line:
        m_flat.MoveTo(item.points[0]), m_flat.LineTo(item.points[1]), m_flat.End();
        break;
    case Item::Polyline: {
        const int n = int(item.points.size());
        if (n == 0)
            break;
        m_flat.MoveTo(item.points[0]);
        for (int i = 0; i < (item.bClosed ? n : n - 1); ++i) {
            const QPointF a = item.points[i], b = item.points[(i + 1) % n];
            const double bulge = item.values[i];
            if (bulge == 0 || a == b) {
                m_flat.LineTo(b);
                continue;
            }
            // The bulge is the tangent of a quarter of the arc's angle, positive counterclockwise.
            const double angle = 4 * std::atan(bulge);
            const QPointF chord = b - a, left(-chord.y(), chord.x());
            const QPointF centre = (a + b) / 2 + left / 2 / std::tan(angle / 2);
            const double radius = QLineF(centre, a).length();
            m_flat.Arc(centre, {radius, 0}, {0, radius}, std::atan2(a.y() - centre.y(), a.x() - centre.x()), angle, &b);
        }
        item.bClosed ? m_flat.Close() : m_flat.End();
        break;
    }
    case Item::Arc: {
        double sweep = item.dEnd - item.dStart;
        while (sweep <= 0)
            sweep += 360;
        m_flat.Arc(item.centre, r, s, qDegreesToRadians(item.dStart), qDegreesToRadians(std::min(sweep, 360.0)));
        m_flat.End();
        break;
    }
    case Item::Circle:
        m_flat.Arc(item.centre, r, s, 0, 2 * M_PI);
        m_flat.Close();
        break;
    case Item::Ellipse: {
        const QPointF minor = item.dRatio * (item.bBelow ? QPointF(item.axis.y(), -item.axis.x()) : QPointF(-item.axis.y(), item.axis.x()));
        double sweep = item.dEnd - item.dStart;
        while (sweep <= 0)
            sweep += 2 * M_PI;
        const bool whole = sweep >= 2 * M_PI - 1e-9;
        m_flat.Arc(item.centre, item.axis, minor, item.dStart, std::min(sweep, 2 * M_PI));
        whole ? m_flat.Close() : m_flat.End();
        break;
    }
    case Item::Spline: {
        const int p = item.nDegree, n = int(item.points.size());
        if (n == 0 && item.nFit > 0)
            return Fail(QStringLiteral("a SPLINE given by fit points alone is not read: save it with its control points")), false;
        bool sound = p >= 1 && p <= 11 && n > p && item.values.size() == n + p + 1 && item.weights.size() == n;
        for (int i = 0; sound && i < item.values.size(); ++i)
            sound = std::isfinite(item.values[i]) && (i == 0 || item.values[i] >= item.values[i - 1]);
        for (int i = 0; sound && i < n; ++i)
            sound = item.weights[i] > 0;
        if (!sound || !(item.values[p] < item.values[n]))
            return Fail(QStringLiteral("it is damaged: a SPLINE's degree, knots and control points do not fit together")), false;
        DrawSpline(item);
        break;
    }
    case Item::Insert: {
        if (!m_blocks.contains(item.block))
            return Fail(QStringLiteral("it inserts the block \"%1\", which it does not hold").arg(item.block)), false;
        if (m_inserting.contains(item.block) || depth >= kMostInsertDepth)
            return Fail(QStringLiteral("the block \"%1\" is inserted inside itself, or more than %2 deep").arg(item.block).arg(kMostInsertDepth)), false;
        if (qint64(item.nColumns) * item.nRows > kMostCopies)
            return Fail(QStringLiteral("an INSERT of \"%1\" makes more than %L2 copies").arg(item.block).arg(kMostCopies)), false;
        const Block& block = m_blocks[item.block];
        m_inserting << item.block;
        for (int row = 0; row < item.nRows; ++row)
            for (int column = 0; column < item.nColumns; ++column) {
                const QTransform into = QTransform::fromTranslate(-block.base.x(), -block.base.y())
                                        * QTransform::fromScale(item.scale.x(), item.scale.y())
                                        * QTransform::fromTranslate(column * item.spacing.x(), row * item.spacing.y())
                                        * QTransform().rotate(item.dAngle)
                                        * QTransform::fromTranslate(item.centre.x(), item.centre.y()) * placed;
                for (const Item& inner : block.items)
                    if (!DrawItem(inner, into, on, depth + 1) || m_flat.Full() || !m_flat.Finite())
                        return m_inserting.removeLast(), m_error.isEmpty();
            }
        m_inserting.removeLast();
        break;
    }
    }
    return m_error.isEmpty();
}

bool DxfReader::Draw(double dMmPerUnit, QString* pError)
{
    // DXF's y points up; the sheet's down.
    const QTransform toMm = QTransform::fromScale(dMmPerUnit, -dMmPerUnit);
    for (const Item& item : std::as_const(m_model)) {
        if (!m_error.isEmpty() || m_flat.Full() || !m_flat.Finite())
            break;
        DrawItem(item, toMm, QString(), 0);
    }
    if (m_error.isEmpty() && !m_flat.Finite())
        m_error = m_flat.Unheld();
    if (m_error.isEmpty() && m_flat.Full())
        m_error = QStringLiteral("it holds more than %L1 points once its curves are flattened").arg(kMostPoints);
    if (!m_error.isEmpty() && pError)
        *pError = m_error;
    return m_error.isEmpty();
}

// Millimetres per drawing unit, by $INSUNITS; 0 for a code it does not know.
double MmPerUnit(int code)
{
    static const double mm[] = {1.0,  25.4,   304.8, 1609344.0, 1.0,    10.0,   1000.0, 1e6,       2.54e-5, 0.0254,     914.4,
                                1e-7, 1e-6,   1e-3,  100.0,     1e4,    1e5,    1e12,   1.495978707e14, 9.4607304725808e18,
                                3.0856776e19, 304.8006096};
    return code >= 0 && code < int(std::size(mm)) ? mm[code] : 0.0;
}
} // namespace

bool ReadDxf(const QByteArray& bytes, Drawing* pDrawing, QString* pError)
{
    Header header;
    QString why;
    if (!CheckPairs(bytes, &header, &why)) {
        if (pError)
            *pError = why;
        return false;
    }
    const double unit = MmPerUnit(header.nUnits);
    if (unit == 0) {
        if (pError)
            *pError = QStringLiteral("its unit ($INSUNITS %1) is none this program knows").arg(header.nUnits);
        return false;
    }
    Drawing drawing;
    drawing.bYUp = true;
    DxfReader reader(drawing);
    try {
        std::istringstream stream(bytes.toStdString());
        DL_Dxf dxf;
        dxf.in(stream, &reader);
    } catch (const std::exception& e) {
        if (pError)
            *pError = QStringLiteral("it is damaged: %1").arg(QString::fromLocal8Bit(e.what()));
        return false;
    }
    if (!reader.Draw(unit, pError))
        return false;
    if (header.nUnits == 0)
        drawing.notes << QStringLiteral("The DXF names no unit ($INSUNITS 0): read as millimetres.");
    *pDrawing = drawing;
    return true;
}

} // namespace Import
