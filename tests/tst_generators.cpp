// The four generators as the user meets them: an edit on a widget, and what
// leaves the dialog because of it (the record the engine gets, the log, the
// widgets it moves, Kerfmate.ini after OK); what a stored file opens with;
// and OK where the file cannot be written.
#include "TestSupport.h"

#include "CTranslator.h"
#include "DlgKerfmate.h"

#include <QAbstractButton>
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
    void loads_data();
    void loads();

    void fontChoiceReachesItsLine();
    void fileItMayNotWriteIsKept();

private:
    void Prepare(int nPage, const Case& c);
    // Does what the action says; the signal counted and the sentence a change logs.
    QPair<const char*, const char*> Act(const QString& action);
    void RunEdit(int nPage);
    QVariantMap Built(int nPage) const;
    void Verify(const QVariantMap& expected, const std::function<QVariant(const QString&)>& read) const;
    QVariant Shown(const QString& key) const;

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
    Row("width", "type spinBox_rectWidth=60 -> dDepth=60 dFluteOfHeight=15; saved dDepth=60000 dFluteOfHeight=15000");
    Row("height", "type spinBox_rectHeight=100 -> dHeight=100 dFluteOfDepth=25; saved dHeight=100000 dFluteOfDepth=25000");
    Row("length slider moves its spin box", "slide horizontalSlider_rectFluteLength=45 -> dFluteOfWidth=4.5; "
        "log doubleSpinBox_rectFluteLength was changed.; saved dFluteOfWidth=4500");
    Row("typed groove rounds its slider",
        "type doubleSpinBox_rectFluteLength=4.56 -> dFluteOfWidth=4.56; shown horizontalSlider_rectFluteLength=46");
    Row("width groove", "type doubleSpinBox_rectFluteWidth=7.7 -> dFluteOfHeight=7.7; saved dFluteOfHeight=7700");
    Row("height groove", "type doubleSpinBox_rectFluteHeight=10 -> dFluteOfDepth=10; "
        "shown horizontalSlider_rectFluteHeight=100; saved dFluteOfDepth=10000");
    Row("thickness", "type doubleSpinBox_rectThickness=5 -> dThickness=5; saved dThickness=5000");
    Row("kerf", "type doubleSpinBox_rectLaserWidth=0.25 -> dLaserWidth=0.25; saved dLaserWidth=250");
    Row("no top", "click checkBox_rectNoTop -> bNoTop=1; saved bNoTop=1");
    Row("no top off", "click checkBox_rectNoTop -> bNoTop=0; stored bNoTop=1; saved bNoTop=0");
    Row("no bottom", "click checkBox_rectNoBottom -> bNoBottom=1; saved bNoBottom=1");
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
    Row("typed groove truncates its slider", "type doubleSpinBox_filletFluteLength=4.56 -> dFluteOfHeight=4.56; "
        "stored dWidth=100000; shown horizontalSlider_filletFluteLength=45");
    Row("width groove", "type doubleSpinBox_filletFluteWidth=9.99 -> dFluteOfWidth=9.99; stored dDepth=100000; "
        "shown horizontalSlider_filletFluteWidth=99; saved dFluteOfWidth=9990");
    Row("radius keeps the preset choice", "type spinBox_filletCornerRadius=20 -> sCorner.dRadius=20; "
        "shown radioButton_filletSize50=true; saved sCorner.dRadius=20000");
    Row("X spacing", "type doubleSpinBox_filletCornerXSpace=2.5 -> sCorner.dXSpace=2.5; saved sCorner.dXSpace=2500");
    Row("inch Y spacing", "type doubleSpinBox_filletCornerYSpace=0.1 -> sCorner.dYSpace=2.54; unit 2; "
        "saved sCorner.dYSpace=2540");
    Row("Y count", "type spinBox_filletCornerYCount=5 -> sCorner.nYCount=5; saved sCorner.nYCount=5");
    Row("preset 100~200mm", "click radioButton_filletSize100 -> sCorner.dRadius=20 sCorner.dXSpace=1.5 "
        "sCorner.dYSpace=2 sCorner.nYCount=3; shown spinBox_filletCornerRadius=20 doubleSpinBox_filletCornerXSpace=1.5 "
        "spinBox_filletCornerYCount=3; saved nTemp=2 sCorner.dRadius=20000");
    Row("inch preset 25~50mm", "click radioButton_filletSize25 -> sCorner.dRadius=8 sCorner.dXSpace=0.8 "
        "sCorner.dYSpace=2 sCorner.nYCount=1; unit 2; shown spinBox_filletCornerRadius=0.31 "
        "doubleSpinBox_filletCornerXSpace=0.03; saved nTemp=0");
    Row("preset 50~100mm again restores its corner", "click radioButton_filletSize50 -> sCorner.dXSpace=1.2; "
        "stored sCorner.dXSpace=3000; saved nTemp=1");
    Row("third side", "click checkBox_3edgeNoFlute -> bNoFlute3Edge=1; saved sCorner.bNoFlute3Edge=1");
    Row("no top", "click checkBox_filletNoTop -> bNoTop=1; saved bNoTop=1");
    Row("no bottom", "click checkBox_filletNoBottom -> bNoBottom=1; saved bNoBottom=1");
    Row("inside", "click radioButton_filletInside -> bInSize=1; "
        "log radioButton_filletOutside was clicked.|radioButton_filletInside was clicked.; saved bInSize=1");
    Row("thickness keeps the grooves", "type doubleSpinBox_filletThickness=5 -> dThickness=5");
    Row("kerf", "type doubleSpinBox_filletLaserWidth=0.5 -> dLaserWidth=0.5; saved dLaserWidth=500");
}

void TestGenerators::gearEdits_data()
{
    QTest::addColumn<QString>("text");
    Row("module, with distance and ratio", "type lineEdit_gearModulus=3 -> dModulus=3; "
        "shown lineEdit_gearSpace=52.50 lineEdit_gearRate=1.92; saved dModulus=3000");
    Row("module above 50 refused", "type lineEdit_gearModulus=60 -> dModulus=6");
    Row("teeth of gear 1", "type lineEdit_gearCount1=20 -> sGear1.nGCount=20; "
        "shown lineEdit_gearRate=1.15 lineEdit_gearSpace=21.50; saved sGear1.nGCount=20");
    Row("teeth of gear 2", "type lineEdit_gearCount2=40 -> sGear2.nGCount=40; shown lineEdit_gearSpace=26.00; "
        "saved sGear2.nGCount=40");
    Row("fewest teeth", "type lineEdit_gearCount1=8 -> sGear1.nGCount=8");
    Row("inch bore", "type lineEdit_gearDiameter1=0.1 -> sGear1.dCDiameter=2.54; unit 2; saved sGear1.dCDiameter=2540");
    Row("millimetre bore beyond what a load keeps", "type lineEdit_gearDiameter2=50 -> sGear2.dCDiameter=50; "
        "saved sGear2.dCDiameter=50000");
}

void TestGenerators::sealEdits_data()
{
    QTest::addColumn<QString>("text");
    Row("rim", "type doubleSpinBox_sealD1=80 -> D1=80; saved D1=80000 dStarDiameter=10000 bStar=1");
    Row("inch rim", "type doubleSpinBox_sealD1=3 -> D1=76.2; unit 2");
    Row("rim below the inner circle takes it along", "key doubleSpinBox_sealD1=Down -> D1=44.95 D2=44.95; "
        "stored D1=45050; log doubleSpinBox_sealD1 was changed.|doubleSpinBox_sealD2 was changed.; builds 2");
    Row("inner circle", "type doubleSpinBox_sealD2=40 -> D2=40; saved D2=40000");
    Row("inner circle above the rim refused", "type doubleSpinBox_sealD2=70 ->");
    Row("inner circle up to a raised rim", "type doubleSpinBox_sealD2=70 -> D2=70; "
        "before type doubleSpinBox_sealD2=50|type doubleSpinBox_sealD1=80");
    Row("each character builds", "edit lineEdit_sealText1=AB -> sText1.Text=AB; saved sText1_Text=AB");
    Row("a 51st character is dropped", "edit lineEdit_sealText2=x*51 -> sText2.Text=x*50");
    Row("return builds", "return lineEdit_sealText3 ->");
    Row("text 1 height", "type doubleSpinBox_sealTextHeight1=25 -> sText1.dHeight=25; saved sText1_dHeight=25000");
    Row("inch text 1 height", "type doubleSpinBox_sealTextHeight1=0.5 -> sText1.dHeight=12.7; unit 2");
    Row("text 2 offset", "type doubleSpinBox_sealTextOffset2=5 -> sText2.dOffset=5; saved sText2_dOffset=5000");
    Row("text 2 spacing", "type doubleSpinBox_sealTextDistance2=2 -> sText2.dSpace=2; saved sText2_dSpace=2000");
    Row("text 3 offset", "type doubleSpinBox_sealTextOffset3=5 -> sText3.dOffset=5");
    Row("seal mode", "click radioButton_seal -> bTextReverse=1; saved bTextReverse=1");
    Row("badge mode", "click radioButton_badge -> bTextReverse=0; stored bTextReverse=1");
}

void TestGenerators::loads_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, int page, const char* text) {
        QTest::newRow(name) << page << QString::fromUtf8(text);
    };
    row("box: fresh", 0, "-> ; shown spinBox_rectLength=50 spinBox_rectLength.maximum=850 "
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
    row("rounded: fresh", 1, "-> ; shown radioButton_filletSize50=true doubleSpinBox_filletFluteLength=3.33 "
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
    row("gear: fresh", 2, "-> ; shown lineEdit_gearModulus=1 lineEdit_gearCount1=12 lineEdit_gearSpace=17.50 "
        "lineEdit_gearRate=1.92");
    row("gear: inches", 2, "-> ; unit 0; shown lineEdit_gearSpace=0.69 lineEdit_gearDiameter1=0.12");
    row("gear: clamped", 2, "-> dModulus=100 sGear1.nGCount=60 sGear2.nGCount=8 sGear1.dCDiameter=3; "
        "stored dModulus=200000 sGear1.nGCount=100 sGear2.nGCount=2 sGear1.dCDiameter=9000");
    row("seal: fresh", 3, "-> ; shown doubleSpinBox_sealD1=60 lineEdit_sealText1=COMPETITION "
        "lineEdit_sealText1.maxLength=50 doubleSpinBox_sealTextHeight1.maximum=30 radioButton_badge=true");
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
    row("seal: own text, star size, offset", 3, "-> sText1.Text=Hello dStarSize=7 sText2.dOffset=3; "
        "stored sText1_Text=Hello dStarRadius=7000 sText2_dOffset=3000");
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
    fresh[page].insert(c.record);
    const QVariantMap built = Built(page);
    Verify(fresh[page], [&](const QString& key) { return built.value(key); });
    Verify(c.shown, [this](const QString& key) { return Shown(key); });
    if (!c.saved.isEmpty() && ConfirmWithOk())
        Verify(c.saved, [&](const QString& key) { return m_config->ini(QLatin1String(kGroups[page]), key); });
}

void TestGenerators::fontChoiceReachesItsLine()
{
    QVERIFY(Open(3));
    auto* pFonts = qobject_cast<QFontComboBox*>(Widget(QStringLiteral("fontComboBox_sealTextFont2")));
    QVERIFY(pFonts && pFonts->count() > 1);
    const QByteArray line1(m_engine.seal.sText1.Facename);
    Settle();

    QTest::keyClick(pFonts, pFonts->currentIndex() + 1 < pFonts->count() ? Qt::Key_Down : Qt::Key_Up);

    QCOMPARE(m_config->log(), QStringList{"fontComboBox_sealTextFont2 was changed."});
    QCOMPARE(QString::fromUtf8(m_engine.seal.sText2.Facename), pFonts->currentFont().family());
    QCOMPARE(QByteArray(m_engine.seal.sText1.Facename), line1);
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
