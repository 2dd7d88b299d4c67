#include "HostContext.h"
#include "IKerfmate.h"

#include "CShapeList.h"
#include "DlgKerfmate.h"
#include "ILog.h"

SHostContext HostContext;

CKerfmateIns::~CKerfmateIns() = default;

CShapeList* CKerfmateIns::Create(IGeometryEngine* pEngine, void* pHostArg, QWidget* pParent)
{
    // Before the dialog exists: its constructor already builds.
    HostContext.pHostArg = pHostArg;
    HostContext.pEngine = pEngine;

    DlgKerfmate dialog(pParent);
    ILog_WriteLogF(1, "Create");
    if (dialog.exec() == 1)
        return dialog.GetResultList()->Clone();
    ILog_WriteLogF(1, "Create_Cancel");
    return nullptr;
}
