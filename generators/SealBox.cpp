// Badge and seal: rim, inner circle, star and three lines of text, each with
// its own font, height, offset and spacing. The engine draws them.
#include "DlgKerfmate.h"
#include "ui_DlgKerfmate.h"

#include "CTranslator.h"
#include "HostContext.h"
#include "IGeometryEngine.h"
#include "ILog.h"
#include "IniGroup.h"
#include "ParameterTable.h"
#include "Settings.h"
#include "SignalsBlocked.h"
#include "TextField.h"
#include "UnitWidgets.h"

#include <QDoubleSpinBox>
#include <QFont>
#include <QFontComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <array>
#include <cmath>
#include <limits>

namespace {
const QString kGroup = QStringLiteral("DLG_SEAL_BOX");
// A bound the form's layout keeps.
constexpr double kKeep = std::numeric_limits<double>::quiet_NaN();

struct SpinBounds
{
    QDoubleSpinBox* pBox;
    double dLowMm, dHighMm, dLowInch, dHighInch;
};

// The widgets of one line of text; the third line has no spacing.
struct SealTextWidgets
{
    QLineEdit* pText;
    QDoubleSpinBox* pHeight;
    QDoubleSpinBox* pOffset;
    QDoubleSpinBox* pSpace;
    QFontComboBox* pFont;
};

std::array<SealTextWidgets, 3> TextWidgets(const Ui::DlgKerfmate* pUi)
{
    return {{{pUi->lineEdit_sealText1, pUi->doubleSpinBox_sealTextHeight1, pUi->doubleSpinBox_sealTextOffset1,
              pUi->doubleSpinBox_sealTextDistance1, pUi->fontComboBox_sealTextFont1},
             {pUi->lineEdit_sealText2, pUi->doubleSpinBox_sealTextHeight2, pUi->doubleSpinBox_sealTextOffset2,
              pUi->doubleSpinBox_sealTextDistance2, pUi->fontComboBox_sealTextFont2},
             {pUi->lineEdit_sealText3, pUi->doubleSpinBox_sealTextHeight3, pUi->doubleSpinBox_sealTextOffset3,
              nullptr, pUi->fontComboBox_sealTextFont3}}};
}

std::array<SSealTextParam*, 3> Texts(SSealBoxParam& sSeal)
{
    return {&sSeal.sText1, &sSeal.sText2, &sSeal.sText3};
}

QString TextKey(int nIndex, const char* pszName)
{
    return QStringLiteral("sText%1_%2").arg(nIndex + 1).arg(QLatin1String(pszName));
}

// All or nothing: a text that does not fit leaves the field as it was.
void StoreText(SSealTextParam& sText, const QString& text)
{
    StringToUtf8Field(text, sText.Text, int(sizeof sText.Text));
}

void StoreFacename(SSealTextParam& sText, const QString& family)
{
    StringToUtf8Field(family, sText.Facename, int(sizeof sText.Facename));
}

} // namespace

void DlgKerfmate::on_doubleSpinBox_sealD1_valueChanged(double arg1)
{
    ILog_WriteLogF(0, "doubleSpinBox_sealD1 was changed.");
    sSealBox.D1 = ToMm(arg1, nRulerUnit);
    // May clamp D2 and run its slot before the new range is in place.
    pUi->doubleSpinBox_sealD2->setMaximum(arg1);
    const QLineEdit* pD2Edit =
        InstallDecimalValidator(pUi->doubleSpinBox_sealD2, IsInchUnit(nRulerUnit) ? 1.18 : 30.0, arg1);
    if (pD2Edit && !pD2Edit->isModified() && pUi->doubleSpinBox_sealD2->value() > arg1)
        pUi->doubleSpinBox_sealD2->setValue(arg1);
    BuildSeal();
}

void DlgKerfmate::on_doubleSpinBox_sealD2_valueChanged(double arg1)
{
    ILog_WriteLogF(0, "doubleSpinBox_sealD2 was changed.");
    // Stored before the maximum: a value above D1 is clamped, the slot runs
    // again with the clamped value, and that is what the record keeps.
    sSealBox.D2 = ToMm(arg1, nRulerUnit);
    pUi->doubleSpinBox_sealD2->setMaximum(FromMm(sSealBox.D1, nRulerUnit));
    BuildSeal();
}

void DlgKerfmate::on_lineEdit_sealText1_returnPressed()
{
    ILog_WriteLogF(0, "lineEdit_sealText1 was return pressed.");
    StoreText(sSealBox.sText1, pUi->lineEdit_sealText1->text());
    BuildSeal();
}

void DlgKerfmate::on_lineEdit_sealText1_textEdited(const QString& arg1)
{
    ILog_WriteLogF(0, "lineEdit_sealText1 was edited.");
    StoreText(sSealBox.sText1, arg1);
    BuildSeal();
}

void DlgKerfmate::on_doubleSpinBox_sealTextHeight1_valueChanged(double arg1)
{
    ILog_WriteLogF(0, "doubleSpinBox_sealTextHeight1 was changed.");
    sSealBox.sText1.dHeight = ToMm(arg1, nRulerUnit);
    BuildSeal();
}

void DlgKerfmate::on_doubleSpinBox_sealTextOffset1_valueChanged(double arg1)
{
    ILog_WriteLogF(0, "doubleSpinBox_sealTextOffset1 was changed.");
    sSealBox.sText1.dOffset = ToMm(arg1, nRulerUnit);
    BuildSeal();
}

void DlgKerfmate::on_doubleSpinBox_sealTextDistance1_valueChanged(double arg1)
{
    ILog_WriteLogF(0, "doubleSpinBox_sealTextDistance1 was changed.");
    sSealBox.sText1.dSpace = ToMm(arg1, nRulerUnit);
    BuildSeal();
}

void DlgKerfmate::on_fontComboBox_sealTextFont1_currentFontChanged(const QFont& f)
{
    ILog_WriteLogF(0, "fontComboBox_sealTextFont1 was changed.");
    StoreFacename(sSealBox.sText1, f.family());
    BuildSeal();
}

void DlgKerfmate::on_lineEdit_sealText2_returnPressed()
{
    ILog_WriteLogF(0, "lineEdit_sealText2 was return pressed.");
    StoreText(sSealBox.sText2, pUi->lineEdit_sealText2->text());
    BuildSeal();
}

void DlgKerfmate::on_lineEdit_sealText2_textEdited(const QString& arg1)
{
    ILog_WriteLogF(0, "lineEdit_sealText2 was edited.");
    StoreText(sSealBox.sText2, arg1);
    BuildSeal();
}

void DlgKerfmate::on_doubleSpinBox_sealTextHeight2_valueChanged(double arg1)
{
    ILog_WriteLogF(0, "doubleSpinBox_sealTextHeight2 was changed.");
    sSealBox.sText2.dHeight = ToMm(arg1, nRulerUnit);
    BuildSeal();
}

void DlgKerfmate::on_doubleSpinBox_sealTextOffset2_valueChanged(double arg1)
{
    ILog_WriteLogF(0, "doubleSpinBox_sealTextOffset2 was changed.");
    sSealBox.sText2.dOffset = ToMm(arg1, nRulerUnit);
    BuildSeal();
}

void DlgKerfmate::on_doubleSpinBox_sealTextDistance2_valueChanged(double arg1)
{
    ILog_WriteLogF(0, "doubleSpinBox_sealTextDistance2 was changed.");
    sSealBox.sText2.dSpace = ToMm(arg1, nRulerUnit);
    BuildSeal();
}

void DlgKerfmate::on_fontComboBox_sealTextFont2_currentFontChanged(const QFont& f)
{
    ILog_WriteLogF(0, "fontComboBox_sealTextFont2 was changed.");
    StoreFacename(sSealBox.sText2, f.family());
    BuildSeal();
}

void DlgKerfmate::on_lineEdit_sealText3_returnPressed()
{
    ILog_WriteLogF(0, "lineEdit_sealText3 was return pressed.");
    StoreText(sSealBox.sText3, pUi->lineEdit_sealText3->text());
    BuildSeal();
}

void DlgKerfmate::on_lineEdit_sealText3_textEdited(const QString& arg1)
{
    ILog_WriteLogF(0, "lineEdit_sealText3 was edited.");
    StoreText(sSealBox.sText3, arg1);
    BuildSeal();
}

void DlgKerfmate::on_doubleSpinBox_sealTextHeight3_valueChanged(double arg1)
{
    ILog_WriteLogF(0, "doubleSpinBox_sealTextHeight3 was changed.");
    sSealBox.sText3.dHeight = ToMm(arg1, nRulerUnit);
    BuildSeal();
}

void DlgKerfmate::on_doubleSpinBox_sealTextOffset3_valueChanged(double arg1)
{
    ILog_WriteLogF(0, "doubleSpinBox_sealTextOffset3 was changed.");
    sSealBox.sText3.dOffset = ToMm(arg1, nRulerUnit);
    BuildSeal();
}

void DlgKerfmate::on_fontComboBox_sealTextFont3_currentFontChanged(const QFont& f)
{
    ILog_WriteLogF(0, "fontComboBox_sealTextFont3 was changed.");
    StoreFacename(sSealBox.sText3, f.family());
    BuildSeal();
}

void DlgKerfmate::on_radioButton_badge_clicked(bool checked)
{
    if (!checked)
        return;
    ILog_WriteLogF(0, "radioButton_badge was clicked.");
    sSealBox.bTextReverse = false;
    BuildSeal();
}

void DlgKerfmate::on_radioButton_seal_clicked(bool checked)
{
    if (!checked)
        return;
    ILog_WriteLogF(0, "radioButton_seal was clicked.");
    sSealBox.bTextReverse = true;
    BuildSeal();
}

void DlgKerfmate::LoadSealBox()
{
    const IniReader ini(kGroup);
    ini.Flag("bStar", sSealBox.bStar);
    ini.Flag("bTextReverse", sSealBox.bTextReverse);
    ini.Number("D1", sSealBox.D1);
    ini.Number("D2", sSealBox.D2);
    // The star size is read from "dStarRadius" but saved as "dStarDiameter",
    // as the files have it, so a saved size never loads back; no widget
    // changes it.
    ini.Number("dStarRadius", sSealBox.dStarSize);

    ParameterTable::ExchangeAll(ini, ParameterTable::kSealLines, sSealBox);
    const std::array<SSealTextParam*, 3> texts = Texts(sSealBox);

    // The stored text may be a translation key ("COMPETITION"): the record
    // gets the wording, or keeps the stored text if the wording does not fit.
    QString* working[] = {&strSealText1, &strSealText2, &strSealText3};
    for (int i = 0; i < 3; ++i) {
        *working[i] = Utf8FieldToString(texts[i]->Text);
        ini.Text(TextKey(i, "Text"), *working[i]);
    }
    for (int i = 0; i < 3; ++i)
        StoreText(*texts[i], *working[i]);
    CTranslator* pTranslator = CTranslator::GetInstance();
    for (QString* pWorking : working)
        *pWorking = pTranslator->GetWording(QString::fromUtf8(StringToUtf8(*pWorking)));
    for (int i = 0; i < 3; ++i)
        StoreText(*texts[i], *working[i]);

    for (int i = 0; i < 3; ++i) {
        QString family = Utf8FieldToString(texts[i]->Facename);
        ini.Text(TextKey(i, "Facename"), family);
        StoreFacename(*texts[i], family);
    }
}

void DlgKerfmate::SaveSealBox()
{
    const IniWriter ini(kGroup);
    ini.Flag("bStar", sSealBox.bStar);
    ini.Number("D1", sSealBox.D1);
    ini.Number("D2", sSealBox.D2);
    ini.Number("dStarDiameter", sSealBox.dStarSize);
    ini.Flag("bTextReverse", sSealBox.bTextReverse);

    ParameterTable::ExchangeAll(ini, ParameterTable::kSealLines, sSealBox);
    const std::array<SSealTextParam*, 3> texts = Texts(sSealBox);

    // A default text goes to the file as its key, so the next load shows it
    // in whatever language is current then. Only its own line counts.
    const QString defaultKeys[] = {QStringLiteral("COMPETITION"), QStringLiteral("First Prize"),
                                   QStringLiteral("Medal")};
    CTranslator* pTranslator = CTranslator::GetInstance();
    for (int i = 0; i < 3; ++i) {
        if (Utf8FieldToString(texts[i]->Text) == pTranslator->GetWording(defaultKeys[i]))
            StoreText(*texts[i], defaultKeys[i]);
        ini.Text(TextKey(i, "Text"), Utf8FieldToString(texts[i]->Text));
    }
    for (int i = 0; i < 3; ++i)
        ini.Text(TextKey(i, "Facename"), Utf8FieldToString(texts[i]->Facename));
}

void DlgKerfmate::SetSealRanges()
{
    const SpinBounds ranges[] = {
        {pUi->doubleSpinBox_sealD1, 30, 200, 30 / kMmPerInch, 200 / kMmPerInch},
        {pUi->doubleSpinBox_sealD2, 30, kKeep, 30 / kMmPerInch, kKeep},
        {pUi->doubleSpinBox_sealTextHeight1, 4, 30, 4 / kMmPerInch, 30 / kMmPerInch},
        {pUi->doubleSpinBox_sealTextHeight2, 4, 30, 4 / kMmPerInch, 30 / kMmPerInch},
        {pUi->doubleSpinBox_sealTextHeight3, 4, 30, 4 / kMmPerInch, 30 / kMmPerInch},
        {pUi->doubleSpinBox_sealTextOffset1, 1.5, 30, 1.5 / kMmPerInch, 30 / kMmPerInch},
        {pUi->doubleSpinBox_sealTextOffset2, 1.5, 30, 1.5 / kMmPerInch, 30 / kMmPerInch},
        {pUi->doubleSpinBox_sealTextOffset3, kKeep, 80, kKeep, 80 / kMmPerInch},
        {pUi->doubleSpinBox_sealTextDistance1, 0.5, 30, 0.5 / kMmPerInch, 30 / kMmPerInch},
        {pUi->doubleSpinBox_sealTextDistance2, 0.5, 30, 0.5 / kMmPerInch, 30 / kMmPerInch},
    };
    const bool bInch = IsInchUnit(nRulerUnit);
    for (const SpinBounds& range : ranges) {
        const double dMin = bInch ? range.dLowInch : range.dLowMm;
        const double dMax = bInch ? range.dHighInch : range.dHighMm;
        if (!std::isnan(dMin))
            range.pBox->setMinimum(dMin);
        if (!std::isnan(dMax))
            range.pBox->setMaximum(dMax);
    }
}

void DlgKerfmate::SetSealValidators()
{
    // The inch top of D2 is D1 as the spin box shows it, to 2 decimals.
    const double dD2TopInch = QString::number(sSealBox.D1 / kMmPerInch, 'f', 2).toDouble();
    const SpinBounds ranges[] = {
        {pUi->doubleSpinBox_sealTextHeight1, 4.0, 30.0, 0.16, 1.18},
        {pUi->doubleSpinBox_sealTextHeight2, 4.0, 30.0, 0.16, 1.18},
        {pUi->doubleSpinBox_sealTextHeight3, 4.0, 30.0, 0.16, 1.18},
        {pUi->doubleSpinBox_sealTextOffset1, 1.5, 30.0, 0.06, 1.18},
        {pUi->doubleSpinBox_sealTextOffset2, 1.5, 30.0, 0.06, 1.18},
        {pUi->doubleSpinBox_sealTextOffset3, -80.0, 80.0, -3.15, 3.15},
        {pUi->doubleSpinBox_sealTextDistance1, 0.5, 30.0, 0.02, 1.18},
        {pUi->doubleSpinBox_sealTextDistance2, 0.5, 30.0, 0.02, 1.18},
        {pUi->doubleSpinBox_sealD1, 30.0, 200.0, 1.18, 7.87},
        {pUi->doubleSpinBox_sealD2, 30.0, sSealBox.D1, 1.18, dD2TopInch},
    };
    const bool bInch = IsInchUnit(nRulerUnit);
    for (const SpinBounds& range : ranges)
        InstallDecimalValidator(range.pBox, bInch ? range.dLowInch : range.dLowMm,
                             bInch ? range.dHighInch : range.dHighMm);
}

void DlgKerfmate::InitSealBoxUi()
{
    SetSealValidators();
    ShowSealValues();
    BuildSeal();
}

void DlgKerfmate::ShowSealValues()
{
    const std::array<SealTextWidgets, 3> lines = TextWidgets(pUi);
    QList<QWidget*> widgets = {pUi->doubleSpinBox_sealD1, pUi->doubleSpinBox_sealD2, pUi->radioButton_badge,
                               pUi->radioButton_seal};
    for (const SealTextWidgets& line : lines) {
        widgets << line.pText << line.pHeight << line.pOffset << line.pFont;
        if (line.pSpace)
            widgets << line.pSpace;
    }
    const SignalsBlocked blocked(widgets);
    SetSealRanges();
    for (const SealTextWidgets& line : lines)
        line.pText->setMaxLength(50);

    ShowFields(this, ParameterTable::kSealHead, sSealBox, nRulerUnit);
    ShowFields(this, ParameterTable::kSealLines, sSealBox, nRulerUnit);
    for (const SealTextWidgets& line : lines)
        line.pFont->setEditable(false);
}

void DlgKerfmate::BuildSeal()
{
    RunBuild(BuildLists::ResultOnly,
             [this](CShapeList* pMain, CShapeList*) { HostContext.pEngine->CreateSeal(sSealBox, pMain); });
}
