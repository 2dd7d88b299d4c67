#include "CShapeList.h"

#include "CShape.h"

#include <atomic>

namespace {
std::atomic<long> g_liveLists{0};
}

CShapeList::CShapeList()
{
    ++g_liveLists;
}

CShapeList::~CShapeList()
{
    --g_liveLists;
}

long CShapeList::LiveCount()
{
    return g_liveLists.load();
}

CShapeList* CShapeList::New()
{
    return new CShapeList;
}

void CShapeList::Release(CShapeList*& p)
{
    delete p;
    p = nullptr;
}

void CShapeList::DeleteAll()
{
    qDeleteAll(m_shapes);
    m_shapes.clear();
}

void CShapeList::AddTail(CShapeList& other)
{
    if (&other == this) {
        const QVector<CShape*> copy = m_shapes;
        m_shapes += copy;
        return;
    }
    m_shapes += other.m_shapes;
}

void CShapeList::AddTail(CShape* pShape)
{
    if (pShape)
        m_shapes.append(pShape);
}

CShapeList* CShapeList::Clone()
{
    CShapeList* copy = New();
    copy->m_shapes.reserve(m_shapes.size());
    for (CShape* shape : m_shapes)
        copy->m_shapes.append(shape->Clone());
    return copy;
}

unsigned int CShapeList::GetCount()
{
    return static_cast<unsigned int>(m_shapes.size());
}

CShape* CShapeList::GetShape(unsigned int i)
{
    return i < GetCount() ? m_shapes.at(int(i)) : nullptr;
}
