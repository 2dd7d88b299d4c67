#include "SheetDocument.h"

#include "BoundedFile.h"
#include "CShape.h"
#include "PathData.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>

namespace SheetDocument {
namespace {
const QString kFormat = QStringLiteral("kerfmate-sheet");

QJsonArray Pair(double a, double b)
{
    return {a, b};
}

bool Number(const QJsonValue& value, double low, double high, double* pOut)
{
    const double v = value.toDouble(qQNaN());
    if (!value.isDouble() || !(v >= low && v <= high))
        return false;
    *pOut = v;
    return true;
}

bool ReadPart(const QJsonObject& o, Part* pPart, QString* pWhy)
{
    Part part;
    const QJsonArray at = o.value(QStringLiteral("position")).toArray();
    double id = 0, generator = -1, x = 0, y = 0, rotation = 0;
    if (!Number(o.value(QStringLiteral("id")), 1, 1e9, &id) || !Number(at.at(0), -1e6, 1e6, &x)
        || !Number(at.at(1), -1e6, 1e6, &y) || !Number(o.value(QStringLiteral("rotation")), -360, 360, &rotation)
        || (o.contains(QStringLiteral("generator")) && !Number(o.value(QStringLiteral("generator")), -1, 3, &generator)))
        return *pWhy = QStringLiteral("a part's id, place or turn is missing or out of range"), false;
    part.nId = int(id);
    part.nGenerator = int(generator);
    part.position = QPointF(x, y);
    part.dRotation = rotation;
    part.strName = o.value(QStringLiteral("name")).toString();
    part.parameters = o.value(QStringLiteral("parameters")).toObject();
    part.bMirrored = o.value(QStringLiteral("mirrored")).toBool();
    part.bGrouped = o.value(QStringLiteral("grouped")).toBool(true);
    part.bPinned = o.value(QStringLiteral("pinned")).toBool(false);
    double sheet = 0;
    if (o.contains(QStringLiteral("sheet")) && !Number(o.value(QStringLiteral("sheet")), 0, 9999, &sheet))
        return *pWhy = QStringLiteral("part %1 lies on a sheet out of range").arg(part.nId), false;
    part.nSheet = int(sheet);
    for (const QJsonValue& pieceValue : o.value(QStringLiteral("pieces")).toArray()) {
        Outlines piece;
        for (const QJsonValue& outlineValue : pieceValue.toArray()) {
            const QJsonObject outline = outlineValue.toObject();
            const QString layer = outline.value(QStringLiteral("layer")).toString();
            Outline read;
            read.nLayer = layer == QLatin1String("engrave") ? CShape::LayerEngrave : CShape::LayerCut;
            if ((layer != QLatin1String("cut") && layer != QLatin1String("engrave"))
                || !FromPathData(outline.value(QStringLiteral("path")).toString(), &read.path))
                return *pWhy = QStringLiteral("part %1 has an outline that cannot be read").arg(part.nId), false;
            piece << read;
        }
        if (piece.isEmpty())
            return *pWhy = QStringLiteral("part %1 has an empty piece").arg(part.nId), false;
        part.pieces << piece;
    }
    if (part.pieces.isEmpty())
        return *pWhy = QStringLiteral("part %1 has no pieces").arg(part.nId), false;
    *pPart = part;
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
        parts.append(QJsonObject{{"id", part.nId},
                                 {"name", part.strName},
                                 {"generator", part.nGenerator},
                                 {"parameters", part.parameters},
                                 {"position", Pair(part.position.x(), part.position.y())},
                                 {"rotation", part.dRotation},
                                 {"mirrored", part.bMirrored},
                                 {"grouped", part.bGrouped},
                                 {"sheet", part.nSheet},
                                 {"pinned", part.bPinned},
                                 {"pieces", pieces}});
    }
    const QJsonObject root{{"format", kFormat},
                           {"version", kVersion},
                           {"sheet", QJsonObject{{"width", setup.size.width()},
                                                 {"height", setup.size.height()},
                                                 {"margin", setup.dMarginMm},
                                                 {"spacing", setup.dSpacingMm},
                                                 {"turn", setup.nTurnStep},
                                                 {"freeTurns", setup.bFreeTurns}}},
                           {"parts", parts}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool Read(const QByteArray& text, Contents* pContents, QString* pError)
{
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parse);
    const QJsonObject root = document.object();
    QString why;
    Contents contents;
    double width = 0, height = 0, version = 0;
    SheetSetup setup;
    double turn = setup.nTurnStep;
    const QJsonObject sheet = root.value(QStringLiteral("sheet")).toObject();
    if (document.isNull())
        why = QStringLiteral("it is not a JSON text (%1)").arg(parse.errorString());
    else if (root.value(QStringLiteral("format")).toString() != kFormat)
        why = QStringLiteral("it is not a Kerfmate sheet");
    else if (!Number(root.value(QStringLiteral("version")), 1, 1e9, &version))
        why = QStringLiteral("its version is missing");
    else if (version > kVersion)
        why = QStringLiteral("it was made by a newer kerfmate-host (file version %1, this one reads %2)")
                  .arg(version).arg(kVersion);
    else if (!Number(sheet.value(QStringLiteral("width")), 1, 1e5, &width)
             || !Number(sheet.value(QStringLiteral("height")), 1, 1e5, &height))
        why = QStringLiteral("its sheet size is missing or out of range");
    // Files from before nesting lack the rest: they get the defaults.
    else if ((sheet.contains(QStringLiteral("margin")) && !Number(sheet.value(QStringLiteral("margin")), 0, 1e4, &setup.dMarginMm))
             || (sheet.contains(QStringLiteral("spacing")) && !Number(sheet.value(QStringLiteral("spacing")), 0, 1e4, &setup.dSpacingMm))
             || (sheet.contains(QStringLiteral("turn")) && (!Number(sheet.value(QStringLiteral("turn")), 0, 360, &turn) || turn != std::floor(turn))))
        why = QStringLiteral("its margin, spacing or turn is out of range");
    setup.size = QSizeF(width, height);
    setup.nTurnStep = int(turn);
    setup.bFreeTurns = sheet.value(QStringLiteral("freeTurns")).toBool(false);
    contents.setup = setup;
    QSet<int> ids;
    for (const QJsonValue& value : root.value(QStringLiteral("parts")).toArray()) {
        if (!why.isEmpty())
            break;
        Part part;
        if (ReadPart(value.toObject(), &part, &why) && (ids.contains(part.nId) || !IsFinite(part.Placed())))
            why = QStringLiteral("part %1 is there twice or has coordinates that are not numbers").arg(part.nId);
        ids << part.nId;
        contents.parts << part;
    }
    if (!why.isEmpty()) {
        if (pError)
            *pError = why;
        return false;
    }
    *pContents = contents;
    return true;
}

bool ReadFile(const QString& path, Contents* pContents, QString* pError)
{
    QByteArray text;
    return ReadBoundedFile(path, &text, pError) && Read(text, pContents, pError);
}

} // namespace SheetDocument
