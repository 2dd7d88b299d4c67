#include "IGeometryEngine.h"

IGeometryEngine::~IGeometryEngine() = default;

int IGeometryEngine::GetEngineVersion() const { return 0; }
void IGeometryEngine::SetTolerance(double) {}
double IGeometryEngine::GetTolerance() const { return 0.0; }
bool IGeometryEngine::Offset(CShapeList*, double, CShapeList*) { return false; }
bool IGeometryEngine::Union(CShapeList*, CShapeList*) { return false; }
bool IGeometryEngine::Intersect(CShapeList*, CShapeList*, CShapeList*) { return false; }
bool IGeometryEngine::Subtract(CShapeList*, CShapeList*, CShapeList*) { return false; }
bool IGeometryEngine::Xor(CShapeList*, CShapeList*, CShapeList*) { return false; }
bool IGeometryEngine::Simplify(CShapeList*) { return false; }
bool IGeometryEngine::Smooth(CShapeList*, double) { return false; }
bool IGeometryEngine::Flatten(CShapeList*, double) { return false; }
bool IGeometryEngine::ConvertTextToPath(CShapeList*) { return false; }
bool IGeometryEngine::CreateRectangle(double, double, double, CShapeList*) { return false; }
bool IGeometryEngine::CreateEllipse(double, double, CShapeList*) { return false; }
bool IGeometryEngine::CreatePolygon(int, double, CShapeList*) { return false; }
bool IGeometryEngine::CreateStar(int, double, double, CShapeList*) { return false; }
bool IGeometryEngine::CreateSpiral(double, double, double, CShapeList*) { return false; }
bool IGeometryEngine::CreateGrid(int, int, double, CShapeList*) { return false; }
bool IGeometryEngine::CreateBarcode(const char*, CShapeList*) { return false; }
bool IGeometryEngine::CreateQRCode(const char*, CShapeList*) { return false; }
bool IGeometryEngine::Tessellate(CShapeList*, double, double, CShapeList*) { return false; }
bool IGeometryEngine::Mirror(CShapeList*, bool) { return false; }
bool IGeometryEngine::CreateSeal(SSealBoxParam, CShapeList*) { return false; }
bool IGeometryEngine::CreateRectBox(SRectBoxParam, CShapeList*, CShapeList*, SFaceLabels*) { return false; }
bool IGeometryEngine::CreateGear(SGearBoxParam, CShapeList*) { return false; }
bool IGeometryEngine::CreateFilletBox(SFilletBoxParam, CShapeList*, CShapeList*) { return false; }
