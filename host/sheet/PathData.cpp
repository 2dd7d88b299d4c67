#include "PathData.h"

#include <QRegularExpression>
#include <cmath>

#include <QLocale>

namespace {
QString Number(double v, int nDecimals)
{
    return nDecimals < 0 ? QString::number(v, 'g', QLocale::FloatingPointShortest) : QString::number(v, 'f', nDecimals);
}

bool SamePoint(const QPointF& a, const QPointF& b)
{
    return std::abs(a.x() - b.x()) < 1e-9 && std::abs(a.y() - b.y()) < 1e-9;
}
} // namespace

QString ToPathData(const QPainterPath& path, int nDecimals)
{
    const auto Number = [nDecimals](double v) { return ::Number(v, nDecimals); };
    QString d;
    QPointF start, last;
    auto finishSubpath = [&](int end) {
        if (end > 0 && SamePoint(last, start)) {
            if (path.elementAt(end - 1).isLineTo())
                d.truncate(d.lastIndexOf(QLatin1Char('L')));
            d += QStringLiteral("Z ");
        }
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            finishSubpath(i);
            start = last = e;
            d += QStringLiteral("M%1 %2 ").arg(Number(e.x), Number(e.y));
        } else if (e.isLineTo()) {
            last = e;
            d += QStringLiteral("L%1 %2 ").arg(Number(e.x), Number(e.y));
        } else if (e.isCurveTo()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
            last = end;
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6 ")
                     .arg(Number(e.x), Number(e.y), Number(c2.x), Number(c2.y), Number(end.x), Number(end.y));
            i += 2;
        }
    }
    finishSubpath(path.elementCount());
    return d.trimmed();
}

bool FromPathData(const QString& data, QPainterPath* pPath)
{
    static const QRegularExpression token(QStringLiteral("([MLCZ])|(-?[0-9]+(?:\\.[0-9]*)?(?:[eE][-+]?[0-9]+)?)|(\\S)"));
    QPainterPath path;
    QVector<double> numbers;
    QChar command;
    QPointF start;
    const auto flush = [&]() {
        const int need = command == QLatin1Char('C') ? 6 : command == QLatin1Char('Z') ? 0 : 2;
        if (command.isNull() || numbers.size() != need)
            return command.isNull() && numbers.isEmpty();
        if (command == QLatin1Char('M'))
            path.moveTo(numbers[0], numbers[1]), start = QPointF(numbers[0], numbers[1]);
        else if (command == QLatin1Char('L'))
            path.lineTo(numbers[0], numbers[1]);
        else if (command == QLatin1Char('C'))
            path.cubicTo(numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], numbers[5]);
        else if (path.currentPosition() != start)
            path.lineTo(start);
        numbers.clear();
        return true;
    };
    for (const QRegularExpressionMatch& m : token.globalMatch(data)) {
        if (m.capturedStart(3) >= 0)
            return false;
        if (m.capturedStart(1) >= 0) {
            if (!flush())
                return false;
            command = m.captured(1).at(0);
            continue;
        }
        bool ok = false;
        numbers << m.captured(2).toDouble(&ok);
        if (!ok || !std::isfinite(numbers.last()) || command.isNull())
            return false;
    }
    if (!flush())
        return false;
    *pPath = path;
    return true;
}
