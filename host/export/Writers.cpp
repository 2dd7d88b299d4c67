// The three files other programs read: SVG and DXF for laser software, PDF
// for printing at 1:1. Each is made in memory and written whole.
#include "ExportFormats.h"

#include "CShape.h"
#include "PathData.h"
#include "WholeFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextStream>
#include <cmath>

namespace {
constexpr double kPointsPerMm = 72.0 / 25.4;
// Curves become polylines in the DXF; flattening at this scale keeps them
// within about 0.01 mm of the curve.
constexpr double kFlattenScale = 50.0;

QString Number(double v)
{
    return QString::number(v, 'f', 4);
}

QRectF PageOf(const Outlines& outlines)
{
    QRectF box = BoundsOf(outlines);
    if (!box.isValid())
        box = QRectF(0, 0, 1, 1);
    return box.adjusted(-kPartMarginMm, -kPartMarginMm, kPartMarginMm, kPartMarginMm);
}

QByteArray Svg(const Outlines& outlines)
{
    const QRectF page = PageOf(outlines);
    QByteArray bytes;
    QTextStream out(&bytes);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" "
        << "width=\"" << Number(page.width()) << "mm\" height=\"" << Number(page.height()) << "mm\" "
        << "viewBox=\"" << Number(page.x()) << ' ' << Number(page.y()) << ' ' << Number(page.width()) << ' '
        << Number(page.height()) << "\">\n";
    for (const Outline& outline : outlines)
        out << "  <path fill=\"none\" stroke=\"" << LayerColour(outline.nLayer).name()
            << "\" stroke-width=\"0.1\" d=\"" << ToPathData(outline.path) << "\"/>\n";
    out << "</svg>\n";
    out.flush();
    return bytes;
}

// AutoCAD R12: the oldest form every reader takes, with the two layers
// declared in their colours (1 red, 5 blue).
QByteArray Dxf(const Outlines& outlines)
{
    QByteArray bytes;
    QTextStream out(&bytes);
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
        const QString layer = QLatin1String(IsEngraving(outline.nLayer) ? "ENGRAVE" : "CUT");
        for (QPolygonF polygon : outline.path.toSubpathPolygons(up)) {
            if (polygon.size() < 2)
                continue;
            const bool closed = polygon.size() > 2 && polygon.isClosed();
            if (closed)
                polygon.removeLast();
            pair(0, QStringLiteral("POLYLINE"));
            pair(8, layer);
            pairs({{66, "1"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}});
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
    out.flush();
    return bytes;
}

// One page at 1:1: the parts plus their margin, rounded up to whole points
// (the unit of a PDF page) with the parts in the middle.
QByteArray Pdf(const Outlines& outlines)
{
    QRectF page = PageOf(outlines);
    const QSizeF points(std::ceil(page.width() * kPointsPerMm), std::ceil(page.height() * kPointsPerMm));
    const QSizeF pageMm = points / kPointsPerMm;
    page.adjust(-(pageMm.width() - page.width()) / 2, -(pageMm.height() - page.height()) / 2,
                (pageMm.width() - page.width()) / 2, (pageMm.height() - page.height()) / 2);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("kerfmate-host"));
    writer.setResolution(1200);
    writer.setPageLayout(QPageLayout(QPageSize(points.toSize(), QString(), QPageSize::ExactMatch),
                                     QPageLayout::Portrait, QMarginsF(), QPageLayout::Point));
    QPainter painter;
    if (!painter.begin(&writer))
        return QByteArray();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(writer.resolution() / 25.4, writer.resolution() / 25.4);
    painter.translate(-page.topLeft());
    for (const Outline& outline : outlines) {
        painter.setPen(QPen(LayerColour(outline.nLayer), 0)); // hairline
        painter.drawPath(outline.path);
    }
    return painter.end() ? bytes : QByteArray();
}
} // namespace

const QVector<ExportFormat>& ExportFormats()
{
    static const QVector<ExportFormat> formats{
        {"svg", "SVG drawing", Svg}, {"dxf", "DXF drawing (AutoCAD R12)", Dxf}, {"pdf", "PDF at 1:1", Pdf}};
    return formats;
}

const ExportFormat* FormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const ExportFormat& format : ExportFormats())
        if (suffix == QLatin1String(format.pszSuffix))
            return &format;
    return nullptr;
}

QStringList ExportSuffixes()
{
    QStringList suffixes;
    for (const ExportFormat& format : ExportFormats())
        suffixes << QLatin1String(format.pszSuffix);
    return suffixes;
}

bool ExportOutlines(const Outlines& outlines, const QString& path, QString* pError)
{
    const auto fail = [pError](const QString& reason) {
        if (pError)
            *pError = reason;
        return false;
    };
    const ExportFormat* pFormat = FormatOf(path);
    if (!pFormat)
        return fail(QStringLiteral("unknown file type (use .%1)").arg(ExportSuffixes().join(QLatin1String(", ."))));
    if (QFileInfo(path).completeBaseName().isEmpty())
        return fail(QStringLiteral("the file has no name before .%1").arg(QLatin1String(pFormat->pszSuffix)));
    if (outlines.isEmpty())
        return fail(QStringLiteral("there is nothing to export"));
    if (!IsFinite(outlines))
        return fail(QStringLiteral("the part has coordinates that are not numbers"));
    const QByteArray bytes = pFormat->write(outlines);
    if (bytes.isEmpty())
        return fail(QStringLiteral("the %1 could not be made").arg(QString::fromLatin1(pFormat->pszSuffix).toUpper()));
    return WriteWholeFile(path, bytes, pError);
}
