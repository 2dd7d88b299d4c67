// The badge and seal page: what the engine receives, what the page shows,
// what Kerfmate.ini holds after OK (texts included), and what the log says.
#include "DialogFixture.h"

#include "CTranslator.h"
#include "DlgKerfmate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFontComboBox>
#include <QInputMethodEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
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

template <typename T>
T* Child(const DlgKerfmate& dlg, const QString& name)
{
    return dlg.findChild<T*>(name);
}

QDoubleSpinBox* SealSpin(const DlgKerfmate& dlg, const QString& field)
{
    return Child<QDoubleSpinBox>(dlg, QStringLiteral("doubleSpinBox_seal") + field);
}

QLineEdit* TextEdit(const DlgKerfmate& dlg, int line)
{
    return Child<QLineEdit>(dlg, QStringLiteral("lineEdit_sealText%1").arg(line));
}

// Shown and active, so that focus moves as it does for a user.
bool ShowSealPage(DlgKerfmate& dlg)
{
    dlg.show();
    if (!QTest::qWaitForWindowActive(&dlg))
        return false;
    // The last entry of the generator list, as with the keyboard.
    auto* combo = Child<QComboBox>(dlg, QStringLiteral("comboBox_boxSwitch"));
    QTest::keyClick(combo, Qt::Key_End);
    return combo->currentIndex() == 3 && Child<QWidget>(dlg, QStringLiteral("widget_SealBoxParams"))->isVisible();
}

void ClickOk(const DlgKerfmate& dlg)
{
    QTest::mouseClick(Child<QPushButton>(dlg, QStringLiteral("pushButton_ok")), Qt::LeftButton);
}

// The text of a record field, up to its terminator.
QByteArray FieldBytes(const char* pszField)
{
    return QByteArray(pszField);
}

SSealTextParam& TextOf(SSealBoxParam& param, int line)
{
    return line == 1 ? param.sText1 : line == 2 ? param.sText2 : param.sText3;
}
} // namespace

class TestSeal : public QObject, private DialogFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensWithDefaults_data();
    void opensWithDefaults();
    void defaultTextsAreTranslated();
    void loadedTextIsTranslatedWhenItFits_data();
    void loadedTextIsTranslatedWhenItFits();
    void defaultTextSavedAsKeyOnlyInItsLine_data();
    void defaultTextSavedAsKeyOnlyInItsLine();
    void chineseTextsSurviveSaveAndLoad();
    void typingRebuildsPerCharacter_data();
    void typingRebuildsPerCharacter();
    void fiftyFirstCharacterIsDropped();
    void lowerD1BringsD2Down_data();
    void lowerD1BringsD2Down();
    void d2ObeysOnlyNewestRange_data();
    void d2ObeysOnlyNewestRange();
    void d2RaisedAboveD1IsUndone();
    void lengthsFollowRulerUnit_data();
    void lengthsFollowRulerUnit();
    void fileValuesClampedOnlyOnScreen_data();
    void fileValuesClampedOnlyOnScreen();
    void modeButtons();
    void uncheckedModeButtonDoesNothing();
    void fontChoiceReachesEngine();
    void starKeys_data();
    void starKeys();
    void okWritesWholeGroup_data();
    void okWritesWholeGroup();

private:
    void loadTestCatalogue() const;

    QString m_language;
};

void TestSeal::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    m_language = CTranslator::GetInstance()->GetLanguage();
}

void TestSeal::init()
{
    SetUpDialogTest();
}

void TestSeal::cleanup()
{
    CTranslator::GetInstance()->SetLanguage(m_language);
    QToolTip::hideText();
    // A range tip closes on a timer; the fixture wants no window left.
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    TearDownDialogTest();
}

// Wordings that differ from their keys, whatever the built-in catalogues say.
void TestSeal::loadTestCatalogue() const
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

void TestSeal::opensWithDefaults_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QStringList>("shown"); // D1, D2, height 1, offset 3, spacing 2

    QTest::newRow("millimetres") << 1 << QStringList{"60.00", "45.00", "4.00", "0.00", "1.00"};
    QTest::newRow("inches") << 0 << QStringList{"2.36", "1.77", "0.16", "0.00", "0.04"};
}

void TestSeal::opensWithDefaults()
{
    QFETCH(int, unit);
    QFETCH(QStringList, shown);

    m_config->writeRulerUnit(unit);
    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowSealPage(dlg));

    // Showing converts nothing back into the record.
    QCOMPARE(m_engine.last(kSeal)->record, SealRecord());
    const QStringList fields{"D1", "D2", "TextHeight1", "TextOffset3", "TextDistance2"};
    QStringList texts;
    for (const QString& field : fields)
        texts << SealSpin(dlg, field)->text();
    QCOMPARE(texts, shown);
    QCOMPARE(TextEdit(dlg, 1)->text(), QStringLiteral("COMPETITION"));
    QCOMPARE(TextEdit(dlg, 2)->text(), QStringLiteral("First Prize"));
    QCOMPARE(TextEdit(dlg, 3)->text(), QStringLiteral("Medal"));
    QVERIFY(Child<QRadioButton>(dlg, QStringLiteral("radioButton_badge"))->isChecked());
    QVERIFY(!Child<QRadioButton>(dlg, QStringLiteral("radioButton_seal"))->isChecked());
}

void TestSeal::defaultTextsAreTranslated()
{
    loadTestCatalogue();
    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowSealPage(dlg));

    const SSealBoxParam record = m_engine.lastRecord<SSealBoxParam>(kSeal);
    QCOMPARE(FieldBytes(record.sText1.Text), QByteArray("WETTBEWERB"));
    QCOMPARE(FieldBytes(record.sText2.Text), QByteArray("Erster Preis"));
    QCOMPARE(FieldBytes(record.sText3.Text), QByteArray("Medaille"));
    QCOMPARE(TextEdit(dlg, 1)->text(), QStringLiteral("WETTBEWERB"));
    QCOMPARE(TextEdit(dlg, 2)->text(), QStringLiteral("Erster Preis"));
    QCOMPARE(TextEdit(dlg, 3)->text(), QStringLiteral("Medaille"));
}

void TestSeal::loadedTextIsTranslatedWhenItFits_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("shown");

    const QString ascii255(255, QLatin1Char('x'));
    const QString cjk85(85, QChar(0x5370)); // 3 bytes each
    QTest::newRow("300 characters keep the default, untranslated")
        << QString(300, QLatin1Char('x')) << "COMPETITION" << "COMPETITION";
    QTest::newRow("256 characters keep the default") << QString(256, QLatin1Char('x')) << "COMPETITION"
                                                     << "COMPETITION";
    QTest::newRow("255 characters fit; 50 are shown") << ascii255 << ascii255 << ascii255.left(50);
    QTest::newRow("85 CJK characters fit") << cjk85 << cjk85 << cjk85.left(50);
    QTest::newRow("86 CJK characters keep the default")
        << QString(86, QChar(0x5370)) << "COMPETITION" << "COMPETITION";
    QTest::newRow("another line's key is translated too") << "First Prize" << "Erster Preis" << "Erster Preis";
    QTest::newRow("own text passes unchanged") << "Club 2024" << "Club 2024" << "Club 2024";
    QTest::newRow("too long a wording keeps the text") << "Short" << "Short" << "Short";
    QTest::newRow("empty text") << "" << "" << "";
}

void TestSeal::loadedTextIsTranslatedWhenItFits()
{
    QFETCH(QString, stored);
    QFETCH(QString, record);
    QFETCH(QString, shown);

    loadTestCatalogue();
    m_config->setIniValue(kGroup, QStringLiteral("sText1_Text"), stored);
    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowSealPage(dlg));

    QCOMPARE(FieldBytes(m_engine.lastRecord<SSealBoxParam>(kSeal).sText1.Text), record.toUtf8());
    QCOMPARE(TextEdit(dlg, 1)->text(), shown);
}

void TestSeal::defaultTextSavedAsKeyOnlyInItsLine_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("saved");

    QTest::newRow("untouched") << 0 << QString() << QStringList{"COMPETITION", "First Prize", "Medal"};
    QTest::newRow("line 1, its own wording") << 1 << "WETTBEWERB"
                                             << QStringList{"COMPETITION", "First Prize", "Medal"};
    QTest::newRow("line 1, the second line's wording")
        << 1 << "Erster Preis" << QStringList{"Erster Preis", "First Prize", "Medal"};
    QTest::newRow("line 2, its own wording retyped")
        << 2 << "Erster Preis" << QStringList{"COMPETITION", "First Prize", "Medal"};
    QTest::newRow("line 2, the third line's wording")
        << 2 << "Medaille" << QStringList{"COMPETITION", "Medaille", "Medal"};
    QTest::newRow("line 3, other letter case") << 3 << "medaille"
                                               << QStringList{"COMPETITION", "First Prize", "medaille"};
    QTest::newRow("line 3, the key itself") << 3 << "Medal" << QStringList{"COMPETITION", "First Prize", "Medal"};
    QTest::newRow("line 1, own text") << 1 << "Kerf Club" << QStringList{"Kerf Club", "First Prize", "Medal"};
}

void TestSeal::defaultTextSavedAsKeyOnlyInItsLine()
{
    QFETCH(int, line);
    QFETCH(QString, typed);
    QFETCH(QStringList, saved);

    loadTestCatalogue();
    {
        DlgKerfmate dlg(nullptr);
        QVERIFY(ShowSealPage(dlg));
        if (line > 0) {
            TypeOver(TextEdit(dlg, line), typed);
            QCOMPARE(TextEdit(dlg, line)->text(), typed);
        }
        ClickOk(dlg);
    }
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
    QByteArray first;
    {
        DlgKerfmate dlg(nullptr);
        QVERIFY(ShowSealPage(dlg));
        // Typed through an input method, as Chinese text is.
        QLineEdit* edit = TextEdit(dlg, 2);
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QInputMethodEvent commit;
        commit.setCommitString(text2);
        QApplication::sendEvent(edit, &commit);
        QCOMPARE(edit->text(), text2);
        first = m_engine.last(kSeal)->record;
        ClickOk(dlg);
    }
    QCOMPARE(m_config->iniValue(kGroup, QStringLiteral("sText1_Text")).toString(), text1);
    QCOMPARE(m_config->iniValue(kGroup, QStringLiteral("sText2_Text")).toString(), text2);
    QCOMPARE(m_config->iniValue(kGroup, QStringLiteral("sText3_Facename")).toString(), font3);

    DlgKerfmate next(nullptr);
    QVERIFY(ShowSealPage(next));
    const SSealBoxParam record = m_engine.lastRecord<SSealBoxParam>(kSeal);
    QCOMPARE(FieldBytes(record.sText1.Text), text1.toUtf8());
    QCOMPARE(FieldBytes(record.sText2.Text), text2.toUtf8());
    QCOMPARE(FieldBytes(record.sText3.Facename), font3.toUtf8());
    QCOMPARE(m_engine.last(kSeal)->record, first);
    QCOMPARE(TextEdit(next, 1)->text(), text1);
}

void TestSeal::typingRebuildsPerCharacter_data()
{
    QTest::addColumn<int>("line");
    QTest::newRow("text 1") << 1;
    QTest::newRow("text 2") << 2;
    QTest::newRow("text 3") << 3;
}

void TestSeal::typingRebuildsPerCharacter()
{
    QFETCH(int, line);

    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowSealPage(dlg));
    QLineEdit* edit = TextEdit(dlg, line);
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_End);
    m_config->clearLog();
    const int builds = m_engine.count(kSeal);
    SSealBoxParam defaults;
    const QByteArray before = FieldBytes(TextOf(defaults, line).Text);

    QStringList sentences;
    const QString typed = QStringLiteral(" 2024");
    for (int i = 0; i < typed.size(); ++i) {
        QTest::keyClicks(edit, typed.mid(i, 1));
        QCOMPARE(m_engine.count(kSeal), builds + i + 1);
        SSealBoxParam record = m_engine.lastRecord<SSealBoxParam>(kSeal);
        QCOMPARE(FieldBytes(TextOf(record, line).Text), before + typed.left(i + 1).toUtf8());
        sentences << QStringLiteral("lineEdit_sealText%1 was edited.").arg(line);
    }
    QTest::keyClick(edit, Qt::Key_Return);
    sentences << QStringLiteral("lineEdit_sealText%1 was return pressed.").arg(line);

    QCOMPARE(m_engine.count(kSeal), builds + typed.size() + 1);
    SSealBoxParam record = m_engine.lastRecord<SSealBoxParam>(kSeal);
    QCOMPARE(FieldBytes(TextOf(record, line).Text), before + typed.toUtf8());
    QCOMPARE(m_config->logSentences(), sentences);
}

void TestSeal::fiftyFirstCharacterIsDropped()
{
    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowSealPage(dlg));
    QLineEdit* edit = TextEdit(dlg, 2);
    QSignalSpy edited(edit, &QLineEdit::textEdited);
    const int builds = m_engine.count(kSeal);
    const QString typed = QString(50, QLatin1Char('a')) + QLatin1Char('b');

    TypeOver(edit, typed);

    QCOMPARE(edit->text(), typed.left(50));
    QCOMPARE(edited.count(), 50);
    QCOMPARE(m_engine.count(kSeal), builds + 50);
    QCOMPARE(FieldBytes(m_engine.lastRecord<SSealBoxParam>(kSeal).sText2.Text), typed.left(50).toUtf8());
}

void TestSeal::lowerD1BringsD2Down_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("d2Shown");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QStringList>("sentences");

    const QString d1 = QStringLiteral("doubleSpinBox_sealD1 was changed.");
    const QString d2 = QStringLiteral("doubleSpinBox_sealD2 was changed.");
    QTest::newRow("40 below 45") << 1 << "40" << "40.00" << SealRecord([](SSealBoxParam& p) {
        p.D1 = 40.0;
        p.D2 = 40.0;
    }) << QStringList{d1, d2};
    QTest::newRow("50 above 45") << 1 << "50" << "45.00"
                                 << SealRecord([](SSealBoxParam& p) { p.D1 = 50.0; }) << QStringList{d1};
    QTest::newRow("1.5 inch below 1.77") << 0 << "1.5" << "1.50" << SealRecord([](SSealBoxParam& p) {
        p.D1 = 1.5 * 25.4;
        p.D2 = 1.5 * 25.4;
    }) << QStringList{d1, d2};
    QTest::newRow("2 inch above 1.77") << 2 << "2" << "1.77"
                                       << SealRecord([](SSealBoxParam& p) { p.D1 = 2 * 25.4; }) << QStringList{d1};
}

void TestSeal::lowerD1BringsD2Down()
{
    QFETCH(int, unit);
    QFETCH(QString, typed);
    QFETCH(QString, d2Shown);
    QFETCH(QByteArray, record);
    QFETCH(QStringList, sentences);

    m_config->writeRulerUnit(unit);
    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowSealPage(dlg));
    m_config->clearLog();
    const int builds = m_engine.count(kSeal);

    // The value applies as it is typed.
    TypeOver(SealSpin(dlg, "D1"), typed);

    QCOMPARE(SealSpin(dlg, "D2")->text(), d2Shown);
    QCOMPARE(m_engine.last(kSeal)->record, record);
    QCOMPARE(m_config->logSentences(), sentences);
    QCOMPARE(m_engine.count(kSeal), builds + sentences.size());
}

void TestSeal::d2ObeysOnlyNewestRange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("d2");

    QTest::newRow("70 within the newest range") << "70" << "70.00" << 70.0;
    QTest::newRow("90 refused at the 0, 9 raised to the bottom") << "90" << "30.00" << 30.0;
}

void TestSeal::d2ObeysOnlyNewestRange()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(double, d2);

    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowSealPage(dlg));
    QDoubleSpinBox* d1Box = SealSpin(dlg, "D1");
    QDoubleSpinBox* d2Box = SealSpin(dlg, "D2");
    for (const QString& d1 : {QStringLiteral("40"), QStringLiteral("80")}) {
        Enter(d1Box, d1);
    }
    QCOMPARE(d2Box->text(), QStringLiteral("40.00"));

    TypeOver(d2Box, typed);
    // The pointer leaves the text; a range left behind would act here.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(d2Box->findChild<QLineEdit*>(), &leave);
    QTest::keyClick(d2Box, Qt::Key_Tab);

    QVERIFY(!d2Box->hasFocus());
    QCOMPARE(d2Box->text(), shown);
    const SSealBoxParam record = m_engine.lastRecord<SSealBoxParam>(kSeal);
    QCOMPARE(record.D1, 80.0);
    QCOMPARE(record.D2, d2);
}

void TestSeal::d2RaisedAboveD1IsUndone()
{
    m_config->setIniValue(kGroup, QStringLiteral("D2"), 59950);
    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowSealPage(dlg));
    m_config->clearLog();
    QDoubleSpinBox* d2Box = SealSpin(dlg, "D2");
    QCOMPARE(d2Box->text(), QStringLiteral("59.95"));

    QTest::mouseClick(d2Box->findChild<QLineEdit*>(), Qt::LeftButton);
    QTest::keyClick(d2Box, Qt::Key_Up);

    QCOMPARE(d2Box->text(), QStringLiteral("60.00"));
    const SSealBoxParam record = m_engine.lastRecord<SSealBoxParam>(kSeal);
    QCOMPARE(record.D1, 60.0);
    QCOMPARE(record.D2, 60.0);
    QCOMPARE(m_config->logSentences(), QStringList(2, QStringLiteral("doubleSpinBox_sealD2 was changed.")));
}

void TestSeal::lengthsFollowRulerUnit_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("record");

    QTest::newRow("height 1, 12 mm") << 1 << "TextHeight1" << "12"
                                     << SealRecord([](SSealBoxParam& p) { p.sText1.dHeight = 12.0; });
    QTest::newRow("height 2, 0.5 inch") << 0 << "TextHeight2" << "0.5"
                                        << SealRecord([](SSealBoxParam& p) { p.sText2.dHeight = 0.5 * 25.4; });
    QTest::newRow("height 3, 30 mm") << 1 << "TextHeight3" << "30"
                                     << SealRecord([](SSealBoxParam& p) { p.sText3.dHeight = 30.0; });
    QTest::newRow("offset 1, 3.25 mm") << 1 << "TextOffset1" << "3.25"
                                       << SealRecord([](SSealBoxParam& p) { p.sText1.dOffset = 3.25; });
    QTest::newRow("offset 2, 1 inch") << 2 << "TextOffset2" << "1"
                                      << SealRecord([](SSealBoxParam& p) { p.sText2.dOffset = 25.4; });
    QTest::newRow("offset 3, 75 mm") << 1 << "TextOffset3" << "75"
                                     << SealRecord([](SSealBoxParam& p) { p.sText3.dOffset = 75.0; });
    QTest::newRow("spacing 1, 0.1 inch") << 0 << "TextDistance1" << "0.1"
                                         << SealRecord([](SSealBoxParam& p) { p.sText1.dSpace = 0.1 * 25.4; });
    QTest::newRow("spacing 2, 25 mm") << 1 << "TextDistance2" << "25"
                                      << SealRecord([](SSealBoxParam& p) { p.sText2.dSpace = 25.0; });
}

void TestSeal::lengthsFollowRulerUnit()
{
    QFETCH(int, unit);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QByteArray, record);

    m_config->writeRulerUnit(unit);
    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowSealPage(dlg));
    m_config->clearLog();

    Enter(SealSpin(dlg, field), typed);

    QCOMPARE(m_engine.last(kSeal)->record, record);
    // Every acceptable step of the typing reported a change, nothing else did.
    const QStringList sentences = m_config->logSentences();
    QVERIFY(!sentences.isEmpty());
    QCOMPARE(sentences, QStringList(sentences.size(), QStringLiteral("doubleSpinBox_seal%1 was changed.").arg(field)));
}

void TestSeal::fileValuesClampedOnlyOnScreen_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("record");

    QTest::newRow("D1 500 mm") << 1 << "D1" << 500000 << "D1" << "200.00"
                               << SealRecord([](SSealBoxParam& p) { p.D1 = 500.0; });
    QTest::newRow("D1 500 mm in inches") << 0 << "D1" << 500000 << "D1" << "7.87"
                                         << SealRecord([](SSealBoxParam& p) { p.D1 = 500.0; });
    QTest::newRow("height 1 mm") << 1 << "sText1_dHeight" << 1000 << "TextHeight1" << "4.00"
                                 << SealRecord([](SSealBoxParam& p) { p.sText1.dHeight = 1.0; });
    QTest::newRow("offset 3 at -20 mm") << 1 << "sText3_dOffset" << -20000 << "TextOffset3" << "0.00"
                                        << SealRecord([](SSealBoxParam& p) { p.sText3.dOffset = -20.0; });
}

void TestSeal::fileValuesClampedOnlyOnScreen()
{
    QFETCH(int, unit);
    QFETCH(QString, key);
    QFETCH(int, stored);
    QFETCH(QString, field);
    QFETCH(QString, shown);
    QFETCH(QByteArray, record);

    m_config->writeRulerUnit(unit);
    m_config->setIniValue(kGroup, key, stored);
    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowSealPage(dlg));

    QCOMPARE(SealSpin(dlg, field)->text(), shown);
    QCOMPARE(m_engine.last(kSeal)->record, record);
}

void TestSeal::modeButtons()
{
    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowSealPage(dlg));
    auto* badge = Child<QRadioButton>(dlg, QStringLiteral("radioButton_badge"));
    auto* seal = Child<QRadioButton>(dlg, QStringLiteral("radioButton_seal"));
    m_config->clearLog();
    int builds = m_engine.count(kSeal);

    struct Step
    {
        QRadioButton* pButton;
        QString sentence;
        bool bTextReverse;
    };
    const Step steps[] = {{seal, QStringLiteral("radioButton_seal was clicked."), true},
                          {seal, QStringLiteral("radioButton_seal was clicked."), true},
                          {badge, QStringLiteral("radioButton_badge was clicked."), false},
                          {badge, QStringLiteral("radioButton_badge was clicked."), false}};
    QStringList sentences;
    for (const Step& step : steps) {
        ClickIndicator(step.pButton);
        QVERIFY(step.pButton->isChecked());
        QCOMPARE(m_engine.count(kSeal), ++builds);
        QCOMPARE(m_engine.last(kSeal)->record,
                 SealRecord([&step](SSealBoxParam& p) { p.bTextReverse = step.bTextReverse; }));
        sentences << step.sentence;
        QCOMPARE(m_config->logSentences(), sentences);
    }
}

void TestSeal::uncheckedModeButtonDoesNothing()
{
    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowSealPage(dlg));
    auto* badge = Child<QRadioButton>(dlg, QStringLiteral("radioButton_badge"));
    // Outside its group a checked button can be clicked off.
    badge->setAutoExclusive(false);
    QSignalSpy clicked(badge, &QAbstractButton::clicked);
    m_config->clearLog();
    const int builds = m_engine.count(kSeal);

    ClickIndicator(badge);

    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().first().toBool(), false);
    QCOMPARE(m_engine.count(kSeal), builds);
    QVERIFY(m_config->logSentences().isEmpty());
}

void TestSeal::fontChoiceReachesEngine()
{
    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowSealPage(dlg));
    auto* font = Child<QFontComboBox>(dlg, QStringLiteral("fontComboBox_sealTextFont3"));
    QVERIFY(!font->isEditable());
    if (font->count() < 2)
        QSKIP("needs two font families");
    m_config->clearLog();
    const int builds = m_engine.count(kSeal);

    QTest::mouseClick(font, Qt::LeftButton); // focus; the popup opens
    QTest::keyClick(font->view(), Qt::Key_Escape);
    const int start = font->currentIndex();
    QTest::keyClick(font, start + 1 < font->count() ? Qt::Key_Down : Qt::Key_Up);
    QVERIFY(font->currentIndex() != start);

    const SSealBoxParam record = m_engine.lastRecord<SSealBoxParam>(kSeal);
    QCOMPARE(FieldBytes(record.sText3.Facename), font->currentFont().family().toUtf8());
    QCOMPARE(FieldBytes(record.sText1.Facename), QStringLiteral("宋体").toUtf8());
    QCOMPARE(m_engine.count(kSeal), builds + 1);
    QCOMPARE(m_config->logSentences(), QStringList{QStringLiteral("fontComboBox_sealTextFont3 was changed.")});
}

void TestSeal::starKeys_data()
{
    QTest::addColumn<QVariantMap>("file");
    QTest::addColumn<bool>("star");
    QTest::addColumn<double>("starSize");
    QTest::addColumn<int>("savedStar");
    QTest::addColumn<double>("savedDiameter");

    QTest::newRow("defaults") << QVariantMap() << true << 10.0 << 1 << 10000.0;
    QTest::newRow("size read from dStarRadius") << QVariantMap{{"dStarRadius", 4000}} << true << 4.0 << 1 << 4000.0;
    QTest::newRow("dStarDiameter does not load") << QVariantMap{{"dStarDiameter", 3000}} << true << 10.0 << 1
                                                 << 10000.0;
    QTest::newRow("no star") << QVariantMap{{"bStar", 0}} << false << 10.0 << 0 << 10000.0;
    QTest::newRow("any non-zero flag is true") << QVariantMap{{"bStar", 7}} << true << 10.0 << 1 << 10000.0;
}

void TestSeal::starKeys()
{
    QFETCH(QVariantMap, file);
    QFETCH(bool, star);
    QFETCH(double, starSize);
    QFETCH(int, savedStar);
    QFETCH(double, savedDiameter);

    for (auto it = file.cbegin(); it != file.cend(); ++it)
        m_config->setIniValue(kGroup, it.key(), it.value());
    {
        DlgKerfmate dlg(nullptr);
        QVERIFY(ShowSealPage(dlg));
        const SSealBoxParam record = m_engine.lastRecord<SSealBoxParam>(kSeal);
        QCOMPARE(record.bStar, star);
        QCOMPARE(record.dStarSize, starSize);
        ClickOk(dlg);
    }
    QCOMPARE(m_config->iniValue(kGroup, QStringLiteral("bStar")).toInt(), savedStar);
    QCOMPARE(m_config->iniValue(kGroup, QStringLiteral("dStarDiameter")).toDouble(), savedDiameter);
    QCOMPARE(m_config->iniValue(kGroup, QStringLiteral("dStarRadius")), file.value(QStringLiteral("dStarRadius")));
}

void TestSeal::okWritesWholeGroup_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    const QList<QPair<QString, QString>> defaults = {
        {"bStar", "1"},          {"bTextReverse", "0"},      {"D1", "60000"},          {"D2", "45000"},
        {"sText1_dHeight", "4000"}, {"sText1_dSpace", "1000"}, {"sText1_dOffset", "2000"},
        {"sText2_dHeight", "4000"}, {"sText2_dSpace", "1000"}, {"sText2_dOffset", "2000"},
        {"sText3_dHeight", "7000"}, {"sText3_dSpace", "10000"}, {"sText3_dOffset", "0"},
        {"sText1_Facename", QStringLiteral("宋体")}, {"sText3_Facename", QStringLiteral("宋体")}};
    for (const auto& [key, value] : defaults)
        QTest::addRow("%s", qPrintable(key)) << 1 << key << value;
    // Shown in inches, still stored in millimetres.
    QTest::newRow("D1, inches") << 0 << "D1" << "60000";
    QTest::newRow("sText3_dSpace, inches") << 0 << "sText3_dSpace" << "10000";
}

void TestSeal::okWritesWholeGroup()
{
    QFETCH(int, unit);
    QFETCH(QString, key);
    QFETCH(QString, value);

    m_config->writeRulerUnit(unit);
    {
        DlgKerfmate dlg(nullptr);
        QVERIFY(ShowSealPage(dlg));
        ClickOk(dlg);
    }
    const QVariant stored = m_config->iniValue(kGroup, key);
    QVERIFY2(stored.isValid(), qPrintable(key));
    if (key.contains(QLatin1String("Facename")))
        QCOMPARE(stored.toString(), value);
    else
        QCOMPARE(stored.toDouble(), value.toDouble());
}

QTEST_MAIN(TestSeal)
#include "tst_seal.moc"
