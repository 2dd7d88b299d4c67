// Sweeps the dialog's own ranges as a maker would (scripts/sweep.sh):
// kerfmate-host types each setting into the dialog with --set, confirms, and
// writes SVG; every setting the dialog takes must give either a part that
// keeps the engine's promises, comes in cut order and lies on the board when
// it fits it, checked here on the file alone, or a refusal with its sentence on stderr.
//
//   kerfmate_sweep [--count N] [--seed S] [--generator G] [--host PATH]
//   kerfmate_sweep --generator G --set NAME=VALUE...   (one setting)
//   kerfmate_sweep --generator G --defaults             (the dialog's own values)
//
// Per generator: the dialog's own values, every field at both ends of its range, all fields at either
// end at once, settings makers met trouble with, then N random settings
// (default 200). Exit 0 when every outcome is sound.
#include "ReferenceEngine.h"
#include "SweepChecks.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineF>
#include <QPolygonF>
#include <QProcess>
#include <QRandomGenerator>
#include <QRectF>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtMath>
#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>

namespace {
using namespace Sweep;

// One field of the dialog as --set names it, and the range it takes.
struct Field
{
    const char* name;
    double low;
    double high;
    int decimals; // -1: a yes/no choice
};

using Setting = std::vector<std::pair<QString, QString>>;

// The order matters: a new length resets its groove, so grooves come after.
const std::vector<Field> kFields[4] = {
    {{"length", 10, 850, 2}, {"width", 10, 850, 2}, {"height", 10, 850, 2}, {"thickness", 1, 10, 2},
     {"kerf", 0.1, 0.8, 2}, {"inside", 0, 1, -1}, {"no-top", 0, 1, -1}, {"no-bottom", 0, 1, -1}},
    {{"length", 0, 850, 2}, {"width", 0, 850, 2}, {"height", 0, 850, 2}, {"thickness", 1, 10, 2},
     {"kerf", 0.1, 0.8, 2}, {"radius", 0, 99, 2}, {"x-spacing", 0, 99.99, 2}, {"y-spacing", 0, 99.99, 2},
     {"y-count", 0, 99, 0}, {"inside", 0, 1, -1}, {"no-top", 0, 1, -1}, {"no-bottom", 0, 1, -1},
     {"no-groove-3", 0, 1, -1}},
    {{"module", 1, 50, 0}, {"teeth1", 8, 60, 0}, {"teeth2", 8, 60, 0}, {"bore1", 0, 1000, 2}, {"bore2", 0, 1000, 2}},
    {{"seal", 0, 1, -1}, {"diameter", 30, 200, 2}, {"inner", 30, 200, 2}, {"height1", 4, 30, 2},
     {"offset1", 1.5, 30, 2}, {"spacing1", 0.5, 30, 2}, {"height2", 4, 30, 2}, {"offset2", 1.5, 30, 2},
     {"spacing2", 0.5, 30, 2}, {"height3", 4, 30, 2}, {"offset3", 0, 80, 2}},
};

// Settings makers met trouble with, typed as they typed them.
const std::vector<QStringList> kKnown[4] = {
    {{"length=10", "width=10", "height=10", "thickness=10"}, {"inside=1", "length=10", "thickness=10", "kerf=0.8"}},
    {{"length=5"}, {"height=0"}, {"height=9"}, {"length=10", "width=10", "thickness=10"}, {"x-spacing=9"},
     {"x-spacing=20"}, {"y-spacing=12"}, {"y-spacing=16.5"}, {"y-spacing=25"}, {"y-count=14"}, {"radius=3"},
     {"thickness=1", "kerf=0.8", "radius=1.5"}},
    {{"module=6", "teeth1=13", "bore1=62.99"}, {"module=50", "teeth1=8", "teeth2=8"}, {"teeth1=8", "teeth2=9"},
     {"module=1", "teeth1=8", "teeth2=60", "bore1=1000"}},
    {{"diameter=30", "height1=30", "height2=30", "height3=30"}, {"diameter=60", "offset1=30", "offset2=30"},
     {"diameter=30", "offset3=80", "height3=30"}},
};

// What the dialog shows when nothing is typed, as far as the checks need it.
const std::map<QString, double> kDefaults[4] = {
    {{"thickness", 3}, {"kerf", 0.3}},
    {{"thickness", 3}, {"kerf", 0.3}, {"height", 50}},
    {{"module", 1}, {"teeth1", 12}, {"teeth2", 23}},
    {},
};

QString Text(double value, int decimals)
{
    return QString::number(value, 'f', std::max(decimals, 0));
}

double Value(const Setting& setting, int generator, const QString& name)
{
    for (const auto& [key, value] : setting)
        if (key == name)
            return value.toDouble();
    return kDefaults[generator].at(name);
}

// --- what the file holds

std::vector<Outline> ReadSvg(const QString& path)
{
    QFile file(path);
    std::vector<Outline> outlines;
    if (!file.open(QIODevice::ReadOnly))
        return outlines;
    const QString svg = QString::fromUtf8(file.readAll());
    static const QRegularExpression pathTag(QStringLiteral("<path [^>]*stroke=\"(#[0-9a-f]+)\"[^>]* d=\"([^\"]*)\""));
    static const QRegularExpression token(QStringLiteral("[MLCZ]|-?[0-9.]+"));
    for (auto tag = pathTag.globalMatch(svg); tag.hasNext();) {
        const auto match = tag.next();
        const bool cut = match.captured(1) == QLatin1String("#ff0000");
        QStringList tokens;
        for (auto t = token.globalMatch(match.captured(2)); t.hasNext();)
            tokens << t.next().captured();
        Outline current;
        for (int i = 0; i < tokens.size(); ++i) {
            const QString& t = tokens[i];
            if (t == QLatin1String("M") && !current.points.isEmpty())
                outlines.push_back(current), current = Outline();
            if (t == QLatin1String("M") || t == QLatin1String("L"))
                current.points << QPointF(tokens.value(i + 1).toDouble(), tokens.value(i + 2).toDouble()), i += 2;
            else if (t == QLatin1String("C"))
                current.points << QPointF(tokens.value(i + 5).toDouble(), tokens.value(i + 6).toDouble()), i += 6;
            else if (t == QLatin1String("Z"))
                current.bClosed = true;
            current.bCut = cut;
        }
        if (!current.points.isEmpty())
            outlines.push_back(current);
    }
    return outlines;
}

// Every pair of edges, but neighbours: no closed cut outline may cross or touch itself.
bool Simple(QPolygonF p)
{
    if (p.size() > 1 && p.first() == p.last())
        p.removeLast();
    const int n = p.size();
    if (n < 3)
        return false;
    std::vector<QRectF> boxes(n);
    for (int i = 0; i < n; ++i) {
        boxes[i] = QRectF(p[i], p[(i + 1) % n]).normalized();
        // No corner turns straight back along its edge.
        const QPointF in = p[i] - p[(i + n - 1) % n], out = p[(i + 1) % n] - p[i];
        if (std::abs(Cross(in, out)) <= 1e-12 && QPointF::dotProduct(in, out) < 0.0)
            return false;
    }
    for (int i = 0; i < n; ++i)
        for (int j = i + 2; j < n - (i == 0); ++j) {
            const QRectF& u = boxes[i];
            const QRectF& v = boxes[j];
            if (u.right() < v.left() || v.right() < u.left() || u.bottom() < v.top() || v.bottom() < u.top())
                continue;
            if (QLineF(p[i], p[(i + 1) % n]).intersects(QLineF(p[j], p[(j + 1) % n]), nullptr)
                == QLineF::BoundedIntersection)
                return false;
        }
    return true;
}

// --- the promises, each on the file alone

// The living hinge: per bend, enough slit columns for 90 degrees in this
// board at the bend one bar between two columns can take (its twist at the
// working strain, and no more than closes the slit), slits three bridges
// long, and no fibre across a bend uncut between its edge bridges.
Verdict CheckHinge(const std::vector<Outline>& outlines, double t, double kerf)
{
    const Outline* strip = nullptr;
    std::map<double, std::vector<std::pair<double, double>>> columns; // x: slit spans
    for (const Outline& o : outlines) {
        if (o.bClosed && (!strip || o.points.boundingRect().width() > strip->points.boundingRect().width()))
            strip = &o;
        if (!o.bClosed && o.bCut && o.points.size() == 2 && o.points[0].x() == o.points[1].x())
            columns[o.points[0].x()].push_back(std::minmax(o.points[0].y(), o.points[1].y()));
    }
    if (!strip || columns.empty() || columns.size() % 4)
        return QStringLiteral("%1 slit columns, not the same on four bends").arg(columns.size());
    const double top = strip->points.boundingRect().top() + kerf / 2.0;
    const int perBend = int(columns.size() / 4);
    double spacing = qInf(), bridge = qInf(), slit = 0.0, edge = 0.0;
    double previousX = 0.0;
    const std::vector<std::pair<double, double>>* previous = nullptr;
    int rank = 0;
    for (auto& [x, spans] : columns) {
        std::sort(spans.begin(), spans.end());
        edge = std::max(edge, spans.front().first - top);
        bridge = std::min(bridge, spans.front().first - top);
        for (size_t i = 0; i < spans.size(); ++i) {
            slit = std::max(slit, spans[i].second - spans[i].first);
            if (i > 0)
                bridge = std::min(bridge, spans[i].first - spans[i - 1].second);
        }
        // The columns run bend by bend along the strip, as many on each.
        if (rank++ % perBend > 0) {
            spacing = std::min(spacing, x - previousX);
            // Neighbouring columns of one bend: together they cut every
            // fibre between the edge bridges.
            std::vector<std::pair<double, double>> both = *previous;
            both.insert(both.end(), spans.begin(), spans.end());
            std::sort(both.begin(), both.end());
            double reach = both.front().second;
            for (const auto& span : both) {
                if (span.first > reach + 1e-3)
                    return QStringLiteral("a fibre from %1 to %2 mm crosses the bend uncut").arg(reach).arg(span.first);
                reach = std::max(reach, span.second);
            }
        }
        previousX = x, previous = &spans;
    }
    const double twist = (slit - bridge) / 2.0;
    const double bar = std::min(spacing - kerf, t);
    const double perBar = std::min(CReferenceEngine::kHingeShearStrain * twist / bar,
                                   2.0 * std::max(kerf, CReferenceEngine::kMinSlitWidth) / t);
    const int needed = int(std::ceil(M_PI_2 / perBar - 1e-9)) + 1;
    if (slit < CReferenceEngine::kSlitToBridge * bridge - 1e-3)
        return QStringLiteral("slits of %1 mm on bridges of %2 mm").arg(slit).arg(bridge);
    if (perBend < needed)
        return QStringLiteral("%1 slit columns per bend where %2 are needed").arg(perBend).arg(needed);
    if (edge > bridge + 1e-3)
        return QStringLiteral("an edge band of %1 mm on bridges of %2 mm").arg(edge).arg(bridge);
    return std::nullopt;
}

// The host's default board and the room its margin leaves, and the gap it
// keeps between the pieces of a part.
constexpr double kBoardWidth = 600.0, kBoardHeight = 400.0, kMargin = 5.0, kPieceGap = 5.0;

// A part whose pieces fit the room one below the other, or side by side, is
// written within it; one that reaches past the board lies at the margin's
// corner, and the host says so.
Verdict CheckBoard(const std::vector<Outline>& outlines, const QString& said)
{
    QRectF all;
    std::vector<QRectF> pieces; // the closed cuts inside no other
    for (const Outline& o : outlines) {
        const QRectF bounds = o.points.boundingRect();
        all |= bounds;
        if (o.bClosed && o.bCut)
            pieces.push_back(bounds);
    }
    QSizeF most, row(-kPieceGap, 0.0), column(0.0, -kPieceGap);
    for (const QRectF& p : pieces)
        if (std::none_of(pieces.begin(), pieces.end(), [&p](const QRectF& q) { return q != p && q.contains(p); })) {
            most = most.expandedTo(p.size());
            row += QSizeF(p.width() + kPieceGap, 0.0), column += QSizeF(0.0, p.height() + kPieceGap);
        }
    const QRectF room(kMargin, kMargin, kBoardWidth - 2 * kMargin, kBoardHeight - 2 * kMargin);
    const bool fits = most.width() <= room.width() && most.height() <= room.height()
                      && (row.width() <= room.width() || column.height() <= room.height());
    const auto where = [&all] { return QStringLiteral("(%1, %2) %3 x %4 mm").arg(all.x()).arg(all.y()).arg(all.width()).arg(all.height()); };
    if (fits && !room.adjusted(-1e-3, -1e-3, 1e-3, 1e-3).contains(all))
        return QStringLiteral("a part that fits the board's room is written at %1").arg(where());
    if (!QRectF(0, 0, kBoardWidth, kBoardHeight).contains(all)
        && (QLineF(all.topLeft(), room.topLeft()).length() > 1e-3 || !said.contains(QLatin1String("overhangs"))))
        return QStringLiteral("a part past the board is written at %1, saying \"%2\"").arg(where(), said);
    return std::nullopt;
}

// The order the file gives the laser: engraving first, then no cut before
// a cut that lies inside it (the part would drop before it is made).
Verdict CheckOrder(const std::vector<Outline>& outlines)
{
    std::vector<QRectF> bounds;
    for (const Outline& o : outlines)
        bounds.push_back(o.points.boundingRect());
    const auto within = [](const QRectF& in, const QRectF& out) { // Qt's contains() refuses a straight line's flat box
        return in.left() >= out.left() && in.right() <= out.right() && in.top() >= out.top() && in.bottom() <= out.bottom();
    };
    bool cutting = false;
    for (size_t i = 0; i < outlines.size(); ++i) {
        if (cutting && !outlines[i].bCut)
            return QStringLiteral("engraving after a cut");
        cutting = cutting || outlines[i].bCut;
        if (!outlines[i].bCut || !outlines[i].bClosed)
            continue;
        for (size_t j = i + 1; j < outlines.size(); ++j)
            if (within(bounds[j], bounds[i])
                && std::all_of(outlines[j].points.cbegin(), outlines[j].points.cend(),
                               [&](const QPointF& p) { return outlines[i].points.containsPoint(p, Qt::OddEvenFill); }))
                return QStringLiteral("a cut before the cut inside it");
    }
    return std::nullopt;
}

Verdict CheckPart(int generator, const Setting& setting, const std::vector<Outline>& outlines, const QString& said,
                  double* pContact)
{
    if (const Verdict order = CheckOrder(outlines))
        return order;
    int cut = 0;
    for (const Outline& o : outlines) {
        if (o.bClosed && o.bCut && !Simple(o.points))
            return QStringLiteral("a cut outline crosses or touches itself");
        cut += o.bCut;
    }
    if (cut == 0)
        return QStringLiteral("nothing to cut");
    if (const Verdict off = CheckBoard(outlines, said))
        return off;
    if (generator == 1)
        return CheckHinge(outlines, Value(setting, 1, "thickness"), Value(setting, 1, "kerf"));
    if (generator == 2)
        return CheckGears(outlines, Value(setting, 2, "module"), int(Value(setting, 2, "teeth1")),
                          int(Value(setting, 2, "teeth2")), pContact);
    return std::nullopt;
}

// --- running the host as a maker would

enum Outcome { Built, Adjusted, Refused, NotTaken, Broken, OutcomeCount };
const char* const kOutcomeNames[] = {"built as asked", "built, adjusted", "refused with its reason",
                                     "not taken by the dialog", "BROKEN"};

struct Result
{
    Outcome outcome = Broken;
    QString said;
    double contact = qQNaN();
};

Result Run(const QString& host, int generator, const Setting& setting)
{
    QTemporaryDir home;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path()); // nothing saved before
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    QStringList args{"--accept", "--generator", QString::number(generator), "--out", home.filePath("part.svg")};
    for (const auto& [name, value] : setting)
        args << "--set" << name + '=' + value;
    process.start(host, args);
    Result result;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        result.said = QStringLiteral("the host did not end");
        return result;
    }
    const QString err = QString::fromUtf8(process.readAllStandardError()).trimmed();
    result.said = err.section('\n', -1);
    static const QRegularExpression reason(QStringLiteral("(adjusted to cut|cannot be cut): \\S.*"));
    const bool told = reason.match(err).hasMatch();
    switch (process.exitCode()) {
    case 0: {
        double contact = qQNaN();
        const Verdict broken = CheckPart(generator, setting, ReadSvg(home.filePath("part.svg")), err, &contact);
        result.contact = contact;
        if (broken)
            result.said = *broken;
        else
            result.outcome = err.contains(QLatin1String("adjusted to cut")) ? Adjusted : Built;
        break;
    }
    case 2:
        result.outcome = NotTaken;
        break;
    case 7:
        result.outcome = told ? Refused : Broken;
        break;
    default:
        break;
    }
    return result;
}

Setting Random(int generator, QRandomGenerator& random)
{
    Setting setting;
    for (const Field& f : kFields[generator]) {
        double value = f.low + (f.high - f.low) * random.generateDouble();
        if (generator == 3 && QLatin1String(f.name) == QLatin1String("inner"))
            value = 30.0 + (Value(setting, 3, "diameter") - 30.0) * random.generateDouble();
        // A bore is mostly typed near its gear's size; a quarter anywhere.
        if (generator == 2 && QLatin1String(f.name).startsWith(QLatin1String("bore")) && random.bounded(4) > 0)
            value = std::min(f.high, Value(setting, 2, "module") * random.generateDouble()
                                         * Value(setting, 2, f.name[4] == '1' ? "teeth1" : "teeth2"));
        setting.emplace_back(QLatin1String(f.name), f.decimals < 0 ? QString::number(random.bounded(2))
                                                                   : Text(value, f.decimals));
    }
    return setting;
}

// Each field at both ends, every field at its low end and at its high
// end, and the settings makers met trouble with.
std::vector<Setting> Limits(int generator)
{
    std::vector<Setting> settings{{}}; // first the dialog's own values
    Setting lows, highs;
    for (const Field& f : kFields[generator])
        for (double end : {f.low, f.high}) {
            const std::pair<QString, QString> typed{QLatin1String(f.name), Text(end, f.decimals)};
            settings.push_back({typed});
            (end == f.low ? lows : highs).push_back(typed);
        }
    settings.push_back(lows);
    settings.push_back(highs);
    for (const QStringList& known : kKnown[generator]) {
        Setting setting;
        for (const QString& typed : known)
            setting.emplace_back(typed.section('=', 0, 0), typed.section('=', 1));
        settings.push_back(setting);
    }
    return settings;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool defaults = args.removeAll(QStringLiteral("--defaults")) > 0;
    QString host = QCoreApplication::applicationDirPath() + QStringLiteral("/kerfmate-host");
    int count = 200, only = -1;
    quint32 seed = 1;
    Setting one;
    for (int i = 0; i + 1 < args.size(); i += 2) {
        const QString& key = args[i];
        const QString& value = args[i + 1];
        if (key == QLatin1String("--count"))
            count = value.toInt();
        else if (key == QLatin1String("--seed"))
            seed = value.toUInt();
        else if (key == QLatin1String("--generator"))
            only = value.toInt();
        else if (key == QLatin1String("--host"))
            host = value;
        else if (key == QLatin1String("--set"))
            one.emplace_back(value.section('=', 0, 0), value.section('=', 1));
    }
    if (!one.empty() || defaults) {
        const Result result = Run(host, std::max(only, 0), one);
        std::printf("%s: %s\n", kOutcomeNames[result.outcome], qPrintable(result.said));
        if (!std::isnan(result.contact))
            std::printf("contact ratio measured %.3f\n", result.contact);
        return result.outcome == Broken ? 1 : 0;
    }

    QRandomGenerator random(seed);
    bool sound = true;
    const char* const names[] = {"Right angle box", "Rounded box", "Modular gear", "Badge/seal"};
    for (int g = 0; g < 4; ++g) {
        if (only >= 0 && g != only)
            continue;
        std::vector<Setting> settings = Limits(g);
        for (int i = 0; i < count; ++i)
            settings.push_back(Random(g, random));
        int outcomes[OutcomeCount] = {};
        double leastContact = qInf();
        for (const Setting& setting : settings) {
            const Result result = Run(host, g, setting);
            ++outcomes[result.outcome];
            if (!std::isnan(result.contact))
                leastContact = std::min(leastContact, result.contact);
            if (result.outcome == Broken) {
                sound = false;
                QStringList typed;
                for (const auto& [name, value] : setting)
                    typed << name + '=' + value;
                std::printf("  BROKEN %s: %s\n", qPrintable(typed.join(' ')), qPrintable(result.said));
            }
            std::fflush(stdout);
        }
        std::printf("%-16s %zu settings:", names[g], settings.size());
        for (int o = 0; o < OutcomeCount; ++o)
            std::printf(" %d %s%s", outcomes[o], kOutcomeNames[o], o + 1 < OutcomeCount ? "," : "");
        if (g == 2 && std::isfinite(leastContact))
            std::printf("; least contact ratio measured %.3f", leastContact);
        std::printf("\n");
    }
    return sound ? 0 : 1;
}
