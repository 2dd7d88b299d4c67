// The generator dialog: pick a generator, edit its parameters with a live
// preview, OK hands the shapes to the host. Member functions live with their
// subject: generators/*.cpp hold each generator's routines and slots,
// dialog/Preview.cpp the preview.
#pragma once

#include "BaseDialog.h"
#include "GeometryRecords.h"
#include "ShapeLists.h"

#include <QString>
#include <functional>
#include <utility>

class QFont;
class QGraphicsView;
class QPainterPath;
class QTimer;

namespace Ui {
class DlgKerfmate;
}

// A queued preview drawing; owns its shapes (a clone), borrows the view.
// It moves from queue to drawing and is never copied, so its shapes have one
// owner; a move swaps, so whatever the target held goes to the source and
// is disposed of with it: emptying a request is assigning {} to it.
struct PreviewRequest
{
    PreviewRequest() = default;
    ~PreviewRequest() { DisposeOwningList(pShapes); }
    PreviewRequest(const PreviewRequest&) = delete;
    PreviewRequest& operator=(const PreviewRequest&) = delete;
    PreviewRequest(PreviewRequest&& other) noexcept { *this = std::move(other); }
    PreviewRequest& operator=(PreviewRequest&& other) noexcept
    {
        std::swap(pView, other.pView);
        std::swap(pShapes, other.pShapes);
        return *this;
    }

    QGraphicsView* pView = nullptr;
    CShapeList* pShapes = nullptr;
};

class DlgKerfmate : public BaseDialog
{
    Q_OBJECT

public:
    explicit DlgKerfmate(QWidget* pParent);
    ~DlgKerfmate() override;

    // The latest build's shapes; still owned by the dialog.
    CShapeList* GetResultList() const { return pResultList; }

signals:
    void UpdatePreviewSignal();

private slots:
    void on_pushButton_ok_clicked();
    void on_comboBox_boxSwitch_currentIndexChanged(int index);

    // Right-angle box
    void on_spinBox_rectLength_valueChanged(double value);
    void on_spinBox_rectWidth_valueChanged(double value);
    void on_spinBox_rectHeight_valueChanged(double value);
    void on_doubleSpinBox_rectFluteLength_valueChanged(double value);
    void on_doubleSpinBox_rectFluteWidth_valueChanged(double value);
    void on_doubleSpinBox_rectFluteHeight_valueChanged(double value);
    void on_doubleSpinBox_rectThickness_valueChanged(double value);
    void on_doubleSpinBox_rectLaserWidth_valueChanged(double value);
    void on_checkBox_rectNoTop_clicked();
    void on_checkBox_rectNoBottom_clicked();
    void on_radioButton_rectOutside_toggled(bool checked);
    void on_radioButton_rectInside_toggled(bool checked);

    // Rounded box
    void on_spinBox_filletLength_valueChanged(double value);
    void on_spinBox_filletWidth_valueChanged(double value);
    void on_spinBox_filletHeight_valueChanged(double value);
    void on_doubleSpinBox_filletFluteLength_valueChanged(double value);
    void on_doubleSpinBox_filletFluteWidth_valueChanged(double value);
    void on_doubleSpinBox_filletThickness_valueChanged(double value);
    void on_doubleSpinBox_filletLaserWidth_valueChanged(double value);
    void on_checkBox_filletNoTop_clicked();
    void on_checkBox_filletNoBottom_clicked();
    void on_checkBox_3edgeNoFlute_clicked();
    void on_spinBox_filletCornerRadius_valueChanged(double value);
    void on_doubleSpinBox_filletCornerXSpace_valueChanged(double value);
    void on_doubleSpinBox_filletCornerYSpace_valueChanged(double value);
    void on_spinBox_filletCornerYCount_valueChanged(int value);
    void on_radioButton_filletSize25_clicked();
    void on_radioButton_filletSize50_clicked();
    void on_radioButton_filletSize100_clicked();
    void on_radioButton_filletOutside_toggled(bool checked);
    void on_radioButton_filletInside_toggled(bool checked);

    // Modular gear
    void on_lineEdit_gearModulus_editingFinished();
    void on_lineEdit_gearDiameter1_editingFinished();
    void on_lineEdit_gearCount1_editingFinished();
    void on_lineEdit_gearDiameter2_editingFinished();
    void on_lineEdit_gearCount2_editingFinished();
    void on_lineEdit_gearSpace_editingFinished();
    void on_lineEdit_gearRate_editingFinished();

    // Badge and seal
    void on_doubleSpinBox_sealD1_valueChanged(double arg1);
    void on_doubleSpinBox_sealD2_valueChanged(double arg1);
    void on_lineEdit_sealText1_returnPressed();
    void on_lineEdit_sealText1_textEdited(const QString& arg1);
    void on_doubleSpinBox_sealTextHeight1_valueChanged(double arg1);
    void on_doubleSpinBox_sealTextOffset1_valueChanged(double arg1);
    void on_doubleSpinBox_sealTextDistance1_valueChanged(double arg1);
    void on_fontComboBox_sealTextFont1_currentFontChanged(const QFont& f);
    void on_lineEdit_sealText2_returnPressed();
    void on_lineEdit_sealText2_textEdited(const QString& arg1);
    void on_doubleSpinBox_sealTextHeight2_valueChanged(double arg1);
    void on_doubleSpinBox_sealTextOffset2_valueChanged(double arg1);
    void on_doubleSpinBox_sealTextDistance2_valueChanged(double arg1);
    void on_fontComboBox_sealTextFont2_currentFontChanged(const QFont& f);
    void on_lineEdit_sealText3_returnPressed();
    void on_lineEdit_sealText3_textEdited(const QString& arg1);
    void on_doubleSpinBox_sealTextHeight3_valueChanged(double arg1);
    void on_doubleSpinBox_sealTextOffset3_valueChanged(double arg1);
    void on_fontComboBox_sealTextFont3_currentFontChanged(const QFont& f);
    void on_radioButton_badge_clicked(bool checked);
    void on_radioButton_seal_clicked(bool checked);

    // Preview
    void UpdatePreviewSlot();

protected:
    void changeEvent(QEvent* e) override;

private:
    // Dialog sequences over the four generators
    void LoadAllParams();
    void SaveAllParams();
    void InitAllWidgets();
    void ShowRectBoxPage();
    void ShowPage(int index);
    void RetranslateTexts();

    // Preview
    void InitPreview();
    void InitPreviewScene(QGraphicsView* pView);
    void SetPreview(QGraphicsView* pView, CShapeList* pShapes);
    QPainterPath FitPathToView(QGraphicsView* pView, QPainterPath& path);

    // One engine build: the previous result is disposed of, a fresh result
    // list (and for the boxes a second list, alive only during this call) is
    // handed to fill, and what it made is queued for the preview. The second
    // list's shapes are shown but never returned to the host.
    enum class BuildLists { ResultOnly, ResultAndSecond };
    using FillLists = std::function<void(CShapeList* pMain, CShapeList* pAux)>;
    void RunBuild(BuildLists lists, const FillLists& fill);

    // Right-angle box
    void LoadRectBox();
    void SaveRectBox();
    void InitRectBoxUi();
    void BuildRectBox();
    void UpdateRectLengthFlute();
    void UpdateRectWidthFlute();
    void UpdateRectHeightFlute();
    double GetLengthFluteMax(bool rounded) const;
    double GetWidthFluteMax(bool rounded) const;
    double GetHeightFluteMax() const;

    // Rounded box
    void LoadFilletBox();
    void CheckFilletBox();
    void SaveFilletBox();
    void SetFilletReferenceSizeTexts();
    void InitFilletBoxUi();
    void BuildFilletBox();
    void ApplyFilletReferenceSize();
    void ShowFilletCorner();
    void UpdateFilletLengthFlute();
    void UpdateFilletWidthFlute();

    // Modular gear
    void LoadGearBox();
    void CheckGearBox();
    void SaveGearBox();
    void InitGearBoxUi();
    void BuildGear();

    // Badge and seal
    void LoadSealBox();
    void SaveSealBox();
    void InitSealBoxUi();
    void ShowSealValues();
    void SetSealRanges();
    void SetSealValidators();
    void BuildSeal();

    Ui::DlgKerfmate* pUi = nullptr;
    CShapeList* pAuxList = nullptr;
    CShapeList* pResultList = nullptr;
    SRectBoxParam sRectBox;
    SFilletBoxParam sFilletBox;
    SGearBoxParam sGearBox;
    SSealBoxParam sSealBox;
    int nReferenceSize = 0;
    double dGearRate = 0.0;
    double dGearSpace = 0.0;
    QString strSealText1;
    QString strSealText2;
    QString strSealText3;
    int nRulerUnit = 1;
    PreviewRequest sWorking;
    PreviewRequest sPending;
    QTimer* pPreviewTimer = nullptr;
};
