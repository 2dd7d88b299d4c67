#include "DlgKerfmate.h"
#include "ui_DlgKerfmate.h"

#include "ShapeLists.h"
#include "ILog.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QEvent>
#include <QListView>
#include <QTimer>

DlgKerfmate::DlgKerfmate(QWidget* pParent)
    : BaseDialog(pParent)
    , pUi(new Ui::DlgKerfmate)
{
    pUi->setupUi(this);
    RetranslateTexts();
    setFocus();
    nRulerUnit = ReadRulerUnit();

    InitPreview();
    InitPreviewScene(pUi->graphicsView_preview);

    pUi->comboBox_boxSwitch->setView(new QListView(this));
    pUi->fontComboBox_sealTextFont1->setView(new QListView(this));
    pUi->fontComboBox_sealTextFont2->setView(new QListView(this));
    pUi->fontComboBox_sealTextFont3->setView(new QListView(this));

    LoadAllParams();
    InitAllWidgets();
}

DlgKerfmate::~DlgKerfmate()
{
    pPreviewTimer->stop();
    pPreviewTimer->deleteLater();
    QCoreApplication::processEvents();

    delete pUi->graphicsView_preview->scene();
    delete pUi;
    pUi = nullptr;

    DisposeOwningList(pResultList);
    sPending = {};
    sWorking = {};
}

void DlgKerfmate::LoadAllParams()
{
    LoadRectBox();
    LoadFilletBox();
    LoadGearBox();
    LoadSealBox();
    SetFilletReferenceSizeTexts();
}

void DlgKerfmate::SaveAllParams()
{
    // One write for the four generators: OK keeps all of them, or on a full disk none.
    const IniWriteBatch batch(KerfmateIniPath());
    SaveRectBox();
    SaveFilletBox();
    SaveGearBox();
    SaveSealBox();
}

void DlgKerfmate::InitAllWidgets()
{
    ShowRectBoxPage();
    InitGearBoxUi();
    InitSealBoxUi();
    InitFilletBoxUi();
    InitRectBoxUi();
    pUi->comboBox_boxSwitch->setCurrentIndex(0);
}

void DlgKerfmate::ShowRectBoxPage()
{
    ShowPage(0);
}

void DlgKerfmate::ShowPage(int index)
{
    QWidget* pages[] = {pUi->widget_RectBoxParams, pUi->widget_FilletBoxParams, pUi->widget_GearBoxParams,
                        pUi->widget_SealBoxParams};
    // Show first, then hide, so the settings column never collapses.
    pages[index]->show();
    for (int i = 0; i < 4; ++i)
        if (i != index)
            pages[i]->hide();
}

void DlgKerfmate::on_comboBox_boxSwitch_currentIndexChanged(int index)
{
    ILog_WriteLogF(0, "index was changed.");
    if (index < 0 || index > 3)
        return;
    ShowPage(index);
    switch (index) {
    case 0:
        BuildRectBox();
        break;
    case 1:
        BuildFilletBox();
        break;
    case 2:
        BuildGear();
        break;
    case 3:
        BuildSeal();
        break;
    }
}

void DlgKerfmate::on_pushButton_ok_clicked()
{
    ILog_WriteLogF(0, "pushButton_ok was clicked.");
    SaveAllParams();
    close();
    // After close(), which rejected: this is what exec() returns.
    setResult(1);
}

void DlgKerfmate::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::LanguageChange) {
        RetranslateTexts();
        return;
    }
    QWidget::changeEvent(e);
}
