// The kerf: an outline grown outward by half the beam's width, exactly.
#pragma once

#include <QPolygonF>

namespace EngineOutline {

// Moves every edge of a simple closed polygon outward by `distance`: corners
// stay sharp (edge offsets meet at their mitre), and where an edge's offset
// would turn back, the result is the boundary of the grown area (Clipper's),
// so it never carries a hook. The winding stays the polygon's.
QPolygonF OffsetOutward(const QPolygonF& polygon, double distance);

} // namespace EngineOutline
