#include "UnitWidgets.h"

#include "Numbers.h"
#include "SignalsBlocked.h"
#include "Validator.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <limits>

QLineEdit* InstallDecimalValidator(QWidget* pField, double dBottom, double dTop)
{
    auto* pEdit = qobject_cast<QLineEdit*>(pField);
    if (!pEdit)
        pEdit = pField->findChild<QLineEdit*>();
    constexpr double kResetToBottom = std::numeric_limits<double>::infinity();
    Validator::Install(pEdit, new Validator(pEdit, dBottom, dTop, 2, 0, 2, kResetToBottom));
    return pEdit;
}

void ShowLength(QDoubleSpinBox* pSpin, const UnitRange& range, double dMm, int nRulerUnit)
{
    if (IsInchUnit(nRulerUnit))
        pSpin->setRange(range.dInchMin, range.dInchMax);
    else
        pSpin->setRange(range.dMmMin, range.dMmMax);
    pSpin->setValue(FromMm(dMm, nRulerUnit));
}

void ShowGrooveMax(QDoubleSpinBox* pSpin, QSlider* pSlider, double dMaxMm, int nRulerUnit)
{
    const SignalsBlocked blocked{pSpin, pSlider};
    const bool bInch = IsInchUnit(nRulerUnit);
    const double dShown = FromMm(dMaxMm, nRulerUnit);
    const int nTop = TruncToInt(bInch ? dMaxMm * 10 / kMmPerInch : dMaxMm * 10);
    // Maximum before minimum: a maximum under 3 mm leaves the box at 3.
    pSpin->setMaximum(dShown);
    pSpin->setMinimum(FromMm(kGrooveMinMm, nRulerUnit));
    pSlider->setRange(TruncToInt(FromMm(kGrooveMinMm, nRulerUnit) * 10), nTop);
    pSpin->setValue(dShown);
    pSlider->setValue(nTop);
}

void PlaceGrooveSlider(QSlider* pSlider, double dTenths)
{
    const QSignalBlocker blocked(pSlider);
    pSlider->setValue(TruncToInt(dTenths));
}

void FollowGrooveSlider(QSlider* pSlider, QDoubleSpinBox* pSpin)
{
    QObject::connect(pSlider, &QSlider::valueChanged, pSpin, [pSpin](int v) { pSpin->setValue(v / 10.0); });
}

QWidget* FieldWidget(const QWidget* pForm, const char* pszName)
{
    QWidget* pWidget = pForm->findChild<QWidget*>(QLatin1String(pszName));
    Q_ASSERT_X(pWidget, "FieldWidget", pszName); // the form and the table disagree
    return pWidget;
}

void ShowNumber(QWidget* pWidget, ParameterTable::Kind kind, const UnitRange* pRange, double dValue, bool bWhole,
                int nRulerUnit)
{
    const QSignalBlocker blocked(pWidget);
    const bool bLength = kind == ParameterTable::Kind::Length;
    const double dShown = bLength ? FromMm(dValue, nRulerUnit) : dValue;
    if (auto* pCheck = qobject_cast<QCheckBox*>(pWidget)) {
        pCheck->setCheckState(dValue != 0 ? Qt::Checked : Qt::Unchecked);
    } else if (auto* pSpin = qobject_cast<QDoubleSpinBox*>(pWidget)) {
        if (pRange)
            ShowLength(pSpin, *pRange, dValue, nRulerUnit);
        else
            pSpin->setValue(dShown);
    } else if (auto* pWhole = qobject_cast<QSpinBox*>(pWidget)) {
        pWhole->setValue(int(dValue));
    } else if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget)) {
        // Inches to the two decimals the validator takes.
        pEdit->setText(bWhole                               ? QString::number(qint64(dValue))
                       : bLength && IsInchUnit(nRulerUnit) ? QString::number(dShown, 'f', 2)
                                                            : QString::number(dShown, 'g', 6));
    }
}

void ShowText(QWidget* pWidget, ParameterTable::Kind kind, const QString& text)
{
    const QSignalBlocker blocked(pWidget);
    if (auto* pFonts = qobject_cast<QFontComboBox*>(pWidget); pFonts && kind == ParameterTable::Kind::Font)
        pFonts->setCurrentFont(QFont(text, -1, -1, false));
    else if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget))
        pEdit->setText(text);
}

void ShowChoice(const QWidget* pForm, const char* pszButtons, int nValue, bool bSignals)
{
    QList<std::pair<int, QRadioButton*>> buttons;
    for (const auto& [value, name] : ParameterTable::ChoiceButtons(QString::fromLatin1(pszButtons)))
        buttons << std::pair(value.toInt(), qobject_cast<QRadioButton*>(FieldWidget(pForm, qPrintable(name))));
    QList<QObject*> blocked; // all at once: checking one unchecks the others
    for (const auto& [value, pButton] : buttons)
        if (!bSignals)
            blocked << pButton;
    const SignalsBlocked block(blocked);
    for (const auto& [value, pButton] : buttons)
        pButton->setChecked(value == nValue);
}
