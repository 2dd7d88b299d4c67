// How the nest lays pieces out for the search: the board seen along its
// long axis (or the roll's length), and each piece in its turns as the
// search's shapes; only for the nest's own files.
#pragma once

#include "NestSearch.h"
#include "NestShapes.h"

#include <QPointF>
#include <QRectF>
#include <map>

namespace NestFrames {
namespace G = NestGeometry;
namespace S = NestSearch;
using ClipperLib::cInt;
using NestShapes::kUnitsPerMm;

// A piece in each of its turns, as shapes of one nest: the shape, and the
// corner its turned ring was moved by so that its bounds start at the origin.
struct TurnedPiece
{
    S::Item item;
    std::vector<double> degrees;
    std::vector<G::Pt> corner;
};

class ShapeTable
{
public:
    G::Shapes shapes;

    const TurnedPiece& Of(const G::Ring& ring, const std::vector<double>& degrees)
    {
        auto key = std::make_pair(ring, degrees);
        auto found = m_made.find(key);
        if (found != m_made.end())
            return found->second;
        TurnedPiece turned;
        turned.degrees = degrees;
        for (double d : degrees) {
            G::Ring r = G::Turned(ring, d);
            const G::Box box = G::BoundsOf(r);
            for (G::Pt& p : r)
                p.x -= box.x0, p.y -= box.y0;
            turned.corner.push_back({box.x0, box.y0});
            turned.item.shapes.push_back(shapes.Add(r));
        }
        turned.item.dArea = double(G::TwiceArea(ring)) / 2;
        return m_made.emplace(std::move(key), std::move(turned)).first->second;
    }

    int Obstacle(G::Ring ring, G::Pt* pAt)
    {
        const G::Box box = G::BoundsOf(ring);
        for (G::Pt& p : ring)
            p.x -= box.x0, p.y -= box.y0;
        *pAt = {box.x0, box.y0};
        return shapes.Add(ring);
    }

private:
    std::map<std::pair<G::Ring, std::vector<double>>, TurnedPiece> m_made;
};

// The board as the search sees it: the room the grown pieces may take (the
// board less the margin, grown by half the spacing), its long axis (or the
// roll's length) along x; or, for the last board, its other axis.
struct Frame
{
    QRectF room;         // on the sheet, mm
    bool bTurned = false; // the sheet's y runs along the search's x
    cInt length = 0, height = 0;

    // A sheet point (units, relative to the room's corner) in the search's frame.
    G::Pt To(const G::Pt& p) const { return bTurned ? G::Pt{p.y, height - p.x} : p; }
    // A point of the search's frame back on the sheet, mm from the room's corner.
    QPointF Back(const QPointF& v) const
    {
        return (bTurned ? QPointF(double(height) - v.y(), v.x()) : v) / kUnitsPerMm;
    }
};

} // namespace NestFrames
