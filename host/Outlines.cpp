#include "Outlines.h"

#include "CShape.h"
#include "CShapeList.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextStream>
#include <cmath>
#include <functional>

namespace {
constexpr double kPointsPerMm = 72.0 / 25.4;
// Curves become polylines in the DXF; flattening at this scale keeps them
// within about 0.01 mm of the curve.
constexpr double kFlattenScale = 50.0;

QString Number(double v)
{
    return QString::number(v, 'f', 4);
}

bool SamePoint(const QPointF& a, const QPointF& b)
{
    return std::abs(a.x() - b.x()) < 1e-9 && std::abs(a.y() - b.y()) < 1e-9;
}

// One SVG path: a subpath that returns to its start is closed with Z
// instead of a last line back.
QString SvgPathData(const QPainterPath& path)
{
    QString d;
    QPointF start;
    auto finishSubpath = [&](int end, QPointF last) {
        if (end > 0 && SamePoint(last, start)) {
            if (path.elementAt(end - 1).isLineTo())
                d.truncate(d.lastIndexOf(QLatin1Char('L')));
            d += QStringLiteral("Z ");
        }
    };
    QPointF last;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            finishSubpath(i, last);
            start = last = e;
            d += QStringLiteral("M%1 %2 ").arg(Number(e.x), Number(e.y));
        } else if (e.isLineTo()) {
            last = e;
            d += QStringLiteral("L%1 %2 ").arg(Number(e.x), Number(e.y));
        } else if (e.isCurveTo()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            last = end;
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6 ")
                     .arg(Number(e.x), Number(e.y), Number(c2.x), Number(c2.y), Number(end.x), Number(end.y));
            i += 2;
        }
    }
    finishSubpath(path.elementCount(), last);
    return d.trimmed();
}

QRectF PageOf(const Outlines& outlines)
{
    QRectF box = BoundsOf(outlines);
    if (!box.isValid())
        box = QRectF(0, 0, 1, 1);
    return box.adjusted(-kPartMarginMm, -kPartMarginMm, kPartMarginMm, kPartMarginMm);
}

bool Fail(QString* pError, const QString& reason)
{
    if (pError)
        *pError = reason;
    return false;
}

bool WriteText(const QString& path, QString* pError, const std::function<void(QTextStream&)>& body)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return Fail(pError, file.errorString());
    QTextStream out(&file);
    body(out);
    out.flush();
    return file.commit() || Fail(pError, file.errorString());
}

bool WriteSvg(const Outlines& outlines, const QString& path, QString* pError)
{
    const QRectF page = PageOf(outlines);
    return WriteText(path, pError, [&](QTextStream& out) {
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" "
            << "width=\"" << Number(page.width()) << "mm\" height=\"" << Number(page.height()) << "mm\" "
            << "viewBox=\"" << Number(page.x()) << ' ' << Number(page.y()) << ' ' << Number(page.width()) << ' '
            << Number(page.height()) << "\">\n";
        for (const Outline& outline : outlines)
            out << "  <path fill=\"none\" stroke=\"" << LayerColour(outline.nLayer).name()
                << "\" stroke-width=\"0.1\" d=\"" << SvgPathData(outline.path) << "\"/>\n";
        out << "</svg>\n";
    });
}

// AutoCAD R12: the oldest form every reader takes, with the two layers
// declared in their colours (1 red, 5 blue).
bool WriteDxf(const Outlines& outlines, const QString& path, QString* pError)
{
    return WriteText(path, pError, [&](QTextStream& out) {
        auto pair = [&out](int code, const QString& value) { out << code << '\n' << value << '\n'; };
        auto pairs = [&](std::initializer_list<std::pair<int, const char*>> list) {
            for (const auto& [code, value] : list)
                pair(code, QString::fromLatin1(value));
        };
        pairs({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1009"}, {9, "$INSUNITS"}, {70, "4"},
               {0, "ENDSEC"}, {0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LTYPE"}, {70, "1"}, {0, "LTYPE"},
               {2, "CONTINUOUS"}, {70, "0"}, {3, "Solid line"}, {72, "65"}, {73, "0"}, {40, "0.0"}, {0, "ENDTAB"},
               {0, "TABLE"}, {2, "LAYER"}, {70, "3"}});
        for (const auto& [name, colour] : {std::pair("0", "7"), std::pair("CUT", "1"), std::pair("ENGRAVE", "5")})
            pairs({{0, "LAYER"}, {2, name}, {70, "0"}, {62, colour}, {6, "CONTINUOUS"}});
        pairs({{0, "ENDTAB"}, {0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"}});
        const QTransform up = QTransform::fromScale(kFlattenScale, kFlattenScale);
        for (const Outline& outline : outlines) {
            const QString layer = QLatin1String(outline.nLayer == CShape::LayerEngrave ? "ENGRAVE" : "CUT");
            for (QPolygonF polygon : outline.path.toSubpathPolygons(up)) {
                if (polygon.size() < 2)
                    continue;
                const bool closed = polygon.size() > 2 && polygon.isClosed();
                if (closed)
                    polygon.removeLast();
                pair(0, QStringLiteral("POLYLINE"));
                pair(8, layer);
                pair(66, QStringLiteral("1"));
                pair(10, QStringLiteral("0.0"));
                pair(20, QStringLiteral("0.0"));
                pair(30, QStringLiteral("0.0"));
                pair(70, closed ? QStringLiteral("1") : QStringLiteral("0"));
                for (const QPointF& p : polygon) {
                    pair(0, QStringLiteral("VERTEX"));
                    pair(8, layer);
                    pair(10, Number(p.x() / kFlattenScale));
                    pair(20, Number(-p.y() / kFlattenScale)); // DXF's y axis points up
                    pair(30, QStringLiteral("0.0"));
                }
                pair(0, QStringLiteral("SEQEND"));
                pair(8, layer);
            }
        }
        pairs({{0, "ENDSEC"}, {0, "EOF"}});
    });
}

// One page at 1:1: the part plus its margin, rounded up to whole points
// (the unit of a PDF page) with the part in the middle.
bool WritePdf(const Outlines& outlines, const QString& path, QString* pError)
{
    QRectF page = PageOf(outlines);
    const QSizeF points(std::ceil(page.width() * kPointsPerMm), std::ceil(page.height() * kPointsPerMm));
    const QSizeF pageMm = points / kPointsPerMm;
    page.adjust(-(pageMm.width() - page.width()) / 2, -(pageMm.height() - page.height()) / 2,
                (pageMm.width() - page.width()) / 2, (pageMm.height() - page.height()) / 2);

    QPdfWriter writer(path);
    writer.setCreator(QStringLiteral("kerfmate-host"));
    writer.setResolution(1200);
    writer.setPageLayout(QPageLayout(QPageSize(points.toSize(), QString(), QPageSize::ExactMatch),
                                     QPageLayout::Portrait, QMarginsF(), QPageLayout::Point));
    QPainter painter;
    if (!painter.begin(&writer))
        return Fail(pError, QStringLiteral("cannot open the file for writing"));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(writer.resolution() / 25.4, writer.resolution() / 25.4);
    painter.translate(-page.topLeft());
    for (const Outline& outline : outlines) {
        painter.setPen(QPen(LayerColour(outline.nLayer), 0)); // hairline
        painter.drawPath(outline.path);
    }
    if (!painter.end())
        return Fail(pError, QStringLiteral("cannot write the file"));
    return true;
}
} // namespace

QColor LayerColour(int nLayer)
{
    return nLayer == CShape::LayerEngrave ? QColor(0, 0, 255) : QColor(255, 0, 0);
}

Outlines OutlinesOf(CShapeList& shapes)
{
    Outlines outlines;
    for (unsigned int i = 0; i < shapes.GetCount(); ++i) {
        CShape* shape = shapes.GetShape(i);
        const QPainterPath* path = shape ? shape->GetPath(false) : nullptr;
        if (path && !path->isEmpty())
            outlines.append({*path, shape->GetLayer()});
    }
    return outlines;
}

QRectF BoundsOf(const Outlines& outlines)
{
    QRectF bounds;
    for (const Outline& outline : outlines)
        bounds = bounds.united(outline.path.boundingRect());
    return bounds;
}

bool IsFinite(const Outlines& outlines)
{
    for (const Outline& outline : outlines)
        for (int i = 0; i < outline.path.elementCount(); ++i) {
            const QPainterPath::Element e = outline.path.elementAt(i);
            if (!std::isfinite(e.x) || !std::isfinite(e.y))
                return false;
        }
    return true;
}

FileFormat FormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("svg"))
        return FileFormat::Svg;
    if (suffix == QLatin1String("dxf"))
        return FileFormat::Dxf;
    if (suffix == QLatin1String("pdf"))
        return FileFormat::Pdf;
    return FileFormat::Unknown;
}

bool WritePart(const Outlines& outlines, const QString& path, QString* pError)
{
    if (!IsFinite(outlines))
        return Fail(pError, QStringLiteral("the part has coordinates that are not numbers"));
    switch (FormatOf(path)) {
    case FileFormat::Svg:
        return WriteSvg(outlines, path, pError);
    case FileFormat::Dxf:
        return WriteDxf(outlines, path, pError);
    case FileFormat::Pdf:
        return WritePdf(outlines, path, pError);
    case FileFormat::Unknown:
        break;
    }
    return Fail(pError, QStringLiteral("unknown file type (use .svg, .dxf or .pdf)"));
}
