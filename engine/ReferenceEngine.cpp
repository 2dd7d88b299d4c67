#include "ReferenceEngine.h"
#include "CShape.h"
#include "CShapeList.h"
static void Rect(CShapeList* l, double w, double h) { QPainterPath p; p.addRect(0, 0, w, h); l->AddTail(new CShapeVector(p)); }
bool CReferenceEngine::CreateSeal(SSealBoxParam p, CShapeList* m) { QPainterPath c; c.addEllipse(QPointF(), p.D1 / 2, p.D1 / 2); m->AddTail(new CShapeVector(c)); return true; }
bool CReferenceEngine::CreateRectBox(SRectBoxParam p, CShapeList* m, CShapeList*, SFaceLabels*) { Rect(m, p.dWidth, p.dHeight); return true; }
bool CReferenceEngine::CreateGear(SGearBoxParam p, CShapeList* m) { Rect(m, p.dModulus * p.sGear1.nGCount, p.dModulus * p.sGear1.nGCount); return true; }
bool CReferenceEngine::CreateFilletBox(SFilletBoxParam p, CShapeList* m, CShapeList*) { Rect(m, p.dWidth, p.dDepth); return true; }
