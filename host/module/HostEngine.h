// The engine the host hands to the module: the reference engine, noting what
// each build produced so the host can tell at once when a part is empty.
#pragma once

#include "ReferenceEngine.h"

// The generators in the order of the dialog's switch.
enum Generator { GenRectBox = 0, GenFilletBox = 1, GenGear = 2, GenSeal = 3, GeneratorCount = 4 };
// Their English names, as the dialog's switch shows them in English.
const char* GeneratorName(int nGenerator);

struct BuildNote
{
    int nGenerator = -1; // -1: nothing built yet
    int nShapes = 0;     // shapes in the main list; 0 also when the build failed
    EngineReport report; // what the engine made of the record
};

// What the user reads when the engine adjusted or refused a part: the
// generator and the engine's sentence, in the user's language when
// bTranslated (the engine's sentence stays English); empty when the engine
// built what was asked.
QString BuildMessage(const BuildNote& note, bool bTranslated);

class HostEngine : public CReferenceEngine
{
public:
    bool CreateSeal(SSealBoxParam param, CShapeList* pMain) override;
    bool CreateRectBox(SRectBoxParam param, CShapeList* pMain, CShapeList* pAux, SFaceLabels* pLabels) override;
    bool CreateGear(SGearBoxParam param, CShapeList* pMain) override;
    bool CreateFilletBox(SFilletBoxParam param, CShapeList* pMain, CShapeList* pAux) override;

    const BuildNote& LastBuild() const { return m_last; }
    // The records of each generator's latest build: what the part on OK was made from.
    const SRectBoxParam& LastRectBox() const { return m_rect; }
    const SFilletBoxParam& LastFilletBox() const { return m_fillet; }
    const SGearBoxParam& LastGear() const { return m_gear; }
    const SSealBoxParam& LastSeal() const { return m_seal; }

private:
    bool Note(int nGenerator, bool bBuilt, CShapeList* pMain);
    BuildNote m_last;
    SRectBoxParam m_rect;
    SFilletBoxParam m_fillet;
    SGearBoxParam m_gear;
    SSealBoxParam m_seal;
};
