#include "Readers.h"

#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QCoreApplication>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineF>
#include <QPaintEngine>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace {
QImage Canvas(const QRectF& page, QPainter& painter, QImage& image)
{
    image = QImage((page.size() * kPxPerMm).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    painter.begin(&image);
    painter.scale(kPxPerMm, kPxPerMm);
    painter.translate(-page.topLeft());
    painter.setPen(QPen(Qt::black, 0));
    return image;
}

std::vector<char> Ink(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width(), h = rgb.height();
    std::vector<char> ink(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        char* out = ink.data() + size_t(y) * w;
        for (int x = 0; x < w; ++x)
            out[x] = qRed(line[x]) < 220 || qGreen(line[x]) < 220 || qBlue(line[x]) < 220;
    }
    return ink;
}

// A reader's output is read once per file as it stands: a test that looks at
// one file several ways starts one reader, not several.
QString Version(const QString& file)
{
    QFile in(file);
    const QByteArray bytes = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    return QFileInfo(file).absoluteFilePath() + QLatin1Char('|') + QString::number(bytes.size()) + QLatin1Char('|')
         + QString::number(qHash(bytes));
}

QHash<QString, QStringList>& DxfRead()
{
    static QHash<QString, QStringList> read;
    return read;
}

// Every page of a PDF, rendered by one pdftoppm run.
QList<QImage> PdfPages(const QString& file)
{
    static QHash<QString, QList<QImage>> rendered;
    const QString key = Version(file);
    if (rendered.contains(key))
        return rendered.value(key);
    QTemporaryDir dir;
    QList<QImage> pages;
    if (QProcess::execute(QStringLiteral("pdftoppm"), {"-r", QString::number(kPxPerMm * 25.4), file, dir.filePath("page")}) == 0) {
        // page-1.ppm, or page-01.ppm from ten pages on: sorted by their number.
        QMap<int, QString> byNumber;
        for (const QString& name : QDir(dir.path()).entryList({"page-*.ppm"}, QDir::Files))
            byNumber.insert(name.section('-', 1).section('.', 0, 0).toInt(), dir.filePath(name));
        for (const QString& path : byNumber)
            pages << QImage(path);
    }
    rendered.insert(key, pages);
    return pages;
}
} // namespace

QImage Drawn(const QList<QPainterPath>& paths, const QRectF& page)
{
    QPainter painter;
    QImage image;
    Canvas(page, painter, image);
    for (const QPainterPath& path : paths)
        painter.drawPath(path);
    return image;
}

QString Ezdxf(const QString& script, const QStringList& args, bool* pOk)
{
    // One Python for the whole run: importing ezdxf takes longer than reading a sheet.
    static QProcess* python = nullptr;
    if (!python || python->state() != QProcess::Running) {
        delete python;
        python = new QProcess;
        python->setProcessChannelMode(QProcess::ForwardedErrorChannel); // its tracebacks in the test log
        python->start(QStringLiteral("/usr/bin/python3"), // Debian's, with python3-ezdxf
                      {"-c", "import contextlib, io, json, sys, traceback, ezdxf\n"
                             "for line in sys.stdin:\n"
                             "    job, out, ok = json.loads(line), io.StringIO(), True\n"
                             "    sys.argv = [''] + job[1:]\n"
                             "    with contextlib.redirect_stdout(out):\n"
                             "        try:\n"
                             "            exec(job[0], {'__name__': '__main__', 'sys': sys, 'ezdxf': ezdxf})\n"
                             "        except BaseException:\n"
                             "            traceback.print_exc()\n"
                             "            ok = False\n"
                             "    print(json.dumps([ok, out.getvalue()]), flush=True)"});
    }
    static const bool bStopsAtExit = (qAddPostRoutine([] {
                                          python->closeWriteChannel();
                                          python->waitForFinished(10000);
                                          delete python;
                                          python = nullptr;
                                      }),
                                      true);
    Q_UNUSED(bStopsAtExit)
    python->write(QJsonDocument(QJsonArray::fromStringList(QStringList{script} + args)).toJson(QJsonDocument::Compact) + '\n');
    while (!python->canReadLine() && python->waitForReadyRead(120000)) {
    }
    if (!python->canReadLine()) { // stuck or gone: its late answer must not be taken for the next job's
        python->kill();
        python->waitForFinished(10000);
    }
    const QJsonArray said = QJsonDocument::fromJson(python->readLine()).array();
    if (pOk)
        *pOk = said.at(0).toBool();
    return said.at(1).toString();
}

QList<QStringList> DxfEntities(const QStringList& files)
{
    QStringList keys, unread, unreadKeys;
    for (const QString& file : files) {
        keys << Version(file);
        if (!DxfRead().contains(keys.last()) && !unreadKeys.contains(keys.last()))
            unread << file, unreadKeys << keys.last();
    }
    if (!unread.isEmpty()) {
        const QStringList lines = Ezdxf("for name in sys.argv[1:]:\n"
                                        "    print('=')\n"
                                        "    try:\n"
                                        "        doc = ezdxf.readfile(name)\n"
                                        "    except Exception:\n"
                                        "        continue\n"
                                        "    print(len(doc.audit().errors), doc.header.get('$INSUNITS', 0),\n"
                                        "          ' '.join('%s:%d' % (l.dxf.name, l.color) for l in doc.layers if l.dxf.name != 'Defpoints'))\n"
                                        "    for e in doc.modelspace():\n"
                                        "        print(e.dxf.layer, int(e.is_closed), ' '.join('%.4f,%.4f' % (p.x, p.y) for p in e.points()))",
                                        unread).split('\n', Qt::SkipEmptyParts);
        int next = -1;
        for (const QString& line : lines) {
            if (line == QLatin1String("=") && ++next < unread.size())
                DxfRead().insert(unreadKeys.at(next), {});
            else if (next >= 0 && next < unread.size())
                DxfRead()[unreadKeys.at(next)] << line;
        }
    }
    QList<QStringList> read;
    for (const QString& key : keys)
        read << DxfRead().value(key);
    return read;
}

QStringList DxfEntities(const QString& file)
{
    return DxfEntities(QStringList{file}).value(0);
}

QImage ReadBack(const QString& file, const QRectF& page, int nPdfPage)
{
    QPainter painter;
    QImage image;
    if (file.endsWith(QLatin1String(".svg"))) {
        QSvgRenderer svg(file);
        if (!svg.isValid())
            return QImage();
        Canvas(page, painter, image);
        svg.render(&painter, svg.viewBoxF());
    } else if (file.endsWith(QLatin1String(".dxf"))) {
        const QStringList entities = DxfEntities(file);
        if (entities.isEmpty())
            return QImage();
        Canvas(page, painter, image);
        for (const QString& entity : entities.mid(1)) {
            const QList<QStringView> fields = QStringView(entity).split(QLatin1Char(' '));
            QPolygonF polygon;
            for (const QStringView point : fields.mid(2)) {
                const qsizetype comma = point.indexOf(QLatin1Char(','));
                polygon << QPointF(point.left(comma).toDouble(), -point.sliced(comma + 1).toDouble());
            }
            fields.value(1) == QLatin1String("1") ? painter.drawPolygon(polygon) : painter.drawPolyline(polygon);
        }
    } else {
        const QImage pdf = PdfPages(file).value(nPdfPage - 1);
        if (pdf.isNull())
            return QImage();
        Canvas(page, painter, image);
        painter.resetTransform();
        painter.drawImage(QPointF(image.width() - pdf.width(), image.height() - pdf.height()) / 2, pdf);
    }
    return image;
}

double Stray(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 1.0;
    const int w = a.width(), h = a.height();
    const std::vector<char> inkA = Ink(a), inkB = Ink(b);
    std::vector<char> near(inkB.size()), nearer(inkB.size());
    for (int y = 0; y < h; ++y) // b's ink grown by two pixels, along x then y
        for (int x = 0; x < w; ++x)
            if (inkB[size_t(y) * w + x])
                for (int d = std::max(0, x - 2); d <= std::min(w - 1, x + 2); ++d)
                    near[size_t(y) * w + d] = 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (near[size_t(y) * w + x])
                for (int d = std::max(0, y - 2); d <= std::min(h - 1, y + 2); ++d)
                    nearer[size_t(d) * w + x] = 1;
    long ink = 0, stray = 0;
    for (size_t i = 0; i < inkA.size(); ++i)
        ink += inkA[i], stray += inkA[i] && !nearer[i];
    return ink ? double(stray) / ink : 1.0;
}

namespace {
// Records what QtSvg draws, where the painter's transform puts it.
class Recorder : public QPaintEngine
{
public:
    Recorder() : QPaintEngine(AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState& state) override
    {
        if (state.state() & DirtyTransform)
            m_transform = state.transform();
        if (state.state() & DirtyPen)
            m_colour = state.pen().style() == Qt::NoPen ? QColor() : state.pen().color();
    }
    void drawPath(const QPainterPath& path) override
    {
        if (!m_colour.isValid())
            return; // a fill, such as a page's background: no line a laser follows
        const QTransform fine = m_transform * QTransform::fromScale(2000, 2000);
        for (QPolygonF polygon : path.toSubpathPolygons(fine)) {
            for (QPointF& p : polygon)
                p /= 2000;
            const bool closed = polygon.size() > 2 && polygon.isClosed();
            drawn << DrawnPath{polygon, closed, m_colour};
        }
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        QPainterPath path;
        path.addPolygon(QPolygonF(QList<QPointF>(points, points + count)));
        if (mode != PolylineMode)
            path.closeSubpath();
        drawPath(path);
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    QList<DrawnPath> drawn;

private:
    QTransform m_transform;
    QColor m_colour;
};

class RecordedPage : public QPaintDevice
{
public:
    QPaintEngine* paintEngine() const override { return &m_recorder; }
    int metric(PaintDeviceMetric metric) const override
    {
        return metric == PdmDepth ? 32 : metric == PdmDevicePixelRatioScaled ? int(devicePixelRatioFScale())
               : metric >= PdmDpiX                                              ? 96
                                                                                : 100000;
    }
    mutable Recorder m_recorder;
};
} // namespace

QList<DrawnPath> SvgDrawn(const QString& file, const QRectF& page)
{
    QSvgRenderer svg(file);
    svg.setAspectRatioMode(Qt::KeepAspectRatio);
    RecordedPage device;
    QPainter painter(&device);
    svg.render(&painter, page.isNull() ? svg.viewBoxF() : page);
    painter.end();
    return device.m_recorder.drawn;
}

QList<DrawnPath> PdfDrawn(const QString& file, int nPage)
{
    QTemporaryDir dir;
    const QString svg = dir.filePath(QStringLiteral("page.svg"));
    if (QProcess::execute(QStringLiteral("pdftocairo"), {"-svg", "-f", QString::number(nPage), "-l", QString::number(nPage), file, svg}) != 0)
        return {};
    return SvgDrawn(svg);
}

QList<DrawnPath> DxfDrawn(const QString& file, double dMmPerUnit)
{
    // Arcs by their own points, not by the curves ezdxf's paths would approximate them with.
    const QString said = Ezdxf("from ezdxf import disassemble\n"
                        "s = float(sys.argv[2])\n"
                        "def out(e, points, closed=False):\n"
                        "    print(e.dxf.layer, int(closed), ' '.join('%.6f,%.6f' % (p[0], p[1]) for p in points))\n"
                        "def draw(e):\n"
                        "    kind = e.dxftype()\n"
                        "    if kind in ('LWPOLYLINE', 'POLYLINE'):\n"
                        "        z = e.dxf.elevation if kind == 'LWPOLYLINE' else 0\n"
                        "        pts = [(x, y, z, b) for x, y, b in e.get_points('xyb')] if kind == 'LWPOLYLINE' else\\\n"
                        "              [tuple(v.dxf.location) + (v.dxf.bulge,) for v in e.vertices]\n"
                        "        if any(p[-1] for p in pts):\n"
                        "            for part in e.virtual_entities():\n"
                        "                draw(part)\n"
                        "        else:\n"
                        "            out(e, e.ocs().points_to_wcs([p[:3] for p in pts]), e.is_closed)\n"
                        "    elif kind == 'LINE':\n"
                        "        out(e, [e.dxf.start, e.dxf.end])\n"
                        "    elif kind in ('ARC', 'CIRCLE', 'ELLIPSE', 'SPLINE'):\n"
                        "        out(e, list(e.flattening(s)))\n"
                        "for e in disassemble.recursive_decompose(ezdxf.readfile(sys.argv[1]).modelspace()):\n"
                        "    draw(e)",
                               {file, QString::number(0.0005 / dMmPerUnit)});
    QList<DrawnPath> drawn;
    for (const QString& line : said.split('\n', Qt::SkipEmptyParts)) {
        DrawnPath path;
        const QStringList fields = line.split(' ');
        path.colour = fields[0].contains(QLatin1String("ENGRAVE"), Qt::CaseInsensitive) ? Qt::blue : Qt::red;
        path.bClosed = fields.value(1) == QLatin1String("1");
        for (const QString& point : fields.mid(2))
            path.points << QPointF(point.section(',', 0, 0).toDouble(), point.section(',', 1).toDouble());
        if (path.bClosed)
            path.points << path.points.value(0);
        drawn << path;
    }
    return drawn;
}

double FarthestFrom(const QList<QPolygonF>& a, const QList<QPolygonF>& b)
{
    double farthest = 0;
    for (const QPolygonF& polygon : a)
        for (const QPointF& p : polygon) {
            double nearest = qInf();
            for (const QPolygonF& other : b)
                nearest = std::min(nearest, DistanceTo(p, other));
            farthest = std::max(farthest, nearest);
        }
    return farthest;
}

QString OrderBroken(const QList<DrawnPath>& drawn)
{
    const auto engraved = [](const DrawnPath& d) { return d.colour.blue() > d.colour.red(); };
    for (int i = 0; i < drawn.size(); ++i)
        for (int j = i + 1; j < drawn.size(); ++j) {
            if (engraved(drawn[j]) && !engraved(drawn[i]))
                return QStringLiteral("engraving %1 after cut %2").arg(j).arg(i);
            const QPolygonF& outer = drawn[i].points;
            const QPolygonF& inner = drawn[j].points;
            if (!drawn[i].bClosed || engraved(drawn[j]) || !outer.boundingRect().contains(inner.boundingRect()))
                continue;
            if (std::all_of(inner.cbegin(), inner.cend(), [&](const QPointF& p) { return outer.containsPoint(p, Qt::OddEvenFill); }))
                return QStringLiteral("outline %1 cut before outline %2 inside it").arg(i).arg(j);
        }
    return QString();
}
