#include "PathData.h"

#include <cmath>

#include <QLocale>

namespace {
QString Number(double v, int nDecimals)
{
    return nDecimals < 0 ? QString::number(v, 'g', QLocale::FloatingPointShortest) : QString::number(v, 'f', nDecimals);
}

} // namespace

QString ToPathData(const QPainterPath& path, int nDecimals)
{
    const auto Number = [nDecimals](double v) { return ::Number(v, nDecimals); };
    // Exact text keeps exact ends; rounded text closes what rounds alike.
    const auto same = [nDecimals](const QPointF& a, const QPointF& b) {
        return nDecimals < 0 ? a == b : std::abs(a.x() - b.x()) < 1e-9 && std::abs(a.y() - b.y()) < 1e-9;
    };
    QString d, subpath;
    QPointF start, last;
    bool lastIsLine = false;
    int segments = 0;
    // A move with nothing drawn from it is left out: it draws nothing.
    const auto finishSubpath = [&] {
        if (subpath.isEmpty())
            return;
        // A last line back to the start is the Z, unless it is all there is.
        if (same(last, start) && !(lastIsLine && segments == 1)) {
            if (lastIsLine)
                subpath.truncate(subpath.lastIndexOf(QLatin1Char('L')));
            subpath += QStringLiteral("Z ");
        }
        d += subpath;
        subpath.clear();
        segments = 0;
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            finishSubpath();
            start = last = e;
        } else {
            if (subpath.isEmpty())
                subpath = QStringLiteral("M%1 %2 ").arg(Number(start.x()), Number(start.y()));
            if (e.isLineTo()) {
                last = e;
                subpath += QStringLiteral("L%1 %2 ").arg(Number(e.x), Number(e.y));
            } else {
                const QPainterPath::Element c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
                last = end;
                subpath += QStringLiteral("C%1 %2 %3 %4 %5 %6 ")
                               .arg(Number(e.x), Number(e.y), Number(c2.x), Number(c2.y), Number(end.x), Number(end.y));
                i += 2;
            }
            lastIsLine = e.isLineTo();
            ++segments;
        }
    }
    finishSubpath();
    return d.trimmed();
}

QString FromPathData(const QString& data, QPainterPath* pPath, double dMost)
{
    QPainterPath path;
    double numbers[6];
    int count = 0, segments = 0;
    QChar command;
    QPointF start;
    bool lastIsLine = false;
    // Each subpath: M, then lines and curves, then Z or not. What the path
    // would not keep as written (a point that repeats the one before, an end
    // at the start that is no Z) is refused: it could not be saved back the same.
    const auto needed = [&] { return command == QLatin1Char('C') ? 6 : command == QLatin1Char('Z') ? 0 : 2; };
    const auto flush = [&]() -> QString {
        const int need = needed();
        if (count != need)
            return QStringLiteral("%1 takes %2 numbers, not %3").arg(command).arg(need).arg(count);
        const int before = path.elementCount();
        if (command == QLatin1Char('M'))
            path.moveTo(numbers[0], numbers[1]), start = QPointF(numbers[0], numbers[1]), segments = 0;
        else if (command == QLatin1Char('L'))
            path.lineTo(numbers[0], numbers[1]), ++segments, lastIsLine = true;
        else if (command == QLatin1Char('C'))
            path.cubicTo(numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], numbers[5]), ++segments, lastIsLine = false;
        else if (path.currentPosition() != start)
            path.lineTo(start);
        else if (lastIsLine)
            return QStringLiteral("Z follows a line back to the start");
        if (command != QLatin1Char('M') && command != QLatin1Char('Z') && path.elementCount() == before)
            return QStringLiteral("%1 %2 %3 goes nowhere from the point before").arg(command).arg(numbers[count - 2]).arg(numbers[count - 1]);
        count = 0;
        return QString();
    };
    // What a subpath must be once it ends, at the next M or the end of the text.
    const auto ended = [&]() -> QString {
        if (segments == 0)
            return QStringLiteral("a subpath has no line or curve");
        if (command != QLatin1Char('Z') && path.currentPosition() == start)
            return QStringLiteral("a subpath ends at its start without Z");
        return QString();
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
            if (command.isNull() && c != QLatin1Char('M'))
                return QStringLiteral("it does not start with M");
            if (!command.isNull())
                if (const QString why = flush(); !why.isEmpty())
                    return why;
            if (c == QLatin1Char('M') && !command.isNull())
                if (const QString why = ended(); !why.isEmpty())
                    return why;
            if (command == QLatin1Char('Z') && c != QLatin1Char('M'))
                return QStringLiteral("Z is followed by %1, not M").arg(c);
            if (c == QLatin1Char('Z') && segments == 0)
                return QStringLiteral("a subpath has no line or curve");
            command = c;
            ++i;
            continue;
        }
        // -?[0-9]+(\.[0-9]*)?([eE][-+]?[0-9]+)?
        qsizetype end = i + (c == QLatin1Char('-'));
        const qsizetype intEnd = digits(end);
        if (intEnd == end)
            return QStringLiteral("\"%1\" is no number").arg(text.sliced(i, std::min<qsizetype>(n - i, 12)));
        end = intEnd;
        if (end < n && text[end] == QLatin1Char('.'))
            end = digits(end + 1);
        if (end < n && (text[end] == QLatin1Char('e') || text[end] == QLatin1Char('E'))) {
            const qsizetype sign = end + 1 + (end + 1 < n && (text[end + 1] == QLatin1Char('-') || text[end + 1] == QLatin1Char('+')));
            const qsizetype expEnd = digits(sign);
            if (expEnd > sign)
                end = expEnd;
        }
        if (command.isNull())
            return QStringLiteral("it does not start with M");
        bool ok = false;
        const double v = text.sliced(i, end - i).toDouble(&ok);
        if (!ok || !(std::abs(v) <= dMost))
            return QStringLiteral("%1 is outside -%2 to %2").arg(text.sliced(i, end - i)).arg(dMost, 0, 'g', 16);
        if (count == needed())
            return QStringLiteral("%1 takes %2 numbers, not more").arg(command).arg(needed());
        numbers[count++] = v;
        i = end;
    }
    if (command.isNull())
        return QStringLiteral("it is empty");
    if (const QString why = flush(); !why.isEmpty())
        return why;
    if (const QString why = ended(); !why.isEmpty())
        return why;
    *pPath = path;
    return QString();
}
