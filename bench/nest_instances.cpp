// Public strip-packing instances (the jagua-rs / sparrow JSON format) nested
// by Nest(): every piece onto one board strip_height wide whose used length
// is minimised, spacing and margin 0, the instance's own turns. Prints the
// density (the pieces' area over strip_height x length), its ratio to the
// best known and the time, each the median over the runs.
//
//   kerfmate_nest_instances [FOLDER] [--runs N] [--time SECONDS] [--rounds N] [--bisect] [--only NAME] [--svg FOLDER]
//
// FOLDER holds NAME.json files and a README.md whose table gives the best
// known densities (default: ../shared/nesting beside the repository).
// --rounds runs that many rounds of search instead of a time (the same
// work whatever the load); --svg draws each layout there. --bisect finds the shortest fixed board that takes every piece instead
// (how boards were measured before the nest had a roll of its own).
#include "Nesting.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
struct Instance
{
    QString name;
    double dStripHeight = 0;
    int nTurnStep = 0;
    QVector<Part> parts;
    double dArea = 0;
};

double Median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    const int n = int(values.size());
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The step of an item's turns, in either form jagua-rs writes them
// ("allowed_orientations", or "orientation" with discrete "angles"); 0 with
// the reason unless they are every multiple of one step.
int TurnStep(const QJsonObject& item, QString* pWhy)
{
    const QJsonValue listed = item.value(QStringLiteral("allowed_orientations"));
    const QJsonObject rotation = item.value(QStringLiteral("orientation")).toObject().value(QStringLiteral("rotation")).toObject();
    if (!listed.isArray() && rotation.value(QStringLiteral("mode")).toString() != QLatin1String("discrete"))
        return *pWhy = QStringLiteral("an item has no \"allowed_orientations\" (any turn) and no discrete \"orientation\""), 0;
    const QJsonArray turns = listed.isArray() ? listed.toArray() : rotation.value(QStringLiteral("angles")).toArray();
    const int step = turns.size() > 1 ? 360 / int(turns.size()) : 360;
    bool even = !turns.isEmpty() && 360 % step == 0;
    for (int k = 0; k < turns.size() && even; ++k)
        even = turns.at(k).toDouble(-1) == k * step;
    if (!even)
        *pWhy = QStringLiteral("turns other than every multiple of one step are not read");
    return even ? step : 0;
}

// A ring of corners as the file lists them, turned a quarter with the strip.
QPolygonF Ring(const QJsonArray& points)
{
    QPolygonF ring;
    for (const QJsonValue& point : points)
        ring << QTransform().rotate(90).map(QPointF(point.toArray().at(0).toDouble(), point.toArray().at(1).toDouble()));
    if (ring.size() > 2 && !ring.isClosed())
        ring << ring.first();
    return ring;
}

// An item's shape as a piece: its outline and, for a "polygon", its holes
// as outlines of their own, as an imported drawing gives them.
bool ReadShape(const QJsonObject& shape, Outlines* pPiece, QString* pWhy)
{
    const QString type = shape.value(QStringLiteral("type")).toString();
    const QJsonValue data = shape.value(QStringLiteral("data"));
    QList<QPolygonF> rings;
    if (type == QLatin1String("simple_polygon")) {
        rings << Ring(data.toArray());
    } else if (type == QLatin1String("polygon")) {
        rings << Ring(data.toObject().value(QStringLiteral("outer")).toArray());
        for (const QJsonValue& hole : data.toObject().value(QStringLiteral("inner")).toArray())
            rings << Ring(hole.toArray());
    } else if (type == QLatin1String("rectangle")) {
        const QJsonObject r = data.toObject();
        const double x = r.value(QStringLiteral("x_min")).toDouble(), y = r.value(QStringLiteral("y_min")).toDouble();
        const double w = r.value(QStringLiteral("width")).toDouble(-1), h = r.value(QStringLiteral("height")).toDouble(-1);
        if (w <= 0 || h <= 0)
            return *pWhy = QStringLiteral("a \"rectangle\" without a width and a height above 0"), false;
        rings << Ring({QJsonArray{x, y}, QJsonArray{x + w, y}, QJsonArray{x + w, y + h}, QJsonArray{x, y + h}});
    } else {
        return *pWhy = QStringLiteral("a shape of type \"%1\" is not read").arg(type), false;
    }
    for (const QPolygonF& ring : rings)
        if (ring.size() < 4)
            return *pWhy = QStringLiteral("a ring of fewer than three corners"), false;
    const QPointF corner = rings.first().boundingRect().topLeft();
    for (const QPolygonF& ring : rings) {
        QPainterPath path;
        path.addPolygon(ring.translated(-corner));
        path.closeSubpath();
        *pPiece << Outline{path, 0};
    }
    return true;
}

// The strip runs down the board (its length is the board's height), so the
// instance is turned a quarter: its pieces are turned with it. False with the
// reason for what the nest could only take otherwise than written.
bool Load(const QString& path, Instance* pInstance, QString* pWhy)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return *pWhy = file.errorString(), false;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    Instance instance;
    instance.name = QFileInfo(path).completeBaseName();
    instance.dStripHeight = root.value(QStringLiteral("strip_height")).toDouble();
    if (instance.dStripHeight <= 0)
        return *pWhy = QStringLiteral("no \"strip_height\" above 0"), false;
    int step = 0;
    for (const QJsonValue& value : root.value(QStringLiteral("items")).toArray()) {
        const QJsonObject item = value.toObject();
        const int turn = TurnStep(item, pWhy);
        if (turn == 0)
            return false;
        if (step != 0 && turn != step) // the nest turns every piece in the same steps
            return *pWhy = QStringLiteral("items with different turns are not read"), false;
        step = turn;
        const double demand = item.value(QStringLiteral("demand")).toDouble(-1);
        if (demand < 1 || demand != std::floor(demand))
            return *pWhy = QStringLiteral("a \"demand\" that is not a whole number from 1"), false;
        Outlines piece;
        if (!ReadShape(item.value(QStringLiteral("shape")).toObject(), &piece, pWhy))
            return false;
        for (int k = 0; k < int(demand); ++k) {
            Part part;
            part.nId = int(instance.parts.size()) + 1;
            part.strName = QStringLiteral("%1 #%2").arg(instance.name).arg(part.nId);
            part.pieces = {piece};
            instance.parts << part;
            instance.dArea += PieceArea(piece);
        }
    }
    if (instance.parts.isEmpty())
        return *pWhy = QStringLiteral("no \"items\""), false;
    instance.nTurnStep = step == 360 ? 0 : step;
    *pInstance = instance;
    return true;
}

QHash<QString, double> BestKnown(const QString& folder)
{
    QHash<QString, double> best;
    QFile readme(QDir(folder).filePath(QStringLiteral("README.md")));
    if (!readme.open(QIODevice::ReadOnly))
        return best;
    // | name | pieces | strip height | best known length | best known density |
    const QRegularExpression row(QStringLiteral("^\\|\\s*(\\w+)\\s*\\|[^|]*\\|[^|]*\\|[^|]*\\|\\s*([0-9.]+)\\s*\\|"),
                                 QRegularExpression::MultilineOption);
    for (auto it = row.globalMatch(QString::fromUtf8(readme.readAll())); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        best.insert(m.captured(1), m.captured(2).toDouble());
    }
    return best;
}

NestRequest Request(const Instance& instance, double dLength, double dSeconds = 0, quint64 nSeed = 1, int nRounds = 0)
{
    NestRequest request;
    request.parts = instance.parts;
    for (const Part& part : instance.parts)
        request.moving << part.nId;
    request.setup.size = QSizeF(instance.dStripHeight, dLength);
    request.setup.dMarginMm = 0;
    request.setup.dSpacingMm = 0;
    request.setup.nTurnStep = instance.nTurnStep;
    request.nNextId = int(instance.parts.size()) + 1;
    request.setup.bRoll = dLength <= 0;
    request.dSeconds = dSeconds;
    request.nSeed = nSeed;
    request.nRounds = nRounds;
    return request;
}

// The length the nest's pieces take down the board.
double UsedLength(const NestOutcome& outcome)
{
    double length = 0;
    for (const Part& part : outcome.parts)
        length = std::max(length, part.Bounds().bottom());
    return length;
}

// The layout drawn, for a look at what the nest made.
void WriteSvg(const QString& path, const NestOutcome& outcome, double width, double length)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    QString text = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 %1 %2\" width=\"%3\" height=\"%4\">"
                                  "<rect width=\"%1\" height=\"%2\" fill=\"none\" stroke=\"blue\" stroke-width=\"0.1\"/>")
                       .arg(width).arg(length).arg(width * 10).arg(length * 10);
    for (const Part& part : outcome.parts)
        for (const Outline& outline : part.Placed())
            for (const QPolygonF& polygon : FlatPolygons(outline.path)) {
                text += QStringLiteral("<path fill=\"#fc8\" stroke=\"black\" stroke-width=\"0.05\" d=\"");
                for (int k = 0; k < polygon.size(); ++k)
                    text += QStringLiteral("%1%2 %3 ").arg(k ? "L" : "M").arg(polygon[k].x()).arg(polygon[k].y());
                text += QStringLiteral("Z\"/>");
            }
    file.write((text + QStringLiteral("</svg>\n")).toUtf8());
}

bool OnOneBoard(const NestOutcome& outcome)
{
    return outcome.bDone && outcome.nTooLarge == 0
           && std::all_of(outcome.parts.cbegin(), outcome.parts.cend(), [](const Part& p) { return p.nSheet == 0; });
}

// The shortest board that takes every piece, to 0.1 %.
double Bisected(const Instance& instance, double* pSeconds)
{
    double low = instance.dArea / instance.dStripHeight, high = 2 * low;
    QElapsedTimer clock;
    clock.start();
    while (!OnOneBoard(Nest(Request(instance, high))))
        low = high, high *= 2;
    double best = high;
    while (high - low > 1e-3 * high) {
        const double middle = (low + high) / 2;
        const NestOutcome outcome = Nest(Request(instance, middle));
        if (OnOneBoard(outcome))
            high = middle, best = std::min(best, UsedLength(outcome));
        else
            low = middle;
    }
    *pSeconds = clock.elapsed() / 1000.0;
    return best;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString folder = QStringLiteral(KERFMATE_SOURCE_DIR "/../shared/nesting"), only, svg;
    int runs = 3, rounds = 0;
    double seconds = 10;
    bool bisect = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--time") && i + 1 < args.size())
            seconds = args[++i].toDouble();
        else if (args[i] == QLatin1String("--rounds") && i + 1 < args.size())
            rounds = args[++i].toInt();
        else if (args[i] == QLatin1String("--bisect"))
            bisect = true;
        else if (args[i] == QLatin1String("--svg") && i + 1 < args.size())
            svg = args[++i];
        else if (args[i] == QLatin1String("--only") && i + 1 < args.size())
            only = args[++i];
        else
            folder = args[i];
    }
    const QHash<QString, double> best = BestKnown(folder);
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    if (files.isEmpty()) {
        std::fprintf(stderr, "no instances in %s\n", qPrintable(folder));
        return 2;
    }
    std::printf("%-10s %6s %9s %9s %7s %8s  (median of %d)\n", "instance", "pieces", "density", "best", "ratio", "time_s", runs);
    QVector<double> ratios;
    for (const QString& name : files) {
        Instance instance;
        QString why;
        if (!only.isEmpty() && QFileInfo(name).completeBaseName() != only)
            continue;
        if (!Load(QDir(folder).filePath(name), &instance, &why)) {
            std::fprintf(stderr, "%s: not read: %s\n", qPrintable(name), qPrintable(why));
            continue;
        }
        QVector<double> densities, times;
        for (int run = 0; run < runs; ++run) {
            double taken = 0, length = 0;
            if (bisect) {
                length = Bisected(instance, &taken);
            } else {
                QElapsedTimer clock;
                clock.start();
                const NestOutcome outcome = Nest(Request(instance, 0, seconds, quint64(run + 1), rounds));
                taken = clock.elapsed() / 1000.0;
                if (!OnOneBoard(outcome)) {
                    std::printf("%s: not on one roll: %s\n", qPrintable(instance.name), qPrintable(outcome.strError));
                    return 1;
                }
                length = UsedLength(outcome);
                if (!svg.isEmpty())
                    WriteSvg(QDir(svg).filePath(instance.name + QStringLiteral(".svg")), outcome, instance.dStripHeight, length);
            }
            densities << instance.dArea / (instance.dStripHeight * length);
            times << taken;
        }
        const double density = Median(densities), known = best.value(instance.name, 0);
        if (known > 0)
            ratios << density / known;
        std::printf("%-10s %6d %9.3f %9.3f %7.3f %8.2f\n", qPrintable(instance.name), int(instance.parts.size()), density,
                    known, known > 0 ? density / known : 0.0, Median(times));
        std::fflush(stdout);
    }
    double mean = 0;
    for (double r : ratios)
        mean += r / ratios.size();
    std::printf("mean ratio to the best known: %.3f over %d instances\n", mean, int(ratios.size()));
    return 0;
}
