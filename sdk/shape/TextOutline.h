// Glyph outlines for text the host draws as shapes. Each grapheme comes
// from a face that has all of its characters: the asked family when it is
// installed and is no symbol face, else the system's sans-serif face, else
// its general font, else the first installed face that has them and is
// neither a symbol nor a maths face. An empty family asks for none.
// Outlines are made once per face and grapheme at a fixed pixel size and
// kept; callers scale them. Needs a running QGuiApplication; without one
// every text is empty.
#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <QVector>

namespace TextOutline {

// Every outline below is in pixels of this size, y down, baseline at 0.
constexpr int kLayoutPixelSize = 100;

// One grapheme: its outline with the pen's start on the origin, how far it
// moves the pen, and its ink (empty for a space).
struct Glyph
{
    QPainterPath outline;
    double dAdvance = 0.0;
    QRectF ink;
};

// Fonts need a running QGuiApplication; without one no text is drawn.
bool CanDraw();

// The graphemes of text, in order.
QVector<Glyph> Glyphs(const QString& text, const QString& family);

// Cap height, in layout pixels, of the face that draws Latin capitals for family.
double CapHeight(const QString& family);

// Appends path, mapped by transform, to target.
void AppendMapped(QPainterPath& target, const QPainterPath& path, const QTransform& transform);

} // namespace TextOutline
