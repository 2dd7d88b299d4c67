// The dialog's widget tree, its texts and the wording catalogues.
#include "TestSupport.h"

#include "CTranslator.h"
#include "DlgKerfmate.h"
#include "ui_DlgKerfmate.h"

#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include <memory>

namespace {

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
    void allPagesSideBySideAfterSetupUi();
    void sealPageSpacesOnlyTextsOneAndTwo();

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
