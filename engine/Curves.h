// Outlines as polygons: arcs and circles sampled within a chord tolerance,
// polygons cleaned of repeated and straight-through points, their area.
#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QVector>
#include <cmath>

namespace EngineOutline {

// Largest gap between a sampled curve and its chords, in millimetres.
constexpr double kChordTolerance = 0.01;
// Cross products below this (relative to the edge lengths) count as straight.
constexpr double kCollinearEpsilon = 1e-9;

inline double Cross(const QPointF& a, const QPointF& b) { return a.x() * b.y() - a.y() * b.x(); }
inline double Dot(const QPointF& a, const QPointF& b) { return a.x() * b.x() + a.y() * b.y(); }
inline double Length(const QPointF& v) { return std::hypot(v.x(), v.y()); }

// Points on a circular arc from angle a0 to a1 (radians, y-down), both ends
// included, with at most `tolerance` chord error. Every circle and arc of the
// engine is sampled here.
QVector<QPointF> ArcPoints(const QPointF& centre, double radius, double a0, double a1, double tolerance);

// A closed circle within kChordTolerance.
QPainterPath Circle(const QPointF& centre, double radius);

// Drops repeated points and points on a straight line through their neighbours.
QPolygonF CleanPolygon(const QPolygonF& polygon);

double SignedArea(const QPolygonF& polygon);

QPainterPath ClosedPath(const QPolygonF& polygon);

} // namespace EngineOutline
