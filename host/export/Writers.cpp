// The three files other programs read: SVG and DXF for laser software, PDF
// for printing at 1:1. Each is made in memory and written whole.
#include "ExportFormats.h"

#include "CShape.h"
#include "CutOrder.h"
#include "PathData.h"
#include "WholeFile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>
#include <cmath>

namespace {
constexpr double kPointsPerMm = 72.0 / 25.4;

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

Outlines Joined(const QVector<Outlines>& sheets)
{
    Outlines all;
    for (const Outlines& sheet : sheets)
        all += sheet;
    return all;
}

QByteArray Svg(const QVector<Outlines>& sheets)
{
    const QRectF page = PageOf(Joined(sheets));
    QByteArray bytes;
    QTextStream out(&bytes);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" "
        << "width=\"" << Number(page.width()) << "mm\" height=\"" << Number(page.height()) << "mm\" "
        << "viewBox=\"" << Number(page.x()) << ' ' << Number(page.y()) << ' ' << Number(page.width()) << ' '
        << Number(page.height()) << "\"" << (sheets.size() > 1 ? " xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\"" : "")
        << ">\n";
    // Several sheets: a layer each, as drawing programs and laser software read them.
    for (int i = 0; i < sheets.size(); ++i) {
        const char* indent = sheets.size() > 1 ? "    " : "  ";
        if (sheets.size() > 1)
            out << "  <g id=\"sheet-" << i + 1 << "\" inkscape:groupmode=\"layer\" inkscape:label=\"Sheet " << i + 1 << "\">\n";
        for (const Outline& outline : sheets[i])
            out << indent << "<path fill=\"none\" stroke=\"" << LayerColour(outline.nLayer).name()
                << "\" stroke-width=\"0.1\" d=\"" << ToPathData(outline.path) << "\"/>\n";
        if (sheets.size() > 1)
            out << "  </g>\n";
    }
    out << "</svg>\n";
    out.flush();
    return bytes;
}

// AutoCAD R12: the oldest form every reader takes, with the two layers
// declared in their colours (1 red, 5 blue); several sheets get the two
// layers each (SHEET2_CUT...).
QByteArray Dxf(const QVector<Outlines>& sheets)
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
           {0, "TABLE"}, {2, "LAYER"}});
    const auto layerOf = [&sheets](int sheet, bool engrave) {
        const QString name = QLatin1String(engrave ? "ENGRAVE" : "CUT");
        return sheets.size() > 1 ? QStringLiteral("SHEET%1_%2").arg(sheet + 1).arg(name) : name;
    };
    pair(70, QString::number(1 + 2 * sheets.size()));
    QVector<std::pair<QString, const char*>> layers{{QStringLiteral("0"), "7"}};
    for (int i = 0; i < sheets.size(); ++i)
        layers << std::pair(layerOf(i, false), "1") << std::pair(layerOf(i, true), "5");
    for (const auto& [name, colour] : layers) {
        pairs({{0, "LAYER"}});
        pair(2, name);
        pairs({{70, "0"}, {62, colour}, {6, "CONTINUOUS"}});
    }
    pairs({{0, "ENDTAB"}, {0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"}});
    for (int i = 0; i < sheets.size(); ++i) {
        for (const Outline& outline : sheets[i]) {
            const QString layer = layerOf(i, IsEngraving(outline.nLayer));
            for (QPolygonF polygon : FlatPolygons(outline.path)) {
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
                    pair(10, Number(p.x()));
                    pair(20, Number(-p.y())); // DXF's y axis points up
                    pair(30, QStringLiteral("0.0"));
                }
                pair(0, QStringLiteral("SEQEND"));
                pair(8, layer);
            }
        }
    }
    pairs({{0, "ENDSEC"}, {0, "EOF"}});
    out.flush();
    return bytes;
}

// One page at 1:1 per sheet: its parts plus their margin, rounded up to
// whole points (the unit of a PDF page) with the parts in the middle.
QByteArray Pdf(const QVector<Outlines>& sheets)
{
    const auto layout = [](const Outlines& outlines, QRectF* pPage) {
        QRectF page = PageOf(outlines);
        const QSizeF points(std::ceil(page.width() * kPointsPerMm), std::ceil(page.height() * kPointsPerMm));
        const QSizeF pageMm = points / kPointsPerMm;
        page.adjust(-(pageMm.width() - page.width()) / 2, -(pageMm.height() - page.height()) / 2,
                    (pageMm.width() - page.width()) / 2, (pageMm.height() - page.height()) / 2);
        *pPage = page;
        return QPageLayout(QPageSize(points.toSize(), QString(), QPageSize::ExactMatch), QPageLayout::Portrait,
                           QMarginsF(), QPageLayout::Point);
    };
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("kerfmate-host"));
    writer.setTitle(QStringLiteral("Kerfmate: %1 %2 at 1:1").arg(sheets.size()).arg(QLatin1String(sheets.size() == 1 ? "sheet" : "sheets")));
    writer.setResolution(1200);
    QRectF page;
    writer.setPageLayout(layout(sheets.value(0), &page));
    QPainter painter;
    if (!painter.begin(&writer))
        return QByteArray();
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < sheets.size(); ++i) {
        if (i > 0 && (!writer.setPageLayout(layout(sheets[i], &page)) || !writer.newPage()))
            return QByteArray();
        painter.resetTransform();
        painter.scale(writer.resolution() / 25.4, writer.resolution() / 25.4);
        painter.translate(-page.topLeft());
        for (const Outline& outline : sheets[i]) {
            painter.setPen(QPen(LayerColour(outline.nLayer), 0)); // hairline
            painter.drawPath(outline.path);
        }
    }
    return painter.end() ? bytes : QByteArray();
}
} // namespace

const QVector<ExportFormat>& ExportFormats()
{
    static const QVector<ExportFormat> formats{
        {"svg", "SVG drawing", Svg, false}, {"dxf", "DXF drawing (AutoCAD R12)", Dxf, false}, {"pdf", "PDF at 1:1", Pdf, true}};
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
    return ExportSheets({outlines}, path, false, nullptr, pError);
}

namespace {
// Which file each sheet goes to; the reason when none can be written.
QString Plan(const QVector<Outlines>& all, const QString& path, bool bFilePerSheet,
             QVector<QPair<QString, QVector<Outlines>>>* pFiles)
{
    const ExportFormat* pFormat = FormatOf(path);
    if (!pFormat)
        return QStringLiteral("unknown file type (use .%1)").arg(ExportSuffixes().join(QLatin1String(", .")));
    const QFileInfo info(path);
    if (info.completeBaseName().isEmpty())
        return QStringLiteral("the file has no name before .%1").arg(QLatin1String(pFormat->pszSuffix));
    QVector<Outlines> sheets;
    for (const Outlines& sheet : all)
        if (!sheet.isEmpty())
            sheets << sheet;
    if (sheets.isEmpty())
        return QStringLiteral("there is nothing to export");
    for (const Outlines& sheet : std::as_const(sheets))
        if (!IsFinite(sheet))
            return QStringLiteral("the part has coordinates that are not numbers");
    pFiles->clear();
    if (!bFilePerSheet || pFormat->bPages || sheets.size() == 1)
        pFiles->append({path, sheets});
    else // numbered from 1 by the sheets that hold anything, as the laser gets them
        for (int i = 0; i < sheets.size(); ++i)
            pFiles->append({SheetFileName(path, i + 1), {sheets[i]}});
    return QString();
}
} // namespace

QString SheetFileName(const QString& path, int nNumber)
{
    const QFileInfo info(path);
    return info.dir().filePath(QStringLiteral("%1-%2.%3").arg(info.completeBaseName()).arg(nNumber).arg(info.suffix()));
}

QStringList ExportFiles(const QVector<Outlines>& sheets, const QString& path, bool bFilePerSheet)
{
    QVector<QPair<QString, QVector<Outlines>>> files;
    QStringList names;
    if (Plan(sheets, path, bFilePerSheet, &files).isEmpty())
        for (const auto& file : std::as_const(files))
            names << file.first;
    return names;
}

QStringList StaleSheetFiles(const QString& path, const QStringList& written)
{
    const QFileInfo info(path);
    const QRegularExpression numbered(QStringLiteral("^%1-[1-9][0-9]*\\.%2$")
                                          .arg(QRegularExpression::escape(info.completeBaseName()),
                                               QRegularExpression::escape(info.suffix())));
    QSet<QString> kept; // all in path's folder
    for (const QString& file : written)
        kept << QFileInfo(file).fileName();
    QStringList stale;
    const QDir folder = info.dir();
    for (const QFileInfo& file : folder.entryInfoList(QDir::Files | QDir::System | QDir::Hidden))
        if (numbered.match(file.fileName()).hasMatch() && file.isFile() && !kept.contains(file.fileName()))
            stale << folder.filePath(file.fileName());
    // The one sheet of an earlier export, now that this one's are numbered.
    if (!kept.contains(info.fileName()) && info.isFile())
        stale << path;
    stale.sort();
    return stale;
}

bool ExportSheets(const QVector<Outlines>& all, const QString& path, bool bFilePerSheet, QStringList* pWritten,
                  QString* pError)
{
    QVector<QPair<QString, QVector<Outlines>>> files;
    if (const QString why = Plan(all, path, bFilePerSheet, &files); !why.isEmpty()) {
        if (pError)
            *pError = why;
        return false;
    }
    const ExportFormat* pFormat = FormatOf(path);
    QStringList written;
    WholeFiles whole(files.size() > 1);
    for (auto& [file, contents] : files) {
        for (Outlines& sheet : contents)
            sheet = CutOrdered(sheet);
        const QByteArray bytes = pFormat->write(contents);
        if (bytes.isEmpty()) {
            if (pError)
                *pError = QStringLiteral("the %1 could not be made").arg(QString::fromLatin1(pFormat->pszSuffix).toUpper());
            return false;
        }
        if (!whole.Add(file, bytes, pError))
            return false;
        written << file;
    }
    if (!whole.Commit(pError))
        return false;
    if (pWritten)
        *pWritten << written;
    // Sheets an earlier export left under this name would be cut with these.
    for (const QString& stale : StaleSheetFiles(path, written))
        if (!QFile::remove(stale)) {
            if (pError)
                *pError = QStringLiteral("%1 from an earlier export could not be removed").arg(stale);
            return false;
        }
    return true;
}
