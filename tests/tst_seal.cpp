// The badge and seal page: what the engine receives, what the page shows,
// what Kerfmate.ini holds after OK (texts included), and what the log says.
#include "DialogFixture.h"

#include "CTranslator.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFontComboBox>
#include <QInputMethodEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>
#include <QtTest>
#include <functional>

namespace {
const QString kGroup = QStringLiteral("DLG_SEAL_BOX");
const QString kSeal = QStringLiteral("seal");
// A wording longer than a text field holds.
const QString kLongWording(300, QLatin1Char('w'));

QByteArray SealRecord(const std::function<void(SSealBoxParam&)>& change = {})
{
    SSealBoxParam param;
    if (change)
        change(param);
    return RecordBytes(param);
}

QString TextOf(const SSealBoxParam& param, int line)
{
    return QString::fromUtf8(line == 1 ? param.sText1.Text : line == 2 ? param.sText2.Text : param.sText3.Text);
}

QString Changed(const QString& field)
{
    return QStringLiteral("doubleSpinBox_seal%1 was changed.").arg(field);
}
} // namespace

class TestSeal : public QObject, private DialogFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { SetUpDialogTest(); }
    void cleanup();

    void fileValuesLoadedAndSavedInMillimetres_data();
    void fileValuesLoadedAndSavedInMillimetres();
    void textsTranslatedOnLoadSavedAsKeys_data();
    void textsTranslatedOnLoadSavedAsKeys();
    void chineseTextsSurviveSaveAndLoad();
    void typingRebuildsPerCharacter_data();
    void typingRebuildsPerCharacter();
    void d2FollowsNewestD1_data();
    void d2FollowsNewestD1();
    void d2RaisedAboveD1IsUndone();
    void textLengthsAreTypedInInches();
    void modeButtons();
    void fontChoiceReachesEngine();

private:
    QDoubleSpinBox* SealSpin(const QString& field) const { return Spin(QStringLiteral("doubleSpinBox_seal") + field); }
    QLineEdit* TextEdit(int line) const { return Widget<QLineEdit>(QStringLiteral("lineEdit_sealText%1").arg(line)); }
    QRadioButton* Radio(const char* name) const { return Widget<QRadioButton>(QLatin1String("radioButton_") + name); }
    SSealBoxParam Built() const { return m_engine.lastRecord<SSealBoxParam>(kSeal); }
    // Confirms with OK and closes the dialog.
    void ClickOk()
    {
        QTest::mouseClick(Widget<QPushButton>(QStringLiteral("pushButton_ok")), Qt::LeftButton);
        m_dlg.reset();
    }
    void LoadTestCatalogue() const;

    QString m_language;
};

void TestSeal::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    m_language = CTranslator::GetInstance()->GetLanguage();
}

void TestSeal::cleanup()
{
    m_dlg.reset();
    CTranslator::GetInstance()->SetLanguage(m_language);
    QToolTip::hideText();
    // A range tip closes on a timer; the fixture wants no window left.
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    TearDownDialogTest();
}

// Wordings that differ from their keys, whatever the built-in catalogues say.
void TestSeal::LoadTestCatalogue() const
{
    const QJsonObject wordings{{"COMPETITION", "WETTBEWERB"},
                               {"First Prize", "Erster Preis"},
                               {"Medal", "Medaille"},
                               {"Short", kLongWording}};
    QFile file(m_config->path() + QStringLiteral("/test.json"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(wordings).toJson());
    file.close();
    QVERIFY(CTranslator::GetInstance()->LoadCatalogue(file.fileName()));
}

void TestSeal::textsTranslatedOnLoadSavedAsKeys_data()
{
    QTest::addColumn<QString>("stored"); // line 1's text in the file; null: none
    QTest::addColumn<QString>("built");  // line 1 as built
    QTest::addColumn<QString>("shown");  // and as shown
    QTest::addColumn<int>("line");       // 0: nothing typed
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("saved");

    const QString ascii255(255, QLatin1Char('x'));
    const QStringList keys{"COMPETITION", "First Prize", "Medal"};
    QTest::newRow("defaults") << QString() << "WETTBEWERB" << "WETTBEWERB" << 0 << QString() << keys;
    QTest::newRow("300 characters keep the default, untranslated")
        << QString(300, QLatin1Char('x')) << "COMPETITION" << "COMPETITION" << 0 << QString() << keys;
    QTest::newRow("255 characters fit; 50 are shown")
        << ascii255 << ascii255 << ascii255.left(50) << 0 << QString() << QStringList{ascii255, "First Prize", "Medal"};
    QTest::newRow("another line's key is translated, and saved as its wording")
        << "First Prize" << "Erster Preis" << "Erster Preis" << 0 << QString()
        << QStringList{"Erster Preis", "First Prize", "Medal"};
    QTest::newRow("too long a wording keeps the text")
        << "Short" << "Short" << "Short" << 0 << QString() << QStringList{"Short", "First Prize", "Medal"};
    QTest::newRow("empty text") << "" << "" << "" << 0 << QString() << QStringList{"", "First Prize", "Medal"};
    QTest::newRow("line 2, its own wording retyped")
        << QString() << "WETTBEWERB" << "WETTBEWERB" << 2 << "Erster Preis" << keys;
    QTest::newRow("line 3, other letter case") << QString() << "WETTBEWERB" << "WETTBEWERB" << 3 << "medaille"
                                               << QStringList{"COMPETITION", "First Prize", "medaille"};
}

void TestSeal::textsTranslatedOnLoadSavedAsKeys()
{
    QFETCH(QString, stored);
    QFETCH(QString, built);
    QFETCH(QString, shown);
    QFETCH(int, line);
    QFETCH(QString, typed);
    QFETCH(QStringList, saved);

    LoadTestCatalogue();
    if (!stored.isNull())
        m_config->setIniValue(kGroup, QStringLiteral("sText1_Text"), stored);
    QVERIFY(OpenPage(3));

    // The other two lines show and build their translated defaults.
    const SSealBoxParam record = Built();
    QCOMPARE(QStringList({record.sText1.Text, record.sText2.Text, record.sText3.Text}),
             QStringList({built, "Erster Preis", "Medaille"}));
    QCOMPARE(QStringList({TextEdit(1)->text(), TextEdit(2)->text(), TextEdit(3)->text()}),
             QStringList({shown, "Erster Preis", "Medaille"}));
    if (line > 0)
        TypeOver(TextEdit(line), typed);
    ClickOk();
    QStringList inFile;
    for (int i = 1; i <= 3; ++i)
        inFile << m_config->iniValue(kGroup, QStringLiteral("sText%1_Text").arg(i)).toString();
    QCOMPARE(inFile, saved);
}

void TestSeal::chineseTextsSurviveSaveAndLoad()
{
    const QString text1 = QStringLiteral("中文印章");
    const QString text2 = QStringLiteral("第一名");
    const QString font3 = QStringLiteral("黑体");
    m_config->setIniValue(kGroup, QStringLiteral("sText1_Text"), text1);
    m_config->setIniValue(kGroup, QStringLiteral("sText3_Facename"), font3);
    QVERIFY(OpenPage(3));
    // Typed through an input method, as Chinese text is.
    QLineEdit* edit = TextEdit(2);
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QInputMethodEvent commit;
    commit.setCommitString(text2);
    QApplication::sendEvent(edit, &commit);
    QCOMPARE(edit->text(), text2);
    const QByteArray first = LastRecordOf(kSeal);
    ClickOk();
    QCOMPARE(m_config->iniValue(kGroup, QStringLiteral("sText1_Text")).toString(), text1);
    QCOMPARE(m_config->iniValue(kGroup, QStringLiteral("sText2_Text")).toString(), text2);
    QCOMPARE(m_config->iniValue(kGroup, QStringLiteral("sText3_Facename")).toString(), font3);

    // The file holds the texts, and the next dialog builds the same bytes.
    QVERIFY(OpenPage(3));
    QCOMPARE(LastRecordOf(kSeal), first);
    QCOMPARE(TextEdit(1)->text(), text1);
}

void TestSeal::typingRebuildsPerCharacter_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("typed"); // after the default text

    QTest::newRow("text 1") << 1 << " 2024";
    QTest::newRow("text 2, the 51st character is dropped") << 2 << QString(39, QLatin1Char('a')) + QLatin1Char('b');
    QTest::newRow("text 3") << 3 << " 2024";
}

void TestSeal::typingRebuildsPerCharacter()
{
    QFETCH(int, line);
    QFETCH(QString, typed);

    QVERIFY(OpenPage(3));
    QLineEdit* edit = TextEdit(line);
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_End);
    Settle();
    const QString before = TextOf(SSealBoxParam(), line);
    const int accepted = qMin(typed.size(), 50 - int(before.size()));

    for (int i = 0; i < typed.size(); ++i) {
        QTest::keyClicks(edit, typed.mid(i, 1));
        QCOMPARE(m_engine.count(kSeal), qMin(i + 1, accepted));
        QCOMPARE(TextOf(Built(), line), before + typed.left(qMin(i + 1, accepted)));
    }
    QTest::keyClick(edit, Qt::Key_Return);

    QCOMPARE(edit->text(), before + typed.left(accepted));
    QCOMPARE(m_engine.count(kSeal), accepted + 1);
    QCOMPARE(TextOf(Built(), line), edit->text());
    const QString field = QStringLiteral("lineEdit_sealText%1 was ").arg(line);
    QCOMPARE(m_config->logSentences(), QStringList(accepted, field + "edited.") << field + "return pressed.");
}

void TestSeal::d2FollowsNewestD1_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QStringList>("d1");  // typed one after the other
    QTest::addColumn<QString>("d2");      // typed next, then left; empty: none
    QTest::addColumn<QString>("d2Shown");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QStringList>("sentences");

    const QStringList both{Changed("D1"), Changed("D2")};
    QTest::newRow("40 below 45") << 1 << QStringList{"40"} << QString() << "40.00"
                                 << SealRecord([](auto& p) { p.D1 = p.D2 = 40.0; }) << both;
    QTest::newRow("1.5 inch below 1.77") << 0 << QStringList{"1.5"} << QString() << "1.50"
                                         << SealRecord([](auto& p) { p.D1 = p.D2 = 1.5 * 25.4; }) << both;
    QTest::newRow("2 inch above 1.77") << 2 << QStringList{"2"} << QString() << "1.77"
                                       << SealRecord([](auto& p) { p.D1 = 2 * 25.4; }) << QStringList{Changed("D1")};
    // D1 lowered to 40 and raised to 80: a range left behind would act on D2.
    QTest::newRow("D2 70 within the newest range")
        << 1 << QStringList{"40", "80"} << "70" << "70.00" << SealRecord([](auto& p) { p.D1 = 80; p.D2 = 70; })
        << both + both;
    QTest::newRow("D2 90 refused at the 0, 9 raised to the bottom")
        << 1 << QStringList{"40", "80"} << "90" << "30.00" << SealRecord([](auto& p) { p.D1 = 80; p.D2 = 30; })
        << both + both;
}

void TestSeal::d2FollowsNewestD1()
{
    QFETCH(int, unit);
    QFETCH(QStringList, d1);
    QFETCH(QString, d2);
    QFETCH(QString, d2Shown);
    QFETCH(QByteArray, record);
    QFETCH(QStringList, sentences);

    m_config->writeRulerUnit(unit);
    QVERIFY(OpenPage(3));
    Settle();
    QDoubleSpinBox* d2Box = SealSpin("D2");

    // A value applies as it is typed.
    for (const QString& typed : d1)
        TypeOver(SealSpin("D1"), typed);
    if (!d2.isEmpty()) {
        TypeOver(d2Box, d2);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(d2Box->findChild<QLineEdit*>(), &leave);
        QTest::keyClick(d2Box, Qt::Key_Tab);
        QVERIFY(!d2Box->hasFocus());
    }

    QCOMPARE(d2Box->text(), d2Shown);
    QCOMPARE(LastRecordOf(kSeal), record);
    QCOMPARE(m_config->logSentences(), sentences);
    QCOMPARE(m_engine.count(kSeal), sentences.size());
}

void TestSeal::d2RaisedAboveD1IsUndone()
{
    m_config->setIniValue(kGroup, QStringLiteral("D2"), 59950);
    QVERIFY(OpenPage(3));
    m_config->clearLog();
    QDoubleSpinBox* d2Box = SealSpin("D2");
    QCOMPARE(d2Box->text(), QStringLiteral("59.95"));

    QTest::mouseClick(d2Box->findChild<QLineEdit*>(), Qt::LeftButton);
    QTest::keyClick(d2Box, Qt::Key_Up);

    QCOMPARE(d2Box->text(), QStringLiteral("60.00"));
    QCOMPARE(Built().D1, 60.0);
    QCOMPARE(Built().D2, 60.0);
    QCOMPARE(m_config->logSentences(), QStringList(2, Changed("D2")));
}

void TestSeal::textLengthsAreTypedInInches()
{
    m_config->writeRulerUnit(0);
    QVERIFY(OpenPage(3));
    Settle();
    const QStringList fields{"TextHeight1", "TextHeight2", "TextHeight3",   "TextOffset1",
                             "TextOffset2", "TextOffset3", "TextDistance1", "TextDistance2"};
    const QStringList typed{"0.5", "0.75", "1", "0.25", "1", "2", "0.1", "0.2"};
    QStringList changed;
    for (int i = 0; i < fields.size(); ++i) {
        Enter(SealSpin(fields[i]), typed[i]);
        changed << Changed(fields[i]);
    }

    QCOMPARE(LastRecordOf(kSeal), SealRecord([](SSealBoxParam& p) {
                 p.sText1.dHeight = 0.5 * 25.4;
                 p.sText2.dHeight = 0.75 * 25.4;
                 p.sText3.dHeight = 25.4;
                 p.sText1.dOffset = 0.25 * 25.4;
                 p.sText2.dOffset = 25.4;
                 p.sText3.dOffset = 2 * 25.4;
                 p.sText1.dSpace = 0.1 * 25.4;
                 p.sText2.dSpace = 0.2 * 25.4;
             }));
    // Every acceptable step of the typing reported a change of its own field, nothing else did.
    QStringList sentences = m_config->logSentences();
    sentences.removeDuplicates();
    QCOMPARE(sentences, changed);
}

void TestSeal::modeButtons()
{
    QVERIFY(OpenPage(3));
    QRadioButton* badge = Radio("badge");
    QRadioButton* seal = Radio("seal");
    QVERIFY(badge->isChecked());
    Settle();

    // Clicking the checked button again builds again.
    QStringList sentences;
    for (QRadioButton* button : {seal, seal, badge, badge}) {
        ClickIndicator(button);
        QCOMPARE(m_engine.count(kSeal), sentences.size() + 1);
        QCOMPARE(Built().bTextReverse, button == seal);
        sentences << button->objectName() + QStringLiteral(" was clicked.");
        QCOMPARE(m_config->logSentences(), sentences);
    }

    // Outside its group a checked button can be clicked off: that does nothing.
    badge->setAutoExclusive(false);
    QSignalSpy clicked(badge, &QAbstractButton::clicked);
    ClickIndicator(badge);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().first().toBool(), false);
    QCOMPARE(m_engine.count(kSeal), sentences.size());
    QCOMPARE(m_config->logSentences(), sentences);
}

void TestSeal::fontChoiceReachesEngine()
{
    QVERIFY(OpenPage(3));
    auto* font = Widget<QFontComboBox>(QStringLiteral("fontComboBox_sealTextFont3"));
    if (font->count() < 2)
        QSKIP("needs two font families");
    QTest::mouseClick(font, Qt::LeftButton); // focus; the popup opens
    QTest::keyClick(font->view(), Qt::Key_Escape);
    Settle();

    const int start = font->currentIndex();
    QTest::keyClick(font, start + 1 < font->count() ? Qt::Key_Down : Qt::Key_Up);
    QVERIFY(font->currentIndex() != start);

    QCOMPARE(QByteArray(Built().sText3.Facename), font->currentFont().family().toUtf8());
    QCOMPARE(m_engine.count(kSeal), 1);
    QCOMPARE(m_config->logSentences(), QStringList{QStringLiteral("fontComboBox_sealTextFont3 was changed.")});
}

void TestSeal::fileValuesLoadedAndSavedInMillimetres_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QVariantMap>("file");
    QTest::addColumn<QStringList>("shown"); // D1, D2, height 1, offset 3, spacing 2
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QStringList>("saved"); // where it differs from the defaults

    const QStringList mm{"60.00", "45.00", "4.00", "0.00", "1.00"};
    QTest::newRow("defaults, inches") << 0 << QVariantMap() << QStringList{"2.36", "1.77", "0.16", "0.00", "0.04"}
                                      << SealRecord() << QStringList();
    // Values beyond the fields' ranges are clamped on screen only.
    QTest::newRow("out of range, millimetres")
        << 1 << QVariantMap{{"D1", 500000}, {"sText1_dHeight", 1000}, {"sText3_dOffset", -20000}}
        << QStringList{"200.00", "45.00", "4.00", "0.00", "1.00"} << SealRecord([](SSealBoxParam& p) {
               p.D1 = 500.0;
               p.sText1.dHeight = 1.0;
               p.sText3.dOffset = -20.0;
           })
        << QStringList{"D1=500000", "sText1_dHeight=1000", "sText3_dOffset=-20000"};
    QTest::newRow("out of range, ruler unit 2 is inches")
        << 2 << QVariantMap{{"D1", 500000}} << QStringList{"7.87", "1.77", "0.16", "0.00", "0.04"}
        << SealRecord([](SSealBoxParam& p) { p.D1 = 500.0; }) << QStringList{"D1=500000"};
    // The star size is read from dStarRadius and saved as dStarDiameter.
    QTest::newRow("dStarRadius loads, dStarDiameter does not; any non-zero flag is true")
        << 1 << QVariantMap{{"dStarRadius", 4000}, {"dStarDiameter", 3000}, {"bStar", 7}} << mm
        << SealRecord([](SSealBoxParam& p) { p.dStarSize = 4.0; })
        << QStringList{"dStarDiameter=4000", "dStarRadius=4000"};
    QTest::newRow("no star") << 1 << QVariantMap{{"bStar", 0}} << mm
                             << SealRecord([](SSealBoxParam& p) { p.bStar = false; }) << QStringList{"bStar=0"};
}

void TestSeal::fileValuesLoadedAndSavedInMillimetres()
{
    QFETCH(int, unit);
    QFETCH(QVariantMap, file);
    QFETCH(QStringList, shown);
    QFETCH(QByteArray, record);
    QFETCH(QStringList, saved);

    m_config->writeRulerUnit(unit);
    for (auto it = file.cbegin(); it != file.cend(); ++it)
        m_config->setIniValue(kGroup, it.key(), it.value());
    QVERIFY(OpenPage(3));
    QCOMPARE(LastRecordOf(kSeal), record);
    QStringList texts;
    for (const char* field : {"D1", "D2", "TextHeight1", "TextOffset3", "TextDistance2"})
        texts << SealSpin(QLatin1String(field))->text();
    QCOMPARE(texts, shown);
    ClickOk();

    QStringList expected{"bStar=1",             "bTextReverse=0",      "D1=60000",
                         "D2=45000",            "dStarDiameter=10000", "dStarRadius=none",
                         "sText1_dHeight=4000", "sText1_dSpace=1000",  "sText1_dOffset=2000",
                         "sText2_dHeight=4000", "sText2_dSpace=1000",  "sText2_dOffset=2000",
                         "sText3_dHeight=7000", "sText3_dSpace=10000", "sText3_dOffset=0",
                         "sText1_Facename=宋体", "sText3_Facename=宋体"};
    QStringList stored;
    for (QString& entry : expected) {
        const QString key = entry.section(QLatin1Char('='), 0, 0);
        for (const QString& change : saved)
            if (change.section(QLatin1Char('='), 0, 0) == key)
                entry = change;
        const QVariant value = m_config->iniValue(kGroup, key);
        const QString text = !value.isValid()             ? QStringLiteral("none")
                             : key.endsWith(u"Facename") ? value.toString()
                                                         : QString::number(value.toDouble());
        stored << key + QLatin1Char('=') + text;
    }
    QCOMPARE(stored, expected);
}

QTEST_MAIN(TestSeal)
#include "tst_seal.moc"
