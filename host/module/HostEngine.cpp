#include "HostEngine.h"

#include "CShapeList.h"

const char* GeneratorName(int nGenerator)
{
    static const char* const names[] = {"Right angle box", "Rounded box", "Modular gear", "Badge/seal"};
    return nGenerator >= 0 && nGenerator < GeneratorCount ? names[nGenerator] : "generator";
}

// Counted, not drawn: a text outline costs a font lookup, and the dialog
// builds every generator once when it opens.
bool HostEngine::Note(int nGenerator, bool bBuilt, CShapeList* pMain)
{
    m_last.nGenerator = nGenerator;
    m_last.nShapes = bBuilt && pMain ? int(pMain->GetCount()) : 0;
    return bBuilt;
}

bool HostEngine::CreateSeal(SSealBoxParam param, CShapeList* pMain)
{
    m_seal = param;
    return Note(GenSeal, CReferenceEngine::CreateSeal(param, pMain), pMain);
}

bool HostEngine::CreateRectBox(SRectBoxParam param, CShapeList* pMain, CShapeList* pAux, SFaceLabels* pLabels)
{
    m_rect = param;
    return Note(GenRectBox, CReferenceEngine::CreateRectBox(param, pMain, pAux, pLabels), pMain);
}

bool HostEngine::CreateGear(SGearBoxParam param, CShapeList* pMain)
{
    m_gear = param;
    return Note(GenGear, CReferenceEngine::CreateGear(param, pMain), pMain);
}

bool HostEngine::CreateFilletBox(SFilletBoxParam param, CShapeList* pMain, CShapeList* pAux)
{
    m_fillet = param;
    return Note(GenFilletBox, CReferenceEngine::CreateFilletBox(param, pMain, pAux), pMain);
}
