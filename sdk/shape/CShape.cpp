#include "CShape.h"

#include "TextOutline.h"

#include <atomic>

namespace {
std::atomic<long> g_liveShapes{0};
}

CShape::CShape()
{
    ++g_liveShapes;
}

CShape::CShape(const CShape& other)
    : m_transform(other.m_transform)
    , m_nLayer(other.m_nLayer)
{
    ++g_liveShapes;
}

CShape& CShape::operator=(const CShape& other)
{
    m_transform = other.m_transform;
    m_nLayer = other.m_nLayer;
    m_cache = QPainterPath();
    return *this;
}

CShape::~CShape()
{
    --g_liveShapes;
}

long CShape::LiveCount()
{
    return g_liveShapes.load();
}

CShape* CShape::Clone() const
{
    return new CShape(*this);
}

QPainterPath CShape::LocalPath() const
{
    return QPainterPath();
}

QPainterPath* CShape::GetPath(bool bLocal)
{
    const QPainterPath local = LocalPath();
    m_cache = bLocal ? local : m_transform.map(local);
    return &m_cache;
}

void CShape::SetTransform(const QTransform& transform)
{
    m_transform = transform;
}

// --- CShapeVector

CShapeVector::CShapeVector(const QPainterPath& path, int nLayer)
    : m_path(path)
{
    m_nLayer = nLayer;
}

CShapeVector::~CShapeVector() = default;

CShape* CShapeVector::Clone() const
{
    return new CShapeVector(*this);
}

QPainterPath CShapeVector::LocalPath() const
{
    return m_path;
}

// --- CShapeText

CShapeText::CShapeText(const QString& strText, const QString& strFamily, double dHeightMm)
    : m_strText(strText)
    , m_strFamily(strFamily)
    , m_dHeight(dHeightMm)
{
    m_nLayer = LayerEngrave;
}

CShapeText::~CShapeText() = default;

CShape* CShapeText::Clone() const
{
    return new CShapeText(*this);
}

QPainterPath CShapeText::LocalPath() const
{
    QPainterPath path;
    if (m_strText.isEmpty() || !(m_dHeight > 0.0))
        return path;
    // Glyphs are laid out large for clean outlines, then scaled so that
    // capitals come out the requested height.
    const double scale = m_dHeight / TextOutline::CapHeight(m_strFamily);
    double pen = 0.0;
    for (const TextOutline::Glyph& glyph : TextOutline::Glyphs(m_strText, m_strFamily)) {
        TextOutline::AppendMapped(path, glyph.outline, QTransform(scale, 0.0, 0.0, scale, pen * scale, 0.0));
        pen += glyph.dAdvance;
    }
    return path;
}

bool CShapeText::IsClose() const
{
    const QList<QPolygonF> polygons = LocalPath().toSubpathPolygons();
    for (const QPolygonF& polygon : polygons)
        if (polygon.size() < 3 || !polygon.isClosed())
            return false;
    return !polygons.isEmpty();
}

// --- CShapeGroup

CShapeGroup::CShapeGroup(const CShapeGroup& other)
    : CShape(other)
{
    for (CShape* child : other.m_children)
        m_children.append(child->Clone());
}

CShapeGroup& CShapeGroup::operator=(const CShapeGroup& other)
{
    if (this == &other)
        return *this;
    CShape::operator=(other);
    Clear();
    for (CShape* child : other.m_children)
        m_children.append(child->Clone());
    return *this;
}

CShapeGroup::~CShapeGroup()
{
    Clear();
}

void CShapeGroup::Clear()
{
    qDeleteAll(m_children);
    m_children.clear();
}

CShape* CShapeGroup::Clone() const
{
    return new CShapeGroup(*this);
}

void CShapeGroup::Add(CShape* pChild)
{
    if (pChild)
        m_children.append(pChild);
}

QPainterPath CShapeGroup::LocalPath() const
{
    QPainterPath path;
    for (CShape* child : m_children)
        path.addPath(*child->GetPath(false));
    return path;
}

// --- CShapeImage

CShapeImage::CShapeImage(const QImage& image, const QRectF& rectMm)
    : m_image(image)
    , m_rect(rectMm)
{
    m_nLayer = LayerEngrave;
}

CShapeImage::~CShapeImage() = default;

CShape* CShapeImage::Clone() const
{
    return new CShapeImage(*this);
}

QPainterPath CShapeImage::LocalPath() const
{
    QPainterPath path;
    if (!m_rect.isNull())
        path.addRect(m_rect);
    return path;
}

// --- CShapeArray

CShapeArray::CShapeArray(const CShape& item, int nRows, int nColumns, double dStepX, double dStepY)
    : m_pItem(item.Clone())
    , m_nRows(nRows)
    , m_nColumns(nColumns)
    , m_dStepX(dStepX)
    , m_dStepY(dStepY)
{
}

CShapeArray::CShapeArray(const CShapeArray& other)
    : CShape(other)
    , m_pItem(other.m_pItem ? other.m_pItem->Clone() : nullptr)
    , m_nRows(other.m_nRows)
    , m_nColumns(other.m_nColumns)
    , m_dStepX(other.m_dStepX)
    , m_dStepY(other.m_dStepY)
{
}

CShapeArray& CShapeArray::operator=(const CShapeArray& other)
{
    if (this == &other)
        return *this;
    CShape::operator=(other);
    delete m_pItem;
    m_pItem = other.m_pItem ? other.m_pItem->Clone() : nullptr;
    m_nRows = other.m_nRows;
    m_nColumns = other.m_nColumns;
    m_dStepX = other.m_dStepX;
    m_dStepY = other.m_dStepY;
    return *this;
}

CShapeArray::~CShapeArray()
{
    delete m_pItem;
}

CShape* CShapeArray::Clone() const
{
    return new CShapeArray(*this);
}

QPainterPath CShapeArray::LocalPath() const
{
    QPainterPath path;
    if (!m_pItem)
        return path;
    const QPainterPath item = *m_pItem->GetPath(false);
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nColumns; ++c)
            path.addPath(item.translated(c * m_dStepX, r * m_dStepY));
    return path;
}

// --- CCodeShapeImage

CCodeShapeImage::CCodeShapeImage(const QImage& image, const QRectF& rectMm, const QString& strContent)
    : CShapeImage(image, rectMm)
    , m_strContent(strContent)
{
}

CCodeShapeImage::~CCodeShapeImage() = default;

CShape* CCodeShapeImage::Clone() const
{
    return new CCodeShapeImage(*this);
}
