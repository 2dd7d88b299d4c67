// Placeholder until this generator lands.
#include "DlgKerfmate.h"
#include "ui_DlgKerfmate.h"

#include "CShapeList.h"
#include "HostContext.h"
#include "IGeometryEngine.h"

#include <QFont>

void DlgKerfmate::on_spinBox_filletLength_valueChanged(double /*value*/) {}
void DlgKerfmate::on_spinBox_filletWidth_valueChanged(double /*value*/) {}
void DlgKerfmate::on_spinBox_filletHeight_valueChanged(double /*value*/) {}
void DlgKerfmate::on_doubleSpinBox_filletFluteLength_valueChanged(double /*value*/) {}
void DlgKerfmate::on_doubleSpinBox_filletFluteWidth_valueChanged(double /*value*/) {}
void DlgKerfmate::on_doubleSpinBox_filletThickness_valueChanged(double /*value*/) {}
void DlgKerfmate::on_doubleSpinBox_filletLaserWidth_valueChanged(double /*value*/) {}
void DlgKerfmate::on_checkBox_filletNoTop_clicked() {}
void DlgKerfmate::on_checkBox_filletNoBottom_clicked() {}
void DlgKerfmate::on_checkBox_3edgeNoFlute_clicked() {}
void DlgKerfmate::on_spinBox_filletCornerRadius_valueChanged(double /*value*/) {}
void DlgKerfmate::on_doubleSpinBox_filletCornerXSpace_valueChanged(double /*value*/) {}
void DlgKerfmate::on_doubleSpinBox_filletCornerYSpace_valueChanged(double /*value*/) {}
void DlgKerfmate::on_spinBox_filletCornerYCount_valueChanged(int /*value*/) {}
void DlgKerfmate::on_radioButton_filletSize25_clicked() {}
void DlgKerfmate::on_radioButton_filletSize50_clicked() {}
void DlgKerfmate::on_radioButton_filletSize100_clicked() {}
void DlgKerfmate::on_radioButton_filletOutside_toggled(bool /*checked*/) {}
void DlgKerfmate::on_radioButton_filletInside_toggled(bool /*checked*/) {}
void DlgKerfmate::LoadFilletBox() {}
void DlgKerfmate::CheckFilletBox() {}
void DlgKerfmate::SaveFilletBox() {}
void DlgKerfmate::SetFilletReferenceSizeTexts() {}
void DlgKerfmate::InitFilletBoxUi() {}
void DlgKerfmate::ApplyFilletReferenceSize() {}
void DlgKerfmate::ShowFilletCorner() {}
void DlgKerfmate::UpdateFilletLengthFlute() {}
void DlgKerfmate::UpdateFilletWidthFlute() {}
void DlgKerfmate::BuildFilletBox()
{
    if (pResultList) {
        pResultList->DeleteAll();
        CShapeList::Release(pResultList);
    }
    pResultList = CShapeList::New();
    pAuxList = CShapeList::New();
    SFilletBoxParam param = sFilletBox;
    HostContext.pEngine->CreateFilletBox(param, pResultList, pAuxList);
    PreviewBoxBuild();
}
