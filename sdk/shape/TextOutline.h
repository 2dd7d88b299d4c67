// Glyph outlines for text the host draws as shapes. A text is set as the
// toolkit sets one line of it: in reading order for each direction, letters
// joined and ligatures formed as their script and face want. Each grapheme
// comes from a text face that draws all of its characters: the asked family
// when it is installed, else the system's sans-serif face, else its general
// font, else the first installed text face that is no maths face. A text
// face is one the font database does not call a symbol face and that gives
// ink to every basic Latin letter it maps (esint10, for one, maps empty
// glyphs there and integral signs on punctuation), and a face draws a
// character only with a glyph that has ink, spaces and invisible marks
// aside. An empty family asks for none. Line breaks and other control
// characters are set as spaces.
// Outlines are made once per face and glyph at a fixed pixel size and kept;
// callers scale them. Needs a running QGuiApplication; without one every
// text is empty.
#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <QVector>

namespace TextOutline {

// Every outline below is in pixels of this size, y down, baseline at 0.
constexpr int kLayoutPixelSize = 100;
// Largest gap, in layout pixels, between a glyph's curves and the straight
// lines that replace them where its own contours overlap and are merged:
// 0.01 mm on letters 30 mm tall.
constexpr double kLayoutTolerance = 0.03;

// How a cluster stands to the next one on its right: apart, in one word of
// a joining script (Arabic, Syriac...) without joining it, or joined to it.
enum class Link { Apart, Word, Joined };

// One cluster of a set line: a letter with its marks, or the letters of a
// ligature, drawn whole. Its outline has the pen's start on the origin and
// contours that neither cross nor overlap; dAdvance reaches to the next
// cluster's pen (the line's end for the last); ink is empty for a space.
struct Glyph
{
    QPainterPath outline;
    double dAdvance = 0.0;
    QRectF ink;
    Link next = Link::Apart;
};

// One line of text, its clusters left to right as they print.
struct Line
{
    QVector<Glyph> glyphs;
    // The first character that no installed face draws, set in its place
    // as the face's missing-glyph box; empty when every one is drawn.
    QString strMissing;
};

// Fonts need a running QGuiApplication; without one no text is drawn.
bool CanDraw();

Line LaidOut(const QString& text, const QString& family);

// The clusters of LaidOut, left to right.
QVector<Glyph> Glyphs(const QString& text, const QString& family);

// Cap height, in layout pixels, of the face that draws Latin capitals for family.
double CapHeight(const QString& family);

// Appends path, mapped by transform, to target.
void AppendMapped(QPainterPath& target, const QPainterPath& path, const QTransform& transform);

// A cluster where it is drawn.
struct Placed
{
    const Glyph* pGlyph;
    QTransform transform;
};

// The clusters of one line, placed, as one path whose contours neither
// cross nor overlap, so that a laser program fills it alike under either
// fill rule: clusters whose ink boxes meet are merged into one outline
// whose curves become straight lines within `tolerance`; the others keep
// their curves.
QPainterPath Merged(const QVector<Placed>& placed, double tolerance);

} // namespace TextOutline
