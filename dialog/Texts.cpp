#include "DlgKerfmate.h"
#include "ui_DlgKerfmate.h"

#include "CTranslator.h"

#include <QSignalBlocker>

void DlgKerfmate::RetranslateTexts()
{
    const QSignalBlocker blocker(pUi->comboBox_boxSwitch);
    CTranslator* tr = CTranslator::GetInstance();
    setWindowTitle(tr->GetWording(QStringLiteral("Create")));
    pUi->comboBox_boxSwitch->clear();
    pUi->comboBox_boxSwitch->insertItems(0, {tr->GetWording(QStringLiteral("Right angle box")),
                                             tr->GetWording(QStringLiteral("Rounded box")),
                                             tr->GetWording(QStringLiteral("Modular gear")),
                                             tr->GetWording(QStringLiteral("Badge/seal"))});
    pUi->pushButton_ok->setText(tr->GetWording(QStringLiteral("OK")));
}
