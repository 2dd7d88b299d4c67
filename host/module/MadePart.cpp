#include "MadePart.h"

#include "CShapeList.h"
#include "CTranslator.h"
#include "HostEngine.h"
#include "Parameters.h"
#include "SheetModel.h"

bool MadePart(CShapeList* pResult, const HostEngine& engine, Part* pPart)
{
    const Outlines outlines = OutlinesOf(*pResult);
    pResult->DeleteAll();
    CShapeList::Release(pResult);
    if (outlines.isEmpty() || !IsFinite(outlines))
        return false;
    const int generator = engine.LastBuild().nGenerator;
    Part part = MakePart(outlines, SheetModel::kGapMm);
    part.nGenerator = generator;
    part.strName = CTranslator::GetInstance()->GetWording(QLatin1String(GeneratorName(generator)));
    part.parameters = PartParameters(engine, generator);
    *pPart = part;
    return true;
}
