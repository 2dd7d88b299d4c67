// The host's geometry engine. Plug-ins call it through this interface only;
// the order of the virtual functions is the host's binary contract and must
// not change. Everything but the generator builds has an empty default, so an
// engine overrides only what it draws.
#pragma once

#include "GeometryRecords.h"

class CShapeList;

class IGeometryEngine
{
public:
    // 0
    virtual ~IGeometryEngine();
    // 1..22: the host's own drawing and path operations.
    virtual int GetEngineVersion() const;
    virtual void SetTolerance(double dMillimetres);
    virtual double GetTolerance() const;
    virtual bool Offset(CShapeList* pIn, double dDistance, CShapeList* pOut);
    virtual bool Union(CShapeList* pIn, CShapeList* pOut);
    virtual bool Intersect(CShapeList* pA, CShapeList* pB, CShapeList* pOut);
    virtual bool Subtract(CShapeList* pA, CShapeList* pB, CShapeList* pOut);
    virtual bool Xor(CShapeList* pA, CShapeList* pB, CShapeList* pOut);
    virtual bool Simplify(CShapeList* pInOut);
    virtual bool Smooth(CShapeList* pInOut, double dAmount);
    virtual bool Flatten(CShapeList* pInOut, double dTolerance);
    virtual bool ConvertTextToPath(CShapeList* pInOut);
    virtual bool CreateRectangle(double dWidth, double dHeight, double dRadius, CShapeList* pOut);
    virtual bool CreateEllipse(double dWidth, double dHeight, CShapeList* pOut);
    virtual bool CreatePolygon(int nSides, double dRadius, CShapeList* pOut);
    virtual bool CreateStar(int nPoints, double dOuter, double dInner, CShapeList* pOut);
    virtual bool CreateSpiral(double dInner, double dOuter, double dTurns, CShapeList* pOut);
    virtual bool CreateGrid(int nRows, int nColumns, double dStep, CShapeList* pOut);
    virtual bool CreateBarcode(const char* pszContent, CShapeList* pOut);
    virtual bool CreateQRCode(const char* pszContent, CShapeList* pOut);
    virtual bool Tessellate(CShapeList* pIn, double dWidth, double dHeight, CShapeList* pOut);
    virtual bool Mirror(CShapeList* pInOut, bool bHorizontal);
    // 23..26: generator builds. Records arrive as copies; the lists are
    // empty on entry and the only output.
    virtual bool CreateSeal(SSealBoxParam param, CShapeList* pMain);
    virtual bool CreateRectBox(SRectBoxParam param, CShapeList* pMain, CShapeList* pAux, SFaceLabels* pLabels);
    virtual bool CreateGear(SGearBoxParam param, CShapeList* pMain);
    virtual bool CreateFilletBox(SFilletBoxParam param, CShapeList* pMain, CShapeList* pAux);
};
