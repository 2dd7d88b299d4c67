// SVG as drawing programs write it: the document read into a tree first
// (a <use> may name an element further on), then drawn from the root with
// each element's transform, in millimetres.
#include "Flattener.h"
#include "Import.h"

#include <QColor>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <cmath>

namespace Import {
namespace {
const QString kSvgNs = QStringLiteral("http://www.w3.org/2000/svg");
const QString kInkscapeNs = QStringLiteral("http://www.inkscape.org/namespaces/inkscape");
const QString kXlinkNs = QStringLiteral("http://www.w3.org/1999/xlink");
constexpr int kMostElements = 1'000'000;
constexpr int kMostDepth = 200; // groups and uses inside each other
constexpr double kPxPerMm = 96 / 25.4;

struct Element
{
    QString name; // empty for another namespace's element, left out with its content
    QHash<QString, QString> attributes; // "label" is Inkscape's, "href" either kind
    QVector<int> children;
    qint64 nLine = 0;
};

// Elements that draw nothing themselves: definitions, styles, descriptions, animation.
const QSet<QString>& Undrawn()
{
    static const QSet<QString> names{"defs", "symbol", "clipPath", "mask", "marker", "pattern", "linearGradient",
                                     "radialGradient", "meshgradient", "solidcolor", "filter", "style", "script",
                                     "title", "desc", "metadata", "view", "cursor", "font", "font-face", "animate",
                                     "animateMotion", "animateTransform", "set", "mpath", "hatch"};
    return names;
}

// A number at *pAt in the SVG grammar (no leading '+' or '.' is lost);
// false when there is none.
bool ReadNumber(QStringView text, qsizetype* pAt, double* pValue)
{
    qsizetype i = *pAt;
    const qsizetype n = text.size();
    while (i < n && (text[i].isSpace() || text[i] == QLatin1Char(',')))
        ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    bool digits = false;
    while (i < n && text[i].isDigit())
        ++i, digits = true;
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && text[i].isDigit())
            ++i, digits = true;
    }
    if (!digits)
        return false;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype e = i + 1;
        if (e < n && (text[e] == QLatin1Char('-') || text[e] == QLatin1Char('+')))
            ++e;
        if (e < n && text[e].isDigit()) {
            while (e < n && text[e].isDigit())
                ++e;
            i = e;
        }
    }
    bool ok = false;
    *pValue = text.sliced(start, i - start).toDouble(&ok);
    *pAt = i;
    return ok && std::isfinite(*pValue);
}

QVector<double> Numbers(const QString& text, bool* pOk)
{
    QVector<double> numbers;
    qsizetype at = 0;
    double v = 0;
    while (ReadNumber(text, &at, &v))
        numbers << v;
    while (at < text.size() && (text[at].isSpace() || text[at] == QLatin1Char(',')))
        ++at;
    *pOk = at == text.size();
    return numbers;
}

class SvgReader
{
public:
    SvgReader(Drawing& drawing) : m_flat(drawing) {}
    bool Read(const QByteArray& bytes, QString* pError);

private:
    struct Context
    {
        QTransform toMm;
        bool bEngraveLayer = false;
        QString stroke;
    };

    bool Parse(const QByteArray& bytes);
    bool Fail(const Element& e, const QString& why);
    QString Property(const Element& e, const QString& name) const;
    bool Length(const Element& e, const QString& name, double fallback, double* pValue);
    bool Viewport(const Element& e, double width, double height, QTransform* pTransform);
    bool Transform(const Element& e, QTransform* pTransform);
    bool Draw(int index, Context context, int depth);
    bool DrawChildren(const Element& e, const Context& context, int depth);
    bool DrawShape(const Element& e);
    bool DrawPath(const Element& e, const QString& d);
    void ArcTo(const QPointF& from, double rx, double ry, double degrees, bool bLarge, bool bSweep, const QPointF& to);
    void Bounded(); // what overflowed the flattening, said

    QVector<Element> m_elements;
    QHash<QString, int> m_ids;
    QVector<int> m_uses; // the <use> chain being drawn, against cycles
    Flattener m_flat;
    QString m_error;
};

bool SvgReader::Fail(const Element& e, const QString& why)
{
    if (m_error.isEmpty())
        m_error = QStringLiteral("%1 (the <%2> on line %3)").arg(why, e.name).arg(e.nLine);
    return false;
}

void SvgReader::Bounded()
{
    if (!m_error.isEmpty())
        return;
    if (!m_flat.Finite())
        m_error = m_flat.Unheld();
    else if (m_flat.Full())
        m_error = QStringLiteral("it holds more than %L1 points once its curves are flattened").arg(kMostPoints);
}

bool SvgReader::Parse(const QByteArray& bytes)
{
    QXmlStreamReader xml(bytes);
    QVector<int> open;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (m_elements.size() >= kMostElements) {
                m_error = QStringLiteral("it holds more than %L1 elements").arg(kMostElements);
                return false;
            }
            Element e;
            e.nLine = xml.lineNumber();
            const QStringView ns = xml.namespaceUri();
            const bool foreign = !open.isEmpty() && m_elements[open.last()].name.isEmpty();
            if (!foreign && (ns == kSvgNs || ns.isEmpty()))
                e.name = xml.name().toString();
            for (const QXmlStreamAttribute& a : xml.attributes()) {
                if (a.namespaceUri().isEmpty())
                    e.attributes.insert(a.name().toString(), a.value().toString());
                else if (a.namespaceUri() == kInkscapeNs && a.name() == QLatin1String("label"))
                    e.attributes.insert(QStringLiteral("label"), a.value().toString());
                else if (a.namespaceUri() == kXlinkNs && a.name() == QLatin1String("href"))
                    e.attributes.insert(QStringLiteral("href"), a.value().toString());
            }
            const int index = int(m_elements.size());
            if (open.isEmpty() && (e.name != QLatin1String("svg"))) {
                m_error = QStringLiteral("it is not an SVG drawing (it starts with <%1>)").arg(xml.qualifiedName());
                return false;
            }
            if (!open.isEmpty())
                m_elements[open.last()].children << index;
            if (const QString id = e.attributes.value(QStringLiteral("id")); !id.isEmpty() && !e.name.isEmpty())
                m_ids.insert(id, index);
            m_elements << e;
            open << index;
        } else if (token == QXmlStreamReader::EndElement) {
            open.removeLast();
        }
    }
    if (xml.hasError()) {
        m_error = QStringLiteral("it is damaged: %1 on line %2").arg(xml.errorString()).arg(xml.lineNumber());
        return false;
    }
    if (m_elements.isEmpty()) {
        m_error = QStringLiteral("it is not an SVG drawing (it holds no element)");
        return false;
    }
    return true;
}

// A property from the style attribute, else the attribute of that name.
QString SvgReader::Property(const Element& e, const QString& name) const
{
    for (const QString& declaration : e.attributes.value(QStringLiteral("style")).split(QLatin1Char(';'))) {
        const qsizetype colon = declaration.indexOf(QLatin1Char(':'));
        if (colon > 0 && declaration.left(colon).trimmed() == name)
            return declaration.mid(colon + 1).remove(QLatin1String("!important")).trimmed();
    }
    return e.attributes.value(name).trimmed();
}

// A length in user units (CSS pixels): absolute units converted, relative ones refused.
bool SvgReader::Length(const Element& e, const QString& name, double fallback, double* pValue)
{
    const QString text = e.attributes.value(name).trimmed();
    if (text.isEmpty())
        return *pValue = fallback, true;
    static const QRegularExpression length(QStringLiteral("^([-+]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][-+]?[0-9]+)?)\\s*([a-zA-Z%]*)$"));
    const QRegularExpressionMatch m = length.match(text);
    static const QHash<QString, double> units{{"", 1.0},           {"px", 1.0},           {"mm", kPxPerMm},
                                              {"cm", 10 * kPxPerMm}, {"in", 96.0},        {"pt", 96.0 / 72},
                                              {"pc", 16.0},        {"Q", kPxPerMm / 4}};
    if (!m.hasMatch() || !units.contains(m.captured(2)))
        return Fail(e, QStringLiteral("%1=\"%2\" is no length it can read (relative units such as %, em are not read)")
                           .arg(name, text));
    *pValue = m.captured(1).toDouble() * units.value(m.captured(2));
    return std::isfinite(*pValue) || Fail(e, QStringLiteral("%1=\"%2\" is not a number").arg(name, text));
}

// The viewBox of e mapped onto a viewport of width x height (the units it
// lies in), as preserveAspectRatio says.
bool SvgReader::Viewport(const Element& e, double width, double height, QTransform* pTransform)
{
    const QString viewBox = e.attributes.value(QStringLiteral("viewBox"));
    if (viewBox.trimmed().isEmpty())
        return true;
    bool ok = false;
    const QVector<double> box = Numbers(viewBox, &ok);
    if (!ok || box.size() != 4 || !(box[2] > 0 && box[3] > 0))
        return Fail(e, QStringLiteral("its viewBox \"%1\" cannot be read").arg(viewBox));
    const QStringList aspect = e.attributes.value(QStringLiteral("preserveAspectRatio")).simplified().split(QLatin1Char(' '));
    const QString align = aspect.value(0).isEmpty() ? QStringLiteral("xMidYMid") : aspect.value(0);
    double sx = width / box[2], sy = height / box[3], tx = 0, ty = 0;
    if (align != QLatin1String("none")) {
        sx = sy = aspect.value(1) == QLatin1String("slice") ? std::max(sx, sy) : std::min(sx, sy);
        const auto at = [&](const QString& key) { return align.contains(key + QLatin1String("Mid")) ? 0.5 : align.contains(key + QLatin1String("Max")) ? 1.0 : 0.0; };
        tx = (width - box[2] * sx) * at(QStringLiteral("x"));
        ty = (height - box[3] * sy) * at(QStringLiteral("Y"));
    }
    *pTransform = QTransform::fromTranslate(-box[0], -box[1]) * QTransform::fromScale(sx, sy)
                  * QTransform::fromTranslate(tx, ty) * *pTransform;
    return true;
}

bool SvgReader::Transform(const Element& e, QTransform* pTransform)
{
    const QString text = e.attributes.value(QStringLiteral("transform"));
    static const QRegularExpression item(QStringLiteral("\\s*,?\\s*(matrix|translate|scale|rotate|skewX|skewY)\\s*\\(([^)]*)\\)\\s*"));
    QTransform t;
    qsizetype at = 0;
    while (at < text.size()) {
        const QRegularExpressionMatch m = item.match(text, at, QRegularExpression::NormalMatch,
                                                     QRegularExpression::AnchorAtOffsetMatchOption);
        bool ok = false;
        const QVector<double> v = m.hasMatch() ? Numbers(m.captured(2), &ok) : QVector<double>();
        const QString kind = m.captured(1);
        const qsizetype n = ok ? v.size() : -1;
        QTransform step;
        if (kind == QLatin1String("matrix") && n == 6)
            step = QTransform(v[0], v[1], v[2], v[3], v[4], v[5]);
        else if (kind == QLatin1String("translate") && (n == 1 || n == 2))
            step = QTransform::fromTranslate(v[0], n == 2 ? v[1] : 0);
        else if (kind == QLatin1String("scale") && (n == 1 || n == 2))
            step = QTransform::fromScale(v[0], n == 2 ? v[1] : v[0]);
        else if (kind == QLatin1String("rotate") && (n == 1 || n == 3))
            step = n == 3 ? QTransform::fromTranslate(-v[1], -v[2]) * QTransform().rotate(v[0])
                                * QTransform::fromTranslate(v[1], v[2])
                          : QTransform().rotate(v[0]);
        else if (kind == QLatin1String("skewX") && n == 1)
            step = QTransform(1, 0, std::tan(qDegreesToRadians(v[0])), 1, 0, 0);
        else if (kind == QLatin1String("skewY") && n == 1)
            step = QTransform(1, std::tan(qDegreesToRadians(v[0])), 0, 1, 0, 0);
        else
            return Fail(e, QStringLiteral("its transform \"%1\" cannot be read").arg(text.simplified()));
        // The list applies right to left: the last item first.
        t = step * t;
        at = m.capturedEnd();
    }
    *pTransform = t * *pTransform;
    return true;
}

bool SvgReader::Draw(int index, Context context, int depth)
{
    const Element& e = m_elements[index];
    if (e.name.isEmpty() || Undrawn().contains(e.name) || Property(e, QStringLiteral("display")) == QLatin1String("none"))
        return true;
    // Stops at once: a few uses of uses multiply into billions of shapes.
    if (m_flat.Full() || !m_flat.Finite())
        return false;
    if (depth > kMostDepth)
        return Fail(e, QStringLiteral("groups and uses lie more than %1 deep").arg(kMostDepth));
    static const QSet<QString> text{"text", "tspan", "textPath", "tref", "flowRoot", "flowPara", "flowRegion"};
    if (text.contains(e.name))
        return Fail(e, QStringLiteral("text elements: convert them to paths first (in Inkscape: Path > Object to Path)"));
    if (e.name == QLatin1String("image"))
        return Fail(e, QStringLiteral("images: a laser cuts no picture; trace it to paths or take it out first"));
    for (const QString& name : {QStringLiteral("clip-path"), QStringLiteral("mask")})
        if (const QString v = Property(e, name); !v.isEmpty() && v != QLatin1String("none"))
            return Fail(e, QStringLiteral("%1: release clips and masks first (in Inkscape: Object > Clip > Release)").arg(name));
    if (!Transform(e, &context.toMm))
        return false;
    if (const QString stroke = Property(e, QStringLiteral("stroke")); !stroke.isEmpty() && stroke != QLatin1String("inherit"))
        context.stroke = stroke;
    static const QRegularExpression engrave(QStringLiteral("engrav"), QRegularExpression::CaseInsensitiveOption);
    const QString label = e.attributes.value(QStringLiteral("label"), e.attributes.value(QStringLiteral("id")));
    if ((e.name == QLatin1String("g") || e.name == QLatin1String("svg")) && label.contains(engrave))
        context.bEngraveLayer = true;
    if (e.name == QLatin1String("g") || e.name == QLatin1String("a") || e.name == QLatin1String("switch"))
        return DrawChildren(e, context, depth);
    if (e.name == QLatin1String("svg")) {
        double x = 0, y = 0, width = 0, height = 0;
        if (!Length(e, QStringLiteral("x"), 0, &x) || !Length(e, QStringLiteral("y"), 0, &y)
            || !Length(e, QStringLiteral("width"), 0, &width) || !Length(e, QStringLiteral("height"), 0, &height))
            return false;
        context.toMm = QTransform::fromTranslate(x, y) * context.toMm;
        return (width <= 0 || height <= 0 || Viewport(e, width, height, &context.toMm)) && DrawChildren(e, context, depth);
    }
    if (e.name == QLatin1String("use")) {
        const QString href = e.attributes.value(QStringLiteral("href"));
        const int target = href.startsWith(QLatin1Char('#')) ? m_ids.value(href.mid(1), -1) : -1;
        if (target < 0)
            return Fail(e, QStringLiteral("it uses \"%1\", which the file does not hold").arg(href));
        if (m_uses.contains(target))
            return Fail(e, QStringLiteral("it uses \"%1\" inside itself").arg(href));
        double x = 0, y = 0;
        if (!Length(e, QStringLiteral("x"), 0, &x) || !Length(e, QStringLiteral("y"), 0, &y))
            return false;
        context.toMm = QTransform::fromTranslate(x, y) * context.toMm;
        const Element& used = m_elements[target];
        m_uses << target;
        bool done = false;
        if (used.name == QLatin1String("symbol")) {
            double width = 0, height = 0;
            done = Length(e, QStringLiteral("width"), 0, &width) && Length(e, QStringLiteral("height"), 0, &height)
                   && (width <= 0 || height <= 0 || Viewport(used, width, height, &context.toMm))
                   && Transform(used, &context.toMm) && DrawChildren(used, context, depth + 1);
        } else {
            done = Draw(target, context, depth + 1);
        }
        m_uses.removeLast();
        return done;
    }
    static const QSet<QString> shapes{"path", "rect", "circle", "ellipse", "line", "polyline", "polygon"};
    if (!shapes.contains(e.name))
        return Fail(e, QStringLiteral("<%1> elements are not read").arg(e.name));
    m_flat.SetTransform(context.toMm);
    const QColor colour = QColor::fromString(context.stroke);
    static const QRegularExpression blueRgb(QStringLiteral("^rgb\\(\\s*0%?\\s*,\\s*0%?\\s*,\\s*(255|100%)\\s*\\)$"));
    m_flat.SetEngrave(context.bEngraveLayer || (colour.isValid() && colour.rgb() == qRgb(0, 0, 255))
                      || blueRgb.match(context.stroke).hasMatch());
    return DrawShape(e);
}

bool SvgReader::DrawChildren(const Element& e, const Context& context, int depth)
{
    for (int child : e.children)
        if (!Draw(child, context, depth + 1))
            return false;
    return true;
}

bool SvgReader::DrawShape(const Element& e)
{
    const auto length = [&](const char* name, double* pValue) {
        return Length(e, QLatin1String(name), 0, pValue);
    };
    double x = 0, y = 0, w = 0, h = 0, rx = 0, ry = 0, cx = 0, cy = 0, x2 = 0, y2 = 0;
    Flattener& f = m_flat;
    if (e.name == QLatin1String("path")) {
        if (!DrawPath(e, e.attributes.value(QStringLiteral("d"))))
            return false;
    } else if (e.name == QLatin1String("rect")) {
        if (!length("x", &x) || !length("y", &y) || !length("width", &w) || !length("height", &h))
            return false;
        const bool hasRx = e.attributes.contains(QStringLiteral("rx")), hasRy = e.attributes.contains(QStringLiteral("ry"));
        if ((hasRx && !length("rx", &rx)) || (hasRy && !length("ry", &ry)))
            return false;
        if (w < 0 || h < 0 || rx < 0 || ry < 0)
            return Fail(e, QStringLiteral("a rectangle of negative size"));
        if (w == 0 || h == 0)
            return true; // draws nothing
        rx = std::min(hasRx ? rx : ry, w / 2), ry = std::min(hasRy ? ry : rx, h / 2);
        if (rx == 0 || ry == 0) {
            f.MoveTo({x, y}), f.LineTo({x + w, y}), f.LineTo({x + w, y + h}), f.LineTo({x, y + h});
        } else {
            const QPointF u(rx, 0), v(0, ry);
            f.MoveTo({x + rx, y});
            f.Arc({x + w - rx, y + ry}, u, v, -M_PI_2, M_PI_2);
            f.Arc({x + w - rx, y + h - ry}, u, v, 0, M_PI_2);
            f.Arc({x + rx, y + h - ry}, u, v, M_PI_2, M_PI_2);
            f.Arc({x + rx, y + ry}, u, v, M_PI, M_PI_2);
        }
        f.Close();
    } else if (e.name == QLatin1String("circle") || e.name == QLatin1String("ellipse")) {
        const bool circle = e.name == QLatin1String("circle");
        if (!length("cx", &cx) || !length("cy", &cy) || !length(circle ? "r" : "rx", &rx)
            || !length(circle ? "r" : "ry", &ry))
            return false;
        if (rx < 0 || ry < 0)
            return Fail(e, QStringLiteral("a negative radius"));
        if (rx == 0 || ry == 0)
            return true;
        f.Arc({cx, cy}, {rx, 0}, {0, ry}, 0, 2 * M_PI);
        f.Close();
    } else if (e.name == QLatin1String("line")) {
        if (!length("x1", &x) || !length("y1", &y) || !length("x2", &x2) || !length("y2", &y2))
            return false;
        f.MoveTo({x, y}), f.LineTo({x2, y2}), f.End();
    } else {
        bool ok = false;
        const QVector<double> points = Numbers(e.attributes.value(QStringLiteral("points")), &ok);
        if (!ok || points.size() % 2)
            return Fail(e, QStringLiteral("its points cannot be read"));
        for (int i = 0; i + 1 < points.size(); i += 2)
            i == 0 ? f.MoveTo({points[0], points[1]}) : f.LineTo({points[i], points[i + 1]});
        e.name == QLatin1String("polygon") ? f.Close() : f.End();
    }
    return true;
}

// An arc by its ends, as path data gives it, through its centre.
void SvgReader::ArcTo(const QPointF& from, double rx, double ry, double degrees, bool bLarge, bool bSweep, const QPointF& to)
{
    rx = std::abs(rx), ry = std::abs(ry);
    if (from == to)
        return;
    if (rx == 0 || ry == 0) {
        m_flat.LineTo(to);
        return;
    }
    const double phi = qDegreesToRadians(degrees), c = std::cos(phi), s = std::sin(phi);
    const QPointF half = (from - to) / 2;
    const double x1 = c * half.x() + s * half.y(), y1 = -s * half.x() + c * half.y();
    const double grow = x1 * x1 / (rx * rx) + y1 * y1 / (ry * ry);
    if (grow > 1)
        rx *= std::sqrt(grow), ry *= std::sqrt(grow);
    const double num = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
    const double den = rx * rx * y1 * y1 + ry * ry * x1 * x1;
    const double k = std::sqrt(std::max(0.0, num / den)) * (bLarge == bSweep ? -1 : 1);
    const double cx1 = k * rx * y1 / ry, cy1 = -k * ry * x1 / rx;
    const QPointF centre(c * cx1 - s * cy1 + (from.x() + to.x()) / 2, s * cx1 + c * cy1 + (from.y() + to.y()) / 2);
    const double t0 = std::atan2((y1 - cy1) / ry, (x1 - cx1) / rx);
    double sweep = std::atan2((-y1 - cy1) / ry, (-x1 - cx1) / rx) - t0;
    if (bSweep && sweep < 0)
        sweep += 2 * M_PI;
    else if (!bSweep && sweep > 0)
        sweep -= 2 * M_PI;
    m_flat.Arc(centre, {rx * c, rx * s}, {-ry * s, ry * c}, t0, sweep, &to);
}

bool SvgReader::DrawPath(const Element& e, const QString& d)
{
    const QStringView text(d);
    qsizetype at = 0;
    QChar command;
    QPointF current, start, control; // control: the last curve's second control point
    QChar last;
    Flattener& f = m_flat;
    const auto skip = [&] {
        while (at < text.size() && (text[at].isSpace() || text[at] == QLatin1Char(',')))
            ++at;
    };
    const auto fail = [&] { return Fail(e, QStringLiteral("its path data cannot be read at character %1").arg(at + 1)); };
    for (skip(); at < text.size(); skip()) {
        if (text[at].isLetter()) {
            command = text[at++];
            if (!QStringLiteral("MmLlHhVvCcSsQqTtAaZz").contains(command))
                return --at, fail();
        } else if (command.isNull() || command.toUpper() == QLatin1Char('Z')) {
            return fail();
        }
        const bool relative = command.isLower();
        const QChar kind = command.toUpper();
        const QPointF base = relative ? current : QPointF();
        double v[7];
        static const QString kinds = QStringLiteral("MLHVCSQTAZ");
        const int need = "2211644270"[kinds.indexOf(kind)] - '0'; // numbers each command takes
        for (int i = 0; i < need; ++i) {
            skip();
            // Arc flags are single digits that may run into what follows.
            if (kind == QLatin1Char('A') && (i == 3 || i == 4)) {
                if (at >= text.size() || (text[at] != QLatin1Char('0') && text[at] != QLatin1Char('1')))
                    return fail();
                v[i] = text[at++] == QLatin1Char('1');
            } else if (!ReadNumber(text, &at, &v[i])) {
                return fail();
            }
        }
        // S and T mirror the last control point of a curve of their kind.
        const QChar before = last.toUpper();
        const bool mirror = (kind == QLatin1Char('S') && (before == QLatin1Char('S') || before == QLatin1Char('C')))
                            || (kind == QLatin1Char('T') && (before == QLatin1Char('T') || before == QLatin1Char('Q')));
        const QPointF reflected = mirror ? 2 * current - control : current;
        last = command;
        switch (kind.unicode()) {
        case 'M':
            current = start = base + QPointF(v[0], v[1]);
            f.MoveTo(current);
            command = relative ? QLatin1Char('l') : QLatin1Char('L'); // pairs after a move are lines
            break;
        case 'L': current = base + QPointF(v[0], v[1]), f.LineTo(current); break;
        case 'H': current.setX(base.x() + v[0]), f.LineTo(current); break;
        case 'V': current.setY(base.y() + v[0]), f.LineTo(current); break;
        case 'C':
            control = base + QPointF(v[2], v[3]);
            f.CubicTo(base + QPointF(v[0], v[1]), control, current = base + QPointF(v[4], v[5]));
            break;
        case 'S':
            f.CubicTo(reflected, control = base + QPointF(v[0], v[1]), current = base + QPointF(v[2], v[3]));
            break;
        case 'Q':
            control = base + QPointF(v[0], v[1]);
            f.QuadTo(control, current = base + QPointF(v[2], v[3]));
            break;
        case 'T':
            control = reflected;
            f.QuadTo(control, current = base + QPointF(v[0], v[1]));
            break;
        case 'A': {
            const QPointF to = base + QPointF(v[5], v[6]);
            ArcTo(current, v[0], v[1], v[2], v[3] != 0, v[4] != 0, to);
            current = to;
            break;
        }
        default: // Z
            f.Close();
            current = start;
            break;
        }
    }
    f.End();
    return true;
}

bool SvgReader::Read(const QByteArray& bytes, QString* pError)
{
    const auto fail = [&] {
        Bounded();
        if (pError)
            *pError = m_error;
        return false;
    };
    if (!Parse(bytes))
        return fail();
    const Element& root = m_elements.first();
    // The document's size in millimetres; without one, its viewBox in pixels.
    double width = 0, height = 0;
    const auto size = [&](const QString& name, double* pValue) { // 100% of no viewport: as if not given
        return root.attributes.value(name).trimmed().endsWith(QLatin1Char('%')) || Length(root, name, 0, pValue);
    };
    if (!size(QStringLiteral("width"), &width) || !size(QStringLiteral("height"), &height))
        return fail();
    QTransform toMm = QTransform::fromScale(1 / kPxPerMm, 1 / kPxPerMm);
    bool ok = false;
    const QVector<double> box = Numbers(root.attributes.value(QStringLiteral("viewBox")), &ok);
    if (box.size() == 4 && (width <= 0 || height <= 0))
        width = box[2], height = box[3];
    if (!Viewport(root, width, height, &toMm))
        return fail();
    Context context;
    context.toMm = toMm;
    m_uses.clear();
    // The root's own transform and style apply as a group's do.
    if (!DrawChildren(root, [&] {
            Context c = context;
            if (const QString stroke = Property(root, QStringLiteral("stroke")); !stroke.isEmpty())
                c.stroke = stroke;
            return c;
        }(), 0))
        return fail();
    return Bounded(), m_error.isEmpty() || fail();
}
} // namespace

bool ReadSvg(const QByteArray& bytes, Drawing* pDrawing, QString* pError)
{
    Drawing drawing;
    SvgReader reader(drawing);
    if (!reader.Read(bytes, pError))
        return false;
    *pDrawing = drawing;
    return true;
}

} // namespace Import
