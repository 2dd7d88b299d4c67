#include "SheetDocument.h"

#include "CShape.h"
#include "PathData.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QSet>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace SheetDocument {
namespace {
const QString kFormat = QStringLiteral("kerfmate-sheet");

QJsonArray Pair(double a, double b)
{
    return {a, b};
}

// A number as a maker would write it: whole ones in full, others exactly.
QString Figure(double v)
{
    return v == std::floor(v) && std::abs(v) < 1e15 ? QString::number(v, 'f', 0)
                                                    : QString::number(v, 'g', QLocale::FloatingPointShortest);
}

// The JSON values a text holds, counted without building them (commas and
// openings outside strings, plus one), and a key an object holds twice,
// which the JSON reader would keep only once.
qint64 ScanValues(const QByteArray& text, QString* pTwice)
{
    qint64 count = 1;
    std::vector<std::pair<bool, QSet<QByteArray>>> open; // is an object, its keys
    qsizetype stringStart = -1, lastString = -1, lastEnd = -1;
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        const char c = text[i];
        if (stringStart >= 0) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                lastString = stringStart, lastEnd = i, stringStart = -1;
        } else if (c == '"') {
            stringStart = i + 1;
        } else if (c == ':' && lastEnd >= 0 && !open.empty() && open.back().first) {
            const QByteArray key = text.mid(lastString, lastEnd - lastString);
            if (open.back().second.contains(key)) {
                *pTwice = QString::fromUtf8(key);
                return count;
            }
            open.back().second.insert(key);
        } else if (c == '{' || c == '[') {
            open.push_back({c == '{', {}}), ++count;
        } else if (c == '}' || c == ']') {
            if (!open.empty())
                open.pop_back();
        } else {
            count += c == ',';
        }
        if (c != '"' && c != ':' && !std::isspace(static_cast<unsigned char>(c)) && stringStart < 0)
            lastEnd = -1; // a key is the string right before a colon
    }
    return count;
}

// Reads one document, naming each value by its key ("parts[2].rotation")
// in the first reason it is refused for.
class Reader
{
public:
    // bKeep false only checks: outlines are read and let go one by one.
    Reader(ParameterRule rule, bool bKeep)
        : m_rule(rule), m_bKeep(bKeep)
    {
    }

    bool Document(const QJsonObject& root, Contents* pContents);
    QString Why() const { return m_why; }

private:
    bool Fail(const QString& key, const QString& reason)
    {
        m_why = QStringLiteral("%1: %2").arg(key, reason);
        return false;
    }
    // Exactly these keys; the optional ones may be missing.
    bool Keys(const QJsonObject& o, const QString& key, const QStringList& required, const QStringList& optional = {});
    bool Number(const QJsonValue& v, const QString& key, double low, double high, double* pOut, bool bWhole = false);
    bool Flag(const QJsonValue& v, const QString& key, bool* pOut);
    bool Text(const QJsonValue& v, const QString& key, QString* pOut);
    bool Sheet(const QJsonObject& o, SheetSetup* pSetup);
    bool ReadPart(const QJsonValue& v, const QString& key, Part* pPart);
    bool Pieces(const QJsonValue& v, const QString& key, QVector<Outlines>* pPieces);

    ParameterRule m_rule;
    bool m_bKeep;
    QString m_why;
    qint64 m_nOutlines = 0;
    qint64 m_nPoints = 0;
};

bool Reader::Keys(const QJsonObject& o, const QString& key, const QStringList& required, const QStringList& optional)
{
    for (const QString& name : required)
        if (!o.contains(name))
            return Fail(key.isEmpty() ? name : key + QLatin1Char('.') + name, QStringLiteral("missing"));
    for (auto it = o.begin(); it != o.end(); ++it)
        if (!required.contains(it.key()) && !optional.contains(it.key()))
            return Fail(key.isEmpty() ? it.key() : key + QLatin1Char('.') + it.key(), QStringLiteral("not a key of the format"));
    return true;
}

bool Reader::Number(const QJsonValue& v, const QString& key, double low, double high, double* pOut, bool bWhole)
{
    if (!v.isDouble())
        return Fail(key, QStringLiteral("not a number"));
    const double d = v.toDouble();
    if (bWhole && d != std::floor(d))
        return Fail(key, QStringLiteral("%1 is not a whole number").arg(Figure(d)));
    if (!(d >= low && d <= high))
        return Fail(key, std::isinf(high) ? QStringLiteral("%1 is below %2").arg(Figure(d), Figure(low))
                                          : QStringLiteral("%1 is outside %2 to %3").arg(Figure(d), Figure(low), Figure(high)));
    *pOut = d;
    return true;
}

bool Reader::Flag(const QJsonValue& v, const QString& key, bool* pOut)
{
    if (!v.isBool())
        return Fail(key, QStringLiteral("not true or false"));
    *pOut = v.toBool();
    return true;
}

bool Reader::Text(const QJsonValue& v, const QString& key, QString* pOut)
{
    if (!v.isString())
        return Fail(key, QStringLiteral("not a text"));
    *pOut = v.toString();
    return true;
}

bool Reader::Sheet(const QJsonObject& o, SheetSetup* pSetup)
{
    // Files from before nesting lack the last four: they get the defaults.
    SheetSetup setup;
    double width = 0, height = 0, turn = setup.nTurnStep;
    const auto gap = [&](const char* name, double* pOut) {
        return !o.contains(QLatin1String(name))
               || Number(o.value(QLatin1String(name)), QStringLiteral("sheet.") + QLatin1String(name), 0, SheetSetup::kMostGapMm, pOut);
    };
    if (!Keys(o, QStringLiteral("sheet"), {"width", "height"}, {"margin", "spacing", "turn", "freeTurns", "roll"})
        || !Number(o.value(QStringLiteral("width")), QStringLiteral("sheet.width"), SheetSetup::kLeastSideMm,
                   SheetSetup::kMostSideMm, &width)
        || !Number(o.value(QStringLiteral("height")), QStringLiteral("sheet.height"), SheetSetup::kLeastSideMm,
                   SheetSetup::kMostSideMm, &height)
        || !gap("margin", &setup.dMarginMm) || !gap("spacing", &setup.dSpacingMm)
        || (o.contains(QStringLiteral("turn")) && !Number(o.value(QStringLiteral("turn")), QStringLiteral("sheet.turn"), 0, 360, &turn, true))
        || (o.contains(QStringLiteral("freeTurns")) && !Flag(o.value(QStringLiteral("freeTurns")), QStringLiteral("sheet.freeTurns"), &setup.bFreeTurns))
        || (o.contains(QStringLiteral("roll")) && !Flag(o.value(QStringLiteral("roll")), QStringLiteral("sheet.roll"), &setup.bRoll)))
        return false;
    if (!SheetSetup::TurnStepAllowed(turn))
        return Fail(QStringLiteral("sheet.turn"), QStringLiteral("%1 does not divide 360").arg(Figure(turn)));
    setup.size = QSizeF(width, height);
    setup.nTurnStep = int(turn);
    *pSetup = setup;
    return true;
}

bool Reader::Pieces(const QJsonValue& v, const QString& key, QVector<Outlines>* pPieces)
{
    if (!v.isArray() || v.toArray().isEmpty())
        return Fail(key, QStringLiteral("not a list of pieces"));
    const QJsonArray pieces = v.toArray();
    for (int p = 0; p < pieces.size(); ++p) {
        const QString pieceKey = QStringLiteral("%1[%2]").arg(key).arg(p);
        if (!pieces[p].isArray() || pieces[p].toArray().isEmpty())
            return Fail(pieceKey, QStringLiteral("not a list of outlines"));
        Outlines piece;
        const QJsonArray outlines = pieces[p].toArray();
        for (int i = 0; i < outlines.size(); ++i) {
            const QString outlineKey = QStringLiteral("%1[%2]").arg(pieceKey).arg(i);
            if (++m_nOutlines > kMostOutlines)
                return Fail(outlineKey, QStringLiteral("more than %1 outlines in one file").arg(kMostOutlines));
            const QJsonObject outline = outlines[i].toObject();
            QString layer, data;
            if (!outlines[i].isObject())
                return Fail(outlineKey, QStringLiteral("not an outline"));
            if (!Keys(outline, outlineKey, {"layer", "path"}) || !Text(outline.value(QStringLiteral("layer")), outlineKey + QStringLiteral(".layer"), &layer)
                || !Text(outline.value(QStringLiteral("path")), outlineKey + QStringLiteral(".path"), &data))
                return false;
            if (layer != QLatin1String("cut") && layer != QLatin1String("engrave"))
                return Fail(outlineKey + QStringLiteral(".layer"), QStringLiteral("\"%1\" is neither \"cut\" nor \"engrave\"").arg(layer));
            // Commands are the only letters but for exponents: a count before anything is built.
            m_nPoints += data.count(QLatin1Char('M')) + data.count(QLatin1Char('L')) + 3 * data.count(QLatin1Char('C'));
            if (m_nPoints > kMostPoints)
                return Fail(outlineKey + QStringLiteral(".path"), QStringLiteral("more than %1 points in one file").arg(kMostPoints));
            Outline read;
            read.nLayer = layer == QLatin1String("engrave") ? CShape::LayerEngrave : CShape::LayerCut;
            if (const QString why = FromPathData(data, &read.path, kMostCoordinateMm); !why.isEmpty())
                return Fail(outlineKey + QStringLiteral(".path"), why);
            if (m_bKeep)
                piece << read;
        }
        *pPieces << piece;
    }
    return true;
}

bool Reader::ReadPart(const QJsonValue& v, const QString& key, Part* pPart)
{
    if (!v.isObject())
        return Fail(key, QStringLiteral("not a part"));
    const QJsonObject o = v.toObject();
    const auto at = [&key](const char* name) { return key + QLatin1Char('.') + QLatin1String(name); };
    Part part;
    double id = 0, generator = -1, x = 0, y = 0, sheet = 0, source = 0, piece = 0;
    const QJsonValue position = o.value(QStringLiteral("position"));
    if (!Keys(o, key, {"id", "name", "generator", "parameters", "position", "rotation", "mirrored", "grouped", "pieces"},
              {"sheet", "pinned", "source", "piece"})
        || !Number(o.value(QStringLiteral("id")), at("id"), 1, 1e9, &id, true)
        || !Text(o.value(QStringLiteral("name")), at("name"), &part.strName)
        || !Number(o.value(QStringLiteral("generator")), at("generator"), -1, 3, &generator, true))
        return false;
    if (!position.isArray() || position.toArray().size() != 2)
        return Fail(at("position"), QStringLiteral("not a pair of numbers"));
    if (!Number(position.toArray().at(0), at("position") + QStringLiteral("[0]"), -kMostCoordinateMm, kMostCoordinateMm, &x)
        || !Number(position.toArray().at(1), at("position") + QStringLiteral("[1]"), -kMostCoordinateMm, kMostCoordinateMm, &y)
        || !Number(o.value(QStringLiteral("rotation")), at("rotation"), 0, 360, &part.dRotation)
        || !Flag(o.value(QStringLiteral("mirrored")), at("mirrored"), &part.bMirrored)
        || !Flag(o.value(QStringLiteral("grouped")), at("grouped"), &part.bGrouped)
        || (o.contains(QStringLiteral("sheet")) && !Number(o.value(QStringLiteral("sheet")), at("sheet"), 0, kMostSheets - 1, &sheet, true))
        || (o.contains(QStringLiteral("pinned")) && !Flag(o.value(QStringLiteral("pinned")), at("pinned"), &part.bPinned))
        || (o.contains(QStringLiteral("source")) && !Number(o.value(QStringLiteral("source")), at("source"), 1, 1e9, &source, true))
        || (o.contains(QStringLiteral("piece")) && !Number(o.value(QStringLiteral("piece")), at("piece"), 0, kMostParts - 1, &piece, true)))
        return false;
    if (o.contains(QStringLiteral("source")) != o.contains(QStringLiteral("piece")))
        return Fail(at(o.contains(QStringLiteral("source")) ? "piece" : "source"), QStringLiteral("missing: a piece has both its source and its place"));
    // Turns are kept from 0 up to a whole turn, which is 0 again.
    if (part.dRotation == 360)
        return Fail(at("rotation"), QStringLiteral("360 is written as 0"));
    if (!o.value(QStringLiteral("parameters")).isObject())
        return Fail(at("parameters"), QStringLiteral("not an object of parameters"));
    part.nId = int(id);
    part.nGenerator = int(generator);
    part.position = QPointF(x, y);
    part.nSheet = int(sheet);
    part.nSource = int(source);
    part.nPiece = int(piece);
    part.parameters = o.value(QStringLiteral("parameters")).toObject();
    // An imported part has none; one made by a generator has all of its.
    if (!part.parameters.isEmpty()) {
        if (part.nGenerator < 0)
            return Fail(at("parameters"), QStringLiteral("a part of no generator has none"));
        if (const QString why = m_rule ? m_rule(part.nGenerator, part.parameters) : QString(); !why.isEmpty())
            return Fail(at("parameters"), why);
    }
    if (!Pieces(o.value(QStringLiteral("pieces")), at("pieces"), &part.pieces))
        return false;
    *pPart = part;
    return true;
}

bool Reader::Document(const QJsonObject& root, Contents* pContents)
{
    Contents contents;
    double version = 0;
    QString format;
    if (!Keys(root, QString(), {"format", "version", "sheet", "parts"}) || !Text(root.value(QStringLiteral("format")), QStringLiteral("format"), &format))
        return false;
    if (format != kFormat)
        return Fail(QStringLiteral("format"), QStringLiteral("\"%1\" is not \"%2\"").arg(format, kFormat));
    if (!Number(root.value(QStringLiteral("version")), QStringLiteral("version"), 1, qInf(), &version, true))
        return false;
    if (version > kVersion)
        return Fail(QStringLiteral("version"), QStringLiteral("%1: made by a newer kerfmate-host (this one reads %2)")
                                                   .arg(Figure(version)).arg(kVersion));
    if (!root.value(QStringLiteral("sheet")).isObject())
        return Fail(QStringLiteral("sheet"), QStringLiteral("not an object"));
    if (!Sheet(root.value(QStringLiteral("sheet")).toObject(), &contents.setup))
        return false;
    if (!root.value(QStringLiteral("parts")).isArray())
        return Fail(QStringLiteral("parts"), QStringLiteral("not a list of parts"));
    const QJsonArray parts = root.value(QStringLiteral("parts")).toArray();
    if (parts.size() > kMostParts)
        return Fail(QStringLiteral("parts"), QStringLiteral("%1 parts, more than the %2 a file may hold").arg(parts.size()).arg(kMostParts));
    QSet<int> ids;
    for (int i = 0; i < parts.size(); ++i) {
        const QString key = QStringLiteral("parts[%1]").arg(i);
        Part part;
        if (!ReadPart(parts[i], key, &part))
            return false;
        if (ids.contains(part.nId))
            return Fail(key + QStringLiteral(".id"), QStringLiteral("%1 is there twice").arg(part.nId));
        ids << part.nId;
        contents.parts << part;
    }
    if (pContents)
        *pContents = contents;
    return true;
}
} // namespace

QByteArray Write(const Contents& contents)
{
    const SheetSetup& setup = contents.setup;
    QJsonArray parts;
    for (const Part& part : contents.parts) {
        QJsonArray pieces;
        for (const Outlines& piece : part.pieces) {
            QJsonArray outlines;
            for (const Outline& outline : piece)
                outlines.append(QJsonObject{{"layer", IsEngraving(outline.nLayer) ? "engrave" : "cut"},
                                            {"path", ToPathData(outline.path, -1)}});
            pieces.append(outlines);
        }
        QJsonObject written{{"id", part.nId},
                            {"name", part.strName},
                            {"generator", part.nGenerator},
                            {"parameters", part.parameters},
                            {"position", Pair(part.position.x(), part.position.y())},
                            {"rotation", part.dRotation},
                            {"mirrored", part.bMirrored},
                            {"grouped", part.bGrouped},
                            {"sheet", part.nSheet},
                            {"pinned", part.bPinned},
                            {"pieces", pieces}};
        if (part.nSource) {
            written.insert(QStringLiteral("source"), part.nSource);
            written.insert(QStringLiteral("piece"), part.nPiece);
        }
        parts.append(written);
    }
    const QJsonObject sheet{{"width", setup.size.width()},   {"height", setup.size.height()}, {"margin", setup.dMarginMm},
                            {"spacing", setup.dSpacingMm}, {"turn", setup.nTurnStep},        {"freeTurns", setup.bFreeTurns},
                            {"roll", setup.bRoll}};
    const QJsonObject root{{"format", kFormat}, {"version", kVersion}, {"sheet", sheet}, {"parts", parts}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool Read(const QByteArray& text, Contents* pContents, QString* pError, ParameterRule rule)
{
    QString why;
    QJsonParseError parse;
    QJsonDocument document;
    QString twice;
    if (const qint64 values = ScanValues(text, &twice); values > kMostValues)
        why = QStringLiteral("it holds more than %1 values").arg(kMostValues);
    else if (!twice.isEmpty())
        why = QStringLiteral("%1: there twice in one object").arg(twice);
    else if (document = QJsonDocument::fromJson(text, &parse); document.isNull())
        why = QStringLiteral("it is not a JSON text (%1 at %2)")
                  .arg(parse.errorString(), parse.offset >= text.size() ? QStringLiteral("its end") : QStringLiteral("byte %1").arg(parse.offset));
    else if (!document.isObject())
        why = QStringLiteral("it is not a Kerfmate sheet");
    else if (Reader reader(rule, pContents != nullptr); !reader.Document(document.object(), pContents))
        why = reader.Why();
    if (why.isEmpty())
        return true;
    if (pError)
        *pError = why;
    return false;
}

bool Saved(const Contents& contents, QByteArray* pText, QString* pError, ParameterRule rule)
{
    *pText = Write(contents);
    QString why;
    if (pText->size() <= kMostBytes && Read(*pText, nullptr, &why, rule))
        return true;
    if (pError)
        *pError = QStringLiteral("the sheet could not be opened again (%1)")
                      .arg(why.isEmpty() ? QStringLiteral("more than %1 MiB").arg(kMostBytes >> 20) : why);
    pText->clear();
    return false;
}

bool ReadBounded(const QString& path, qint64 nMostBytes, QByteArray* pBytes, QString* pError)
{
    const auto fail = [pBytes, pError](const QString& why) {
        pBytes->clear();
        if (pError)
            *pError = why;
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("no file named"));
    // Opened without waiting, then judged by what was opened: a FIFO put in
    // the file's place after a look would otherwise hold the program.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(errno == ENOENT ? QStringLiteral("there is no such file")
                                    : QStringLiteral("it cannot be read (%1)").arg(QString::fromLocal8Bit(std::strerror(errno))));
    struct stat info = {};
    QString why;
    if (::fstat(fd, &info) != 0)
        why = QStringLiteral("it cannot be read (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
    else if (S_ISDIR(info.st_mode))
        why = QStringLiteral("it is a folder");
    else if (!S_ISREG(info.st_mode))
        why = QStringLiteral("it is not a regular file (a device, a FIFO or a socket)");
    else if (info.st_size > nMostBytes)
        why = QStringLiteral("it is %1 MiB, more than the %2 MiB it may be")
                  .arg(double(info.st_size) / (1 << 20), 0, 'f', 1).arg(nMostBytes >> 20);
    QFile file;
    if (!why.isEmpty() || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(why.isEmpty() ? QStringLiteral("it cannot be read (%1)").arg(file.errorString()) : why);
    }
    // Read no more than was allowed, whatever the file grew to meanwhile.
    if (*pBytes = file.read(nMostBytes + 1); pBytes->size() > nMostBytes || file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("it changed or failed while being read"));
    return true;
}

bool ReadFile(const QString& path, Contents* pContents, QString* pError, ParameterRule rule)
{
    QByteArray bytes;
    return ReadBounded(path, kMostBytes, &bytes, pError) && Read(bytes, pContents, pError, rule);
}

} // namespace SheetDocument
