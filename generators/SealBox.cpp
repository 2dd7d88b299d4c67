// Placeholder until this generator lands.
#include "DlgKerfmate.h"
#include "ui_DlgKerfmate.h"

#include "CShapeList.h"
#include "HostContext.h"
#include "IGeometryEngine.h"

#include <QFont>

void DlgKerfmate::on_doubleSpinBox_sealD1_valueChanged(double /*arg1*/) {}
void DlgKerfmate::on_doubleSpinBox_sealD2_valueChanged(double /*arg1*/) {}
void DlgKerfmate::on_lineEdit_sealText1_returnPressed() {}
void DlgKerfmate::on_lineEdit_sealText1_textEdited(const QString& /*arg1*/) {}
void DlgKerfmate::on_doubleSpinBox_sealTextHeight1_valueChanged(double /*arg1*/) {}
void DlgKerfmate::on_doubleSpinBox_sealTextOffset1_valueChanged(double /*arg1*/) {}
void DlgKerfmate::on_doubleSpinBox_sealTextDistance1_valueChanged(double /*arg1*/) {}
void DlgKerfmate::on_fontComboBox_sealTextFont1_currentFontChanged(const QFont& /*f*/) {}
void DlgKerfmate::on_lineEdit_sealText2_returnPressed() {}
void DlgKerfmate::on_lineEdit_sealText2_textEdited(const QString& /*arg1*/) {}
void DlgKerfmate::on_doubleSpinBox_sealTextHeight2_valueChanged(double /*arg1*/) {}
void DlgKerfmate::on_doubleSpinBox_sealTextOffset2_valueChanged(double /*arg1*/) {}
void DlgKerfmate::on_doubleSpinBox_sealTextDistance2_valueChanged(double /*arg1*/) {}
void DlgKerfmate::on_fontComboBox_sealTextFont2_currentFontChanged(const QFont& /*f*/) {}
void DlgKerfmate::on_lineEdit_sealText3_returnPressed() {}
void DlgKerfmate::on_lineEdit_sealText3_textEdited(const QString& /*arg1*/) {}
void DlgKerfmate::on_doubleSpinBox_sealTextHeight3_valueChanged(double /*arg1*/) {}
void DlgKerfmate::on_doubleSpinBox_sealTextOffset3_valueChanged(double /*arg1*/) {}
void DlgKerfmate::on_fontComboBox_sealTextFont3_currentFontChanged(const QFont& /*f*/) {}
void DlgKerfmate::on_radioButton_badge_clicked(bool /*checked*/) {}
void DlgKerfmate::on_radioButton_seal_clicked(bool /*checked*/) {}
void DlgKerfmate::LoadSealBox() {}
void DlgKerfmate::SaveSealBox() {}
void DlgKerfmate::InitSealBoxUi() {}
void DlgKerfmate::SetSealRanges() {}
void DlgKerfmate::SetSealValidators() {}
void DlgKerfmate::BuildSeal()
{
    if (pResultList)
        pResultList->DeleteAll();
    CShapeList::Release(pResultList);
    pResultList = CShapeList::New();
    HostContext.pEngine->CreateSeal(sSealBox, pResultList);
    SetPreview(pUi->graphicsView_preview, pResultList);
}
