// Placeholder until this generator lands.
#include "DlgKerfmate.h"
#include "ui_DlgKerfmate.h"

#include "CShapeList.h"
#include "HostContext.h"
#include "IGeometryEngine.h"

#include <QFont>

void DlgKerfmate::on_spinBox_rectLength_valueChanged(double /*value*/) {}
void DlgKerfmate::on_spinBox_rectWidth_valueChanged(double /*value*/) {}
void DlgKerfmate::on_spinBox_rectHeight_valueChanged(double /*value*/) {}
void DlgKerfmate::on_doubleSpinBox_rectFluteLength_valueChanged(double /*value*/) {}
void DlgKerfmate::on_doubleSpinBox_rectFluteWidth_valueChanged(double /*value*/) {}
void DlgKerfmate::on_doubleSpinBox_rectFluteHeight_valueChanged(double /*value*/) {}
void DlgKerfmate::on_doubleSpinBox_rectThickness_valueChanged(double /*value*/) {}
void DlgKerfmate::on_doubleSpinBox_rectLaserWidth_valueChanged(double /*value*/) {}
void DlgKerfmate::on_checkBox_rectNoTop_clicked() {}
void DlgKerfmate::on_checkBox_rectNoBottom_clicked() {}
void DlgKerfmate::on_radioButton_rectOutside_toggled(bool /*checked*/) {}
void DlgKerfmate::on_radioButton_rectInside_toggled(bool /*checked*/) {}
void DlgKerfmate::LoadRectBox() {}
void DlgKerfmate::SaveRectBox() {}
void DlgKerfmate::InitRectBoxUi() {}
void DlgKerfmate::UpdateRectLengthFlute() {}
void DlgKerfmate::UpdateRectWidthFlute() {}
void DlgKerfmate::UpdateRectHeightFlute() {}
double DlgKerfmate::GetLengthFluteMax(bool) const { return 0; }
double DlgKerfmate::GetWidthFluteMax(bool) const { return 0; }
double DlgKerfmate::GetHeightFluteMax() const { return 0; }
void DlgKerfmate::BuildRectBox()
{
    SFaceLabels labels;
    if (pResultList) {
        pResultList->DeleteAll();
        CShapeList::Release(pResultList);
    }
    pResultList = CShapeList::New();
    pAuxList = CShapeList::New();
    SRectBoxParam param = sRectBox;
    HostContext.pEngine->CreateRectBox(param, pResultList, pAuxList, &labels);
    PreviewBoxBuild();
}
