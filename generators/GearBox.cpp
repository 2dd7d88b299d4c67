// Modular gear: one module and two gears, each a tooth count and a centre
// diameter. The engine draws the pair; the page shows centre distance and ratio.
#include "DlgKerfmate.h"
#include "ui_DlgKerfmate.h"

#include "HostContext.h"
#include "IGeometryEngine.h"
#include "ILog.h"
#include "IniGroup.h"
#include "ParameterTable.h"
#include "Numbers.h"
#include "Settings.h"
#include "SignalsBlocked.h"
#include "UnitWidgets.h"
#include "Validator.h"

#include <QLineEdit>

namespace {
const QString kGroup = QStringLiteral("DLG_GEAR_BOX");

// Clamped as a number, then truncated.
int ClampCount(int value)
{
    return static_cast<int>(ClampToRange(value, 8.0, 60.0));
}

void InstallWhole(QLineEdit* pEdit, int nBottom, int nTop)
{
    Validator::Install(pEdit, new Validator(pEdit, nBottom, nTop, 0, 1));
}
} // namespace

void DlgKerfmate::on_lineEdit_gearModulus_editingFinished()
{
    ILog_WriteLogF(0, "lineEdit_gearModulus was editing finished.");
    sGearBox.dModulus = pUi->lineEdit_gearModulus->text().toDouble();
    BuildGear();
}

void DlgKerfmate::on_lineEdit_gearDiameter1_editingFinished()
{
    ILog_WriteLogF(0, "lineEdit_gearDiameter1 was editing finished.");
    sGearBox.sGear1.dCDiameter = ToMm(pUi->lineEdit_gearDiameter1->text().toDouble(), nRulerUnit);
    BuildGear();
}

void DlgKerfmate::on_lineEdit_gearCount1_editingFinished()
{
    ILog_WriteLogF(0, "lineEdit_gearCount1 was editing finished.");
    sGearBox.sGear1.nGCount = pUi->lineEdit_gearCount1->text().toInt(nullptr, 10);
    BuildGear();
}

void DlgKerfmate::on_lineEdit_gearDiameter2_editingFinished()
{
    ILog_WriteLogF(0, "lineEdit_gearDiameter2 was editing finished.");
    sGearBox.sGear2.dCDiameter = ToMm(pUi->lineEdit_gearDiameter2->text().toDouble(), nRulerUnit);
    BuildGear();
}

void DlgKerfmate::on_lineEdit_gearCount2_editingFinished()
{
    ILog_WriteLogF(0, "lineEdit_gearCount2 was editing finished.");
    sGearBox.sGear2.nGCount = pUi->lineEdit_gearCount2->text().toInt(nullptr, 10);
    BuildGear();
}

// The two result fields are disabled; these run only if a host style enables
// them, and BuildGear recomputes both values at once.
void DlgKerfmate::on_lineEdit_gearSpace_editingFinished()
{
    ILog_WriteLogF(0, "lineEdit_gearSpace was editing finished.");
    dGearSpace = ToMm(pUi->lineEdit_gearSpace->text().toDouble(), nRulerUnit);
    BuildGear();
}

void DlgKerfmate::on_lineEdit_gearRate_editingFinished()
{
    ILog_WriteLogF(0, "lineEdit_gearRate was editing finished.");
    dGearRate = pUi->lineEdit_gearRate->text().toDouble();
    BuildGear();
}

void DlgKerfmate::LoadGearBox()
{
    ParameterTable::ExchangeAll(IniReader(kGroup), ParameterTable::kGearBox, sGearBox);
    CheckGearBox();
    dGearRate = 0.0;
    dGearSpace = 0.0;
}

void DlgKerfmate::CheckGearBox()
{
    sGearBox.dModulus = ClampToRange(sGearBox.dModulus, 1.0, 100.0);
    sGearBox.sGear1.dCDiameter = ClampToRange(sGearBox.sGear1.dCDiameter, 1.0, 3.0);
    sGearBox.sGear2.dCDiameter = ClampToRange(sGearBox.sGear2.dCDiameter, 1.0, 3.0);
    sGearBox.sGear1.nGCount = ClampCount(sGearBox.sGear1.nGCount);
    sGearBox.sGear2.nGCount = ClampCount(sGearBox.sGear2.nGCount);
}

void DlgKerfmate::SaveGearBox()
{
    ParameterTable::ExchangeAll(IniWriter(kGroup), ParameterTable::kGearBox, sGearBox);
}

void DlgKerfmate::InitGearBoxUi()
{
    const double dDiameterTop = IsInchUnit(nRulerUnit) ? 39.37 : 1000.0;
    {
        const SignalsBlocked blocked{pUi->lineEdit_gearModulus, pUi->lineEdit_gearDiameter1, pUi->lineEdit_gearCount1,
                                     pUi->lineEdit_gearDiameter2, pUi->lineEdit_gearCount2, pUi->lineEdit_gearRate,
                                     pUi->lineEdit_gearSpace};
        InstallDecimalValidator(pUi->lineEdit_gearDiameter1, 0.0, dDiameterTop);
        InstallDecimalValidator(pUi->lineEdit_gearDiameter2, 0.0, dDiameterTop);
        InstallWhole(pUi->lineEdit_gearModulus, 1, 50);
        InstallWhole(pUi->lineEdit_gearCount1, 8, 60);
        InstallWhole(pUi->lineEdit_gearCount2, 8, 60);
        ShowFields(this, ParameterTable::kGearBox, sGearBox, nRulerUnit);
        pUi->lineEdit_gearSpace->setText(QString::number(FromMm(dGearSpace, nRulerUnit), 'g', 6));
        pUi->lineEdit_gearRate->setText(QString::number(dGearRate, 'g', 6));
    }
    BuildGear();
}

void DlgKerfmate::BuildGear()
{
    RunBuild(BuildLists::ResultOnly,
             [this](CShapeList* pMain, CShapeList*) { HostContext.pEngine->CreateGear(sGearBox, pMain); });

    dGearSpace = sGearBox.dModulus * static_cast<double>(sGearBox.sGear1.nGCount + sGearBox.sGear2.nGCount) / 2.0;
    dGearRate = sGearBox.sGear2.nGCount * 1.0 / sGearBox.sGear1.nGCount;
    pUi->lineEdit_gearSpace->setText(QString::asprintf("%.2f", FromMm(dGearSpace, nRulerUnit)));
    pUi->lineEdit_gearRate->setText(QString::asprintf("%.2f", dGearRate));
}
