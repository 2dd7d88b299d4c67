// Host shape model. Every shape keeps its outline in millimetres; copies are
// deep. A process-wide count of live shapes lets tests see leaks and double
// frees.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QString>
#include <QTransform>
#include <QVector>

class CShape
{
public:
    // How the host treats the outline when it sends the job to the laser.
    enum Layer { LayerCut = 0, LayerEngrave = 1 };

    CShape();
    CShape(const CShape& other);
    CShape& operator=(const CShape& other);
    virtual ~CShape();

    // A deep copy of the most derived type.
    virtual CShape* Clone() const;

    // The outline. false: as placed in the document (the shape's transform
    // applied); true: in the shape's own coordinates. Owned by the shape and
    // valid until the shape changes.
    virtual QPainterPath* GetPath(bool bLocal);

    void SetTransform(const QTransform& transform);
    QTransform GetTransform() const { return m_transform; }
    void SetLayer(int nLayer) { m_nLayer = nLayer; }
    int GetLayer() const { return m_nLayer; }

    static long LiveCount();

protected:
    // The outline in the shape's own coordinates; subclasses compute it.
    virtual QPainterPath LocalPath() const;

    QTransform m_transform;
    int m_nLayer = LayerCut;

private:
    QPainterPath m_cache;
};

// A vector outline: lines and curves in millimetres.
class CShapeVector : public CShape
{
public:
    CShapeVector() = default;
    explicit CShapeVector(const QPainterPath& path, int nLayer = LayerCut);
    CShapeVector(const CShapeVector& other) = default;
    CShapeVector& operator=(const CShapeVector& other) = default;
    ~CShapeVector() override;
    CShape* Clone() const override;

    void SetPath(const QPainterPath& path) { m_path = path; }

protected:
    QPainterPath LocalPath() const override;

private:
    QPainterPath m_path;
};

// A line of text, kept as text; its outline is made on demand from faces
// that have its characters (TextOutline.h), capitals dHeightMm tall.
class CShapeText : public CShape
{
public:
    CShapeText() = default;
    CShapeText(const QString& strText, const QString& strFamily, double dHeightMm);
    CShapeText(const CShapeText& other) = default;
    CShapeText& operator=(const CShapeText& other) = default;
    ~CShapeText() override;
    CShape* Clone() const override;

    QString GetText() const { return m_strText; }
    QString GetFamily() const { return m_strFamily; }
    double GetHeight() const { return m_dHeight; }
    // True when every contour of the text outline is closed, so it can be
    // filled or engraved as an area.
    bool IsClose() const;

protected:
    QPainterPath LocalPath() const override;

private:
    QString m_strText;
    QString m_strFamily;
    double m_dHeight = 0.0;
};

// Owns deep copies of its children.
class CShapeGroup : public CShape
{
public:
    CShapeGroup() = default;
    CShapeGroup(const CShapeGroup& other);
    CShapeGroup& operator=(const CShapeGroup& other);
    ~CShapeGroup() override;
    CShape* Clone() const override;

    void Add(CShape* pChild); // takes ownership
    int Count() const { return m_children.size(); }
    CShape* Child(int i) const { return m_children.value(i); }

protected:
    QPainterPath LocalPath() const override;

private:
    void Clear();
    QVector<CShape*> m_children;
};

// A bitmap placed on a rectangle in millimetres; its outline is the frame.
class CShapeImage : public CShape
{
public:
    CShapeImage() = default;
    CShapeImage(const QImage& image, const QRectF& rectMm);
    CShapeImage(const CShapeImage& other) = default;
    CShapeImage& operator=(const CShapeImage& other) = default;
    ~CShapeImage() override;
    CShape* Clone() const override;

    QImage GetImage() const { return m_image; }
    QRectF GetRect() const { return m_rect; }

protected:
    QPainterPath LocalPath() const override;

    QImage m_image;
    QRectF m_rect;
};

// Copies of one shape on a grid.
class CShapeArray : public CShape
{
public:
    CShapeArray() = default;
    CShapeArray(const CShape& item, int nRows, int nColumns, double dStepX, double dStepY);
    CShapeArray(const CShapeArray& other);
    CShapeArray& operator=(const CShapeArray& other);
    ~CShapeArray() override;
    CShape* Clone() const override;

protected:
    QPainterPath LocalPath() const override;

private:
    CShape* m_pItem = nullptr;
    int m_nRows = 0;
    int m_nColumns = 0;
    double m_dStepX = 0.0;
    double m_dStepY = 0.0;
};

// A bar code or QR code image that remembers what it encodes.
class CCodeShapeImage : public CShapeImage
{
public:
    CCodeShapeImage() = default;
    CCodeShapeImage(const QImage& image, const QRectF& rectMm, const QString& strContent);
    CCodeShapeImage(const CCodeShapeImage& other) = default;
    CCodeShapeImage& operator=(const CCodeShapeImage& other) = default;
    ~CCodeShapeImage() override;
    CShape* Clone() const override;

    QString GetContent() const { return m_strContent; }

private:
    QString m_strContent;
};
