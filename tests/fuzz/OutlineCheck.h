// What every engine build must hand back: false with empty lists, or
// outlines whose every point is finite and near the part.
#pragma once

#include "TestSupport.h"

#include "CShapeList.h"

#include <cstdlib>

// Aborts on a broken outline; disposes of the list.
inline void CheckAndDispose(bool bBuilt, CShapeList* pList)
{
    if ((!bBuilt && pList->GetCount() != 0) || !Sound(pList))
        std::abort();
    pList->DeleteAll();
    CShapeList::Release(pList);
}
