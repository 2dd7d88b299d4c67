#include "TextOutline.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>
#include <QRawFont>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace TextOutline {

namespace {

constexpr double kFallbackCapShare = 0.7;
// Past this many graphemes the cache starts again, so that no stream of
// texts can make it grow without end.
constexpr int kMaxCachedGlyphs = 20000;

struct Face
{
    QFont font;
    QRawFont raw;
    bool bSymbol = false; // maps letters to symbols
    bool bMaths = false;
};

struct Cache
{
    QMutex mutex;
    QHash<QString, Face> faces;             // by family name
    QHash<QString, QStringList> candidates; // by the family asked for
    QStringList textFaces;                  // installed, neither symbol nor maths
    bool bTextFacesListed = false;
    QHash<QString, double> capHeights;
    QHash<QString, Glyph> glyphs;           // by family asked, newline, grapheme
};

// Never destroyed: fonts must not be released after the application is gone.
Cache& TheCache()
{
    static Cache* cache = new Cache;
    return *cache;
}

const Face& FaceOf(Cache& cache, const QString& family)
{
    auto it = cache.faces.constFind(family);
    if (it != cache.faces.constEnd())
        return *it;
    Face face;
    face.font = QFont(family);
    face.font.setPixelSize(kLayoutPixelSize);
    face.font.setStyleStrategy(QFont::NoFontMerging);
    face.raw = QRawFont::fromFont(face.font);
    face.bSymbol = QFontDatabase::writingSystems(face.raw.familyName()).contains(QFontDatabase::Symbol);
    face.bMaths = !face.raw.fontTable("MATH").isEmpty();
    return *cache.faces.insert(family, face);
}

QString ResolvedFamily(const QFont& font)
{
    return QFontInfo(font).family();
}

// The faces tried in order for every grapheme of a text in `asked`.
const QStringList& Candidates(Cache& cache, const QString& asked)
{
    auto it = cache.candidates.constFind(asked);
    if (it != cache.candidates.constEnd())
        return *it;
    QStringList list;
    if (!asked.isEmpty() && QFontDatabase::hasFamily(asked))
        list << asked;
    QFont sans(QStringLiteral("sans-serif"));
    sans.setStyleHint(QFont::SansSerif);
    list << ResolvedFamily(sans) << ResolvedFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    list.removeDuplicates();
    list.erase(std::remove_if(list.begin(), list.end(), [&](const QString& f) { return FaceOf(cache, f).bSymbol; }),
               list.end());
    return *cache.candidates.insert(asked, list);
}

// Looked up only when no candidate has a grapheme's characters.
const QStringList& TextFaces(Cache& cache)
{
    if (!cache.bTextFacesListed)
        for (const QString& family : QFontDatabase::families())
            if (const Face& face = FaceOf(cache, family); !face.bSymbol && !face.bMaths)
                cache.textFaces << family;
    cache.bTextFacesListed = true;
    return cache.textFaces;
}

bool Covers(const QRawFont& raw, const QString& grapheme)
{
    for (const uint ucs4 : grapheme.toUcs4())
        if (!raw.supportsCharacter(ucs4))
            return false;
    return true;
}

// The face that draws grapheme; when none has all of its characters, the
// first candidate with the toolkit's own fallback for the rest.
QFont FontFor(Cache& cache, const QString& asked, const QString& grapheme)
{
    const QStringList& candidates = Candidates(cache, asked);
    for (const QString& family : candidates)
        if (const Face& face = FaceOf(cache, family); Covers(face.raw, grapheme))
            return face.font;
    // Every installed face is opened only for a grapheme the usual ones lack.
    for (const QString& family : TextFaces(cache))
        if (const Face& face = FaceOf(cache, family); Covers(face.raw, grapheme))
            return face.font;
    QFont merging(candidates.value(0));
    merging.setPixelSize(kLayoutPixelSize);
    return merging;
}

Glyph MakeGlyph(const QFont& font, const QString& grapheme)
{
    Glyph glyph;
    glyph.outline.addText(0.0, 0.0, font, grapheme);
    glyph.dAdvance = QFontMetricsF(font).horizontalAdvance(grapheme);
    glyph.ink = glyph.outline.boundingRect();
    return glyph;
}

} // namespace

bool CanDraw()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QVector<Glyph> Glyphs(const QString& text, const QString& family)
{
    QVector<Glyph> glyphs;
    if (text.isEmpty() || !CanDraw())
        return glyphs;
    Cache& cache = TheCache();
    QMutexLocker lock(&cache.mutex);
    if (cache.glyphs.size() > kMaxCachedGlyphs)
        cache.glyphs.clear();
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    QString key = family + QLatin1Char('\n');
    const int prefix = key.size();
    for (int start = 0, end = finder.toNextBoundary(); end > 0; start = end, end = finder.toNextBoundary()) {
        key.truncate(prefix);
        key.append(QStringView(text).mid(start, end - start));
        auto it = cache.glyphs.constFind(key);
        if (it == cache.glyphs.constEnd()) {
            const QString grapheme = key.mid(prefix);
            it = cache.glyphs.insert(key, MakeGlyph(FontFor(cache, family, grapheme), grapheme));
        }
        glyphs.append(*it);
    }
    return glyphs;
}

double CapHeight(const QString& family)
{
    if (!CanDraw())
        return kFallbackCapShare * kLayoutPixelSize;
    Cache& cache = TheCache();
    QMutexLocker lock(&cache.mutex);
    auto it = cache.capHeights.constFind(family);
    if (it != cache.capHeights.constEnd())
        return *it;
    const QRawFont raw = QRawFont::fromFont(FontFor(cache, family, QStringLiteral("H")));
    const double capHeight = raw.isValid() && raw.capHeight() > 0.0 ? raw.capHeight()
                                                                     : kFallbackCapShare * kLayoutPixelSize;
    return *cache.capHeights.insert(family, capHeight);
}

void AppendMapped(QPainterPath& target, const QPainterPath& path, const QTransform& transform)
{
    if (path.fillRule() == Qt::WindingFill)
        target.setFillRule(Qt::WindingFill);
    const int n = path.elementCount();
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        const QPointF p = transform.map(QPointF(e.x, e.y));
        if (e.type == QPainterPath::MoveToElement) {
            target.moveTo(p);
        } else if (e.type == QPainterPath::LineToElement) {
            target.lineTo(p);
        } else if (e.type == QPainterPath::CurveToElement && i + 2 < n) {
            const QPainterPath::Element& c2 = path.elementAt(i + 1);
            const QPainterPath::Element& end = path.elementAt(i + 2);
            target.cubicTo(p, transform.map(QPointF(c2.x, c2.y)), transform.map(QPointF(end.x, end.y)));
            i += 2;
        }
    }
}

} // namespace TextOutline
