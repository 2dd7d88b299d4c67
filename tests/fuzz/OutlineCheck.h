// What every engine build must hand back: false with empty lists, or
// outlines whose every point is finite and near the part.
#pragma once

#include "CShape.h"
#include "CShapeList.h"

#include <cmath>
#include <cstdlib>

// Larger than any part the engine accepts.
constexpr double kFarthestMm = 1e5;

// Aborts on a broken outline; disposes of the list.
inline void CheckAndDispose(bool bBuilt, CShapeList* pList)
{
    if (!bBuilt && pList->GetCount() != 0)
        std::abort();
    for (unsigned int i = 0; i < pList->GetCount(); ++i) {
        const QPainterPath& path = *pList->GetShape(i)->GetPath(false);
        for (int e = 0; e < path.elementCount(); ++e) {
            const QPainterPath::Element point = path.elementAt(e);
            if (!(std::abs(point.x) <= kFarthestMm) || !(std::abs(point.y) <= kFarthestMm))
                std::abort();
        }
    }
    pList->DeleteAll();
    CShapeList::Release(pList);
}
