#include "Readers.h"

#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>

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

QVector<bool> Ink(const QImage& image)
{
    QVector<bool> ink(image.width() * image.height());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink[y * image.width() + x] = std::min({qRed(image.pixel(x, y)), qGreen(image.pixel(x, y)), qBlue(image.pixel(x, y))}) < 220;
    return ink;
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

QStringList DxfEntities(const QString& file)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), // Debian's, with python3-ezdxf
                 {"-c", "import sys, ezdxf\n"
                        "doc = ezdxf.readfile(sys.argv[1])\n"
                        "print(len(doc.audit().errors), doc.header.get('$INSUNITS', 0),\n"
                        "      ' '.join('%s:%d' % (l.dxf.name, l.color) for l in doc.layers if l.dxf.name != 'Defpoints'))\n"
                        "for e in doc.modelspace():\n"
                        "    print(e.dxf.layer, int(e.is_closed), ' '.join('%.4f,%.4f' % (p.x, p.y) for p in e.points()))",
                  file});
    python.waitForFinished(30000);
    return QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
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
            QPolygonF polygon;
            for (const QString& point : entity.split(' ').mid(2))
                polygon << QPointF(point.section(',', 0, 0).toDouble(), -point.section(',', 1, 1).toDouble());
            entity.section(' ', 1, 1) == QLatin1String("1") ? painter.drawPolygon(polygon) : painter.drawPolyline(polygon);
        }
    } else {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("page"));
        const QString number = QString::number(nPdfPage);
        if (QProcess::execute(QStringLiteral("pdftoppm"), {"-r", QString::number(kPxPerMm * 25.4), "-png", "-f", number,
                                                            "-l", number, "-singlefile", file, out}) != 0)
            return QImage();
        const QImage pdf(out + QStringLiteral(".png"));
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
    const QVector<bool> inkA = Ink(a), inkB = Ink(b);
    QVector<bool> near(inkB.size()), nearer(inkB.size());
    for (int y = 0; y < h; ++y) // b's ink grown by two pixels, along x then y
        for (int x = 0; x < w; ++x)
            for (int d = -2; d <= 2; ++d)
                near[y * w + x] = near[y * w + x] || (x + d >= 0 && x + d < w && inkB[y * w + x + d]);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int d = -2; d <= 2; ++d)
                nearer[y * w + x] = nearer[y * w + x] || (y + d >= 0 && y + d < h && near[(y + d) * w + x]);
    int ink = 0, stray = 0;
    for (int i = 0; i < inkA.size(); ++i)
        ink += inkA[i], stray += inkA[i] && !nearer[i];
    return ink ? double(stray) / ink : 1.0;
}
