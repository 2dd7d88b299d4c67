// Placeholder engine: one rectangle per record, sized from it.
#pragma once
#include "IGeometryEngine.h"
class CReferenceEngine : public IGeometryEngine
{
public:
    bool CreateSeal(SSealBoxParam param, CShapeList* pMain) override;
    bool CreateRectBox(SRectBoxParam param, CShapeList* pMain, CShapeList* pAux, SFaceLabels* pLabels) override;
    bool CreateGear(SGearBoxParam param, CShapeList* pMain) override;
    bool CreateFilletBox(SFilletBoxParam param, CShapeList* pMain, CShapeList* pAux) override;
};
