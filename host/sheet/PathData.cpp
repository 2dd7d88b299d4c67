#include "PathData.h"

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
    // Scanned by hand: a sheet of nested parts holds hundreds of thousands of numbers.
    const QStringView text(data);
    const qsizetype n = text.size();
    const auto digits = [&](qsizetype i) {
        while (i < n && text[i].isDigit() && text[i].unicode() < 128)
            ++i;
        return i;
    };
    for (qsizetype i = 0; i < n;) {
        const QChar c = text[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('M') || c == QLatin1Char('L') || c == QLatin1Char('C') || c == QLatin1Char('Z')) {
            if (!flush())
                return false;
            command = c;
            ++i;
            continue;
        }
        // -?[0-9]+(\.[0-9]*)?([eE][-+]?[0-9]+)?
        qsizetype end = i + (c == QLatin1Char('-'));
        const qsizetype intEnd = digits(end);
        if (intEnd == end)
            return false;
        end = intEnd;
        if (end < n && text[end] == QLatin1Char('.'))
            end = digits(end + 1);
        if (end < n && (text[end] == QLatin1Char('e') || text[end] == QLatin1Char('E'))) {
            const qsizetype sign = end + 1 + (end + 1 < n && (text[end + 1] == QLatin1Char('-') || text[end + 1] == QLatin1Char('+')));
            const qsizetype expEnd = digits(sign);
            if (expEnd > sign)
                end = expEnd;
        }
        bool ok = false;
        numbers << text.sliced(i, end - i).toDouble(&ok);
        if (!ok || !std::isfinite(numbers.last()) || command.isNull())
            return false;
        i = end;
    }
    if (!flush())
        return false;
    *pPath = path;
    return true;
}
