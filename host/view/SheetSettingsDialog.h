// The nest's settings as the maker edits them: margin and spacing in the
// rulers' unit, the turns, a roll, and how long the search may take.
#pragma once

#include "SheetModel.h"

#include <QDialog>
#include <QDoubleSpinBox>

#include <cmath>
#include <memory>

class QCheckBox;
class QComboBox;

// A length shown in the rulers' unit, and what the maker left there: the
// value as it was unless another was typed, never one rounded to the display.
class LengthBox
{
public:
    // The range as far as the display can show it from inside.
    LengthBox(QDoubleSpinBox* pBox, double dMm, double dUnit, double dLeastMm, double dMostMm)
        : m_pBox(pBox), m_dMm(dMm), m_dUnit(dUnit)
    {
        const double step = std::pow(10.0, -pBox->decimals());
        pBox->setRange(std::ceil(dLeastMm / dUnit / step - 1e-9) * step, std::floor(dMostMm / dUnit / step + 1e-9) * step);
        pBox->setValue(dMm / dUnit);
        m_dShown = pBox->value();
    }
    double Mm() const { return m_pBox->value() == m_dShown ? m_dMm : m_pBox->value() * m_dUnit; }

private:
    QDoubleSpinBox* m_pBox;
    double m_dMm, m_dUnit, m_dShown = 0;
};

class SheetSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    SheetSettingsDialog(const SheetSetup& setup, double dSeconds, bool bInches, QWidget* pParent);
    ~SheetSettingsDialog() override;
    // What was typed; a value left alone exactly as it came.
    SheetSetup Setup() const;
    double Seconds() const;

private:
    SheetSetup m_setup;
    std::unique_ptr<LengthBox> m_lengths[2]; // margin, spacing
    QComboBox* m_pTurns;
    QCheckBox* m_pFree;
    QCheckBox* m_pRoll;
    QDoubleSpinBox* m_pSeconds;
};
