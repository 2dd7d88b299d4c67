// The one disposal rule for a shape list that owns its shapes.
#pragma once

#include "CShapeList.h"

// Deletes the shapes and the list, and nulls the pointer; a null list is
// left alone.
inline void DisposeOwningList(CShapeList*& pList)
{
    if (!pList)
        return;
    pList->DeleteAll();
    CShapeList::Release(pList);
}
