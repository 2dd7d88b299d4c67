#include "TextOutline.h"
#include "Contours.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>
#include <QRawFont>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <limits>

namespace TextOutline {

namespace {

constexpr double kFallbackCapShare = 0.7;
// Past this many lines or glyph outlines a cache starts again, so that no
// stream of texts can make it grow without end.
constexpr int kMaxCachedLines = 500;
constexpr int kMaxCachedGlyphs = 20000;

struct Face
{
    QFont font;
    QRawFont raw;
    bool bText = false;
    bool bMaths = false;
};

struct Cache
{
    QMutex mutex;
    QHash<QString, const Face*> faces;      // by family name; never released
    QHash<QString, QStringList> candidates; // by the family asked for
    QStringList textFaces;                  // installed text faces, no maths face among them
    bool bTextFacesListed = false;
    QHash<QString, double> capHeights;
    QHash<QString, QPainterPath> glyphPaths; // by face, style and glyph index
    QHash<QString, Line> lines;              // by family asked, newline, text
};

// Never destroyed: fonts must not be released after the application is gone.
Cache& TheCache()
{
    static Cache* cache = new Cache;
    return *cache;
}

QList<quint32> GlyphIndexes(const QRawFont& raw, char32_t c)
{
    return raw.glyphIndexesForString(QString::fromUcs4(&c, 1));
}

bool LettersHaveInk(const QRawFont& raw)
{
    for (char32_t c = 'A'; c <= 'z'; c = c == 'Z' ? 'a' : c + 1)
        if (raw.supportsCharacter(c) && raw.boundingRect(GlyphIndexes(raw, c).value(0)).isEmpty())
            return false;
    return true;
}

const Face& FaceOf(Cache& cache, const QString& family)
{
    if (const Face* known = cache.faces.value(family))
        return *known;
    Face* face = new Face;
    face->font = QFont(family);
    face->font.setPixelSize(kLayoutPixelSize);
    face->font.setStyleStrategy(QFont::NoFontMerging);
    face->raw = QRawFont::fromFont(face->font);
    face->bText = face->raw.isValid()
                  && !QFontDatabase::writingSystems(face->raw.familyName()).contains(QFontDatabase::Symbol)
                  && LettersHaveInk(face->raw);
    face->bMaths = !face->raw.fontTable("MATH").isEmpty();
    cache.faces.insert(family, face);
    return *face;
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
    list.erase(std::remove_if(list.begin(), list.end(), [&](const QString& f) { return !FaceOf(cache, f).bText; }),
               list.end());
    return *cache.candidates.insert(asked, list);
}

// Looked up only when no candidate has a grapheme's characters.
const QStringList& TextFaces(Cache& cache)
{
    if (!cache.bTextFacesListed)
        for (const QString& family : QFontDatabase::families())
            if (const Face& face = FaceOf(cache, family); face.bText && !face.bMaths)
                cache.textFaces << family;
    cache.bTextFacesListed = true;
    return cache.textFaces;
}

// Characters that need no glyph of their own: joiners, direction marks and
// other formatting characters, and variation selectors.
bool Invisible(char32_t c)
{
    return QChar::category(c) == QChar::Other_Format || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF)
           || c == 0x034F;
}

bool Draws(const Face& face, char32_t c)
{
    if (Invisible(c))
        return true;
    if (!face.raw.supportsCharacter(c))
        return false;
    return QChar::isSpace(c) || !face.raw.boundingRect(GlyphIndexes(face.raw, c).value(0)).isEmpty();
}

bool DrawsAll(const Face& face, QStringView text)
{
    const QList<uint> characters = text.toUcs4();
    return std::all_of(characters.begin(), characters.end(), [&](uint c) { return Draws(face, c); });
}

// The face that draws all of text, or null.
const Face* FaceFor(Cache& cache, const QString& asked, QStringView text)
{
    for (const QString& family : Candidates(cache, asked))
        if (const Face& face = FaceOf(cache, family); DrawsAll(face, text))
            return &face;
    // Every installed face is opened only for a grapheme the usual ones lack.
    for (const QString& family : TextFaces(cache))
        if (const Face& face = FaceOf(cache, family); DrawsAll(face, text))
            return &face;
    return nullptr;
}

// What no face draws of a grapheme: one of its characters, or the whole
// grapheme when each has a face but none has them all.
QString Undrawn(Cache& cache, const QString& asked, QStringView grapheme)
{
    for (const char32_t c : grapheme.toUcs4())
        if (const QString character = QString::fromUcs4(&c, 1); !FaceFor(cache, asked, character))
            return character;
    return grapheme.toString();
}

const QPainterPath& GlyphPath(Cache& cache, const QRawFont& raw, quint32 index)
{
    const QString key = raw.familyName() + QLatin1Char('\n') + raw.styleName() + QLatin1Char('\n')
                        + QString::number(index);
    auto it = cache.glyphPaths.constFind(key);
    if (it == cache.glyphPaths.constEnd()) {
        if (cache.glyphPaths.size() > kMaxCachedGlyphs)
            cache.glyphPaths.clear();
        QPainterPath path = raw.pathForGlyph(index);
        path.setFillRule(Qt::WindingFill);
        MergeOwnContours(path);
        it = cache.glyphPaths.insert(key, path);
    }
    return *it;
}

// One glyph as the layout set it.
struct SetGlyph
{
    QRawFont raw;
    quint32 index;
    QPointF position;
    double dAdvance;

    bool operator==(const SetGlyph& o) const { return index == o.index && position == o.position && raw == o.raw; }
};

// The glyphs of one or more graphemes, characters [start, end) of the text.
struct Cluster
{
    QVector<SetGlyph> glyphs;
    int start;
    int end;
    double dPen = 0.0;
    double dAdvance = 0.0; // of its widest glyph
    QPainterPath outline;
};

// First or last character of text that is not transparent to joining.
char32_t JoiningEnd(QStringView text, bool last)
{
    const QList<uint> characters = text.toUcs4();
    for (int i = 0; i < characters.size(); ++i) {
        const char32_t c = characters[last ? characters.size() - 1 - i : i];
        if (QChar::joiningType(c) != QChar::Joining_Transparent)
            return c;
    }
    return 0;
}

bool Cursive(QChar::JoiningType type)
{
    return type == QChar::Joining_Dual || type == QChar::Joining_Right || type == QChar::Joining_Left
           || type == QChar::Joining_Causing;
}

// How the script links two clusters that follow each other in the text.
Link Linked(const QString& text, const Cluster& a, const Cluster& b)
{
    const Cluster& first = a.start < b.start ? a : b;
    const Cluster& second = a.start < b.start ? b : a;
    if (first.end != second.start)
        return Link::Apart;
    const QStringView view(text);
    const char32_t before = JoiningEnd(view.mid(first.start, first.end - first.start), true);
    const char32_t after = JoiningEnd(view.mid(second.start, second.end - second.start), false);
    const QChar::JoiningType out = QChar::joiningType(before), in = QChar::joiningType(after);
    if ((out == QChar::Joining_Dual || out == QChar::Joining_Left || out == QChar::Joining_Causing)
        && (in == QChar::Joining_Dual || in == QChar::Joining_Right || in == QChar::Joining_Causing))
        return Link::Joined;
    return QChar::isLetter(before) && QChar::isLetter(after) && (Cursive(out) || Cursive(in)) ? Link::Word
                                                                                              : Link::Apart;
}

Line Layout(Cache& cache, QString text, const QString& family)
{
    Line line;
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');

    // Each grapheme in the first face that draws it, consecutive ones of one face in one run.
    QList<QTextLayout::FormatRange> runs;
    QVector<QPair<int, int>> graphemes;
    const Face* previous = nullptr;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (int start = 0, end = finder.toNextBoundary(); end > 0; start = end, end = finder.toNextBoundary()) {
        const QStringView grapheme = QStringView(text).mid(start, end - start);
        const Face* face = FaceFor(cache, family, grapheme);
        if (!face) {
            if (line.strMissing.isEmpty())
                line.strMissing = Undrawn(cache, family, grapheme);
            face = &FaceOf(cache, Candidates(cache, family).value(0));
        }
        if (face == previous) {
            runs.last().length += end - start;
        } else {
            QTextLayout::FormatRange run;
            run.start = start;
            run.length = end - start;
            run.format.setFont(face->font);
            runs.append(run);
        }
        previous = face;
        graphemes.append({start, end});
    }
    if (runs.isEmpty())
        return line;

    QTextLayout layout(text, runs.first().format.font());
    QTextOption option;
    option.setTextDirection(Qt::LayoutDirectionAuto);
    option.setWrapMode(QTextOption::NoWrap);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    layout.setTextOption(option);
    layout.setFormats(runs);
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    textLine.setLineWidth(std::numeric_limits<int>::max() / 2);
    layout.endLayout();
    const double baseline = textLine.y() + textLine.ascent();

    // Graphemes that share a glyph (a ligature) make one cluster.
    QVector<Cluster> clusters;
    for (const auto& [start, end] : graphemes) {
        QVector<SetGlyph> glyphs;
        for (const QGlyphRun& run : textLine.glyphRuns(start, end - start)) {
            const QList<quint32> indexes = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            const QList<QPointF> advances = run.rawFont().advancesForGlyphIndexes(indexes);
            for (int i = 0; i < indexes.size(); ++i)
                glyphs.append({run.rawFont(), indexes[i], positions.value(i), advances.value(i).x()});
        }
        if (glyphs.isEmpty())
            continue;
        Cluster* last = clusters.isEmpty() ? nullptr : &clusters.last();
        const auto shared = [&](const SetGlyph& g) { return last->glyphs.contains(g); };
        if (last && std::any_of(glyphs.begin(), glyphs.end(), shared)) {
            for (const SetGlyph& g : glyphs)
                if (!last->glyphs.contains(g))
                    last->glyphs.append(g);
            last->end = end;
        } else {
            clusters.append({glyphs, start, end, 0.0, 0.0, QPainterPath()});
        }
    }
    // A cluster's pen is its widest glyph's: marks sit where their base is.
    // Clusters that neither leave ink nor move the pen (formatting
    // characters) are left out.
    QVector<QPair<double, int>> order; // pen, cluster
    for (int k = 0; k < clusters.size(); ++k) {
        Cluster& cluster = clusters[k];
        const auto narrower = [](const SetGlyph& a, const SetGlyph& b) { return a.dAdvance < b.dAdvance; };
        const SetGlyph& base = *std::max_element(cluster.glyphs.begin(), cluster.glyphs.end(), narrower);
        cluster.dPen = base.position.x();
        cluster.dAdvance = base.dAdvance;
        for (const SetGlyph& g : cluster.glyphs)
            cluster.outline.addPath(GlyphPath(cache, g.raw, g.index).translated(g.position.x() - cluster.dPen,
                                                                                 g.position.y() - baseline));
        if (cluster.dAdvance > 0.0 || !cluster.outline.isEmpty())
            order.append({cluster.dPen, k});
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const QPair<double, int>& a, const QPair<double, int>& b) { return a.first < b.first; });

    for (int k = 0; k < order.size(); ++k) {
        Cluster& cluster = clusters[order[k].second];
        Glyph glyph;
        glyph.outline = cluster.outline;
        glyph.outline.setFillRule(Qt::WindingFill);
        if (cluster.glyphs.size() > 1) // a mark may overlap its base
            MergeOwnContours(glyph.outline);
        glyph.ink = glyph.outline.boundingRect();
        const bool last = k + 1 == order.size();
        glyph.dAdvance = last ? cluster.dAdvance : order[k + 1].first - cluster.dPen;
        glyph.next = last ? Link::Apart : Linked(text, cluster, clusters[order[k + 1].second]);
        line.glyphs.append(glyph);
    }
    return line;
}

} // namespace

bool CanDraw()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

Line LaidOut(const QString& text, const QString& family)
{
    if (text.isEmpty() || !CanDraw())
        return Line();
    Cache& cache = TheCache();
    QMutexLocker lock(&cache.mutex);
    const QString key = family + QLatin1Char('\n') + text;
    auto it = cache.lines.constFind(key);
    if (it == cache.lines.constEnd()) {
        if (cache.lines.size() > kMaxCachedLines)
            cache.lines.clear();
        it = cache.lines.insert(key, Layout(cache, text, family));
    }
    return *it;
}

QVector<Glyph> Glyphs(const QString& text, const QString& family)
{
    return LaidOut(text, family).glyphs;
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
    const Face* face = FaceFor(cache, family, u"H");
    const double capHeight = face && face->raw.capHeight() > 0.0 ? face->raw.capHeight()
                                                                  : kFallbackCapShare * kLayoutPixelSize;
    return *cache.capHeights.insert(family, capHeight);
}

void AppendMapped(QPainterPath& target, const QPainterPath& path, const QTransform& transform)
{
    if (path.fillRule() == Qt::WindingFill)
        target.setFillRule(Qt::WindingFill);
    const bool affine = transform.isAffine();
    const auto map = [&](const QPainterPath::Element& e) {
        return affine ? QPointF(transform.m11() * e.x + transform.m21() * e.y + transform.dx(),
                                transform.m12() * e.x + transform.m22() * e.y + transform.dy())
                      : transform.map(QPointF(e));
    };
    const int n = path.elementCount();
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        if (e.type == QPainterPath::MoveToElement) {
            target.moveTo(map(e));
        } else if (e.type == QPainterPath::LineToElement) {
            target.lineTo(map(e));
        } else if (e.type == QPainterPath::CurveToElement && i + 2 < n) {
            target.cubicTo(map(e), map(path.elementAt(i + 1)), map(path.elementAt(i + 2)));
            i += 2;
        }
    }
}

namespace {

// A cluster's ink box where it is drawn.
struct Box
{
    QPointF corners[4];
    QRectF bounds;
};

// Two boxes meet unless one of their sides' directions separates them.
bool BoxesMeet(const Box& a, const Box& b)
{
    for (const Box* box : {&a, &b})
        for (int k = 0; k < 2; ++k) {
            const QPointF side = box->corners[k + 1] - box->corners[k];
            const QPointF axis(-side.y(), side.x());
            auto span = [&](const Box& p) {
                double low = qInf(), high = -qInf();
                for (const QPointF& corner : p.corners) {
                    const double d = QPointF::dotProduct(corner, axis);
                    low = std::min(low, d), high = std::max(high, d);
                }
                return std::make_pair(low, high);
            };
            const auto [aLow, aHigh] = span(a);
            const auto [bLow, bHigh] = span(b);
            if (aHigh < bLow || bHigh < aLow)
                return false;
        }
    return true;
}

} // namespace

QPainterPath Merged(const QVector<Placed>& placed, double tolerance)
{
    const int n = placed.size();
    QVector<Box> boxes(n);
    QVector<int> group(n), byLeft(n);
    for (int i = 0; i < n; ++i) {
        const QRectF& ink = placed[i].pGlyph->ink;
        const QTransform& t = placed[i].transform;
        Box& box = boxes[i];
        box.corners[0] = t.map(ink.topLeft()), box.corners[1] = t.map(ink.topRight());
        box.corners[2] = t.map(ink.bottomRight()), box.corners[3] = t.map(ink.bottomLeft());
        double left = qInf(), right = -qInf(), top = qInf(), bottom = -qInf();
        for (const QPointF& c : box.corners)
            left = std::min(left, c.x()), right = std::max(right, c.x()), top = std::min(top, c.y()),
            bottom = std::max(bottom, c.y());
        box.bounds = QRectF(QPointF(left, top), QPointF(right, bottom));
        group[i] = byLeft[i] = i;
    }
    auto root = [&](int i) {
        while (group[i] != i)
            i = group[i] = group[group[i]];
        return i;
    };
    std::sort(byLeft.begin(), byLeft.end(), [&](int a, int b) { return boxes[a].bounds.left() < boxes[b].bounds.left(); });
    for (int a = 0; a < n; ++a) {
        const Box& first = boxes[byLeft[a]];
        for (int b = a + 1; b < n && boxes[byLeft[b]].bounds.left() <= first.bounds.right(); ++b) {
            const Box& second = boxes[byLeft[b]];
            if (second.bounds.top() <= first.bounds.bottom() && first.bounds.top() <= second.bounds.bottom()
                && BoxesMeet(first, second))
                group[root(byLeft[b])] = root(byLeft[a]);
        }
    }

    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    int elements = 0;
    for (const Placed& p : placed)
        elements += p.pGlyph->outline.elementCount();
    path.reserve(elements);
    QVector<int> size(n, 0);
    for (int i = 0; i < n; ++i)
        ++size[root(i)];
    for (int i = 0; i < n; ++i) {
        if (size[root(i)] == 1) {
            AppendMapped(path, placed[i].pGlyph->outline, placed[i].transform);
        } else if (root(i) == i) {
            QVector<QPolygonF> sampled;
            for (int m = 0; m < n; ++m)
                if (root(m) == i)
                    sampled += Sampled(placed[m].pGlyph->outline, placed[m].transform, tolerance);
            AppendUnion(path, sampled);
        }
    }
    return path;
}

} // namespace TextOutline
