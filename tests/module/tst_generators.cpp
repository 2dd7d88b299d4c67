// The four generators as the user meets them: an edit on a widget, and what
// leaves the dialog because of it (the record the engine gets, the log, the
// widgets it moves, Kerfmate.ini after OK); what a stored file opens with;
// and OK where the file cannot be written.
#include "TestSupport.h"

#include "CTranslator.h"
#include "DlgKerfmate.h"
#include "Validator.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QDir>
#include <QFontComboBox>
#include <QJsonObject>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>
#include <functional>
#include <sys/fsuid.h>
#include <unistd.h>

namespace {
const char* const kGroups[] = {"DLG_RECT_BOX", "DLG_FILLET_BOX", "DLG_GEAR_BOX", "DLG_SEAL_BOX"};
const char* const kBuilds[] = {"rect", "fillet", "gear", "seal"};

// A case reads "ACTION -> FIELDS; CLAUSE; ...". ACTION is "type W=V" (and
// Return), "edit W=V" (no Return), "click W", "slide W=N", "key W=Down" or
// "return W"; FIELDS are the record's fields that change, each "name=value"
// ("x*50" is fifty x). Clauses: "stored ..." (in Kerfmate.ini first), "unit N"
// (the host's ruler), "before ACTION|ACTION" (done first, not counted),
// "shown W[.property]=value ...", "saved key=value ..." (after OK), "log a|b"
// (sentences per change signal of W; W's own by default) and "builds N" (per
// change).
struct Case
{
    QString action, unit, language; // unit as cfg.ini holds it; "none": no cfg.ini
    QStringList before, log;
    QVariantMap record, stored, shown, saved, wordings;
    int builds;
};

QString Expanded(const QString& text)
{
    const QRegularExpressionMatch repeat = QRegularExpression(QStringLiteral("^(.)\\*(\\d+)$")).match(text);
    return repeat.hasMatch() ? repeat.captured(1).repeated(repeat.captured(2).toInt()) : text;
}

QVariant Value(const QString& text)
{
    bool number = false;
    const double d = text.toDouble(&number);
    return number ? QVariant(d) : QVariant(Expanded(text));
}

// "name=value ..."; a value with spaces is quoted: name='First Prize'.
QVariantMap Assignments(const QString& text)
{
    QVariantMap map;
    static const QRegularExpression item(QStringLiteral("(\\S+?)=('([^']*)'|\\S*)"));
    for (const QRegularExpressionMatch& m : item.globalMatch(text))
        map.insert(m.captured(1), m.capturedStart(3) >= 0 ? QVariant(m.captured(3)) : Value(m.captured(2)));
    return map;
}

Case Parse(const QString& text)
{
    const QStringList parts = text.split(QStringLiteral("; "));
    QMap<QString, QString> clauses;
    for (const QString& clause : parts.mid(1))
        clauses.insert(clause.section(QLatin1Char(' '), 0, 0), clause.section(QLatin1Char(' '), 1));
    const auto list = [&](const char* word) { return clauses[word].split(QLatin1Char('|'), Qt::SkipEmptyParts); };
    return {parts[0].section(QStringLiteral("->"), 0, 0).trimmed(), clauses.value("unit", "1"),
            clauses.value("language", "en"), list("before"), clauses.contains("log") ? list("log") : QStringList{"<own>"},
            Assignments(parts[0].section(QStringLiteral("->"), 1)), Assignments(clauses["stored"]),
            Assignments(clauses["shown"]), Assignments(clauses["saved"]), Assignments(clauses["wordings"]),
            clauses.value("builds", "1").toInt()};
}

void Row(const char* name, const char* text) { QTest::newRow(name) << QString::fromUtf8(text); }

// A field's value as Kerfmate.ini holds it: lengths ("dX", "D1") in thousandths.
QVariant Stored(const QString& field, const QVariant& value)
{
    const QString name = field.section(QRegularExpression(QStringLiteral("[._]")), -1);
    return name.startsWith(QLatin1Char('d')) || name.startsWith(QLatin1Char('D')) ? QVariant(value.toDouble() * 1000)
                                                                                  : value;
}

// Every widget's promise, per unit: "range MIN MAX" of a spin box, "valid
// BOTTOM TOP" of its range check (two decimals; "whole" for whole numbers;
// none: no check of ours), and "type V -> F": V typed (or a click, "type
// click"; the next font, "type next") leaves F in the field it edits; after
// OK its key in Kerfmate.ini (the field's name unless given) holds F as
// stored; "then W BOTTOM TOP" is W's range check after the change. Widgets
// without a unit are tried in millimetres only; "%1" rows stand for each of
// the badge's lines.
struct Contract
{
    int nPage, nLines;
    const char *pszNames, *pszMm, *pszInch; // "widget field [key]"
};
const Contract kContracts[] = {
    {0, 1, "spinBox_rectLength dWidth", "range 10 850; type 120 -> 120", "range 0.4 33.46; type 2.5 -> 63.5"},
    {0, 1, "spinBox_rectWidth dDepth", "range 10 850; type 70 -> 70", "range 0.4 33.46; type 3 -> 76.2"},
    {0, 1, "spinBox_rectHeight dHeight", "range 10 850; type 90 -> 90", "range 0.4 33.46; type 1.5 -> 38.1"},
    // A typed groove puts its slider on the nearest tenth; the rounded box's truncates.
    {0, 1, "doubleSpinBox_rectFluteLength dFluteOfWidth", "range 3 12.5; type 4.56 -> 4.56; shown horizontalSlider_rectFluteLength=46",
     "range 0.12 0.49; type 0.36 -> 9.144; shown horizontalSlider_rectFluteLength=4"},
    {0, 1, "doubleSpinBox_rectFluteWidth dFluteOfHeight", "range 3 12.5; type 5.26 -> 5.26; shown horizontalSlider_rectFluteWidth=53",
     "range 0.12 0.49; type 0.25 -> 6.35; shown horizontalSlider_rectFluteWidth=3"},
    {0, 1, "doubleSpinBox_rectFluteHeight dFluteOfDepth", "range 3 12.5; type 6.36 -> 6.36; shown horizontalSlider_rectFluteHeight=64",
     "range 0.12 0.49; type 0.26 -> 6.604; shown horizontalSlider_rectFluteHeight=3"},
    {0, 1, "doubleSpinBox_rectThickness dThickness", "range 1 10; valid 0 10; type 4 -> 4",
     "range 0.04 0.39; valid 0 10; type 0.2 -> 5.08"},
    {0, 1, "doubleSpinBox_rectLaserWidth dLaserWidth", "range 0.1 0.8; valid 0.1 0.8; type 0.25 -> 0.25",
     "range 0 0.03; valid 0.1 0.8"},
    {0, 1, "checkBox_rectNoTop bNoTop", "type click -> 1", nullptr},
    {0, 1, "checkBox_rectNoBottom bNoBottom", "type click -> 1", nullptr},
    {0, 1, "radioButton_rectInside bInSize", "type click -> 1", nullptr},
    {1, 1, "spinBox_filletLength dWidth", "range 0 850; type 120 -> 120", "range 0 33.46; type 2.5 -> 63.5"},
    {1, 1, "spinBox_filletWidth dDepth", "range 0 850; type 70 -> 70", "range 0 33.46; type 3 -> 76.2"},
    {1, 1, "spinBox_filletHeight dHeight", "range 0 850; type 90 -> 90", "range 0 33.46; type 1.5 -> 38.1"},
    {1, 1, "doubleSpinBox_filletFluteLength dFluteOfHeight", "range 3 3.33; type 3.26 -> 3.26; shown horizontalSlider_filletFluteLength=32",
     "range 0.12 0.13; type 0.13 -> 3.302"},
    {1, 1, "doubleSpinBox_filletFluteWidth dFluteOfWidth", "range 3 3.33; type 3.16 -> 3.16; shown horizontalSlider_filletFluteWidth=31",
     "range 0.12 0.13; type 0.12 -> 3.048"},
    {1, 1, "doubleSpinBox_filletThickness dThickness", "range 1 10; valid 0 10; type 4 -> 4",
     "range 0.04 0.39; valid 0 10; type 0.2 -> 5.08"},
    {1, 1, "doubleSpinBox_filletLaserWidth dLaserWidth", "range 0.1 0.8; type 0.5 -> 0.5", "range 0 0.03; type 0.02 -> 0.508"},
    {1, 1, "spinBox_filletCornerRadius sCorner.dRadius", "range 0 99; type 20 -> 20", "range 0 3.9; type 0.5 -> 12.7"},
    {1, 1, "doubleSpinBox_filletCornerXSpace sCorner.dXSpace", "range 0 99.99; type 2.5 -> 2.5",
     "range 0 3.94; type 0.1 -> 2.54"},
    {1, 1, "doubleSpinBox_filletCornerYSpace sCorner.dYSpace", "range 0 99.99; type 3 -> 3",
     "range 0 3.94; type 0.15 -> 3.81"},
    {1, 1, "spinBox_filletCornerYCount sCorner.nYCount", "range 0 99; type 5 -> 5", "range 0 99; type 4 -> 4"},
    {1, 1, "checkBox_filletNoTop bNoTop", "type click -> 1", nullptr},
    {1, 1, "checkBox_filletNoBottom bNoBottom", "type click -> 1", nullptr},
    {1, 1, "checkBox_3edgeNoFlute bNoFlute3Edge sCorner.bNoFlute3Edge", "type click -> 1", nullptr},
    {1, 1, "radioButton_filletInside bInSize", "type click -> 1", nullptr},
    {2, 1, "lineEdit_gearModulus dModulus", "valid 1 50 whole; type 3 -> 3", "valid 1 50 whole; type 4 -> 4"},
    {2, 2, "lineEdit_gearDiameter%1 sGear%1.dCDiameter", "valid 0 1000; type 2.5 -> 2.5", "valid 0 39.37; type 0.09 -> 2.286"},
    {2, 2, "lineEdit_gearCount%1 sGear%1.nGCount", "valid 8 60 whole; type 20 -> 20", "valid 8 60 whole; type 9 -> 9"},
    {3, 1, "doubleSpinBox_sealD1 D1", "range 30 200; valid 30 200; type 80 -> 80; then doubleSpinBox_sealD2 30 80",
     "range 1.18 7.87; valid 1.18 7.87; type 3 -> 76.2; then doubleSpinBox_sealD2 1.18 3"},
    {3, 1, "doubleSpinBox_sealD2 D2", "range 30 9999.99; valid 30 60; type 40 -> 40",
     "range 1.18 9999.99; valid 1.18 2.36; type 1.5 -> 38.1"},
    {3, 1, "radioButton_seal bTextReverse", "type click -> 1", nullptr},
    {3, 3, "lineEdit_sealText%1 sText%1.Text", "type A%1b -> A%1b", nullptr},
    {3, 3, "doubleSpinBox_sealTextHeight%1 sText%1.dHeight", "range 4 30; valid 4 30; type 10 -> 10",
     "range 0.16 1.18; valid 0.16 1.18; type 0.5 -> 12.7"},
    {3, 2, "doubleSpinBox_sealTextOffset%1 sText%1.dOffset", "range 1.5 30; valid 1.5 30; type 5 -> 5",
     "range 0.06 1.18; valid 0.06 1.18; type 0.2 -> 5.08"},
    {3, 1, "doubleSpinBox_sealTextOffset3 sText3.dOffset", "range 0 80; valid -80 80; type 5 -> 5",
     "range 0 3.15; valid -3.15 3.15; type 0.2 -> 5.08"},
    {3, 2, "doubleSpinBox_sealTextDistance%1 sText%1.dSpace", "range 0.5 30; valid 0.5 30; type 2 -> 2",
     "range 0.02 1.18; valid 0.02 1.18; type 0.1 -> 2.54"},
    {3, 3, "fontComboBox_sealTextFont%1 sText%1.Facename", "type next", nullptr},
};
} // namespace

class TestGenerators : public QObject, private DialogFixture
{
    Q_OBJECT

private slots:
    void init() { SetUp(); }
    void cleanup();

    void rectEdits_data();
    void rectEdits() { RunEdit(0); }
    void filletEdits_data();
    void filletEdits() { RunEdit(1); }
    void gearEdits_data();
    void gearEdits() { RunEdit(2); }
    void sealEdits_data();
    void sealEdits() { RunEdit(3); }
    void widgets_data();
    void widgets();
    void loads_data();
    void loads();
    void everyKeyRoundTrips_data();
    void everyKeyRoundTrips();

    void fileItMayNotWriteIsKept();

private:
    void Prepare(int nPage, const Case& c);
    // Does what the action says; the signal counted and the sentence a change logs.
    QPair<const char*, const char*> Act(const QString& action);
    void RunEdit(int nPage);
    QVariantMap Built(int nPage) const;
    void Verify(const QVariantMap& expected, const std::function<QVariant(const QString&)>& read) const;
    QVariant Shown(const QString& key) const;
    void CheckRangeCheck(const QLineEdit* pEdit, const QString& spec) const;

    std::unique_ptr<QSignalSpy> m_changes;
};

void TestGenerators::cleanup()
{
    CTranslator::GetInstance()->SetLanguage(QStringLiteral("en")); // drops test catalogues
    TearDown();
}

// The last record a generator's build got; the box's with its face labels.
QVariantMap TestGenerators::Built(int nPage) const
{
    QVariantMap records[] = {Fields(m_engine.rect), Fields(m_engine.fillet), Fields(m_engine.gear),
                             Fields(m_engine.seal)};
    records[0].insert(Fields(m_engine.labels));
    return records[nPage];
}

void TestGenerators::Prepare(int nPage, const Case& c)
{
    if (c.unit != QLatin1String("none"))
        m_config->setRulerUnit(c.unit);
    m_config->setIni(QLatin1String(kGroups[nPage]), c.stored);
    QVERIFY(CTranslator::GetInstance()->SetLanguage(c.language));
    QVERIFY(c.wordings.isEmpty() || m_config->loadWordings(QJsonObject::fromVariantMap(c.wordings)));
}

void TestGenerators::Verify(const QVariantMap& expected, const std::function<QVariant(const QString&)>& read) const
{
    QVariantMap actual;
    for (const QString& key : expected.keys())
        actual.insert(key, read(key));
    const QString wrong = Differences(actual, expected);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
}

// What a widget shows: "W.property", or W's value, checked state or text.
QVariant TestGenerators::Shown(const QString& key) const
{
    const QWidget* pWidget = Widget(key.section(QLatin1Char('.'), 0, 0));
    QString property = key.section(QLatin1Char('.'), 1);
    if (property.isEmpty())
        property = qobject_cast<const QAbstractButton*>(pWidget) ? QStringLiteral("checked")
                   : qobject_cast<const QLineEdit*>(pWidget)     ? QStringLiteral("text")
                                                                  : QStringLiteral("value");
    return pWidget ? pWidget->property(property.toLatin1()) : QVariant();
}

QPair<const char*, const char*> TestGenerators::Act(const QString& action)
{
    const QString kind = action.section(QLatin1Char(' '), 0, 0);
    const QString name = action.section(QLatin1Char(' '), 1).section(QLatin1Char('='), 0, 0);
    const QString value = action.section(QLatin1Char('='), 1);
    QWidget* pWidget = Widget(name);
    const bool bLine = qobject_cast<QLineEdit*>(pWidget);
    const bool bInt = qobject_cast<QSlider*>(pWidget) || qobject_cast<QSpinBox*>(pWidget);
    const QMap<QString, QPair<const char*, const char*>> kinds{
        {"click", {SIGNAL(clicked(bool)), " was clicked."}},
        {"edit", {SIGNAL(textEdited(QString)), " was edited."}},
        {"return", {SIGNAL(returnPressed()), " was return pressed."}},
        {"type", {bLine ? SIGNAL(editingFinished()) : bInt ? SIGNAL(valueChanged(int)) : SIGNAL(valueChanged(double)),
                  bLine ? " was editing finished." : " was changed."}}};
    const auto signal = kinds.value(kind, kinds.value(QStringLiteral("type")));
    m_changes = std::make_unique<QSignalSpy>(pWidget, signal.first);
    if (!pWidget)
        return {};
    if (kind == QLatin1String("click"))
        ClickIndicator(qobject_cast<QAbstractButton*>(pWidget));
    else if (kind == QLatin1String("slide"))
        qobject_cast<QSlider*>(pWidget)->setValue(value.toInt());
    else if (kind == QLatin1String("key"))
        QTest::keyClick(pWidget, value == QLatin1String("Down") ? Qt::Key_Down : Qt::Key_Up);
    else if (kind == QLatin1String("return"))
        QTest::keyClick(pWidget, Qt::Key_Return);
    else
        TypeOver(pWidget, Expanded(value), kind == QLatin1String("type"));
    return signal;
}

void TestGenerators::RunEdit(int nPage)
{
    QFETCH(QString, text);
    const Case c = Parse(text);
    Prepare(nPage, c);
    QVERIFY(Open(nPage));
    for (const QString& action : c.before)
        Act(action);
    Settle();
    QVariantMap expected = Built(nPage);
    expected.insert(c.record);
    const QString name = c.action.section(QLatin1Char(' '), 1).section(QLatin1Char('='), 0, 0);

    const auto signal = Act(c.action);

    QVERIFY2(signal.first, qPrintable(name));
    QStringList log;
    for (int i = 0; i < m_changes->count(); ++i)
        for (const QString& sentence : c.log)
            log << (sentence == QLatin1String("<own>") ? name + QLatin1String(signal.second) : sentence);
    QCOMPARE(m_config->log(), log);
    QCOMPARE(m_engine.builds, QStringList(c.builds * m_changes->count(), QLatin1String(kBuilds[nPage])));
    const QVariantMap built = Built(nPage);
    Verify(expected, [&](const QString& key) { return built.value(key); });
    Verify(c.shown, [this](const QString& key) { return Shown(key); });
    if (!c.saved.isEmpty() && ConfirmWithOk())
        Verify(c.saved, [&](const QString& key) { return m_config->ini(QLatin1String(kGroups[nPage]), key); });
}

void TestGenerators::rectEdits_data()
{
    QTest::addColumn<QString>("text");
    Row("length up to 850 resets its groove to a quarter", "type spinBox_rectLength=850 -> dWidth=850 dFluteOfWidth=212.5; "
        "shown horizontalSlider_rectFluteLength.maximum=2125; saved dWidth=850000 dFluteOfWidth=212500");
    Row("inch length", "type spinBox_rectLength=2.00 -> dWidth=50.8 dFluteOfWidth=12.7; unit 2; "
        "shown doubleSpinBox_rectFluteLength=0.5 horizontalSlider_rectFluteLength.maximum=5");
    Row("length 10: the record keeps 2.5 under the spin box's 3",
        "type spinBox_rectLength=10 -> dWidth=10 dFluteOfWidth=2.5; shown doubleSpinBox_rectFluteLength=3");
    Row("length slider moves its spin box", "slide horizontalSlider_rectFluteLength=45 -> dFluteOfWidth=4.5; "
        "log doubleSpinBox_rectFluteLength was changed.; saved dFluteOfWidth=4500");
    Row("no top off", "click checkBox_rectNoTop -> bNoTop=0; stored bNoTop=1; saved bNoTop=0");
    Row("inside: both buttons log, one build", "click radioButton_rectInside -> bInSize=1; "
        "log radioButton_rectOutside was clicked.|radioButton_rectInside was clicked.; saved bInSize=1");
    Row("outside from stored inside", "click radioButton_rectOutside -> bInSize=0; stored bInSize=1; "
        "log radioButton_rectInside was clicked.|radioButton_rectOutside was clicked.");
    Row("inside again: nothing", "click radioButton_rectInside ->; stored bInSize=1; log ; builds 0");
}

void TestGenerators::filletEdits_data()
{
    QTest::addColumn<QString>("text");
    // The groove limit is a third of what the corner leaves of half a side, boards counted.
    Row("length sets the groove limit", "type spinBox_filletLength=96 -> dWidth=96 dFluteOfHeight=11; "
        "log spinBox_filletLength was changed.|doubleSpinBox_filletFluteLength was changed.; builds 2; "
        "saved dWidth=96000 dFluteOfHeight=11000");
    Row("width sets the groove limit", "type spinBox_filletWidth=60 -> dDepth=60 dFluteOfWidth=5; "
        "log spinBox_filletWidth was changed.|doubleSpinBox_filletFluteWidth was changed.; builds 2; "
        "saved dDepth=60000 dFluteOfWidth=5000");
    Row("inch width", "type spinBox_filletWidth=2.5 -> dDepth=63.5 dFluteOfWidth=5.583333333333333; unit 2; "
        "log spinBox_filletWidth was changed.|doubleSpinBox_filletFluteWidth was changed.; builds 2; "
        "shown doubleSpinBox_filletFluteWidth=0.22");
    Row("height keeps the grooves", "type spinBox_filletHeight=60 -> dHeight=60");
    Row("length slider", "slide horizontalSlider_filletFluteLength=45 -> dFluteOfHeight=4.5; stored dWidth=100000; "
        "log doubleSpinBox_filletFluteLength was changed.; saved dFluteOfHeight=4500");
    Row("radius keeps the preset choice", "type spinBox_filletCornerRadius=20 -> sCorner.dRadius=20; "
        "shown radioButton_filletSize50=true; saved sCorner.dRadius=20000");
    Row("preset 100~200mm", "click radioButton_filletSize100 -> sCorner.dRadius=20 sCorner.dXSpace=1.5 "
        "sCorner.dYSpace=2 sCorner.nYCount=3; shown spinBox_filletCornerRadius=20 doubleSpinBox_filletCornerXSpace=1.5 "
        "spinBox_filletCornerYCount=3; saved nTemp=2 sCorner.dRadius=20000");
    Row("inch preset 25~50mm", "click radioButton_filletSize25 -> sCorner.dRadius=8 sCorner.dXSpace=0.8 "
        "sCorner.dYSpace=2 sCorner.nYCount=1; unit 2; shown spinBox_filletCornerRadius=0.31 "
        "doubleSpinBox_filletCornerXSpace=0.03; saved nTemp=0");
    Row("preset 50~100mm again restores its corner", "click radioButton_filletSize50 -> sCorner.dXSpace=1.2; "
        "stored sCorner.dXSpace=3000; saved nTemp=1");
    Row("inside", "click radioButton_filletInside -> bInSize=1; "
        "log radioButton_filletOutside was clicked.|radioButton_filletInside was clicked.; saved bInSize=1");
    Row("thickness keeps the grooves", "type doubleSpinBox_filletThickness=5 -> dThickness=5");
}

void TestGenerators::gearEdits_data()
{
    QTest::addColumn<QString>("text");
    Row("module, with distance and ratio", "type lineEdit_gearModulus=3 -> dModulus=3; "
        "shown lineEdit_gearSpace=52.50 lineEdit_gearRate=1.92; saved dModulus=3000");
    Row("teeth of gear 1", "type lineEdit_gearCount1=20 -> sGear1.nGCount=20; "
        "shown lineEdit_gearRate=1.15 lineEdit_gearSpace=21.50; saved sGear1.nGCount=20");
    Row("teeth of gear 2", "type lineEdit_gearCount2=40 -> sGear2.nGCount=40; shown lineEdit_gearSpace=26.00; "
        "saved sGear2.nGCount=40");
    Row("millimetre bore beyond what a load keeps", "type lineEdit_gearDiameter2=50 -> sGear2.dCDiameter=50; "
        "saved sGear2.dCDiameter=50000");
}

void TestGenerators::sealEdits_data()
{
    QTest::addColumn<QString>("text");
    Row("rim", "type doubleSpinBox_sealD1=80 -> D1=80; saved D1=80000 dStarDiameter=10000 bStar=1");
    Row("rim below the inner circle takes it along", "key doubleSpinBox_sealD1=Down -> D1=44.95 D2=44.95; "
        "stored D1=45050; log doubleSpinBox_sealD1 was changed.|doubleSpinBox_sealD2 was changed.; builds 2");
    Row("inner circle above the rim refused", "type doubleSpinBox_sealD2=70 ->");
    Row("inch rim is the inner circle's top", "type doubleSpinBox_sealD1=2 -> D1=50.8; unit 2; shown doubleSpinBox_sealD2.maximum=2");
    Row("inner circle up to a raised rim", "type doubleSpinBox_sealD2=70 -> D2=70; "
        "before type doubleSpinBox_sealD2=50|type doubleSpinBox_sealD1=80");
    Row("each character builds", "edit lineEdit_sealText1=AB -> sText1.Text=AB; saved sText1_Text=AB");
    Row("a 51st character is dropped", "edit lineEdit_sealText2=x*51 -> sText2.Text=x*50");
    Row("return builds", "return lineEdit_sealText3 ->");
    Row("badge mode", "click radioButton_badge -> bTextReverse=0; stored bTextReverse=1");
}

void TestGenerators::widgets_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("names"); // widget, field, key
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("text");
    for (const Contract& c : kContracts)
        for (int line = 1; line <= c.nLines; ++line)
            for (const char* unit : {"1", "2"}) {
                const QString digit = QString::number(line), text = QString::fromLatin1(*unit == '1' ? c.pszMm : c.pszInch);
                QStringList names = QString::fromLatin1(c.pszNames).replace(QLatin1String("%1"), digit).split(' ');
                if (names.size() < 3) // texts of the badge's lines are kept as "sText1_dHeight"
                    names << (names[1].startsWith(QLatin1String("sText")) ? QString(names[1]).replace('.', '_') : names[1]);
                if (!text.isNull())
                    QTest::addRow("%s, %s", qPrintable(names[0]), *unit == '1' ? "mm" : "inches")
                        << c.nPage << names << unit << QString(text).replace(QLatin1String("%1"), digit);
            }
}

void TestGenerators::CheckRangeCheck(const QLineEdit* pEdit, const QString& spec) const
{
    const auto* pCheck = dynamic_cast<const Validator*>(pEdit->validator());
    QVERIFY2(bool(pCheck) == !(spec.isEmpty() || spec == QLatin1String("none")), qPrintable(spec));
    if (!pCheck)
        return;
    const QStringList bounds = spec.split(QLatin1Char(' '));
    const bool whole = bounds.value(2) == QLatin1String("whole");
    const double bottom = bounds[0].toDouble(), top = bounds[1].toDouble(), step = whole ? 1 : 0.01;
    const auto state = [&](double value, int decimals) {
        QString text = QString::number(value, 'f', decimals);
        int pos = int(text.size());
        return pCheck->validate(text, pos);
    };
    const int decimals = whole ? 0 : 2;
    QCOMPARE(state(bottom, decimals), QValidator::Acceptable);
    QCOMPARE(state(top, decimals), QValidator::Acceptable);
    QCOMPARE(state(top + step, decimals), QValidator::Invalid);
    QCOMPARE(state(bottom - step, decimals), QValidator::Intermediate);
    QVERIFY(state(bottom + step / 2, decimals + 1) != QValidator::Acceptable); // one decimal place too many
}

void TestGenerators::widgets()
{
    QFETCH(int, page);
    QFETCH(QStringList, names);
    QFETCH(QString, unit);
    QFETCH(QString, text);
    const QString &widget = names[0], &field = names[1], &key = names[2];
    QMap<QString, QString> clauses;
    for (const QString& clause : text.split(QStringLiteral("; ")))
        clauses.insert(clause.section(QLatin1Char(' '), 0, 0), clause.section(QLatin1Char(' '), 1));
    m_config->setRulerUnit(unit);
    QVERIFY(Open(page));
    QWidget* pWidget = Widget(widget);
    QVERIFY2(pWidget, qPrintable(widget));
    if (clauses.contains(QStringLiteral("range"))) {
        QCOMPARE(pWidget->property("minimum").toDouble(), clauses["range"].section(QLatin1Char(' '), 0, 0).toDouble());
        QCOMPARE(pWidget->property("maximum").toDouble(), clauses["range"].section(QLatin1Char(' '), 1, 1).toDouble());
    }
    auto* pEdit = qobject_cast<QLineEdit*>(pWidget);
    if (const QLineEdit* pCheckedEdit = pEdit ? pEdit : pWidget->findChild<QLineEdit*>())
        CheckRangeCheck(pCheckedEdit, clauses.value(QStringLiteral("valid")));
    if (!clauses.contains(QStringLiteral("type")))
        return;

    Settle();
    const QString typed = clauses["type"].section(QStringLiteral(" -> "), 0, 0);
    QVariant expected = Value(clauses["type"].section(QStringLiteral(" -> "), 1));
    QString sentence = widget + QLatin1String(" was changed.");
    if (auto* pButton = qobject_cast<QAbstractButton*>(pWidget)) {
        ClickIndicator(pButton);
        sentence = widget + QLatin1String(" was clicked.");
    } else if (auto* pFonts = qobject_cast<QFontComboBox*>(pWidget)) {
        QTest::keyClick(pFonts, pFonts->currentIndex() + 1 < pFonts->count() ? Qt::Key_Down : Qt::Key_Up);
        expected = pFonts->currentFont().family();
    } else {
        TypeOver(pWidget, typed);
        if (pEdit)
            sentence = widget + QLatin1String(field.endsWith(QLatin1String(".Text")) ? " was edited." : " was editing finished.");
    }
    QVERIFY2(m_config->log().contains(sentence), qPrintable(m_config->log().join(QLatin1Char('|'))));
    Verify(Assignments(clauses.value(QStringLiteral("shown"))), [this](const QString& name) { return Shown(name); });
    if (clauses.contains(QStringLiteral("then")))
        CheckRangeCheck(Widget(clauses["then"].section(' ', 0, 0))->findChild<QLineEdit*>(), clauses["then"].section(' ', 1));
    const QVariantMap built = Built(page);
    Verify({{field, expected}}, [&](const QString& name) { return built.value(name); });
    QVERIFY(ConfirmWithOk());
    Verify({{key, Stored(field, expected)}}, [&](const QString& k) { return m_config->ini(QLatin1String(kGroups[page]), k); });
}

void TestGenerators::loads_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, int page, const char* text) {
        QTest::newRow(name) << page << QString::fromUtf8(text);
    };
    row("box: fresh", 0, "-> dWidth=50 dHeight=50 dDepth=50 dFluteOfWidth=12.5 dFluteOfHeight=12.5 dFluteOfDepth=12.5 "
        "dThickness=3 dLaserWidth=0.3 bInSize=0 bNoTop=0 bNoBottom=0; shown spinBox_rectLength=50 spinBox_rectLength.maximum=850 "
        "doubleSpinBox_rectFluteLength=12.5 horizontalSlider_rectFluteLength=125 doubleSpinBox_rectThickness=3 "
        "doubleSpinBox_rectLaserWidth=0.3 radioButton_rectOutside=true");
    row("box: unit 0 is inches", 0, "-> ; unit 0; shown spinBox_rectLength=1.97 spinBox_rectLength.maximum=33.46 "
        "doubleSpinBox_rectFluteLength=0.49 horizontalSlider_rectFluteLength=4 doubleSpinBox_rectThickness=0.12 "
        "doubleSpinBox_rectLaserWidth=0.01");
    row("box: no cfg.ini is millimetres", 0, "-> ; unit none; shown spinBox_rectLength=50");
    for (const char* unit : {"3", "7", "-2"})
        QTest::addRow("box: unit %s is millimetres", unit) << 0 << QStringLiteral("-> ; unit %1; shown spinBox_rectLength=50").arg(unit);
    row("box: a unit that is no number reads as 0, inches", 0, "-> ; unit inch; shown spinBox_rectLength=1.97");
    row("box: stored, grooves worked out afresh", 0, "-> dWidth=120 dDepth=70 dHeight=90 dFluteOfWidth=30 "
        "dFluteOfHeight=17.5 dFluteOfDepth=22.5 dThickness=4.5 dLaserWidth=0.25 bNoBottom=1 bInSize=1; "
        "stored dWidth=120000 dDepth=70000 dHeight=90000 dFluteOfWidth=5000 dThickness=4500 dLaserWidth=250 "
        "bNoBottom=1 bInSize=1; shown spinBox_rectHeight=90 spinBox_rectWidth=70 checkBox_rectNoBottom=true "
        "radioButton_rectInside=true");
    row("rounded: fresh", 1, "-> sCorner.dRadius=12 sCorner.dXSpace=1.2 sCorner.dYSpace=2 sCorner.nYCount=2 "
        "bNoFlute3Edge=0 dFluteOfDepth=12.5 dThickness=3 dLaserWidth=0.3; shown radioButton_filletSize50=true doubleSpinBox_filletFluteLength=3.33 "
        "doubleSpinBox_filletCornerXSpace.maximum=99.99 spinBox_filletCornerYCount=2");
    row("rounded: inch texts", 1, "-> ; unit 2; shown spinBox_filletLength=1.97 spinBox_filletLength.maximum=33.46 "
        "radioButton_filletSize50.text=1.97~3.94inch");
    row("rounded: lower bounds", 1, "-> dWidth=25 dDepth=25 dHeight=10 dThickness=1 dLaserWidth=0.1 "
        "dFluteOfWidth=3 dFluteOfHeight=3; stored dWidth=10000 dDepth=10000 dHeight=5000 dThickness=500 dLaserWidth=50");
    row("rounded: upper bounds", 1, "-> dWidth=850 dDepth=850 dHeight=850 dThickness=10 dLaserWidth=0.8 "
        "dFluteOfWidth=30 dFluteOfHeight=30; stored dWidth=1e300 dDepth=900000 dHeight=1e300 dThickness=20000 "
        "dLaserWidth=2000");
    row("rounded: inside lower bounds", 1, "-> bInSize=1 dWidth=20 dDepth=20 dFluteOfWidth=3 dFluteOfHeight=3; "
        "stored bInSize=1 dWidth=10000 dDepth=10000");
    row("rounded: NaN length", 1, "-> dWidth=25 dFluteOfHeight=3; stored dWidth=nan");
    row("rounded: count 3.9", 1, "-> sCorner.nYCount=3; stored sCorner.nYCount=3.9; shown spinBox_filletCornerYCount=3");
    row("rounded: count beyond int", 1, "-> sCorner.nYCount=2147483647; stored sCorner.nYCount=1e20; "
        "shown spinBox_filletCornerYCount=99");
    row("rounded: preset choice shown, corner kept", 1, "-> sCorner.dRadius=5 dFluteOfWidth=5.666666666666667 "
        "dFluteOfHeight=5.666666666666667; stored sCorner.dRadius=5000 nTemp=2; shown radioButton_filletSize100=true");
    row("gear: fresh", 2, "-> dModulus=1 sGear1.dCDiameter=3 sGear1.nGCount=12 sGear2.dCDiameter=3 sGear2.nGCount=23 "
        "dReserved=0; shown lineEdit_gearModulus=1 lineEdit_gearCount1=12 lineEdit_gearCount2=23 lineEdit_gearDiameter2=3 "
        "lineEdit_gearSpace=17.50 lineEdit_gearRate=1.92");
    row("gear: inches", 2, "-> ; unit 0; shown lineEdit_gearSpace=0.69 lineEdit_gearDiameter1=0.12");
    row("gear: clamped", 2, "-> dModulus=100 sGear1.nGCount=60 sGear2.nGCount=8 sGear1.dCDiameter=3 sGear2.dCDiameter=1; "
        "stored dModulus=200000 sGear1.nGCount=100 sGear2.nGCount=2 sGear1.dCDiameter=9000 sGear2.dCDiameter=500");
    row("seal: fresh", 3, "-> D1=60 D2=45 bTextReverse=0 bStar=1 dStarSize=10 sText1.dHeight=4 sText1.dOffset=2 "
        "sText1.dSpace=1 sText2.dHeight=4 sText2.dOffset=2 sText2.dSpace=1 sText3.dHeight=7 sText3.dOffset=0 sText3.dSpace=10 "
        "sText1.Facename=宋体 sText3.Facename=宋体 sText3.Text=Medal; shown doubleSpinBox_sealD1=60 lineEdit_sealText1=COMPETITION "
        "lineEdit_sealText1.maxLength=50 doubleSpinBox_sealTextHeight1.maximum=30 radioButton_badge=true");
    row("seal: stored font shown", 3, "-> sText2.Facename='DejaVu Serif'; stored sText2_Facename='DejaVu Serif'; "
        "shown fontComboBox_sealTextFont2.currentText='DejaVu Serif' fontComboBox_sealTextFont2.editable=false");
    row("seal: inches", 3, "-> ; unit 2; shown doubleSpinBox_sealD1=2.36 doubleSpinBox_sealTextHeight1.maximum=1.18");
    row("box: face names keep 63 bytes", 0, "-> szFront=x*63 szBehind='' szLeft=宋*21 szTop=abc; "
        "wordings FLAG_FRONT=x*70 FLAG_BEHIND='' FLAG_LEFT=宋*22 FLAG_TOP=abc");
    row("seal: default texts worded, saved as keys", 3, "-> sText1.Text=WETTBEWERB sText2.Text='Erster Preis' "
        "sText3.Text=Medaille; language de; saved sText1_Text=COMPETITION sText2_Text='First Prize' sText3_Text=Medal");
    row("seal: another line's key worded, saved as worded", 3, "-> sText1.Text='Erster Preis' "
        "sText2.Text='Erster Preis' sText3.Text=Medaille; language de; stored sText1_Text='First Prize'; "
        "saved sText1_Text='Erster Preis' sText2_Text='First Prize'");
    row("seal: too long a text keeps the default, unworded", 3, "-> sText2.Text='Erster Preis' sText3.Text=Medaille; "
        "language de; stored sText1_Text=x*300; saved sText1_Text=COMPETITION");
    row("seal: Chinese, byte for byte", 3, "-> sText1.Text='一等奖 比赛' sText2.Text=一等奖 sText3.Text=奖章; "
        "language zh; stored sText1_Text='一等奖 比赛'; saved sText1_Text='一等奖 比赛' sText2_Text='First Prize'");
}

void TestGenerators::loads()
{
    QFETCH(int, page);
    QFETCH(QString, text);
    const Case c = Parse(text);
    Prepare(page, c);
    QVariantMap fresh[] = {Fields(SRectBoxParam()), Fields(SFilletBoxParam()), Fields(SGearBoxParam()),
                           Fields(SSealBoxParam())};
    fresh[1].insert({{"dFluteOfWidth", 10.0 / 3}, {"dFluteOfHeight", 10.0 / 3}}); // ((50 - 6) / 2 - 12) / 3

    QVERIFY(Open());

    // Only the rounded box's grooves run their handlers (and the box's side buttons
    // when inside measures are stored); everything else is pushed silently.
    QCOMPARE(m_config->log().filter(QRegularExpression(QStringLiteral("^(?!radioButton_rect)"))),
             (QStringList{"doubleSpinBox_filletFluteLength was changed.", "doubleSpinBox_filletFluteWidth was changed."}));
    QCOMPARE(m_config->log().filter(QRegularExpression(QStringLiteral("^radioButton_rect"))).isEmpty(),
             page != 0 || !c.record.value(QStringLiteral("bInSize")).toBool());
    fresh[page].insert(c.record);
    const QVariantMap built = Built(page);
    Verify(fresh[page], [&](const QString& key) { return built.value(key); });
    Verify(c.shown, [this](const QString& key) { return Shown(key); });
    if (!c.saved.isEmpty() && ConfirmWithOk())
        Verify(c.saved, [&](const QString& key) { return m_config->ini(QLatin1String(kGroups[page]), key); });
}

// Every key of a group, stored with a value of its own ("KEY/SAVED" where a
// value is read under one key and written under another): it opens in its
// field and OK writes it back unchanged.
void TestGenerators::everyKeyRoundTrips_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("keys");
    QTest::newRow("box") << 0 << "bInSize=1 bNoTop=1 bNoBottom=0 dWidth=120 dHeight=90 dDepth=70 dFluteOfWidth=30 "
                                 "dFluteOfHeight=17.5 dFluteOfDepth=22.5 dThickness=4.5 dLaserWidth=0.25";
    QTest::newRow("rounded") << 1 << "bInSize=1 bNoTop=0 bNoBottom=1 dWidth=126 dHeight=90 dDepth=102 "
                                     "dFluteOfWidth=13 dFluteOfHeight=17 dThickness=4 dLaserWidth=0.35 "
                                     "sCorner.dRadius=12 sCorner.dXSpace=1.7 sCorner.dYSpace=2.3 sCorner.nYCount=4 "
                                     "sCorner.bNoFlute3Edge=1 nTemp=2";
    QTest::newRow("gear") << 2 << "dModulus=2.5 sGear1.dCDiameter=1.5 sGear1.nGCount=15 sGear2.dCDiameter=2.5 "
                                  "sGear2.nGCount=45";
    QTest::newRow("seal") << 3 << "bStar=0 bTextReverse=1 D1=80 D2=50 dStarRadius/dStarDiameter=6 sText1_dHeight=5 "
                                  "sText1_dSpace=1.5 sText1_dOffset=2.5 sText2_dHeight=6 sText2_dSpace=2.5 "
                                  "sText2_dOffset=3.5 sText3_dHeight=8 sText3_dSpace=9 sText3_dOffset=-4 sText1_Text=Hello "
                                  "sText2_Text=Welt sText3_Text=奖 sText1_Facename=DejaVu sText2_Facename=Serif "
                                  "sText3_Facename=宋体";
}

void TestGenerators::everyKeyRoundTrips()
{
    QFETCH(int, page);
    QFETCH(QString, keys);
    const QString group = QLatin1String(kGroups[page]);
    QVariantMap stored, saved, record;
    for (const QString& item : keys.split(QLatin1Char(' '))) {
        const QString key = item.section(QLatin1Char('='), 0, 0), value = item.section(QLatin1Char('='), 1);
        const QString name = key.section(QLatin1Char('/'), 0, 0);
        const QVariant inFile = Stored(name, Value(value));
        stored.insert(name, inFile);
        saved.insert(key.section(QLatin1Char('/'), -1), inFile);
        const QMap<QString, QString> fields{
            {"sCorner.bNoFlute3Edge", "bNoFlute3Edge"}, {"dStarRadius", "dStarSize"}, {"nTemp", ""}};
        const QString field = fields.value(name, QString(name).replace(QLatin1Char('_'), QLatin1Char('.')));
        if (!field.isEmpty())
            record.insert(field, Value(value));
    }
    m_config->setIni(group, stored);
    QVERIFY(Open(page));
    const QVariantMap built = Built(page);
    Verify(record, [&](const QString& key) { return built.value(key); });
    QVERIFY(ConfirmWithOk());
    Verify(saved, [&](const QString& key) { return m_config->ini(group, key); });
}

void TestGenerators::fileItMayNotWriteIsKept()
{
    const QByteArray saved = "[DLG_GEAR_BOX]\ndModulus=2000\nsGear1.nGCount=40\n";
    QFile file(m_config->kerfmateIni());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(saved) == saved.size());
    file.close();
    const QString data = m_config->dataDir();
    auto permit = [&](QFile::Permissions permissions) { // every folder on the way down
        for (QString dir = data; dir.startsWith(m_config->path()); dir = QFileInfo(dir).path())
            QFile::setPermissions(dir, permissions);
    };
    permit(QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const bool bRoot = geteuid() == 0; // root writes anywhere: be nobody towards files
    if (bRoot)
        setfsgid(65534), setfsuid(65534);
    QVERIFY(Open(2) && m_engine.gear.sGear1.nGCount == 40);
    const bool bOk = ConfirmWithOk();
    if (bRoot)
        setfsuid(0), setfsgid(0);
    permit(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QVERIFY(bOk && m_dlg->result() == 1);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), saved);
    QCOMPARE(QDir(data).entryList(QDir::Files | QDir::Hidden), QStringList{"Kerfmate.ini"});
}

QTEST_MAIN(TestGenerators)
#include "tst_generators.moc"
