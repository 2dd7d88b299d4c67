// Right-angle box: six panels joined by grooves along their edges. Also the
// groove limits, which the rounded box shares.
#include "DlgKerfmate.h"
#include "ui_DlgKerfmate.h"

#include "UnitWidgets.h"
#include "CTranslator.h"
#include "HostContext.h"
#include "IGeometryEngine.h"
#include "ILog.h"
#include "IniGroup.h"
#include "ParameterTable.h"
#include "SignalsBlocked.h"
#include "TextField.h"
#include "Validator.h"

#include <QLineEdit>

namespace {
const QString kRectGroup = QStringLiteral("DLG_RECT_BOX");
constexpr size_t kLabelSize = sizeof(SFaceLabels::szFront);

// The rounded box's groove limit along one side: a third of what the corner
// radius leaves of half the side; board thickness counts for outside sizes.
double RoundedGrooveMax(const SFilletBoxParam& box, double dSide)
{
    const double dWalls = box.bInSize ? 0.0 : 2 * box.dThickness;
    return ((dSide - dWalls) / 2 - box.sCorner.dRadius) / 3;
}

SFaceLabels TranslatedFaceLabels()
{
    SFaceLabels labels;
    const struct
    {
        const char* key;
        char* pField;
    } faces[] = {{"FLAG_FRONT", labels.szFront}, {"FLAG_BEHIND", labels.szBehind}, {"FLAG_LEFT", labels.szLeft},
                 {"FLAG_RIGHT", labels.szRight}, {"FLAG_TOP", labels.szTop},       {"FLAG_BOTTOM", labels.szBottom}};
    for (const auto& face : faces) {
        const QByteArray bytes = StringToUtf8(CTranslator::GetInstance()->GetWording(QString(face.key)));
        CopyToField(face.pField, kLabelSize, bytes.constData(), size_t(bytes.size()));
    }
    return labels;
}
} // namespace

void DlgKerfmate::on_spinBox_rectLength_valueChanged(double value)
{
    ILog_WriteLogF(0, "spinBox_rectLength was changed.");
    sRectBox.dWidth = ToMm(value, nRulerUnit);
    UpdateRectLengthFlute();
    BuildRectBox();
}

void DlgKerfmate::on_spinBox_rectWidth_valueChanged(double value)
{
    ILog_WriteLogF(0, "spinBox_rectWidth was changed.");
    sRectBox.dDepth = ToMm(value, nRulerUnit);
    UpdateRectWidthFlute();
    BuildRectBox();
}

void DlgKerfmate::on_spinBox_rectHeight_valueChanged(double value)
{
    ILog_WriteLogF(0, "spinBox_rectHeight was changed.");
    sRectBox.dHeight = ToMm(value, nRulerUnit);
    UpdateRectHeightFlute();
    BuildRectBox();
}

// The right-angle box rounds its sliders to the nearest tenth.
void DlgKerfmate::on_doubleSpinBox_rectFluteLength_valueChanged(double value)
{
    ILog_WriteLogF(0, "doubleSpinBox_rectFluteLength was changed.");
    PlaceGrooveSlider(pUi->horizontalSlider_rectFluteLength, value * 10 + 0.5);
    sRectBox.dFluteOfWidth = ToMm(value, nRulerUnit);
    BuildRectBox();
}

void DlgKerfmate::on_doubleSpinBox_rectFluteWidth_valueChanged(double value)
{
    ILog_WriteLogF(0, "doubleSpinBox_rectFluteWidth was changed.");
    PlaceGrooveSlider(pUi->horizontalSlider_rectFluteWidth, value * 10 + 0.5);
    sRectBox.dFluteOfHeight = ToMm(value, nRulerUnit);
    BuildRectBox();
}

void DlgKerfmate::on_doubleSpinBox_rectFluteHeight_valueChanged(double value)
{
    ILog_WriteLogF(0, "doubleSpinBox_rectFluteHeight was changed.");
    PlaceGrooveSlider(pUi->horizontalSlider_rectFluteHeight, value * 10 + 0.5);
    sRectBox.dFluteOfDepth = ToMm(value, nRulerUnit);
    BuildRectBox();
}

void DlgKerfmate::on_doubleSpinBox_rectThickness_valueChanged(double value)
{
    ILog_WriteLogF(0, "doubleSpinBox_rectThickness was changed.");
    sRectBox.dThickness = ToMm(value, nRulerUnit);
    BuildRectBox();
}

void DlgKerfmate::on_doubleSpinBox_rectLaserWidth_valueChanged(double value)
{
    ILog_WriteLogF(0, "doubleSpinBox_rectLaserWidth was changed.");
    sRectBox.dLaserWidth = ToMm(value, nRulerUnit);
    BuildRectBox();
}

void DlgKerfmate::on_checkBox_rectNoTop_clicked()
{
    ILog_WriteLogF(0, "checkBox_rectNoTop was clicked.");
    sRectBox.bNoTop = pUi->checkBox_rectNoTop->checkState() == Qt::Checked;
    BuildRectBox();
}

void DlgKerfmate::on_checkBox_rectNoBottom_clicked()
{
    ILog_WriteLogF(0, "checkBox_rectNoBottom was clicked.");
    sRectBox.bNoBottom = pUi->checkBox_rectNoBottom->checkState() == Qt::Checked;
    BuildRectBox();
}

// Both radio handlers log every toggle; only the button that becomes
// checked stores and builds, so one click builds once.
void DlgKerfmate::on_radioButton_rectOutside_toggled(bool checked)
{
    ILog_WriteLogF(0, "radioButton_rectOutside was clicked.");
    if (!checked)
        return;
    sRectBox.bInSize = !pUi->radioButton_rectOutside->isChecked();
    BuildRectBox();
}

void DlgKerfmate::on_radioButton_rectInside_toggled(bool checked)
{
    ILog_WriteLogF(0, "radioButton_rectInside was clicked.");
    if (!checked)
        return;
    sRectBox.bInSize = pUi->radioButton_rectInside->isChecked();
    BuildRectBox();
}

void DlgKerfmate::LoadRectBox()
{
    // No range check here: the widgets clamp what they show, and the
    // groove sizes are replaced when the page is set up.
    ParameterTable::ExchangeAll(IniReader(kRectGroup), ParameterTable::kRectBox, sRectBox);
}

void DlgKerfmate::SaveRectBox()
{
    ParameterTable::ExchangeAll(IniWriter(kRectGroup), ParameterTable::kRectBox, sRectBox);
}

void DlgKerfmate::InitRectBoxUi()
{
    pUi->radioButton_rectInside->setChecked(false);
    pUi->radioButton_rectOutside->setChecked(false);

    InstallDecimalValidator(pUi->doubleSpinBox_rectThickness, 0.0, 10.0);
    InstallDecimalValidator(pUi->doubleSpinBox_rectLaserWidth, 0.1, 0.8);

    // The grooves are shown at their maximum below; the size buttons
    // signal, so the one that becomes checked stores the choice.
    ShowFields(this, ParameterTable::kRectBox, sRectBox, nRulerUnit, true);

    FollowGrooveSlider(pUi->horizontalSlider_rectFluteLength, pUi->doubleSpinBox_rectFluteLength);
    FollowGrooveSlider(pUi->horizontalSlider_rectFluteWidth, pUi->doubleSpinBox_rectFluteWidth);
    FollowGrooveSlider(pUi->horizontalSlider_rectFluteHeight, pUi->doubleSpinBox_rectFluteHeight);

    UpdateRectLengthFlute();
    UpdateRectWidthFlute();
    UpdateRectHeightFlute();
    BuildRectBox();
}

// A dimension change resets its groove to the new maximum; the record takes
// that maximum even where the spin box cannot go below 3 mm.
void DlgKerfmate::UpdateRectLengthFlute()
{
    const double dMax = GetLengthFluteMax(false);
    ShowGrooveMax(pUi->doubleSpinBox_rectFluteLength, pUi->horizontalSlider_rectFluteLength, dMax, nRulerUnit);
    sRectBox.dFluteOfWidth = dMax;
}

void DlgKerfmate::UpdateRectWidthFlute()
{
    const double dMax = GetWidthFluteMax(false);
    ShowGrooveMax(pUi->doubleSpinBox_rectFluteWidth, pUi->horizontalSlider_rectFluteWidth, dMax, nRulerUnit);
    sRectBox.dFluteOfHeight = dMax;
}

void DlgKerfmate::UpdateRectHeightFlute()
{
    const double dMax = GetHeightFluteMax();
    ShowGrooveMax(pUi->doubleSpinBox_rectFluteHeight, pUi->horizontalSlider_rectFluteHeight, dMax, nRulerUnit);
    sRectBox.dFluteOfDepth = dMax;
}

double DlgKerfmate::GetLengthFluteMax(bool rounded) const
{
    return rounded ? RoundedGrooveMax(sFilletBox, sFilletBox.dWidth) : sRectBox.dWidth / 4;
}

double DlgKerfmate::GetWidthFluteMax(bool rounded) const
{
    return rounded ? RoundedGrooveMax(sFilletBox, sFilletBox.dDepth) : sRectBox.dDepth / 4;
}

double DlgKerfmate::GetHeightFluteMax() const
{
    return sRectBox.dHeight / 4;
}

void DlgKerfmate::BuildRectBox()
{
    SFaceLabels labels = TranslatedFaceLabels();
    RunBuild(BuildLists::ResultAndSecond, [&](CShapeList* pMain, CShapeList* pAux) {
        HostContext.pEngine->CreateRectBox(sRectBox, pMain, pAux, &labels);
    });
}
