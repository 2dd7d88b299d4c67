// Rounded box: a box with rounded corners made of a corner pattern, with
// three reference-size presets for the corner.
#include "DlgKerfmate.h"
#include "ui_DlgKerfmate.h"

#include "UnitWidgets.h"
#include "HostContext.h"
#include "IGeometryEngine.h"
#include "ILog.h"
#include "IniGroup.h"
#include "ParameterTable.h"
#include "Numbers.h"
#include "SignalsBlocked.h"
#include "Validator.h"

#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>
#include <iterator>

namespace {
const QString kFilletGroup = QStringLiteral("DLG_FILLET_BOX");
const QString kReferenceSizeKey = QStringLiteral("nTemp");
constexpr double kGrooveCeilingMm = 30.0;
// Smallest sides a loaded box keeps; outside measures include two boards.
constexpr double kInsideSideMinMm = 20.0;
constexpr double kOutsideSideMinMm = 25.0;
constexpr double kHeightMinMm = 10.0;
constexpr int kDefaultReferenceSize = 1; // the middle preset

struct ReferenceSize
{
    const char* pszMmText;
    const char* pszInchText;
    double dRadius;
    double dXSpace;
    double dYSpace;
    int32_t nYCount;
};

// Indexed by the dialog's reference-size choice.
constexpr ReferenceSize kReferenceSizes[] = {
    {"25~50mm", "0.98~1.97inch", 8.0, 0.8, 2.0, 1},
    {"50~100mm", "1.97~3.94inch", 12.0, 1.2, 2.0, 2},
    {"100~200mm", "3.94~7.87inch", 20.0, 1.5, 2.0, 3},
};
constexpr int kReferenceSizeCount = int(std::size(kReferenceSizes));

} // namespace

void DlgKerfmate::on_spinBox_filletLength_valueChanged(double value)
{
    ILog_WriteLogF(0, "spinBox_filletLength was changed.");
    sFilletBox.dWidth = ToMm(value, nRulerUnit);
    BuildFilletBox();
    UpdateFilletLengthFlute();
}

void DlgKerfmate::on_spinBox_filletWidth_valueChanged(double value)
{
    ILog_WriteLogF(0, "spinBox_filletWidth was changed.");
    sFilletBox.dDepth = ToMm(value, nRulerUnit);
    BuildFilletBox();
    UpdateFilletWidthFlute();
}

void DlgKerfmate::on_spinBox_filletHeight_valueChanged(double value)
{
    ILog_WriteLogF(0, "spinBox_filletHeight was changed.");
    sFilletBox.dHeight = ToMm(value, nRulerUnit);
    BuildFilletBox();
}

// The rounded box truncates its sliders to the tenth below.
void DlgKerfmate::on_doubleSpinBox_filletFluteLength_valueChanged(double value)
{
    ILog_WriteLogF(0, "doubleSpinBox_filletFluteLength was changed.");
    PlaceGrooveSlider(pUi->horizontalSlider_filletFluteLength, value * 10);
    sFilletBox.dFluteOfHeight = ToMm(value, nRulerUnit);
    BuildFilletBox();
}

void DlgKerfmate::on_doubleSpinBox_filletFluteWidth_valueChanged(double value)
{
    ILog_WriteLogF(0, "doubleSpinBox_filletFluteWidth was changed.");
    PlaceGrooveSlider(pUi->horizontalSlider_filletFluteWidth, value * 10);
    sFilletBox.dFluteOfWidth = ToMm(value, nRulerUnit);
    BuildFilletBox();
}

void DlgKerfmate::on_doubleSpinBox_filletThickness_valueChanged(double value)
{
    ILog_WriteLogF(0, "doubleSpinBox_filletThickness was changed.");
    sFilletBox.dThickness = ToMm(value, nRulerUnit);
    BuildFilletBox();
}

void DlgKerfmate::on_doubleSpinBox_filletLaserWidth_valueChanged(double value)
{
    ILog_WriteLogF(0, "doubleSpinBox_filletLaserWidth was changed.");
    sFilletBox.dLaserWidth = ToMm(value, nRulerUnit);
    BuildFilletBox();
}

void DlgKerfmate::on_checkBox_filletNoTop_clicked()
{
    ILog_WriteLogF(0, "checkBox_filletNoTop was clicked.");
    sFilletBox.bNoTop = pUi->checkBox_filletNoTop->checkState() == Qt::Checked;
    BuildFilletBox();
}

void DlgKerfmate::on_checkBox_filletNoBottom_clicked()
{
    ILog_WriteLogF(0, "checkBox_filletNoBottom was clicked.");
    sFilletBox.bNoBottom = pUi->checkBox_filletNoBottom->checkState() == Qt::Checked;
    BuildFilletBox();
}

void DlgKerfmate::on_checkBox_3edgeNoFlute_clicked()
{
    ILog_WriteLogF(0, "checkBox_3edgeNoFlute was clicked.");
    sFilletBox.bNoFlute3Edge = pUi->checkBox_3edgeNoFlute->checkState() == Qt::Checked;
    BuildFilletBox();
}

void DlgKerfmate::on_spinBox_filletCornerRadius_valueChanged(double value)
{
    ILog_WriteLogF(0, "spinBox_filletCornerRadius was changed.");
    sFilletBox.sCorner.dRadius = ToMm(value, nRulerUnit);
    BuildFilletBox();
}

void DlgKerfmate::on_doubleSpinBox_filletCornerXSpace_valueChanged(double value)
{
    ILog_WriteLogF(0, "doubleSpinBox_filletCornerXSpace was changed.");
    sFilletBox.sCorner.dXSpace = ToMm(value, nRulerUnit);
    BuildFilletBox();
}

void DlgKerfmate::on_doubleSpinBox_filletCornerYSpace_valueChanged(double value)
{
    ILog_WriteLogF(0, "doubleSpinBox_filletCornerYSpace was changed.");
    sFilletBox.sCorner.dYSpace = ToMm(value, nRulerUnit);
    BuildFilletBox();
}

void DlgKerfmate::on_spinBox_filletCornerYCount_valueChanged(int value)
{
    ILog_WriteLogF(0, "spinBox_filletCornerYCount was changed.");
    sFilletBox.sCorner.nYCount = value;
    BuildFilletBox();
}

void DlgKerfmate::on_radioButton_filletSize25_clicked()
{
    ILog_WriteLogF(0, "radioButton_filletSize25 was clicked.");
    nReferenceSize = 0;
    ApplyFilletReferenceSize();
    BuildFilletBox();
}

void DlgKerfmate::on_radioButton_filletSize50_clicked()
{
    ILog_WriteLogF(0, "radioButton_filletSize50 was clicked.");
    nReferenceSize = 1;
    ApplyFilletReferenceSize();
    BuildFilletBox();
}

void DlgKerfmate::on_radioButton_filletSize100_clicked()
{
    ILog_WriteLogF(0, "radioButton_filletSize100 was clicked.");
    nReferenceSize = 2;
    ApplyFilletReferenceSize();
    BuildFilletBox();
}

void DlgKerfmate::on_radioButton_filletOutside_toggled(bool checked)
{
    ILog_WriteLogF(0, "radioButton_filletOutside was clicked.");
    if (!checked)
        return;
    sFilletBox.bInSize = !pUi->radioButton_filletOutside->isChecked();
    BuildFilletBox();
}

void DlgKerfmate::on_radioButton_filletInside_toggled(bool checked)
{
    ILog_WriteLogF(0, "radioButton_filletInside was clicked.");
    if (!checked)
        return;
    sFilletBox.bInSize = pUi->radioButton_filletInside->isChecked();
    BuildFilletBox();
}

void DlgKerfmate::LoadFilletBox()
{
    const IniReader ini(kFilletGroup);
    ParameterTable::ExchangeAll(ini, ParameterTable::kFilletBox, sFilletBox);
    // The default is the middle preset, not the current choice.
    nReferenceSize = kDefaultReferenceSize;
    ini.Integer(kReferenceSizeKey, nReferenceSize);
    CheckFilletBox();
}

// Box values only; the corner, the count and the preset choice are shown
// within their widgets' ranges instead.
void DlgKerfmate::CheckFilletBox()
{
    const double dSideMin = sFilletBox.bInSize ? kInsideSideMinMm : kOutsideSideMinMm;
    const double dSideMax = ParameterTable::kFilletDimensionRange.dMmMax;
    sFilletBox.dWidth = ClampToRange(sFilletBox.dWidth, dSideMin, dSideMax);
    sFilletBox.dHeight = ClampToRange(sFilletBox.dHeight, kHeightMinMm, dSideMax);
    sFilletBox.dDepth = ClampToRange(sFilletBox.dDepth, dSideMin, dSideMax);
    sFilletBox.dFluteOfWidth = ClampToRange(sFilletBox.dFluteOfWidth, kGrooveMinMm, kGrooveCeilingMm);
    sFilletBox.dFluteOfHeight = ClampToRange(sFilletBox.dFluteOfHeight, kGrooveMinMm, kGrooveCeilingMm);
    sFilletBox.dThickness = ClampToRange(sFilletBox.dThickness, kThicknessRange.dMmMin, kThicknessRange.dMmMax);
    sFilletBox.dLaserWidth = ClampToRange(sFilletBox.dLaserWidth, kLaserWidthRange.dMmMin, kLaserWidthRange.dMmMax);
}

void DlgKerfmate::SaveFilletBox()
{
    const IniWriter ini(kFilletGroup);
    ParameterTable::ExchangeAll(ini, ParameterTable::kFilletBox, sFilletBox);
    ini.Integer(kReferenceSizeKey, nReferenceSize);
}

// Shown as they are in every language.
void DlgKerfmate::SetFilletReferenceSizeTexts()
{
    QRadioButton* buttons[] = {pUi->radioButton_filletSize25, pUi->radioButton_filletSize50,
                               pUi->radioButton_filletSize100};
    const bool bInch = IsInchUnit(nRulerUnit);
    for (int i = 0; i < kReferenceSizeCount; ++i) {
        const ReferenceSize& preset = kReferenceSizes[i];
        buttons[i]->setText(QString::fromLatin1(bInch ? preset.pszInchText : preset.pszMmText));
    }
}

void DlgKerfmate::InitFilletBoxUi()
{
    InstallDecimalValidator(pUi->doubleSpinBox_filletThickness, 0.0, 10.0);

    QRadioButton* sizeButtons[] = {pUi->radioButton_filletSize25, pUi->radioButton_filletSize50,
                                   pUi->radioButton_filletSize100};
    ShowFields(this, ParameterTable::kFilletBox, sFilletBox, nRulerUnit);
    {
        const SignalsBlocked blocked{sizeButtons[0], sizeButtons[1], sizeButtons[2]};
        for (int i = 0; i < kReferenceSizeCount; ++i)
            sizeButtons[i]->setChecked(i == nReferenceSize);
    }

    FollowGrooveSlider(pUi->horizontalSlider_filletFluteLength, pUi->doubleSpinBox_filletFluteLength);
    FollowGrooveSlider(pUi->horizontalSlider_filletFluteWidth, pUi->doubleSpinBox_filletFluteWidth);

    UpdateFilletLengthFlute();
    UpdateFilletWidthFlute();
    BuildFilletBox();
}

void DlgKerfmate::ApplyFilletReferenceSize()
{
    if (nReferenceSize >= 0 && nReferenceSize < kReferenceSizeCount) {
        const ReferenceSize& preset = kReferenceSizes[nReferenceSize];
        sFilletBox.sCorner.dRadius = preset.dRadius;
        sFilletBox.sCorner.dXSpace = preset.dXSpace;
        sFilletBox.sCorner.dYSpace = preset.dYSpace;
        sFilletBox.sCorner.nYCount = preset.nYCount;
    }
    ShowFilletCorner();
}

void DlgKerfmate::ShowFilletCorner()
{
    const SignalsBlocked blocked{pUi->spinBox_filletCornerRadius, pUi->doubleSpinBox_filletCornerXSpace,
                                 pUi->doubleSpinBox_filletCornerYSpace, pUi->spinBox_filletCornerYCount};
    pUi->spinBox_filletCornerRadius->setValue(FromMm(sFilletBox.sCorner.dRadius, nRulerUnit));
    pUi->doubleSpinBox_filletCornerXSpace->setValue(FromMm(sFilletBox.sCorner.dXSpace, nRulerUnit));
    pUi->doubleSpinBox_filletCornerYSpace->setValue(FromMm(sFilletBox.sCorner.dYSpace, nRulerUnit));
    pUi->spinBox_filletCornerYCount->setValue(sFilletBox.sCorner.nYCount);
}

// The groove limit is kept between 3 and 30 mm, and the new size goes
// through the spin box's handler, which stores it and rebuilds.
void DlgKerfmate::UpdateFilletLengthFlute()
{
    const double dMax = ClampToRange(GetLengthFluteMax(true), kGrooveMinMm, kGrooveCeilingMm);
    ShowGrooveMax(pUi->doubleSpinBox_filletFluteLength, pUi->horizontalSlider_filletFluteLength, dMax, nRulerUnit);
    on_doubleSpinBox_filletFluteLength_valueChanged(FromMm(dMax, nRulerUnit));
}

void DlgKerfmate::UpdateFilletWidthFlute()
{
    const double dMax = ClampToRange(GetWidthFluteMax(true), kGrooveMinMm, kGrooveCeilingMm);
    ShowGrooveMax(pUi->doubleSpinBox_filletFluteWidth, pUi->horizontalSlider_filletFluteWidth, dMax, nRulerUnit);
    on_doubleSpinBox_filletFluteWidth_valueChanged(FromMm(dMax, nRulerUnit));
}

void DlgKerfmate::BuildFilletBox()
{
    RunBuild(BuildLists::ResultAndSecond, [this](CShapeList* pMain, CShapeList* pAux) {
        HostContext.pEngine->CreateFilletBox(sFilletBox, pMain, pAux);
    });
}
