// What every engine suite judges a build by: its outlines as the host
// receives them, and properties any correct outline has.
#pragma once

#include "TestSupport.h"

#include "CShape.h"
#include "CShapeList.h"
#include "EngineBuild.h"
#include "Curves.h"
#include "ReferenceEngine.h"

#include <QFontDatabase>
#include <clipper.hpp>
#include <QtMath>
#include <QtTest>
#include <cfloat>
#include <functional>
#include <numeric>

Q_DECLARE_METATYPE(SRectBoxParam)
Q_DECLARE_METATYPE(SFilletBoxParam)
Q_DECLARE_METATYPE(SGearBoxParam)
Q_DECLARE_METATYPE(SSealBoxParam)


// Both lists of one build, disposed of as the host does.
struct Output
{
    CShapeList *pMain = CShapeList::New(), *pAux = CShapeList::New();
    ~Output() { pMain->DeleteAll(), pAux->DeleteAll(), CShapeList::Release(pMain), CShapeList::Release(pAux); }
    CShape* Main(int i) const { return pMain->GetShape(uint(i)); }
    int MainCount() const { return int(pMain->GetCount()); }
};

inline QPainterPath PathOf(CShape* shape) { return *shape->GetPath(false); }
inline QList<QPolygonF> Contours(CShape* shape) { return PathOf(shape).toSubpathPolygons(); }

inline double Area(const QPainterPath& path)
{
    double area = 0.0;
    for (const QPolygonF& p : path.toFillPolygons())
        for (int i = 0, n = p.size(); i < n; ++i) // each polygon of a fill runs one way round
            area += (p[i].x() * p[(i + 1) % n].y() - p[(i + 1) % n].x() * p[i].y()) / 2.0;
    return std::abs(area);
}

// One closed contour whose edges meet only at their shared corners.
inline bool Simple(const QList<QPolygonF>& contours)
{
    const QPolygonF p = contours.value(0);
    const int n = p.size() - 1;
    for (int i = 0; i < n; ++i)
        for (int j = i + 2; j < n && !(i == 0 && j == n - 1); ++j)
            if (QLineF(p[i], p[i + 1]).intersects(QLineF(p[j], p[j + 1]), nullptr) == QLineF::BoundedIntersection)
                return false;
    return contours.size() == 1 && p.isClosed();
}

bool Finite(const Output& out) { return Sound(out.pMain) && Sound(out.pAux); }

inline bool Reaches(QPointF a, QPointF b, const QRectF& r)
{
    return std::max(a.x(), b.x()) >= r.left() && std::min(a.x(), b.x()) <= r.right()
           && std::max(a.y(), b.y()) >= r.top() && std::min(a.y(), b.y()) <= r.bottom();
}

// No two contours cross and each one inside another turns so that the ink
// changes at it: an even-odd fill engraves what a winding fill does, with no
// sliver left out where letters overlap. Curves are sampled to 1/20000 of
// the path's height, and a point within 1e-7 of it from a line touches it.
inline bool FillsAlike(const QPainterPath& path)
{
    const double unit = 1e4 / path.boundingRect().height();
    const QList<QPolygonF> c = path.toSubpathPolygons(QTransform::fromScale(unit, unit));
    const int n = c.size();
    QVector<QRectF> box(n);
    QVector<int> parent(n, -1), winding(n, 0), depth(n, 0);
    for (int i = 0; i < n; ++i)
        box[i] = c[i].boundingRect();
    const auto side = [](QPointF o, QPointF a, QPointF b) {
        const double z = (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
        return (z > 1e-3 * QLineF(o, a).length()) - (z < -1e-3 * QLineF(o, a).length());
    };
    for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b) {
            if (a == b || !box[a].intersects(box[b]))
                continue;
            for (int i = 0; b > a && i + 1 < c[a].size(); ++i)
                for (int j = 0; Reaches(c[a][i], c[a][i + 1], box[b]) && j + 1 < c[b].size(); ++j)
                    if (side(c[a][i], c[a][i + 1], c[b][j]) * side(c[a][i], c[a][i + 1], c[b][j + 1]) < 0
                        && side(c[b][j], c[b][j + 1], c[a][i]) * side(c[b][j], c[b][j + 1], c[a][i + 1]) < 0)
                        return false;
            const auto area = [&](int k) { return box[k].width() * box[k].height(); };
            if (box[b].contains(box[a]) && c[b].containsPoint(c[a][0], Qt::OddEvenFill)
                && (parent[a] < 0 || area(b) < area(parent[a])))
                parent[a] = b;
        }
    std::function<void(int)> settle = [&](int k) {
        if (winding[k] || depth[k])
            return;
        const int p = parent[k];
        if (p >= 0)
            settle(p), depth[k] = depth[p] + 1;
        double turn = 0; // twice the signed area
        for (int i = 0; i + 1 < c[k].size(); ++i)
            turn += c[k][i].x() * c[k][i + 1].y() - c[k][i + 1].x() * c[k][i].y();
        winding[k] = (p >= 0 ? winding[p] : 0) + (turn > 0 ? 1 : -1);
    };
    for (int k = 0; k < n; ++k)
        if (settle(k), (winding[k] != 0) != (depth[k] % 2 == 0))
            return false;
    return true;
}

template <typename T, typename Change>
T With(T value, Change change)
{
    return change(value), value;
}
