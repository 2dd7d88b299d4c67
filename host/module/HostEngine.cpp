#include "HostEngine.h"

#include "CShapeList.h"
#include "CTranslator.h"

const char* GeneratorName(int nGenerator)
{
    static const char* const names[] = {"Right angle box", "Rounded box", "Modular gear", "Badge/seal"};
    return nGenerator >= 0 && nGenerator < GeneratorCount ? names[nGenerator] : "generator";
}

QString BuildMessage(const BuildNote& note, bool bTranslated)
{
    const auto wording = [bTranslated](const char* pszKey) {
        const QString key = QString::fromUtf8(pszKey);
        return bTranslated ? CTranslator::GetInstance()->GetWording(key) : key;
    };
    switch (note.report.status) {
    case EngineReport::Built:
        return QString();
    case EngineReport::Adjusted:
        return wording("%1 was adjusted to cut: %2").arg(wording(GeneratorName(note.nGenerator)), note.report.sentence);
    case EngineReport::Refused:
        break;
    }
    return wording("%1 cannot be cut: %2").arg(wording(GeneratorName(note.nGenerator)), note.report.sentence);
}

// Counted, not drawn: a text outline costs a font lookup, and the dialog
// builds every generator once when it opens.
bool HostEngine::Note(int nGenerator, bool bBuilt, CShapeList* pMain)
{
    m_last.nGenerator = nGenerator;
    m_last.nShapes = bBuilt && pMain ? int(pMain->GetCount()) : 0;
    m_last.report = LastReport();
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
