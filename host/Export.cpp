#include "Export.h"

#include "CShape.h"
#include "CShapeList.h"

#include <QPainterPath>
#include <QSaveFile>
#include <QTextStream>

namespace {
// Outlines as the laser sees them; lines and cubic curves.
QString Number(double v)
{
    return QString::number(v, 'f', 4);
}

QString SvgPathData(const QPainterPath& path)
{
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            d += QStringLiteral("M%1 %2 ").arg(Number(e.x), Number(e.y));
            break;
        case QPainterPath::LineToElement:
            d += QStringLiteral("L%1 %2 ").arg(Number(e.x), Number(e.y));
            break;
        case QPainterPath::CurveToElement: {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6 ")
                     .arg(Number(e.x), Number(e.y), Number(c2.x), Number(c2.y), Number(end.x), Number(end.y));
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    return d.trimmed();
}

QRectF Bounds(CShapeList& shapes)
{
    QRectF bounds;
    for (unsigned int i = 0; i < shapes.GetCount(); ++i)
        bounds = bounds.united(shapes.GetShape(i)->GetPath(false)->boundingRect());
    return bounds;
}

bool Commit(QSaveFile& file, QString* pError)
{
    if (file.commit())
        return true;
    if (pError)
        *pError = file.errorString();
    return false;
}

bool Open(QSaveFile& file, QString* pError)
{
    if (file.open(QIODevice::WriteOnly | QIODevice::Text))
        return true;
    if (pError)
        *pError = file.errorString();
    return false;
}
} // namespace

bool WriteSvg(CShapeList& shapes, const QString& path, QString* pError)
{
    QSaveFile file(path);
    if (!Open(file, pError))
        return false;

    constexpr double kMargin = 2.0;
    QRectF box = Bounds(shapes);
    if (!box.isValid())
        box = QRectF(0, 0, 1, 1);
    box.adjust(-kMargin, -kMargin, kMargin, kMargin);

    QTextStream out(&file);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" "
        << "width=\"" << Number(box.width()) << "mm\" height=\"" << Number(box.height()) << "mm\" "
        << "viewBox=\"" << Number(box.x()) << ' ' << Number(box.y()) << ' ' << Number(box.width()) << ' '
        << Number(box.height()) << "\">\n";
    for (unsigned int i = 0; i < shapes.GetCount(); ++i) {
        CShape* shape = shapes.GetShape(i);
        const QString d = SvgPathData(*shape->GetPath(false));
        if (d.isEmpty())
            continue;
        // Red cuts, blue engraves: the colours laser software maps to layers.
        const char* colour = shape->GetLayer() == CShape::LayerEngrave ? "#0000ff" : "#ff0000";
        out << "  <path fill=\"none\" stroke=\"" << colour << "\" stroke-width=\"0.1\" d=\"" << d << "\"/>\n";
    }
    out << "</svg>\n";
    out.flush();
    return Commit(file, pError);
}

bool WriteDxf(CShapeList& shapes, const QString& path, QString* pError)
{
    QSaveFile file(path);
    if (!Open(file, pError))
        return false;

    QTextStream out(&file);
    auto pair = [&out](int code, const QString& value) { out << code << '\n' << value << '\n'; };
    pair(0, QStringLiteral("SECTION"));
    pair(2, QStringLiteral("HEADER"));
    pair(9, QStringLiteral("$INSUNITS"));
    pair(70, QStringLiteral("4")); // millimetres
    pair(0, QStringLiteral("ENDSEC"));
    pair(0, QStringLiteral("SECTION"));
    pair(2, QStringLiteral("ENTITIES"));
    for (unsigned int i = 0; i < shapes.GetCount(); ++i) {
        CShape* shape = shapes.GetShape(i);
        const QString layer = shape->GetLayer() == CShape::LayerEngrave ? QStringLiteral("ENGRAVE")
                                                                          : QStringLiteral("CUT");
        const QList<QPolygonF> polygons = shape->GetPath(false)->toSubpathPolygons();
        for (QPolygonF polygon : polygons) {
            if (polygon.size() < 2)
                continue;
            const bool closed = polygon.isClosed();
            if (closed)
                polygon.removeLast();
            pair(0, QStringLiteral("POLYLINE"));
            pair(8, layer);
            pair(66, QStringLiteral("1"));
            pair(70, closed ? QStringLiteral("1") : QStringLiteral("0"));
            for (const QPointF& p : polygon) {
                pair(0, QStringLiteral("VERTEX"));
                pair(8, layer);
                pair(10, Number(p.x()));
                pair(20, Number(-p.y())); // DXF's y axis points up
            }
            pair(0, QStringLiteral("SEQEND"));
        }
    }
    pair(0, QStringLiteral("ENDSEC"));
    pair(0, QStringLiteral("EOF"));
    out.flush();
    return Commit(file, pError);
}
