// The dialog's visible texts, fetched from the host translator by English key.
#include "DlgKerfmate.h"
#include "ui_DlgKerfmate.h"

#include "CTranslator.h"

#include <QSignalBlocker>

namespace {
// One text to set: a label or a button, and its key.
struct TextTarget
{
    TextTarget(QLabel* p, const char* key)
        : pLabel(p)
        , szKey(key)
    {
    }
    TextTarget(QAbstractButton* p, const char* key)
        : pButton(p)
        , szKey(key)
    {
    }

    void Apply(const CTranslator* pTranslator) const
    {
        const QString text = pTranslator->GetWording(QString::fromUtf8(szKey));
        if (pLabel)
            pLabel->setText(text);
        else
            pButton->setText(text);
    }

    QLabel* pLabel = nullptr;
    QAbstractButton* pButton = nullptr;
    const char* szKey;
};
} // namespace

void DlgKerfmate::RetranslateTexts()
{
    // Refilling the switch must neither change the page nor build.
    QComboBox* pSwitch = pUi->comboBox_boxSwitch;
    const QSignalBlocker blocker(pSwitch);
    const CTranslator* pTranslator = CTranslator::GetInstance();

    setWindowTitle(pTranslator->GetWording(QStringLiteral("Create")));

    const int nShown = pSwitch->currentIndex();
    pSwitch->clear();
    pSwitch->insertItems(0, {pTranslator->GetWording(QStringLiteral("Right angle box")),
                             pTranslator->GetWording(QStringLiteral("Rounded box")),
                             pTranslator->GetWording(QStringLiteral("Modular gear")),
                             pTranslator->GetWording(QStringLiteral("Badge/seal"))});
    // A language change keeps the shown page's entry in the switch.
    if (nShown > 0 && nShown < pSwitch->count())
        pSwitch->setCurrentIndex(nShown);

    // The reference-size buttons carry unit texts and are set with the unit.
    const TextTarget targets[] = {
        // Right-angle box
        {pUi->label_boxProperty_3, "Box property"},
        {pUi->label_5, "Length(L)"},
        {pUi->label_11, "Length Groove Size"},
        {pUi->label_6, "Width(W)"},
        {pUi->label_7, "Width Groove Size"},
        {pUi->label_rectHeight_2, "Height(H)"},
        {pUi->label_13, "Height Groove Size"},
        {pUi->label_14, "Box of the above"},
        {pUi->radioButton_rectOutside, "Outside"},
        {pUi->radioButton_rectInside, "Inside"},
        {pUi->label_15, "Thickness"},
        {pUi->label_16, "Laser"},
        {pUi->checkBox_rectNoTop, "No Top Cover"},
        {pUi->checkBox_rectNoBottom, "No bottom cover"},
        // Rounded box
        {pUi->label_referenceSize, "Reference size"},
        {pUi->label_roundedCornerProperties, "Rounded Corner Properties"},
        {pUi->label_radiusRoundedCorner, "Fillet"},
        {pUi->label_roundedBoxXSpacing, "X spacing"},
        {pUi->label_roundedBoxYSpacing, "Y spacing"},
        {pUi->label_29, "Y count"},
        {pUi->label_boxProperty, "Box property"},
        {pUi->label_17, "Length(L)"},
        {pUi->label_18, "Length Groove Size"},
        {pUi->label_19, "Width(W)"},
        {pUi->label_20, "Width Groove Size"},
        {pUi->label_21, "Height(H)"},
        {pUi->label_22, "Box of the above"},
        {pUi->radioButton_filletOutside, "Outside"},
        {pUi->radioButton_filletInside, "Inside"},
        {pUi->label_23, "Thickness"},
        {pUi->label_25, "Laser"},
        {pUi->checkBox_filletNoTop, "No Top Cover"},
        {pUi->checkBox_filletNoBottom, "No bottom cover"},
        {pUi->checkBox_3edgeNoFlute, "No groove on the third side"},
        // Modular gear
        {pUi->label_57, "Distance"},
        {pUi->label_56, "Gear ratio"},
        {pUi->label_36, "Gear 1"},
        {pUi->label_37, "Diameter"},
        {pUi->label_39, "Gear count"},
        {pUi->label_modulus, "Modulus"},
        {pUi->label_50, "Gear 2"},
        {pUi->label_51, "Diameter"},
        {pUi->label_53, "Gear count"},
        {pUi->label_gearProperties, "Gear properties"},
        // Badge and seal
        {pUi->label_mode, "Mode:"},
        {pUi->radioButton_badge, "Badge"},
        {pUi->radioButton_seal, "Seal"},
        {pUi->label_outRimDiameter, "Outer Rim Diameter"},
        {pUi->label_61, "Inner Diameter"},
        {pUi->label_text1, "Text 1"},
        {pUi->label_textContent1, "Text content"},
        {pUi->label_63, "Text height"},
        {pUi->label_64, "Text offset"},
        {pUi->label_65, "Text spacing"},
        {pUi->label_text2, "Text 2"},
        {pUi->label_textContent2, "Text content"},
        {pUi->label_67, "Text height"},
        {pUi->label_68, "Text offset"},
        {pUi->label_69, "Text spacing"},
        {pUi->label_text3, "Text 3"},
        {pUi->label_textContent3, "Text content"},
        {pUi->label_71, "Text height"},
        {pUi->label_72, "Text offset"},
        {pUi->pushButton_ok, "OK"},
    };
    for (const TextTarget& target : targets)
        target.Apply(pTranslator);
}
