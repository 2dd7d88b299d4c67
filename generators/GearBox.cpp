// Placeholder until this generator lands.
#include "DlgKerfmate.h"
#include "ui_DlgKerfmate.h"

#include "CShapeList.h"
#include "HostContext.h"
#include "IGeometryEngine.h"

#include <QFont>

void DlgKerfmate::on_lineEdit_gearModulus_editingFinished() {}
void DlgKerfmate::on_lineEdit_gearDiameter1_editingFinished() {}
void DlgKerfmate::on_lineEdit_gearCount1_editingFinished() {}
void DlgKerfmate::on_lineEdit_gearDiameter2_editingFinished() {}
void DlgKerfmate::on_lineEdit_gearCount2_editingFinished() {}
void DlgKerfmate::on_lineEdit_gearSpace_editingFinished() {}
void DlgKerfmate::on_lineEdit_gearRate_editingFinished() {}
void DlgKerfmate::LoadGearBox() {}
void DlgKerfmate::CheckGearBox() {}
void DlgKerfmate::SaveGearBox() {}
void DlgKerfmate::InitGearBoxUi() {}
void DlgKerfmate::BuildGear()
{
    if (pResultList)
        pResultList->DeleteAll();
    CShapeList::Release(pResultList);
    pResultList = CShapeList::New();
    HostContext.pEngine->CreateGear(sGearBox, pResultList);
    SetPreview(pUi->graphicsView_preview, pResultList);
}
