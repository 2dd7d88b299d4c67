// An ordered list of shape pointers. Ownership is by convention, not by the
// list: a list that owns its shapes is disposed of with DeleteAll() then
// Release(); a list filled only by AddTail(list) with Release() alone.
#pragma once

#include <QVector>

class CShape;

class CShapeList
{
public:
    static CShapeList* New();
    static void Release(CShapeList*& p);

    // Copies pointers only; shapes stay with whoever owns them.
    CShapeList(const CShapeList& other) = default;
    CShapeList& operator=(const CShapeList& other) = default;

    void DeleteAll();
    void AddTail(CShapeList& other); // pointers only, other keeps ownership
    void AddTail(CShape* pShape);    // the list's owner now owns pShape
    CShapeList* Clone();             // deep copy, caller owns list and shapes
    unsigned int GetCount();
    CShape* GetShape(unsigned int i);

    static long LiveCount();

private:
    CShapeList();
    ~CShapeList();
    QVector<CShape*> m_shapes;
};
