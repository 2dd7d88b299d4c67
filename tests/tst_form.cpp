// The dialog's widget tree, its texts and the wording catalogues.
#include "TestSupport.h"

#include "CTranslator.h"
#include "DlgKerfmate.h"
#include "ui_DlgKerfmate.h"

#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include <memory>

namespace {
const QString kFamily = QStringLiteral("阿里巴巴普惠体 2.0 75 SemiBold");

// Every label and button the translator words, by object name and key.
struct TextKey
{
    const char* szObject;
    const char* szKey;
};
const TextKey kTextKeys[] = {
    {"label_boxProperty_3", "Box property"},
    {"label_5", "Length(L)"},
    {"label_11", "Length Groove Size"},
    {"label_6", "Width(W)"},
    {"label_7", "Width Groove Size"},
    {"label_rectHeight_2", "Height(H)"},
    {"label_13", "Height Groove Size"},
    {"label_14", "Box of the above"},
    {"radioButton_rectOutside", "Outside"},
    {"radioButton_rectInside", "Inside"},
    {"label_15", "Thickness"},
    {"label_16", "Laser"},
    {"checkBox_rectNoTop", "No Top Cover"},
    {"checkBox_rectNoBottom", "No bottom cover"},
    {"label_referenceSize", "Reference size"},
    {"label_roundedCornerProperties", "Rounded Corner Properties"},
    {"label_radiusRoundedCorner", "Fillet"},
    {"label_roundedBoxXSpacing", "X spacing"},
    {"label_roundedBoxYSpacing", "Y spacing"},
    {"label_29", "Y count"},
    {"label_boxProperty", "Box property"},
    {"label_17", "Length(L)"},
    {"label_18", "Length Groove Size"},
    {"label_19", "Width(W)"},
    {"label_20", "Width Groove Size"},
    {"label_21", "Height(H)"},
    {"label_22", "Box of the above"},
    {"radioButton_filletOutside", "Outside"},
    {"radioButton_filletInside", "Inside"},
    {"label_23", "Thickness"},
    {"label_25", "Laser"},
    {"checkBox_filletNoTop", "No Top Cover"},
    {"checkBox_filletNoBottom", "No bottom cover"},
    {"checkBox_3edgeNoFlute", "No groove on the third side"},
    {"label_57", "Distance"},
    {"label_56", "Gear ratio"},
    {"label_36", "Gear 1"},
    {"label_37", "Diameter"},
    {"label_39", "Gear count"},
    {"label_modulus", "Modulus"},
    {"label_50", "Gear 2"},
    {"label_51", "Diameter"},
    {"label_53", "Gear count"},
    {"label_gearProperties", "Gear properties"},
    {"label_mode", "Mode:"},
    {"radioButton_badge", "Badge"},
    {"radioButton_seal", "Seal"},
    {"label_outRimDiameter", "Outer Rim Diameter"},
    {"label_61", "Inner Diameter"},
    {"label_text1", "Text 1"},
    {"label_textContent1", "Text content"},
    {"label_63", "Text height"},
    {"label_64", "Text offset"},
    {"label_65", "Text spacing"},
    {"label_text2", "Text 2"},
    {"label_textContent2", "Text content"},
    {"label_67", "Text height"},
    {"label_68", "Text offset"},
    {"label_69", "Text spacing"},
    {"label_text3", "Text 3"},
    {"label_textContent3", "Text content"},
    {"label_71", "Text height"},
    {"label_72", "Text offset"},
    {"pushButton_ok", "OK"},
};

const QStringList kSwitchKeys = {QStringLiteral("Right angle box"), QStringLiteral("Rounded box"),
                                 QStringLiteral("Modular gear"), QStringLiteral("Badge/seal")};
const QStringList kReferenceButtons = {QStringLiteral("radioButton_filletSize25"),
                                       QStringLiteral("radioButton_filletSize50"),
                                       QStringLiteral("radioButton_filletSize100")};
const QStringList kPages = {QStringLiteral("widget_RectBoxParams"), QStringLiteral("widget_FilletBoxParams"),
                            QStringLiteral("widget_GearBoxParams"), QStringLiteral("widget_SealBoxParams")};

// Keys other parts of the module word through the same catalogues.
const QStringList kOtherKeys = {
    QStringLiteral("Input range %1 to %2"),
    QStringLiteral("Input range %1 to %2 ,%3 decimal places"),
    QStringLiteral("FLAG_FRONT"),
    QStringLiteral("FLAG_BEHIND"),
    QStringLiteral("FLAG_LEFT"),
    QStringLiteral("FLAG_RIGHT"),
    QStringLiteral("FLAG_TOP"),
    QStringLiteral("FLAG_BOTTOM"),
    QStringLiteral("COMPETITION"),
    QStringLiteral("First Prize"),
    QStringLiteral("Medal"),
};

QStringList WordedKeys()
{
    QStringList keys{QStringLiteral("Create")};
    keys << kSwitchKeys;
    for (const TextKey& entry : kTextKeys)
        if (!keys.contains(QLatin1String(entry.szKey)))
            keys << QLatin1String(entry.szKey);
    return keys;
}

QString Marked(const QString& key)
{
    return QStringLiteral("«%1»").arg(key);
}

QJsonObject ReadCatalogue(const QString& code)
{
    QFile file(QStringLiteral(":/kerfmate/i18n/%1.json").arg(code));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

QString TextOf(const QWidget* pRoot, const QString& name)
{
    const QWidget* w = pRoot->findChild<QWidget*>(name);
    return w ? w->property("text").toString() : QStringLiteral("<missing %1>").arg(name);
}

QStringList SwitchItems(const QComboBox* pSwitch)
{
    QStringList items;
    for (int i = 0; i < pSwitch->count(); ++i)
        items << pSwitch->itemText(i);
    return items;
}

QString PolicyName(QSizePolicy::Policy policy)
{
    return QString::fromLatin1(QMetaEnum::fromType<QSizePolicy::Policy>().valueToKey(policy));
}

// A layout's items as "name", "row,column:name" in grids, spacers as
// "~WxH:Horizontal/Vertical" policy names.
QStringList LayoutItems(const QLayout* pLayout)
{
    QStringList items;
    const auto* grid = qobject_cast<const QGridLayout*>(pLayout);
    for (int i = 0; i < pLayout->count(); ++i) {
        QLayoutItem* item = pLayout->itemAt(i);
        QString text;
        if (QWidget* w = item->widget())
            text = w->objectName();
        else if (QLayout* l = item->layout())
            text = l->objectName();
        else if (QSpacerItem* s = item->spacerItem())
            text = QStringLiteral("~%1x%2:%3/%4")
                       .arg(s->sizeHint().width())
                       .arg(s->sizeHint().height())
                       .arg(PolicyName(s->sizePolicy().horizontalPolicy()),
                            PolicyName(s->sizePolicy().verticalPolicy()));
        if (grid) {
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            text = QStringLiteral("%1,%2:%3").arg(row).arg(column).arg(text);
            if (rowSpan != 1 || columnSpan != 1)
                text += QStringLiteral(" span %1x%2").arg(rowSpan).arg(columnSpan);
        }
        items << text;
    }
    return items;
}

// A layout by its own name or by the widget it lays out.
QLayout* LayoutOf(QObject* pObject)
{
    if (auto* layout = qobject_cast<QLayout*>(pObject))
        return layout;
    return pObject && pObject->isWidgetType() ? static_cast<QWidget*>(pObject)->layout() : nullptr;
}

// The bare form on a plain dialog: the tree exactly as built, before the
// generators set their run-time ranges and the dialog hides pages.
struct BareForm
{
    BareForm() { ui.setupUi(&dialog); }
    QDialog dialog;
    Ui::DlgKerfmate ui;
};
} // namespace

class TestForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // The tree
    void treeHasEveryObject_data();
    void treeHasEveryObject();
    void layoutItemsInOrder_data();
    void layoutItemsInOrder();
    void layoutMarginsAndSpacing_data();
    void layoutMarginsAndSpacing();
    void sizePolicies_data();
    void sizePolicies();
    void staticRanges_data();
    void staticRanges();
    void staticProperties_data();
    void staticProperties();
    void fonts_data();
    void fonts();
    void onlyThePreviewAndOkCarryStyleSheetsAndNoButtonAnIcon();
    void lineEditsHaveNoValidatorFromTheTree();
    void allPagesSideBySideAfterSetupUi();
    void sealPageSpacesOnlyTextsOneAndTwo();
    void formTexts_data();
    void formTexts();

    // The dialog's texts
    void switchHoldsFourGeneratorsWithoutSwitching();
    void everyTextComesFromTheTranslator_data();
    void everyTextComesFromTheTranslator();
    void shortWordingsReplaceLongFormTexts_data();
    void shortWordingsReplaceLongFormTexts();
    void languageChangeRetranslatesInPlace_data();
    void languageChangeRetranslatesInPlace();
    void wordingsFitTheDialog_data();
    void wordingsFitTheDialog();

    // Catalogues
    void cataloguesCoverEveryKey_data();
    void cataloguesCoverEveryKey();

private:
    std::unique_ptr<DlgKerfmate> OpenDialog();
    void SwitchAsUser(DlgKerfmate* pDialog, int index);
    void ApplyLanguage(const QString& code);

    std::unique_ptr<TempConfig> m_config;
    RecordingEngine m_engine;
};

void TestForm::init()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral("QMetaObject::connectSlotsByName")));
    m_config = std::make_unique<TempConfig>();
    m_engine.clear();
    UseEngine(&m_engine);
    QVERIFY(CTranslator::GetInstance()->SetLanguage(QStringLiteral("en")));
}

void TestForm::cleanup()
{
    CTranslator::GetInstance()->SetLanguage(QStringLiteral("en"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    UseEngine(nullptr);
    m_config.reset();
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

std::unique_ptr<DlgKerfmate> TestForm::OpenDialog()
{
    return std::make_unique<DlgKerfmate>(nullptr);
}

void TestForm::SwitchAsUser(DlgKerfmate* pDialog, int index)
{
    auto* pSwitch = pDialog->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch"));
    pSwitch->setFocus();
    while (pSwitch->currentIndex() < index)
        QTest::keyClick(pSwitch, Qt::Key_Down);
    while (pSwitch->currentIndex() > index)
        QTest::keyClick(pSwitch, Qt::Key_Up);
}

void TestForm::ApplyLanguage(const QString& code)
{
    QVERIFY(CTranslator::GetInstance()->SetLanguage(code));
    // Top-level windows get the change posted.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

// ---------------------------------------------------------------- the tree

void TestForm::treeHasEveryObject_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parentName");

    struct Row
    {
        const char* name;
        const char* className;
        const char* parent;
    };
    const Row rows[] = {
        {"verticalLayout", "QVBoxLayout", "DlgKerfmate"},
        {"widget_2", "QWidget", "DlgKerfmate"},
        {"gridLayout_5", "QGridLayout", "widget_2"},
        {"widget_56", "QWidget", "widget_2"},
        {"gridLayout_9", "QGridLayout", "widget_56"},
        {"gridLayout_10", "QGridLayout", "gridLayout_9"},
        {"widget_preview_rectbox", "QWidget", "widget_56"},
        {"gridLayout_3", "QGridLayout", "widget_preview_rectbox"},
        {"graphicsView_preview", "QGraphicsView", "widget_preview_rectbox"},
        {"widget_setting", "QWidget", "widget_56"},
        {"verticalLayout_2", "QVBoxLayout", "widget_setting"},
        {"widget_kerfmateSwitch", "QWidget", "widget_setting"},
        {"horizontalLayout_2", "QHBoxLayout", "widget_kerfmateSwitch"},
        {"pushButton_icon", "QPushButton", "widget_kerfmateSwitch"},
        {"comboBox_boxSwitch", "QComboBox", "widget_kerfmateSwitch"},
        {"widget_param", "QWidget", "widget_setting"},
        {"horizontalLayout_75", "QHBoxLayout", "widget_param"},
        {"widget_RectBoxParams", "QWidget", "widget_param"},
        {"widget_FilletBoxParams", "QWidget", "widget_param"},
        {"widget_GearBoxParams", "QWidget", "widget_param"},
        {"widget_SealBoxParams", "QWidget", "widget_param"},
        {"widget", "QWidget", "widget_setting"},
        {"horizontalLayout", "QHBoxLayout", "widget"},
        {"pushButton_ok", "QPushButton", "widget"},
        // Right-angle box
        {"gridLayout_4", "QGridLayout", "widget_RectBoxParams"},
        {"verticalLayout_6", "QVBoxLayout", "gridLayout_4"},
        {"groupBox_2", "QGroupBox", "widget_RectBoxParams"},
        {"verticalLayout_7", "QVBoxLayout", "groupBox_2"},
        {"label_boxProperty_3", "QLabel", "groupBox_2"},
        {"widget_15", "QWidget", "groupBox_2"},
        {"label_5", "QLabel", "widget_15"},
        {"spinBox_rectLength", "QDoubleSpinBox", "widget_15"},
        {"widget_16", "QWidget", "groupBox_2"},
        {"label_11", "QLabel", "widget_16"},
        {"doubleSpinBox_rectFluteLength", "QDoubleSpinBox", "widget_16"},
        {"horizontalSlider_rectFluteLength", "QSlider", "groupBox_2"},
        {"widget_17", "QWidget", "groupBox_2"},
        {"label_6", "QLabel", "widget_17"},
        {"spinBox_rectWidth", "QDoubleSpinBox", "widget_17"},
        {"widget_23", "QWidget", "groupBox_2"},
        {"label_7", "QLabel", "widget_23"},
        {"doubleSpinBox_rectFluteWidth", "QDoubleSpinBox", "widget_23"},
        {"horizontalSlider_rectFluteWidth", "QSlider", "groupBox_2"},
        {"widget_18", "QWidget", "groupBox_2"},
        {"label_rectHeight_2", "QLabel", "widget_18"},
        {"spinBox_rectHeight", "QDoubleSpinBox", "widget_18"},
        {"widget_19", "QWidget", "groupBox_2"},
        {"widget_20", "QWidget", "widget_19"},
        {"widget_47", "QWidget", "groupBox_2"},
        {"label_13", "QLabel", "widget_47"},
        {"doubleSpinBox_rectFluteHeight", "QDoubleSpinBox", "widget_47"},
        {"horizontalSlider_rectFluteHeight", "QSlider", "groupBox_2"},
        {"widget_21", "QWidget", "groupBox_2"},
        {"label_14", "QLabel", "widget_21"},
        {"radioButton_rectOutside", "QRadioButton", "widget_21"},
        {"radioButton_rectInside", "QRadioButton", "widget_21"},
        {"widget_25", "QWidget", "groupBox_2"},
        {"label_15", "QLabel", "widget_25"},
        {"doubleSpinBox_rectThickness", "QDoubleSpinBox", "widget_25"},
        {"widget_26", "QWidget", "groupBox_2"},
        {"label_16", "QLabel", "widget_26"},
        {"doubleSpinBox_rectLaserWidth", "QDoubleSpinBox", "widget_26"},
        {"widget_27", "QWidget", "groupBox_2"},
        {"checkBox_rectNoTop", "QCheckBox", "widget_27"},
        {"checkBox_rectNoBottom", "QCheckBox", "widget_27"},
        // Rounded box
        {"gridLayout_11", "QGridLayout", "widget_FilletBoxParams"},
        {"widget_28", "QWidget", "widget_FilletBoxParams"},
        {"gridLayout_6", "QGridLayout", "widget_28"},
        {"groupBox_kerfmate2", "QGroupBox", "widget_28"},
        {"groupBox_kerfmate3", "QGroupBox", "widget_28"},
        {"groupBox_kerfmate4", "QGroupBox", "widget_FilletBoxParams"},
        {"verticalLayout_14", "QVBoxLayout", "groupBox_kerfmate2"},
        {"label_boxProperty", "QLabel", "groupBox_kerfmate2"},
        {"widget_33", "QWidget", "groupBox_kerfmate2"},
        {"label_17", "QLabel", "widget_33"},
        {"spinBox_filletLength", "QDoubleSpinBox", "widget_33"},
        {"widget_54", "QWidget", "groupBox_kerfmate2"},
        {"label_18", "QLabel", "widget_54"},
        {"doubleSpinBox_filletFluteLength", "QDoubleSpinBox", "widget_54"},
        {"horizontalSlider_filletFluteLength", "QSlider", "groupBox_kerfmate2"},
        {"widget_34", "QWidget", "groupBox_kerfmate2"},
        {"label_19", "QLabel", "widget_34"},
        {"spinBox_filletWidth", "QDoubleSpinBox", "widget_34"},
        {"widget_55", "QWidget", "groupBox_kerfmate2"},
        {"label_20", "QLabel", "widget_55"},
        {"doubleSpinBox_filletFluteWidth", "QDoubleSpinBox", "widget_55"},
        {"horizontalSlider_filletFluteWidth", "QSlider", "groupBox_kerfmate2"},
        {"widget_35", "QWidget", "groupBox_kerfmate2"},
        {"label_21", "QLabel", "widget_35"},
        {"spinBox_filletHeight", "QDoubleSpinBox", "widget_35"},
        {"widget_36", "QWidget", "groupBox_kerfmate2"},
        {"label_22", "QLabel", "widget_36"},
        {"radioButton_filletOutside", "QRadioButton", "widget_36"},
        {"radioButton_filletInside", "QRadioButton", "widget_36"},
        {"widget_38", "QWidget", "groupBox_kerfmate2"},
        {"label_23", "QLabel", "widget_38"},
        {"doubleSpinBox_filletThickness", "QDoubleSpinBox", "widget_38"},
        {"widget_39", "QWidget", "groupBox_kerfmate2"},
        {"label_25", "QLabel", "widget_39"},
        {"doubleSpinBox_filletLaserWidth", "QDoubleSpinBox", "widget_39"},
        {"widget_63", "QWidget", "groupBox_kerfmate2"},
        {"checkBox_filletNoTop", "QCheckBox", "widget_63"},
        {"checkBox_filletNoBottom", "QCheckBox", "widget_63"},
        {"checkBox_3edgeNoFlute", "QCheckBox", "widget_63"},
        {"verticalLayout_12", "QVBoxLayout", "groupBox_kerfmate3"},
        {"label_roundedCornerProperties", "QLabel", "groupBox_kerfmate3"},
        {"widget_29", "QWidget", "groupBox_kerfmate3"},
        {"label_radiusRoundedCorner", "QLabel", "widget_29"},
        {"spinBox_filletCornerRadius", "QDoubleSpinBox", "widget_29"},
        {"widget_30", "QWidget", "groupBox_kerfmate3"},
        {"label_roundedBoxXSpacing", "QLabel", "widget_30"},
        {"doubleSpinBox_filletCornerXSpace", "QDoubleSpinBox", "widget_30"},
        {"widget_31", "QWidget", "groupBox_kerfmate3"},
        {"label_roundedBoxYSpacing", "QLabel", "widget_31"},
        {"doubleSpinBox_filletCornerYSpace", "QDoubleSpinBox", "widget_31"},
        {"widget_32", "QWidget", "groupBox_kerfmate3"},
        {"label_29", "QLabel", "widget_32"},
        {"spinBox_filletCornerYCount", "QSpinBox", "widget_32"},
        {"verticalLayout_13", "QVBoxLayout", "groupBox_kerfmate4"},
        {"label_referenceSize", "QLabel", "groupBox_kerfmate4"},
        {"radioButton_filletSize25", "QRadioButton", "groupBox_kerfmate4"},
        {"radioButton_filletSize50", "QRadioButton", "groupBox_kerfmate4"},
        {"radioButton_filletSize100", "QRadioButton", "groupBox_kerfmate4"},
        // Modular gear
        {"gridLayout_12", "QGridLayout", "widget_GearBoxParams"},
        {"groupBox_6", "QGroupBox", "widget_GearBoxParams"},
        {"groupBox_5", "QGroupBox", "widget_GearBoxParams"},
        {"gridLayout_22", "QGridLayout", "groupBox_6"},
        {"label_gearProperties", "QLabel", "groupBox_6"},
        {"widget_70", "QWidget", "groupBox_6"},
        {"label_modulus", "QLabel", "widget_70"},
        {"lineEdit_gearModulus", "QLineEdit", "widget_70"},
        {"widget_67", "QWidget", "groupBox_6"},
        {"line_3", "QFrame", "widget_67"},
        {"label_36", "QLabel", "widget_67"},
        {"widget_68", "QWidget", "widget_67"},
        {"label_37", "QLabel", "widget_68"},
        {"lineEdit_gearDiameter1", "QLineEdit", "widget_68"},
        {"widget_69", "QWidget", "widget_67"},
        {"label_39", "QLabel", "widget_69"},
        {"lineEdit_gearCount1", "QLineEdit", "widget_69"},
        {"widget_71", "QWidget", "groupBox_6"},
        {"label_50", "QLabel", "widget_71"},
        {"widget_72", "QWidget", "widget_71"},
        {"label_51", "QLabel", "widget_72"},
        {"lineEdit_gearDiameter2", "QLineEdit", "widget_72"},
        {"widget_73", "QWidget", "widget_71"},
        {"label_53", "QLabel", "widget_73"},
        {"lineEdit_gearCount2", "QLineEdit", "widget_73"},
        {"verticalLayout_16", "QVBoxLayout", "groupBox_5"},
        {"widget_64", "QWidget", "groupBox_5"},
        {"widget_65", "QWidget", "widget_64"},
        {"label_57", "QLabel", "widget_65"},
        {"lineEdit_gearSpace", "QLineEdit", "widget_65"},
        {"widget_66", "QWidget", "widget_64"},
        {"label_56", "QLabel", "widget_66"},
        {"lineEdit_gearRate", "QLineEdit", "widget_66"},
        // Badge and seal
        {"verticalLayout_22", "QVBoxLayout", "widget_SealBoxParams"},
        {"groupBox_11", "QGroupBox", "widget_SealBoxParams"},
        {"groupBox_12", "QGroupBox", "widget_SealBoxParams"},
        {"groupBox_13", "QGroupBox", "widget_SealBoxParams"},
        {"groupBox_14", "QGroupBox", "widget_SealBoxParams"},
        {"verticalLayout_21", "QVBoxLayout", "groupBox_11"},
        {"horizontalLayout_6", "QHBoxLayout", "verticalLayout_21"},
        {"label_mode", "QLabel", "groupBox_11"},
        {"radioButton_badge", "QRadioButton", "groupBox_11"},
        {"radioButton_seal", "QRadioButton", "groupBox_11"},
        {"verticalLayout_5", "QVBoxLayout", "verticalLayout_21"},
        {"widget_74", "QWidget", "groupBox_11"},
        {"label_outRimDiameter", "QLabel", "widget_74"},
        {"doubleSpinBox_sealD1", "QDoubleSpinBox", "widget_74"},
        {"widget_75", "QWidget", "groupBox_11"},
        {"label_61", "QLabel", "widget_75"},
        {"doubleSpinBox_sealD2", "QDoubleSpinBox", "widget_75"},
        {"verticalLayout_28", "QVBoxLayout", "groupBox_12"},
        {"label_text1", "QLabel", "groupBox_12"},
        {"verticalLayout_9", "QVBoxLayout", "verticalLayout_28"},
        {"widget_77", "QWidget", "groupBox_12"},
        {"label_textContent1", "QLabel", "widget_77"},
        {"lineEdit_sealText1", "QLineEdit", "widget_77"},
        {"widget_78", "QWidget", "groupBox_12"},
        {"label_63", "QLabel", "widget_78"},
        {"doubleSpinBox_sealTextHeight1", "QDoubleSpinBox", "widget_78"},
        {"widget_79", "QWidget", "groupBox_12"},
        {"label_64", "QLabel", "widget_79"},
        {"doubleSpinBox_sealTextOffset1", "QDoubleSpinBox", "widget_79"},
        {"widget_80", "QWidget", "groupBox_12"},
        {"label_65", "QLabel", "widget_80"},
        {"doubleSpinBox_sealTextDistance1", "QDoubleSpinBox", "widget_80"},
        {"fontComboBox_sealTextFont1", "QFontComboBox", "groupBox_12"},
        {"verticalLayout_29", "QVBoxLayout", "groupBox_13"},
        {"label_text2", "QLabel", "groupBox_13"},
        {"verticalLayout_11", "QVBoxLayout", "verticalLayout_29"},
        {"widget_81", "QWidget", "groupBox_13"},
        {"label_textContent2", "QLabel", "widget_81"},
        {"lineEdit_sealText2", "QLineEdit", "widget_81"},
        {"widget_82", "QWidget", "groupBox_13"},
        {"label_67", "QLabel", "widget_82"},
        {"doubleSpinBox_sealTextHeight2", "QDoubleSpinBox", "widget_82"},
        {"widget_83", "QWidget", "groupBox_13"},
        {"label_68", "QLabel", "widget_83"},
        {"doubleSpinBox_sealTextOffset2", "QDoubleSpinBox", "widget_83"},
        {"widget_84", "QWidget", "groupBox_13"},
        {"label_69", "QLabel", "widget_84"},
        {"doubleSpinBox_sealTextDistance2", "QDoubleSpinBox", "widget_84"},
        {"fontComboBox_sealTextFont2", "QFontComboBox", "groupBox_13"},
        {"verticalLayout_30", "QVBoxLayout", "groupBox_14"},
        {"label_text3", "QLabel", "groupBox_14"},
        {"verticalLayout_19", "QVBoxLayout", "verticalLayout_30"},
        {"widget_85", "QWidget", "groupBox_14"},
        {"label_textContent3", "QLabel", "widget_85"},
        {"lineEdit_sealText3", "QLineEdit", "widget_85"},
        {"widget_86", "QWidget", "groupBox_14"},
        {"label_71", "QLabel", "widget_86"},
        {"doubleSpinBox_sealTextHeight3", "QDoubleSpinBox", "widget_86"},
        {"widget_87", "QWidget", "groupBox_14"},
        {"label_72", "QLabel", "widget_87"},
        {"doubleSpinBox_sealTextOffset3", "QDoubleSpinBox", "widget_87"},
        {"fontComboBox_sealTextFont3", "QFontComboBox", "groupBox_14"},
    };
    for (const Row& row : rows)
        QTest::newRow(row.name) << QString::fromLatin1(row.name) << QString::fromLatin1(row.className)
                                << QString::fromLatin1(row.parent);
}

void TestForm::treeHasEveryObject()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, parentName);

    BareForm form;
    QCOMPARE(form.dialog.objectName(), QStringLiteral("DlgKerfmate"));
    const QList<QObject*> found = form.dialog.findChildren<QObject*>(name);
    QCOMPARE(found.size(), 1);
    QCOMPARE(QString::fromLatin1(found.first()->metaObject()->className()), className);
    QVERIFY(found.first()->parent());
    QCOMPARE(found.first()->parent()->objectName(), parentName);
    // A layout placed on a widget is that widget's layout.
    if (auto* layout = qobject_cast<QLayout*>(found.first()); layout && found.first()->parent()->isWidgetType())
        QCOMPARE(static_cast<QWidget*>(found.first()->parent())->layout(), layout);
}

void TestForm::layoutItemsInOrder_data()
{
    QTest::addColumn<QString>("owner"); // a layout, or a widget whose layout is meant
    QTest::addColumn<QStringList>("items");

    const auto row = [](const char* owner, const QStringList& items) { QTest::newRow(owner) << QString::fromLatin1(owner) << items; };
    const QString rowSpacer = QStringLiteral("~0x20:Expanding/Minimum");

    row("verticalLayout", {"widget_2"});
    row("gridLayout_5", {"0,0:widget_56"});
    row("gridLayout_9", {"0,0:gridLayout_10"});
    row("gridLayout_10", {"0,1:widget_preview_rectbox", "0,4:widget_setting"});
    row("gridLayout_3", {"0,0:graphicsView_preview"});
    row("verticalLayout_2", {"widget_kerfmateSwitch", "widget_param", "widget"});
    row("horizontalLayout_2", {"pushButton_icon", "comboBox_boxSwitch"});
    row("horizontalLayout_75", kPages);
    row("horizontalLayout", {"~0x20:MinimumExpanding/Minimum", "pushButton_ok"});

    row("gridLayout_4", {"0,0:verticalLayout_6"});
    row("verticalLayout_6", {"groupBox_2", "~20x0:Minimum/Expanding"});
    row("verticalLayout_7",
        {"label_boxProperty_3", "widget_15", "widget_16", "horizontalSlider_rectFluteLength", "widget_17", "widget_23",
         "horizontalSlider_rectFluteWidth", "widget_18", "widget_19", "widget_47", "horizontalSlider_rectFluteHeight",
         "widget_21", "widget_25", "widget_26", "widget_27"});
    row("widget_15", {"label_5", "spinBox_rectLength"});
    row("widget_16", {"label_11", "doubleSpinBox_rectFluteLength"});
    row("widget_17", {"label_6", "spinBox_rectWidth"});
    row("widget_23", {"label_7", "doubleSpinBox_rectFluteWidth"});
    row("widget_18", {"label_rectHeight_2", "spinBox_rectHeight"});
    row("widget_19", {"widget_20"});
    row("widget_47", {"label_13", "doubleSpinBox_rectFluteHeight"});
    row("widget_21", {"label_14", "radioButton_rectOutside", "radioButton_rectInside"});
    row("widget_25", {"label_15", "doubleSpinBox_rectThickness"});
    row("widget_26", {"label_16", "doubleSpinBox_rectLaserWidth"});
    row("widget_27", {"checkBox_rectNoTop", "checkBox_rectNoBottom"});

    row("gridLayout_11", {"2,0:widget_28", "3,0:~20x10:Minimum/Fixed", "4,0:groupBox_kerfmate4",
                          "5,0:~20x35:Minimum/Expanding"});
    row("gridLayout_6", {"0,0:groupBox_kerfmate2", "1,0:~20x10:Minimum/Fixed", "2,0:groupBox_kerfmate3"});
    row("verticalLayout_14",
        {"label_boxProperty", "widget_33", "widget_54", "horizontalSlider_filletFluteLength", "widget_34", "widget_55",
         "horizontalSlider_filletFluteWidth", "widget_35", "widget_36", "widget_38", "widget_39", "widget_63"});
    row("widget_33", {"label_17", "spinBox_filletLength"});
    row("widget_54", {"label_18", "doubleSpinBox_filletFluteLength"});
    row("widget_34", {"label_19", "spinBox_filletWidth"});
    row("widget_55", {"label_20", "doubleSpinBox_filletFluteWidth"});
    row("widget_35", {"label_21", "spinBox_filletHeight"});
    row("widget_36", {"label_22", "radioButton_filletOutside", "radioButton_filletInside"});
    row("widget_38", {"label_23", "doubleSpinBox_filletThickness"});
    row("widget_39", {"label_25", "doubleSpinBox_filletLaserWidth"});
    row("widget_63", {"checkBox_filletNoTop", "checkBox_filletNoBottom", "checkBox_3edgeNoFlute"});
    row("verticalLayout_12", {"label_roundedCornerProperties", "widget_29", "widget_30", "widget_31", "widget_32"});
    row("widget_29", {"label_radiusRoundedCorner", "spinBox_filletCornerRadius"});
    row("widget_30", {"label_roundedBoxXSpacing", "doubleSpinBox_filletCornerXSpace"});
    row("widget_31", {"label_roundedBoxYSpacing", "doubleSpinBox_filletCornerYSpace"});
    row("widget_32", {"label_29", "spinBox_filletCornerYCount"});
    row("verticalLayout_13",
        {"label_referenceSize", "radioButton_filletSize25", "radioButton_filletSize50", "radioButton_filletSize100"});

    row("gridLayout_12", {"0,0:groupBox_6", "1,0:groupBox_5", "2,0:~20x40:Minimum/Expanding"});
    row("gridLayout_22", {"0,0:label_gearProperties", "1,0:widget_70", "2,0:widget_67", "3,0:widget_71"});
    row("widget_70", {"label_modulus", "lineEdit_gearModulus", "~34x14:Ignored/Minimum"});
    row("widget_67", {"line_3", "label_36", "widget_68", "widget_69"});
    row("widget_68", {"label_37", "lineEdit_gearDiameter1"});
    row("widget_69", {"label_39", "lineEdit_gearCount1"});
    row("widget_71", {"label_50", "widget_72", "widget_73"});
    row("widget_72", {"label_51", "lineEdit_gearDiameter2"});
    row("widget_73", {"label_53", "lineEdit_gearCount2"});
    row("verticalLayout_16", {"widget_64"});
    row("widget_64", {"widget_65", "widget_66"});
    row("widget_65", {"label_57", "lineEdit_gearSpace"});
    row("widget_66", {"label_56", "lineEdit_gearRate"});

    row("verticalLayout_22", {"groupBox_11", "groupBox_12", "groupBox_13", "groupBox_14"});
    row("verticalLayout_21", {"horizontalLayout_6", "verticalLayout_5"});
    row("horizontalLayout_6", {"label_mode", "radioButton_badge", "radioButton_seal", rowSpacer});
    row("verticalLayout_5", {"widget_74", "widget_75"});
    row("widget_74", {"label_outRimDiameter", rowSpacer, "doubleSpinBox_sealD1"});
    row("widget_75", {"label_61", rowSpacer, "doubleSpinBox_sealD2"});
    row("verticalLayout_28", {"label_text1", "verticalLayout_9"});
    row("verticalLayout_9", {"widget_77", "widget_78", "widget_79", "widget_80", "fontComboBox_sealTextFont1"});
    row("widget_77", {"label_textContent1", rowSpacer, "lineEdit_sealText1"});
    row("widget_78", {"label_63", rowSpacer, "doubleSpinBox_sealTextHeight1"});
    row("widget_79", {"label_64", rowSpacer, "doubleSpinBox_sealTextOffset1"});
    row("widget_80", {"label_65", rowSpacer, "doubleSpinBox_sealTextDistance1"});
    row("verticalLayout_29", {"label_text2", "verticalLayout_11"});
    row("verticalLayout_11", {"widget_81", "widget_82", "widget_83", "widget_84", "fontComboBox_sealTextFont2"});
    row("widget_81", {"label_textContent2", rowSpacer, "lineEdit_sealText2"});
    row("widget_82", {"label_67", rowSpacer, "doubleSpinBox_sealTextHeight2"});
    row("widget_83", {"label_68", rowSpacer, "doubleSpinBox_sealTextOffset2"});
    row("widget_84", {"label_69", rowSpacer, "doubleSpinBox_sealTextDistance2"});
    row("verticalLayout_30", {"label_text3", "verticalLayout_19", "~20x40:Minimum/Expanding"});
    row("verticalLayout_19", {"widget_85", "widget_86", "widget_87", "fontComboBox_sealTextFont3"});
    row("widget_85", {"label_textContent3", rowSpacer, "lineEdit_sealText3"});
    row("widget_86", {"label_71", rowSpacer, "doubleSpinBox_sealTextHeight3"});
    row("widget_87", {"label_72", rowSpacer, "doubleSpinBox_sealTextOffset3"});
}

void TestForm::layoutItemsInOrder()
{
    QFETCH(QString, owner);
    QFETCH(QStringList, items);

    BareForm form;
    QLayout* layout = LayoutOf(form.dialog.findChild<QObject*>(owner));
    QVERIFY2(layout, "no layout");
    QCOMPARE(LayoutItems(layout), items);
}

void TestForm::layoutMarginsAndSpacing_data()
{
    // Margins left, top, right, bottom; spacing horizontal, vertical
    // (one value for box layouts). -1 leaves a side or spacing unchecked.
    QTest::addColumn<QString>("owner");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QList<int>>("margins");
    QTest::addColumn<QList<int>>("spacing");

    const auto row = [](const char* owner, const char* className, QList<int> margins, QList<int> spacing) {
        QTest::newRow(owner) << QString::fromLatin1(owner) << QString::fromLatin1(className) << margins << spacing;
    };
    const QList<int> zero{0, 0, 0, 0};
    const QList<int> any{-1, -1, -1, -1};
    const QList<int> free{-1, -1};

    row("gridLayout_5", "QGridLayout", zero, free);
    row("gridLayout_9", "QGridLayout", zero, {0, 0});
    row("gridLayout_10", "QGridLayout", any, {12, 0});
    row("gridLayout_3", "QGridLayout", zero, {0, 0});
    row("verticalLayout_2", "QVBoxLayout", zero, free);
    row("horizontalLayout_2", "QHBoxLayout", {6, 9, 6, 0}, free);
    row("horizontalLayout_75", "QHBoxLayout", {6, 0, 6, 0}, free);
    row("horizontalLayout", "QHBoxLayout", {3, 3, 9, 9}, {6, 6});
    row("gridLayout_4", "QGridLayout", zero, {3, 3});
    row("verticalLayout_6", "QVBoxLayout", any, {0, 0});
    row("verticalLayout_7", "QVBoxLayout", zero, {6, 6});
    row("widget_15", "QHBoxLayout", zero, free);
    row("widget_16", "QHBoxLayout", zero, {6, 6});
    row("widget_17", "QHBoxLayout", zero, free);
    row("widget_23", "QHBoxLayout", zero, free);
    row("widget_18", "QHBoxLayout", zero, free);
    row("widget_19", "QVBoxLayout", any, {3, 3});
    row("widget_47", "QHBoxLayout", zero, free);
    row("widget_21", "QVBoxLayout", any, free);
    row("widget_25", "QHBoxLayout", {0, 6, 0, 0}, {6, 6});
    row("widget_26", "QHBoxLayout", {0, 6, 0, 0}, {6, 6});
    row("widget_27", "QVBoxLayout", any, {5, 5});
    row("gridLayout_11", "QGridLayout", zero, {0, 0});
    row("gridLayout_6", "QGridLayout", zero, {0, -1});
    row("verticalLayout_14", "QVBoxLayout", zero, {3, 3});
    row("widget_33", "QHBoxLayout", zero, free);
    row("widget_36", "QVBoxLayout", any, free);
    row("widget_38", "QHBoxLayout", {0, 6, 0, 0}, {6, 6});
    row("widget_39", "QHBoxLayout", {0, 6, 0, 0}, {6, 6});
    row("widget_63", "QVBoxLayout", any, {1, 1});
    row("verticalLayout_12", "QVBoxLayout", {3, 3, 3, 3}, {3, 3});
    row("widget_29", "QHBoxLayout", {0, 6, 0, 0}, free);
    row("widget_30", "QHBoxLayout", zero, free);
    row("verticalLayout_13", "QVBoxLayout", {3, 3, 3, 3}, {3, 3});
    row("gridLayout_12", "QGridLayout", zero, free);
    row("gridLayout_22", "QGridLayout", zero, {0, -1});
    row("widget_70", "QHBoxLayout", zero, free);
    row("widget_67", "QVBoxLayout", any, free);
    row("widget_68", "QHBoxLayout", zero, free);
    row("verticalLayout_16", "QVBoxLayout", zero, free);
    row("widget_64", "QVBoxLayout", zero, free);
    row("widget_65", "QHBoxLayout", zero, free);
    row("verticalLayout_22", "QVBoxLayout", zero, free);
    row("verticalLayout_21", "QVBoxLayout", zero, {6, 6});
    // A side left at -1 in a nested layout falls back to no margin.
    row("horizontalLayout_6", "QHBoxLayout", {0, 0, 0, 0}, free);
    row("verticalLayout_5", "QVBoxLayout", {10, 0, 0, 0}, free);
    row("widget_74", "QHBoxLayout", zero, {0, 0});
    row("widget_75", "QHBoxLayout", zero, {0, 0});
    row("verticalLayout_28", "QVBoxLayout", zero, free);
    row("verticalLayout_29", "QVBoxLayout", zero, free);
    row("verticalLayout_30", "QVBoxLayout", zero, free);
    row("verticalLayout_9", "QVBoxLayout", {10, 0, 0, 0}, free);
    row("verticalLayout_11", "QVBoxLayout", {10, 0, 0, 0}, free);
    row("verticalLayout_19", "QVBoxLayout", {10, 0, 0, 0}, free);
    row("widget_77", "QHBoxLayout", zero, free);
    for (const char* name : {"widget_78", "widget_79", "widget_80", "widget_82", "widget_83", "widget_84", "widget_86",
                             "widget_87"})
        row(name, "QHBoxLayout", zero, {0, 0});
    row("widget_81", "QHBoxLayout", zero, {6, 6});
    row("widget_85", "QHBoxLayout", zero, free);
}

void TestForm::layoutMarginsAndSpacing()
{
    QFETCH(QString, owner);
    QFETCH(QString, className);
    QFETCH(QList<int>, margins);
    QFETCH(QList<int>, spacing);

    BareForm form;
    QLayout* layout = LayoutOf(form.dialog.findChild<QObject*>(owner));
    QVERIFY2(layout, "no layout");
    QCOMPARE(QString::fromLatin1(layout->metaObject()->className()), className);

    const QMargins m = layout->contentsMargins();
    const int actual[] = {m.left(), m.top(), m.right(), m.bottom()};
    for (int i = 0; i < 4; ++i)
        if (margins[i] >= 0)
            QCOMPARE(actual[i], margins[i]);

    int horizontal = layout->spacing();
    int vertical = horizontal;
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        horizontal = grid->horizontalSpacing();
        vertical = grid->verticalSpacing();
    }
    if (spacing[0] >= 0)
        QCOMPARE(horizontal, spacing[0]);
    if (spacing[1] >= 0)
        QCOMPARE(vertical, spacing[1]);
}

void TestForm::sizePolicies_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("horizontal");
    QTest::addColumn<QString>("vertical");
    QTest::addColumn<int>("horizontalStretch");

    const auto row = [](const char* name, const char* h, const char* v, int stretch = 0) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(h) << QString::fromLatin1(v) << stretch;
    };
    row("widget_preview_rectbox", "Expanding", "Expanding");
    row("widget", "Preferred", "Fixed");
    row("groupBox_2", "Fixed", "Fixed");
    row("label_5", "Preferred", "Preferred");
    row("horizontalSlider_rectFluteLength", "Expanding", "Fixed");
    row("horizontalSlider_rectFluteWidth", "Expanding", "Fixed");
    row("horizontalSlider_rectFluteHeight", "Expanding", "Fixed");
    row("radioButton_rectOutside", "Expanding", "Expanding");
    row("radioButton_rectInside", "Expanding", "Expanding");
    row("widget_28", "Fixed", "Fixed");
    row("groupBox_kerfmate2", "Fixed", "Fixed");
    row("groupBox_kerfmate3", "Fixed", "Fixed");
    row("groupBox_kerfmate4", "Fixed", "Fixed");
    row("widget_33", "Preferred", "Preferred");
    row("label_17", "Preferred", "Preferred");
    row("widget_34", "Preferred", "Preferred");
    row("label_19", "Preferred", "Preferred");
    row("widget_35", "Preferred", "Preferred");
    row("horizontalSlider_filletFluteLength", "Expanding", "Fixed");
    row("horizontalSlider_filletFluteWidth", "Expanding", "Fixed");
    row("radioButton_filletOutside", "Expanding", "Expanding");
    row("radioButton_filletInside", "Expanding", "Expanding");
    row("checkBox_filletNoTop", "Minimum", "Preferred");
    row("checkBox_filletNoBottom", "Minimum", "Preferred");
    row("checkBox_3edgeNoFlute", "Minimum", "Preferred");
    row("radioButton_filletSize25", "Minimum", "Preferred");
    row("radioButton_filletSize50", "Minimum", "Preferred");
    row("radioButton_filletSize100", "Minimum", "Preferred");
    row("widget_GearBoxParams", "Fixed", "Preferred");
    row("groupBox_6", "Fixed", "Fixed");
    row("groupBox_5", "Fixed", "Fixed");
    row("widget_67", "Fixed", "Fixed");
    row("widget_71", "Fixed", "Fixed");
    row("lineEdit_gearModulus", "Preferred", "Fixed", 65);
    for (const char* name : {"lineEdit_gearDiameter1", "lineEdit_gearCount1", "lineEdit_gearDiameter2",
                             "lineEdit_gearCount2", "lineEdit_gearSpace", "lineEdit_gearRate"})
        row(name, "Preferred", "Fixed");
    row("widget_SealBoxParams", "Fixed", "Preferred");
    row("groupBox_11", "Preferred", "Preferred");
    row("groupBox_12", "Fixed", "Fixed");
    row("radioButton_badge", "Preferred", "Preferred");
    row("radioButton_seal", "Preferred", "Preferred");
    row("doubleSpinBox_sealD1", "Preferred", "Fixed");
    row("lineEdit_sealText1", "Preferred", "Fixed");
    row("label_textContent2", "Preferred", "Preferred");
    row("lineEdit_sealText2", "Expanding", "Fixed");
}

void TestForm::sizePolicies()
{
    QFETCH(QString, name);
    QFETCH(QString, horizontal);
    QFETCH(QString, vertical);
    QFETCH(int, horizontalStretch);

    BareForm form;
    const QWidget* w = form.dialog.findChild<QWidget*>(name);
    QVERIFY(w);
    QCOMPARE(PolicyName(w->sizePolicy().horizontalPolicy()), horizontal);
    QCOMPARE(PolicyName(w->sizePolicy().verticalPolicy()), vertical);
    QCOMPARE(w->sizePolicy().horizontalStretch(), horizontalStretch);
    QCOMPARE(w->sizePolicy().verticalStretch(), 0);
}

void TestForm::staticRanges_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("value");

    const auto row = [](const char* name, double lo, double hi, double step, double value) {
        QTest::newRow(name) << QString::fromLatin1(name) << lo << hi << step << value;
    };
    row("spinBox_rectLength", 10, 850, 1, 10);
    row("doubleSpinBox_rectFluteLength", 3.0, 12.5, 0.1, 3.0);
    row("horizontalSlider_rectFluteLength", 30, 125, 1, 30);
    row("spinBox_rectWidth", 10, 850, 1, 10);
    row("doubleSpinBox_rectFluteWidth", 3.0, 12.5, 0.1, 3.0);
    row("horizontalSlider_rectFluteWidth", 30, 125, 1, 30);
    row("spinBox_rectHeight", 10, 850, 1, 10);
    row("doubleSpinBox_rectFluteHeight", 3.0, 12.5, 0.1, 3.0);
    row("horizontalSlider_rectFluteHeight", 30, 125, 1, 30);
    row("doubleSpinBox_rectThickness", 1.0, 10.0, 0.1, 1.0);
    row("doubleSpinBox_rectLaserWidth", 0.1, 0.8, 0.1, 0.1);
    row("spinBox_filletLength", 0, 850, 1, 10);
    row("doubleSpinBox_filletFluteLength", 5.5, 15.7, 0.1, 5.5);
    row("horizontalSlider_filletFluteLength", 55, 157, 1, 55);
    row("spinBox_filletWidth", 0, 850, 1, 10);
    row("doubleSpinBox_filletFluteWidth", 5.5, 15.7, 0.1, 5.5);
    row("horizontalSlider_filletFluteWidth", 55, 157, 1, 55);
    row("spinBox_filletHeight", 0, 850, 1, 10);
    row("doubleSpinBox_filletThickness", 1.0, 10.0, 0.1, 1.0);
    row("doubleSpinBox_filletLaserWidth", 0.1, 0.8, 0.1, 0.1);
    row("spinBox_filletCornerRadius", 0, 99, 1, 0);
    row("doubleSpinBox_filletCornerXSpace", 0, 99.99, 0.1, 0);
    row("doubleSpinBox_filletCornerYSpace", 0, 99.99, 0.1, 0);
    row("spinBox_filletCornerYCount", 0, 99, 1, 0);
    for (const char* name : {"doubleSpinBox_sealD1", "doubleSpinBox_sealD2", "doubleSpinBox_sealTextHeight1",
                             "doubleSpinBox_sealTextOffset1", "doubleSpinBox_sealTextDistance1",
                             "doubleSpinBox_sealTextHeight2", "doubleSpinBox_sealTextOffset2",
                             "doubleSpinBox_sealTextDistance2", "doubleSpinBox_sealTextHeight3",
                             "doubleSpinBox_sealTextOffset3"})
        row(name, 0, 9999.99, 0.1, 0);
}

void TestForm::staticRanges()
{
    QFETCH(QString, name);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, step);
    QFETCH(double, value);

    BareForm form;
    const QWidget* w = form.dialog.findChild<QWidget*>(name);
    QVERIFY(w);
    QCOMPARE(w->property("minimum").toDouble(), minimum);
    QCOMPARE(w->property("maximum").toDouble(), maximum);
    QCOMPARE(w->property("singleStep").toDouble(), step);
    QCOMPARE(w->property("value").toDouble(), value);
    if (auto* spin = qobject_cast<const QDoubleSpinBox*>(w))
        QCOMPARE(spin->decimals(), 2);
    if (auto* spin = qobject_cast<const QAbstractSpinBox*>(w)) {
        QCOMPARE(spin->property("prefix").toString(), QString());
        QCOMPARE(spin->property("suffix").toString(), QString());
    }
}

void TestForm::staticProperties_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("expected");

    const auto row = [](const char* name, const char* property, const QVariant& expected) {
        QTest::addRow("%s.%s", name, property) << QString::fromLatin1(name) << QByteArray(property) << expected;
    };
    row("DlgKerfmate", "size", QSize(1320, 800));
    row("DlgKerfmate", "maximumSize", QSize(16777215, 16777215));
    row("DlgKerfmate", "windowTitle", QStringLiteral("Create"));
    row("widget_56", "minimumSize", QSize(0, 300));
    row("widget_setting", "minimumSize", QSize(30, 0));
    row("graphicsView_preview", "lineWidth", 10);
    row("pushButton_ok", "focusPolicy", QVariant::fromValue(Qt::NoFocus));
    row("spinBox_rectLength", "inputMethodHints",
        QVariant::fromValue(Qt::InputMethodHints(Qt::ImhFormattedNumbersOnly)));
    for (const char* name :
         {"horizontalSlider_rectFluteLength", "horizontalSlider_rectFluteWidth", "horizontalSlider_rectFluteHeight",
          "horizontalSlider_filletFluteLength", "horizontalSlider_filletFluteWidth"}) {
        row(name, "orientation", QVariant::fromValue(Qt::Horizontal));
        row(name, "pageStep", 10);
        row(name, "tracking", true);
        row(name, "invertedAppearance", false);
    }
    row("radioButton_rectOutside", "checked", true);
    row("radioButton_rectOutside", "layoutDirection", QVariant::fromValue(Qt::LeftToRight));
    row("radioButton_rectInside", "checked", false);
    row("checkBox_rectNoTop", "checked", false);
    row("checkBox_rectNoBottom", "checked", false);
    row("widget_36", "minimumSize", QSize(0, 50));
    row("radioButton_filletOutside", "checked", true);
    row("radioButton_filletInside", "checked", false);
    row("radioButton_filletInside", "minimumSize", QSize(0, 30));
    row("checkBox_filletNoTop", "checked", false);
    row("checkBox_filletNoBottom", "checked", false);
    row("checkBox_3edgeNoFlute", "checked", false);
    row("radioButton_filletSize25", "checked", true);
    row("radioButton_filletSize50", "checked", false);
    row("radioButton_filletSize100", "checked", false);
    for (const char* name : {"radioButton_filletSize25", "radioButton_filletSize50", "radioButton_filletSize100"})
        row(name, "focusPolicy", QVariant::fromValue(Qt::NoFocus));
    row("line_3", "frameShape", QVariant::fromValue(QFrame::HLine));
    row("line_3", "frameShadow", QVariant::fromValue(QFrame::Sunken));
    for (const char* name : {"lineEdit_gearSpace", "lineEdit_gearRate"}) {
        row(name, "enabled", false);
        row(name, "readOnly", true);
    }
    for (const char* name : {"lineEdit_gearModulus", "lineEdit_gearDiameter1", "lineEdit_gearCount1",
                             "lineEdit_gearDiameter2", "lineEdit_gearCount2"}) {
        row(name, "enabled", true);
        row(name, "readOnly", false);
    }
    row("radioButton_badge", "checked", true);
    row("radioButton_seal", "checked", false);
    for (const char* name : {"lineEdit_sealText1", "lineEdit_sealText2", "lineEdit_sealText3"})
        row(name, "maxLength", 32767);
}

void TestForm::staticProperties()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, expected);

    BareForm form;
    const QObject* object = name == form.dialog.objectName() ? &form.dialog : form.dialog.findChild<QObject*>(name);
    QVERIFY(object);
    const QVariant actual = object->property(property.constData());
    QVERIFY2(actual.isValid(), "no such property");
    QCOMPARE(actual, expected);
}

void TestForm::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("font"); // "A", "B" or "" for none of its own

    const QStringList fontB = {QStringLiteral("label_boxProperty_3"), QStringLiteral("label_5"),
                               QStringLiteral("label_13")};
    const QStringList plainRadios = {QStringLiteral("radioButton_badge"), QStringLiteral("radioButton_seal")};

    BareForm form;
    for (const QLabel* w : form.dialog.findChildren<QLabel*>())
        QTest::newRow(qPrintable(w->objectName())) << w->objectName()
                                                   << QString(fontB.contains(w->objectName()) ? "B" : "A");
    for (const QRadioButton* w : form.dialog.findChildren<QRadioButton*>())
        QTest::newRow(qPrintable(w->objectName())) << w->objectName()
                                                   << QString(plainRadios.contains(w->objectName()) ? "" : "A");
    for (const QCheckBox* w : form.dialog.findChildren<QCheckBox*>())
        QTest::newRow(qPrintable(w->objectName())) << w->objectName() << QStringLiteral("A");
    for (const char* name : {"fontComboBox_sealTextFont1", "fontComboBox_sealTextFont2", "fontComboBox_sealTextFont3",
                             "comboBox_boxSwitch", "spinBox_rectLength", "pushButton_ok"})
        QTest::newRow(name) << QString::fromLatin1(name) << QStringLiteral("A");
    for (const char* name : {"DlgKerfmate", "widget_setting", "groupBox_2", "spinBox_rectWidth", "spinBox_filletLength",
                             "pushButton_icon", "lineEdit_gearModulus", "doubleSpinBox_sealD1", "lineEdit_sealText1",
                             "horizontalSlider_rectFluteLength"})
        QTest::newRow(name) << QString::fromLatin1(name) << QString();
}

void TestForm::fonts()
{
    QFETCH(QString, name);
    QFETCH(QString, font);

    BareForm form;
    const QWidget* w = name == form.dialog.objectName() ? &form.dialog : form.dialog.findChild<QWidget*>(name);
    QVERIFY(w);
    const QFont f = w->font();
    if (font.isEmpty()) {
        QVERIFY(!(f.resolveMask() & QFont::FamiliesResolved));
        QVERIFY(f.families() != QStringList{kFamily});
        return;
    }
    QCOMPARE(f.families(), QStringList{kFamily});
    QVERIFY(f.resolveMask() & QFont::FamiliesResolved);
    // Font B only says "not bold"; font A leaves the weight alone.
    QCOMPARE(bool(f.resolveMask() & QFont::WeightResolved), font == QLatin1String("B"));
    QVERIFY(!(f.resolveMask() & QFont::SizeResolved));
    if (font == QLatin1String("B"))
        QCOMPARE(f.bold(), false);
}

void TestForm::onlyThePreviewAndOkCarryStyleSheetsAndNoButtonAnIcon()
{
    BareForm form;
    QCOMPARE(form.ui.widget_preview_rectbox->styleSheet(), QStringLiteral("background-color: rgb(255, 255, 255);\n"));
    QCOMPARE(form.dialog.styleSheet(), QString());
    for (const QWidget* w : form.dialog.findChildren<QWidget*>())
        if (w != form.ui.widget_preview_rectbox)
            QVERIFY2(w->styleSheet().isEmpty(), qPrintable(w->objectName()));
    for (const QAbstractButton* b : form.dialog.findChildren<QAbstractButton*>())
        QVERIFY2(b->icon().isNull(), qPrintable(b->objectName()));
}

void TestForm::lineEditsHaveNoValidatorFromTheTree()
{
    BareForm form;
    int named = 0;
    for (const QLineEdit* edit : form.dialog.findChildren<QLineEdit*>()) {
        if (!edit->objectName().startsWith(QLatin1String("lineEdit_")))
            continue; // the spin boxes' and combo boxes' own editors
        ++named;
        QVERIFY2(!edit->validator(), qPrintable(edit->objectName()));
    }
    QCOMPARE(named, 10);
}

void TestForm::allPagesSideBySideAfterSetupUi()
{
    BareForm form;
    for (const QString& name : kPages) {
        const QWidget* page = form.dialog.findChild<QWidget*>(name);
        QVERIFY(page);
        QVERIFY2(!page->isHidden(), qPrintable(name));
        QCOMPARE(page->parentWidget(), form.ui.widget_param);
    }
    form.dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form.dialog));
    int previousRight = -1;
    for (const QString& name : kPages) {
        const QWidget* page = form.dialog.findChild<QWidget*>(name);
        QVERIFY2(page->isVisible(), qPrintable(name));
        QVERIFY2(page->x() > previousRight, qPrintable(name));
        previousRight = page->geometry().right();
    }
}

void TestForm::sealPageSpacesOnlyTextsOneAndTwo()
{
    BareForm form;
    QStringList spacing;
    for (const QDoubleSpinBox* spin : form.ui.widget_SealBoxParams->findChildren<QDoubleSpinBox*>())
        if (spin->objectName().contains(QLatin1String("Distance")))
            spacing << spin->objectName();
    spacing.sort();
    QCOMPARE(spacing, (QStringList{QStringLiteral("doubleSpinBox_sealTextDistance1"),
                                   QStringLiteral("doubleSpinBox_sealTextDistance2")}));
    QCOMPARE(form.ui.groupBox_14->findChildren<QDoubleSpinBox*>().size(), 2);
    QCOMPARE(form.ui.groupBox_12->findChildren<QDoubleSpinBox*>().size(), 3);
    QCOMPARE(form.ui.groupBox_13->findChildren<QDoubleSpinBox*>().size(), 3);
}

void TestForm::formTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    const auto row = [](const char* name, const QString& text) { QTest::newRow(name) << QString::fromLatin1(name) << text; };
    row("label_16", QStringLiteral("Laser Compensation"));
    row("label_25", QStringLiteral("Laser Compensation"));
    row("label_57", QStringLiteral("Center Distance"));
    row("radioButton_filletSize25", QStringLiteral("25~50mm"));
    row("radioButton_filletSize50", QStringLiteral("50~100mm"));
    row("radioButton_filletSize100", QStringLiteral("100~200mm"));
    row("pushButton_icon", QString());
    row("pushButton_ok", QStringLiteral("OK"));
    row("label_mode", QStringLiteral("Mode:"));
    row("checkBox_3edgeNoFlute", QStringLiteral("No groove on the third side"));
}

void TestForm::formTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);

    BareForm form;
    QCOMPARE(TextOf(&form.dialog, name), text);
    // The form's own pass words the rest by key, too; group boxes stay untitled.
    for (const QGroupBox* box : form.dialog.findChildren<QGroupBox*>())
        QVERIFY2(box->title().isEmpty(), qPrintable(box->objectName()));
    QCOMPARE(form.dialog.findChildren<QGroupBox*>().size(), 10);
    QCOMPARE(SwitchItems(form.ui.comboBox_boxSwitch), kSwitchKeys);
}

// ------------------------------------------------------ the dialog's texts

void TestForm::switchHoldsFourGeneratorsWithoutSwitching()
{
    auto dialog = OpenDialog();
    auto* pSwitch = dialog->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch"));
    QStringList expected;
    for (const QString& key : kSwitchKeys)
        expected << CTranslator::GetInstance()->GetWording(key);
    QCOMPARE(SwitchItems(pSwitch), expected);
    QCOMPARE(pSwitch->currentIndex(), 0);
    QVERIFY(!m_config->logSentences(0).contains(QStringLiteral("index was changed.")));

    // Every generator was built on the way in, the right-angle box last.
    for (const char* op : {"rect", "fillet", "gear", "seal"})
        QVERIFY2(m_engine.count(QLatin1String(op)) >= 1, op);
    QVERIFY(m_engine.last());
    QCOMPARE(m_engine.last()->op, QStringLiteral("rect"));
    QVERIFY(!dialog->findChild<QWidget*>(kPages[0])->isHidden());
    for (int i = 1; i < 4; ++i)
        QVERIFY(dialog->findChild<QWidget*>(kPages[i])->isHidden());
}

void TestForm::everyTextComesFromTheTranslator_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("key");
    for (const TextKey& entry : kTextKeys)
        QTest::newRow(entry.szObject) << QString::fromLatin1(entry.szObject) << QString::fromUtf8(entry.szKey);
}

void TestForm::everyTextComesFromTheTranslator()
{
    QFETCH(QString, name);
    QFETCH(QString, key);

    // Every key worded with a mark, so a text that bypasses the translator
    // (or uses the wrong key) shows up unmarked.
    QJsonObject marked;
    for (const QString& k : WordedKeys())
        marked.insert(k, Marked(k));
    for (const QString& k : {QStringLiteral("25~50mm"), QStringLiteral("50~100mm"), QStringLiteral("100~200mm")})
        marked.insert(k, Marked(k));
    const QString path = m_config->path() + QStringLiteral("/marked.json");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(marked).toJson());
    file.close();

    // Worded at construction...
    QVERIFY(CTranslator::GetInstance()->LoadCatalogue(path));
    auto dialog = OpenDialog();
    QCOMPARE(TextOf(dialog.get(), name), Marked(key));
    QCOMPARE(dialog->windowTitle(), Marked(QStringLiteral("Create")));
    QStringList items;
    for (const QString& k : kSwitchKeys)
        items << Marked(k);
    QCOMPARE(SwitchItems(dialog->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch"))), items);
    // ...the unit texts are not translated.
    for (const QString& button : kReferenceButtons)
        QVERIFY2(!TextOf(dialog.get(), button).contains(QChar(0xAB)), qPrintable(button));

    // ...and again on a language change.
    ApplyLanguage(QStringLiteral("en"));
    QCOMPARE(TextOf(dialog.get(), name), CTranslator::GetInstance()->GetWording(key));
    QVERIFY(!TextOf(dialog.get(), name).contains(QChar(0xAB)));
}

void TestForm::shortWordingsReplaceLongFormTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("formText");
    QTest::newRow("label_16") << QStringLiteral("label_16") << QStringLiteral("Laser")
                              << QStringLiteral("Laser Compensation");
    QTest::newRow("label_25") << QStringLiteral("label_25") << QStringLiteral("Laser")
                              << QStringLiteral("Laser Compensation");
    QTest::newRow("label_57") << QStringLiteral("label_57") << QStringLiteral("Distance")
                              << QStringLiteral("Center Distance");
}

void TestForm::shortWordingsReplaceLongFormTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, key);
    QFETCH(QString, formText);

    for (const QString& code : CTranslator::AvailableLanguages()) {
        ApplyLanguage(code);
        auto dialog = OpenDialog();
        const QString wording = ReadCatalogue(code).value(key).toString();
        QVERIFY2(!wording.isEmpty(), qPrintable(code));
        QCOMPARE(TextOf(dialog.get(), name), wording);
        if (code != QLatin1String("en"))
            QVERIFY(TextOf(dialog.get(), name) != formText);
    }
}

void TestForm::languageChangeRetranslatesInPlace_data()
{
    QTest::addColumn<int>("page");
    QTest::newRow("right-angle box") << 0;
    QTest::newRow("rounded box") << 1;
    QTest::newRow("gear") << 2;
    QTest::newRow("badge/seal") << 3;
}

void TestForm::languageChangeRetranslatesInPlace()
{
    QFETCH(int, page);

    auto dialog = OpenDialog();
    SwitchAsUser(dialog.get(), page);
    auto* pSwitch = dialog->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch"));
    QCOMPARE(pSwitch->currentIndex(), page);
    const QByteArray lastBuild = m_engine.last() ? m_engine.last()->record : QByteArray();
    const int builds = m_engine.calls.size();
    m_config->clearLog();

    for (const QString& code : {QStringLiteral("de"), QStringLiteral("zh"), QStringLiteral("en")}) {
        ApplyLanguage(code);
        const QJsonObject catalogue = ReadCatalogue(code);
        for (const TextKey& entry : kTextKeys)
            QCOMPARE(TextOf(dialog.get(), QLatin1String(entry.szObject)),
                     catalogue.value(QLatin1String(entry.szKey)).toString());
        QCOMPARE(dialog->windowTitle(), catalogue.value(QLatin1String("Create")).toString());
        QStringList items;
        for (const QString& key : kSwitchKeys)
            items << catalogue.value(key).toString();
        QCOMPARE(SwitchItems(pSwitch), items);

        // Same page, same entry, nothing built, no switch.
        QCOMPARE(pSwitch->currentIndex(), page);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(dialog->findChild<QWidget*>(kPages[i])->isHidden(), i != page);
        QCOMPARE(m_engine.calls.size(), builds);
        QCOMPARE(m_engine.last() ? m_engine.last()->record : QByteArray(), lastBuild);
        QVERIFY(!m_config->logSentences(0).contains(QStringLiteral("index was changed.")));
    }
}

void TestForm::wordingsFitTheDialog_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("page");
    for (const QString& code : CTranslator::AvailableLanguages())
        for (int page = 0; page < 4; ++page)
            QTest::addRow("%s page %d", qPrintable(code), page) << code << page;
}

void TestForm::wordingsFitTheDialog()
{
    QFETCH(QString, language);
    QFETCH(int, page);

    ApplyLanguage(language);
    auto dialog = OpenDialog();
    SwitchAsUser(dialog.get(), page);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    // No wording may widen the settings column into the preview's half of
    // the dialog, nor be cut off.
    QCOMPARE(dialog->size(), QSize(1320, 800));
    const QWidget* preview = dialog->findChild<QWidget*>(QStringLiteral("widget_preview_rectbox"));
    const QWidget* settings = dialog->findChild<QWidget*>(QStringLiteral("widget_setting"));
    QVERIFY2(preview->width() >= settings->width(),
             qPrintable(QStringLiteral("settings %1 wide, preview %2").arg(settings->width()).arg(preview->width())));
    QWidget* shown = dialog->findChild<QWidget*>(kPages[page]);
    for (const QWidget* w : shown->findChildren<QWidget*>()) {
        if (!w->isVisible() || !(qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w)))
            continue;
        QVERIFY2(w->width() >= w->minimumSizeHint().width(),
                 qPrintable(QStringLiteral("%1: \"%2\" is %3 wide, needs %4")
                                .arg(w->objectName(), w->property("text").toString())
                                .arg(w->width())
                                .arg(w->minimumSizeHint().width())));
    }
    dialog->close();
}

// -------------------------------------------------------------- catalogues

void TestForm::cataloguesCoverEveryKey_data()
{
    QTest::addColumn<QString>("language");
    for (const QString& code : CTranslator::AvailableLanguages())
        QTest::newRow(qPrintable(code)) << code;
}

void TestForm::cataloguesCoverEveryKey()
{
    QFETCH(QString, language);

    const QJsonObject catalogue = ReadCatalogue(language);
    const QJsonObject english = ReadCatalogue(QStringLiteral("en"));
    QVERIFY(!catalogue.isEmpty());

    QStringList keys = catalogue.keys();
    QStringList englishKeys = english.keys();
    QCOMPARE(keys, englishKeys); // keys() is sorted

    for (const QString& key : WordedKeys() + kOtherKeys) {
        QVERIFY2(catalogue.contains(key), qPrintable(key));
        const QString wording = catalogue.value(key).toString();
        QVERIFY2(!wording.trimmed().isEmpty(), qPrintable(key));
        // Placeholders survive translation.
        for (const QString& mark : {QStringLiteral("%1"), QStringLiteral("%2"), QStringLiteral("%3")})
            QCOMPARE(wording.contains(mark), key.contains(mark));
    }
    // A language other than English words every key differently from it,
    // apart from words that read the same.
    if (language != QLatin1String("en")) {
        int same = 0;
        for (const QString& key : WordedKeys())
            same += catalogue.value(key) == english.value(key) ? 1 : 0;
        QVERIFY2(same * 5 <= WordedKeys().size(), qPrintable(QString::number(same)));
    }
    // Face names travel in 64-byte fields with a terminator.
    for (const QString& key : kOtherKeys)
        if (key.startsWith(QLatin1String("FLAG_")))
            QVERIFY2(catalogue.value(key).toString().toUtf8().size() <= 63, qPrintable(key));
}

QTEST_MAIN(TestForm)
#include "tst_form.moc"
