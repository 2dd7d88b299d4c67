#include "NestJudge.h"

#include "Readers.h"

#include <CGAL/Boolean_set_operations_2.h>
#include <CGAL/Exact_predicates_exact_constructions_kernel.h>
#include <CGAL/Polygon_with_holes_2.h>
#include <CGAL/box_intersection_d.h>

#include <QFile>
#include <QFileInfo>
#include <QPainterPath>
#include <QRegularExpression>
#include <QTransform>

namespace {
using K = CGAL::Exact_predicates_exact_constructions_kernel;
using Point = K::Point_2;
using Segment = K::Segment_2;
using Polygon = CGAL::Polygon_2<K>;
using Solid = CGAL::Polygon_with_holes_2<K>;

// The export's own path data (absolute M, L, C, Z) read here, not by the host's reader.
QPainterPath PathOf(const QString& d)
{
    QPainterPath path;
    static const QRegularExpression token(QStringLiteral("[MLCZ]|-?[0-9.]+(?:e[-+]?[0-9]+)?"));
    QChar command;
    QVector<double> n;
    const auto take = [&] {
        if (command == 'M' && n.size() == 2)
            path.moveTo(n[0], n[1]);
        else if (command == 'L' && n.size() == 2)
            path.lineTo(n[0], n[1]);
        else if (command == 'C' && n.size() == 6)
            path.cubicTo(n[0], n[1], n[2], n[3], n[4], n[5]);
        else
            return;
        n.clear();
    };
    for (const QRegularExpressionMatch& m : token.globalMatch(d)) {
        const QString t = m.captured();
        if (t[0].isLetter()) {
            command = t[0];
            if (command == 'Z')
                path.closeSubpath();
        } else {
            n << t.toDouble();
            take();
        }
    }
    return path;
}

QList<QPolygonF> Rings(const QPainterPath& path)
{
    QList<QPolygonF> rings;
    // Flattened finely: a hundredth of the tolerance the judge allows.
    for (QPolygonF polygon : path.toSubpathPolygons(QTransform::fromScale(1e4, 1e4)))
        if (polygon.size() > 3 && polygon.isClosed())
            rings << QTransform::fromScale(1e-4, 1e-4).map(polygon);
    return rings;
}

Polygon ToCgal(const QPolygonF& ring)
{
    Polygon polygon;
    for (int i = 0; i + 1 < ring.size(); ++i) // the closing point once
        if (polygon.is_empty() || polygon.container().back() != Point(ring[i].x(), ring[i].y()))
            polygon.push_back(Point(ring[i].x(), ring[i].y()));
    return polygon;
}

struct Piece
{
    int depth = 0; // 0 on the board, 2 in a hole of a piece, ...
    Solid solid;
    std::vector<Segment> edges;
    CGAL::Bbox_2 box;
};

QString At(int sheet, int a, int b = -1)
{
    return b < 0 ? QStringLiteral("sheet %1, piece %2").arg(sheet + 1).arg(a + 1)
                 : QStringLiteral("sheet %1, pieces %2 and %3").arg(sheet + 1).arg(a + 1).arg(b + 1);
}
} // namespace

QVector<QList<QPolygonF>> SheetCuts(const QStringList& files)
{
    QVector<QList<QPolygonF>> sheets;
    QStringList dxfs;
    for (const QString& file : files)
        if (file.endsWith(QLatin1String(".dxf")))
            dxfs << file;
    const QList<QStringList> read = DxfEntities(dxfs);
    for (const QString& file : files) {
        const int first = int(sheets.size());
        if (file.endsWith(QLatin1String(".svg"))) {
            QFile svg(file);
            const QString text = svg.open(QIODevice::ReadOnly) ? QString::fromUtf8(svg.readAll()) : QString();
            const QStringList layers = text.split(QStringLiteral("<g id=\"sheet-"));
            for (int i = layers.size() > 1 ? 1 : 0; i < layers.size(); ++i) {
                sheets.append(QList<QPolygonF>());
                static const QRegularExpression cut(QStringLiteral("<path [^>]*stroke=\"#ff0000\"[^>]* d=\"([^\"]*)\""));
                for (const QRegularExpressionMatch& m : cut.globalMatch(layers[i]))
                    sheets.last() += Rings(PathOf(m.captured(1)));
            }
        } else {
            for (const QString& entity : read.value(int(dxfs.indexOf(file))).mid(1)) {
                const QStringList fields = entity.split(' ');
                if (!fields[0].endsWith(QLatin1String("CUT")) || fields.value(1) != QLatin1String("1"))
                    continue;
                const int sheet = first + (fields[0].startsWith(QLatin1String("SHEET")) ? fields[0].mid(5).section('_', 0, 0).toInt() - 1 : 0);
                while (sheets.size() <= sheet)
                    sheets.append(QList<QPolygonF>());
                QPolygonF ring;
                for (const QString& xy : fields.mid(2))
                    ring << QPointF(xy.section(',', 0, 0).toDouble(), -xy.section(',', 1, 1).toDouble());
                if (!ring.isEmpty())
                    sheets[sheet] << (ring << ring.first());
            }
        }
    }
    return sheets;
}

QString JudgeNest(const QVector<QList<QPolygonF>>& sheets, const Board& board, double dTolerance)
{
    const double m = board.dMarginMm, w = board.size.width(), h = board.size.height();
    for (int s = 0; s < sheets.size(); ++s) {
        // Rings into pieces: a ring inside an even number of others is a
        // piece's outside, and the rings just inside it are its holes.
        std::vector<Polygon> rings;
        for (const QPolygonF& ring : sheets[s]) {
            rings.push_back(ToCgal(ring));
            if (!rings.back().is_simple())
                return At(s, int(rings.size()) - 1) + QStringLiteral(": a cut that crosses itself");
            if (rings.back().is_clockwise_oriented())
                rings.back().reverse_orientation();
        }
        const auto inside = [&](size_t a, size_t b) { // a within b
            if (rings[a].area() >= rings[b].area())
                return false;
            for (const Point& p : rings[a].container())
                if (rings[b].bounded_side(p) == CGAL::ON_UNBOUNDED_SIDE)
                    return false;
            return true;
        };
        std::vector<int> parent(rings.size(), -1), depth(rings.size(), 0);
        for (size_t a = 0; a < rings.size(); ++a)
            for (size_t b = 0; b < rings.size(); ++b)
                if (a != b && inside(a, b) && (parent[a] < 0 || rings[b].area() < rings[size_t(parent[a])].area()))
                    parent[a] = int(b);
        for (size_t a = 0; a < rings.size(); ++a)
            for (int up = parent[a]; up >= 0; up = parent[size_t(up)])
                ++depth[a];
        std::vector<Piece> pieces;
        std::vector<int> pieceOf(rings.size(), -1);
        for (size_t a = 0; a < rings.size(); ++a)
            if (depth[a] % 2 == 0)
                pieceOf[a] = int(pieces.size()), pieces.push_back({depth[a], Solid(rings[a]), {}, rings[a].bbox()});
        for (size_t a = 0; a < rings.size(); ++a) {
            Piece& piece = pieces[size_t(pieceOf[a] >= 0 ? pieceOf[a] : pieceOf[size_t(parent[a])])];
            if (pieceOf[a] < 0) {
                Polygon hole = rings[a];
                hole.reverse_orientation();
                piece.solid.add_hole(hole);
            }
            for (auto e = rings[a].edges_begin(); e != rings[a].edges_end(); ++e)
                piece.edges.push_back(*e);
        }
        // Inside the margin; a piece the room cannot hold in the margin's
        // corner, with nothing beside it but what lies in its holes.
        const size_t topLevel = size_t(std::count(depth.begin(), depth.end(), 0));
        for (size_t p = 0; p < pieces.size(); ++p) {
            if (pieces[p].depth > 0) // within another: kept apart from it below
                continue;
            const CGAL::Bbox_2& b = pieces[p].box;
            const double pw = b.xmax() - b.xmin(), ph = b.ymax() - b.ymin(), rw = w - 2 * m, rh = h - 2 * m;
            if (b.xmin() >= m - dTolerance && b.ymin() >= m - dTolerance && b.xmax() <= w - m + dTolerance && b.ymax() <= h - m + dTolerance)
                continue;
            const bool fits = (pw <= rw && ph <= rh) || (ph <= rw && pw <= rh);
            if (fits || topLevel > 1 || std::abs(b.xmin() - m) > dTolerance || std::abs(b.ymin() - m) > dTolerance)
                return At(s, int(p)) + QStringLiteral(" reaches into the %1 mm margin").arg(m);
        }
        // Every two pieces: apart by the gap, and neither over the other.
        const double gap = std::max(0.0, board.dGapMm - dTolerance);
        for (size_t a = 0; a < pieces.size(); ++a)
            for (size_t b = a + 1; b < pieces.size(); ++b) {
                const CGAL::Bbox_2 &ba = pieces[a].box, &bb = pieces[b].box;
                if (ba.xmin() > bb.xmax() + gap || bb.xmin() > ba.xmax() + gap || ba.ymin() > bb.ymax() + gap || bb.ymin() > ba.ymax() + gap)
                    continue;
                if (CGAL::do_intersect(pieces[a].solid, pieces[b].solid)) {
                    // Edges that touch along a slant may cross by the files' rounding:
                    // an overlap no wider than the tolerance is a touch.
                    std::vector<Solid> shared;
                    CGAL::intersection(pieces[a].solid, pieces[b].solid, std::back_inserter(shared));
                    double area = 0, rim = 0;
                    for (const Solid& o : shared) {
                        area += CGAL::to_double(o.outer_boundary().area());
                        for (auto e = o.outer_boundary().edges_begin(); e != o.outer_boundary().edges_end(); ++e)
                            rim += std::sqrt(CGAL::to_double(e->squared_length()));
                    }
                    if (rim <= 0 || 2 * std::abs(area) / rim > dTolerance)
                        return At(s, int(a), int(b)) + QStringLiteral(" overlap, %1 mm deep").arg(rim > 0 ? 2 * std::abs(area) / rim : 0, 0, 'f', 4);
                }
                using Box = CGAL::Box_intersection_d::Box_with_handle_d<double, 2, const Segment*>;
                const auto boxes = [gap](const std::vector<Segment>& edges) {
                    std::vector<Box> out;
                    for (const Segment& e : edges) {
                        const CGAL::Bbox_2 box = e.bbox();
                        out.emplace_back(CGAL::Bbox_2(box.xmin() - gap, box.ymin() - gap, box.xmax() + gap, box.ymax() + gap), &e);
                    }
                    return out;
                };
                std::vector<Box> ea = boxes(pieces[a].edges), eb = boxes(pieces[b].edges);
                const K::FT least = K::FT(gap) * K::FT(gap);
                K::FT nearest = -1;
                CGAL::box_intersection_d(ea.begin(), ea.end(), eb.begin(), eb.end(), [&](const Box& x, const Box& y) {
                    const K::FT d = CGAL::squared_distance(*x.handle(), *y.handle());
                    if (nearest < 0 || d < nearest)
                        nearest = d;
                });
                if (nearest >= 0 && nearest < least)
                    return At(s, int(a), int(b)) + QStringLiteral(" lie %1 mm apart, less than %2 mm")
                                                       .arg(std::sqrt(CGAL::to_double(nearest)), 0, 'f', 4).arg(board.dGapMm);
            }
    }
    return QString();
}
