#include "SheetSettingsDialog.h"

#include "MainWindowWording.h"
#include "Nesting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>

#include <algorithm>
#include <functional>

SheetSettingsDialog::SheetSettingsDialog(const SheetSetup& setup, double dSeconds, bool bInches, QWidget* pParent)
    : QDialog(pParent)
    , m_setup(setup)
{
    const double unit = bInches ? 25.4 : 1.0;
    setObjectName(QStringLiteral("sheetSettings"));
    setWindowTitle(Wording("Margin, spacing and turns..."));
    auto* pForm = new QFormLayout(this);
    for (int i = 0; i < 2; ++i) {
        auto* pLength = new QDoubleSpinBox(this);
        pLength->setDecimals(bInches ? 3 : 1);
        pLength->setSuffix(bInches ? QStringLiteral(" in") : QStringLiteral(" mm"));
        m_lengths[i] = std::make_unique<LengthBox>(pLength, i ? setup.dSpacingMm : setup.dMarginMm, unit, 0, SheetSetup::kMostGapMm);
        pLength->setObjectName(QLatin1String(i ? "spacing" : "margin"));
        pForm->addRow(Wording(i ? "Spacing (the kerf comes on top)" : "Margin from the edge"), pLength);
        if (i)
            pLength->setToolTip(Wording("Straight edges keep exactly this (0: they may touch); curved ones up to 0.04 mm "
                                        "more, outlines of very many corners up to 0.7 mm more."));
    }
    m_pTurns = new QComboBox(this);
    m_pTurns->setObjectName(QStringLiteral("turns"));
    // A step a file or the command line gave keeps its place in the list.
    QList<int> steps{0, 180, 90, 45, 30, 15, 10, 5};
    if (!steps.contains(setup.nTurnStep))
        steps << setup.nTurnStep;
    std::sort(steps.begin() + 1, steps.end(), std::greater<int>());
    for (int step : steps) {
        m_pTurns->addItem(step ? QStringLiteral("%1°").arg(step) : Wording("No turns"), step);
        if (step == setup.nTurnStep)
            m_pTurns->setCurrentIndex(m_pTurns->count() - 1);
    }
    pForm->addRow(Wording("Turn in steps of"), m_pTurns);
    m_pFree = new QCheckBox(Wording("Also square each piece to its narrowest box"), this);
    m_pFree->setObjectName(QStringLiteral("freeTurns"));
    m_pFree->setChecked(setup.bFreeTurns);
    pForm->addRow(m_pFree);
    m_pRoll = new QCheckBox(Wording("A roll: one board of this width, as long as the nest needs"), this);
    m_pRoll->setObjectName(QStringLiteral("roll"));
    m_pRoll->setChecked(setup.bRoll);
    pForm->addRow(m_pRoll);
    m_pSeconds = new QDoubleSpinBox(this);
    m_pSeconds->setObjectName(QStringLiteral("nestSeconds"));
    m_pSeconds->setRange(0, NestRequest::kMostSeconds);
    m_pSeconds->setDecimals(1);
    m_pSeconds->setSuffix(QStringLiteral(" s"));
    m_pSeconds->setValue(dSeconds);
    pForm->addRow(Wording("Search for a better nest for"), m_pSeconds);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    pForm->addRow(pButtons);
}

SheetSettingsDialog::~SheetSettingsDialog() = default;

SheetSetup SheetSettingsDialog::Setup() const
{
    SheetSetup setup = m_setup;
    setup.dMarginMm = m_lengths[0]->Mm();
    setup.dSpacingMm = m_lengths[1]->Mm();
    setup.nTurnStep = m_pTurns->currentData().toInt();
    setup.bFreeTurns = m_pFree->isChecked();
    setup.bRoll = m_pRoll->isChecked();
    return setup;
}

double SheetSettingsDialog::Seconds() const
{
    return m_pSeconds->value();
}
