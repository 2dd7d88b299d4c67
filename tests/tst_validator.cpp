// The range validator as the user meets it: typing into a real line edit,
// leaving it, pressing Return, and the tip that tells the range.
#include "TestSupport.h"

#include "CTranslator.h"
#include "Validator.h"

#include <QApplication>
#include <QFile>
#include <QIntValidator>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>

#include <limits>
#include <memory>

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();

// A tip of our own put up before an action, to see whether the validator
// replaced it, hid it or left it alone.
const QString kSentinel = QStringLiteral("sentinel tip");

// One validator configuration, in either form, and the kind of line edit it watches.
struct Form
{
    int nMode = 1;
    double dBottom = 0;
    double dTop = 0;
    int nDecimals = 0;
    double dReset = kInf;
    bool bSubclass = false; // a line edit of the program's own class, not the toolkit's

    Validator* Make(QLineEdit* pLineEdit) const
    {
        if (nMode == 1)
            return new Validator(pLineEdit, int(dBottom), int(dTop), 0, 1);
        return new Validator(pLineEdit, dBottom, dTop, nDecimals, 0, 2, dReset);
    }
    Form OnSubclass() const { return {nMode, dBottom, dTop, nDecimals, dReset, true}; }
};

Form Whole(int nBottom, int nTop)
{
    return {1, double(nBottom), double(nTop)};
}

Form Decimal(double dBottom, double dTop, int nDecimals, double dReset = kInf)
{
    return {2, dBottom, dTop, nDecimals, dReset};
}

// Counts what reaches the line edit after the validator has had its turn.
class EventRecorder : public QObject
{
public:
    QList<QEvent::Type> seen;
    bool eventFilter(QObject*, QEvent* pEvent) override
    {
        seen << pEvent->type();
        return false;
    }
};

class SpinEdit : public QLineEdit
{
    Q_OBJECT
};

// The tip as the user sees it: its text, or nothing when none is up.
QString ShownTip()
{
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// Takes any tip down at once (QToolTip::hideText waits 300 ms).
void CloseTips()
{
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (pWidget->windowType() == Qt::ToolTip)
            pWidget->hide();
}

void PutUpSentinel()
{
    CloseTips();
    QToolTip::showText(QPoint(400, 400), kSentinel, nullptr, QRect(), -1);
}

void Send(QLineEdit* pLineEdit, QEvent::Type type)
{
    QFocusEvent focus(type, Qt::MouseFocusReason);
    QEvent leave(type);
    QCoreApplication::sendEvent(pLineEdit, type == QEvent::Leave ? &leave : &focus);
}

// Shown and active: activation and focus events hide any tip at once, so
// they must be over before a test looks at tips.
std::unique_ptr<QLineEdit> ShownLineEdit(bool bSubclass = false)
{
    std::unique_ptr<QLineEdit> pLineEdit(bSubclass ? new SpinEdit : new QLineEdit);
    pLineEdit->show();
    pLineEdit->activateWindow();
    if (!QTest::qWaitForWindowActive(pLineEdit.get()))
        qWarning("line edit did not become active");
    return pLineEdit;
}

// The tip for a range in the current wording; the numbers as they must read.
QString Tip(const char* bottom, const char* top, const char* decimals = nullptr)
{
    const CTranslator* pTranslator = CTranslator::GetInstance();
    if (!decimals)
        return pTranslator->GetWording(QStringLiteral("Input range %1 to %2")).arg(bottom, top);
    return pTranslator->GetWording(QStringLiteral("Input range %1 to %2 ,%3 decimal places"))
        .arg(bottom, top, decimals);
}
} // namespace

Q_DECLARE_METATYPE(Form)

class TestValidator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_defaultLocale = QLocale(); }
    void init();
    void cleanup();

    void typing_data();
    void typing();
    void leaving_data();
    void leaving();
    void replacedValidatorObeysOnlyTheNewRange();
    void germanMachine();
    void nullLineEditLeavesTipsAndFieldsAlone();

private:
    std::unique_ptr<TempConfig> m_config;
    QLocale m_defaultLocale;
};

void TestValidator::init()
{
    m_config = std::make_unique<TempConfig>();
    CloseTips();
}

void TestValidator::cleanup()
{
    CloseTips();
    QLocale::setDefault(m_defaultLocale);
    CTranslator::GetInstance()->SetLanguage(QStringLiteral("en")); // drops test catalogues
    m_config.reset();
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        QVERIFY2(pWidget->windowType() == Qt::ToolTip, qPrintable(pWidget->metaObject()->className()));
}

void TestValidator::typing_data()
{
    QTest::addColumn<Form>("form");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("cursor"); // -1: at the end
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tip");   // empty: no tip up
    QTest::addColumn<bool>("accepted"); // Return finishes the edit

    const Form w8 = Whole(8, 60);
    const QString t8 = Tip("8", "60");
    QTest::newRow("whole: below bottom held on the way up") << w8 << "" << -1 << "1" << "1" << t8 << false;
    QTest::newRow("whole: in range") << w8 << "" << -1 << "15" << "15" << QString() << true;
    QTest::newRow("whole: top") << w8 << "" << -1 << "60" << "60" << QString() << true;
    QTest::newRow("whole: above top refused") << w8 << "" << -1 << "61" << "6" << t8 << false;
    QTest::newRow("whole: letters held while bottom above 0") << w8 << "" << -1 << "abc" << "abc" << t8 << false;
    QTest::newRow("whole: letters refused from bottom 0")
        << Whole(0, 50) << "" << -1 << "abc" << "" << Tip("0", "50") << false;
    QTest::newRow("whole: subclass gets the tip") << w8.OnSubclass() << "" << -1 << "5" << "5" << t8 << false;
    QTest::newRow("whole: emptying leaves the tip alone") << w8 << "9" << -1 << "\b" << "" << kSentinel << false;

    const Form d1 = Decimal(0.1, 0.8, 2);
    const QString t1 = Tip("0.1", "0.8", "2");
    QTest::newRow("decimal: above top refused") << d1 << "" << -1 << "0.9" << "0." << t1 << false;
    QTest::newRow("decimal: below bottom held") << d1 << "" << -1 << "0.05" << "0.05" << t1 << false;
    QTest::newRow("decimal: in range") << d1 << "" << -1 << "0.5" << "0.5" << QString() << true;
    QTest::newRow("decimal: too many decimals refused") << d1 << "0.12" << -1 << "3" << "0.12" << t1 << true;
    QTest::newRow("decimal: subclass gets the tip") << d1.OnSubclass() << "" << -1 << "0.05" << "0.05" << t1 << false;
    QTest::newRow("decimal: emptying shows the tip") << d1 << "0" << -1 << "\b" << "" << t1 << false;
    const Form d80 = Decimal(-80, 80, 2);
    QTest::newRow("decimal: minus typed in front of digits") << d80 << "5" << 0 << "-" << "-5" << kSentinel << false;
    QTest::newRow("decimal: negative typed in order") << d80 << "" << -1 << "-5" << "-5" << QString() << true;
    QTest::newRow("decimal: bounds shown exactly")
        << Decimal(0.001, 1234567.5, 3) << "" << -1 << "2000000" << "200000"
        << Tip("0.001", "1234567.5", "3") << true;
}

void TestValidator::typing()
{
    QFETCH(Form, form);
    QFETCH(QString, start);
    QFETCH(int, cursor);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(QString, tip);
    QFETCH(bool, accepted);
    auto pLineEdit = ShownLineEdit(form.bSubclass);
    Validator::Install(pLineEdit.get(), form.Make(pLineEdit.get()));
    pLineEdit->setText(start);
    if (cursor >= 0)
        pLineEdit->setCursorPosition(cursor);
    PutUpSentinel();

    QTest::keyClicks(pLineEdit.get(), keys);
    QCOMPARE(pLineEdit->text(), text);
    if (tip == kSentinel)
        QTest::qWait(400); // a hide would have taken effect by now
    QTRY_COMPARE(ShownTip(), tip);

    QSignalSpy finished(pLineEdit.get(), &QLineEdit::editingFinished);
    QTest::keyClick(pLineEdit.get(), Qt::Key_Return);
    QCOMPARE(finished.count(), accepted ? 1 : 0);
    QCOMPARE(pLineEdit->text(), text);
}

void TestValidator::leaving_data()
{
    QTest::addColumn<Form>("form");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QEvent::Type>("event");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tip");

    const Form w8 = Whole(8, 60);
    const QString t8 = Tip("8", "60");
    QTest::newRow("whole: below bottom, pointer leaves") << w8 << "5" << QEvent::Leave << "8" << t8;
    QTest::newRow("whole: below bottom, focus leaves") << w8 << "5" << QEvent::FocusOut << "8" << t8;
    QTest::newRow("whole: letters get the bottom")
        << Whole(1, 50) << "abc" << QEvent::Leave << "1" << Tip("1", "50");
    QTest::newRow("whole: in range kept") << w8 << "20" << QEvent::Leave << "20" << QString();
    QTest::newRow("whole: above top not looked at") << w8 << "99" << QEvent::Leave << "99" << QString();
    QTest::newRow("whole: focus coming in ignored") << w8 << "5" << QEvent::FocusIn << "5" << QString();
    QTest::newRow("whole: subclass not corrected") << w8.OnSubclass() << "5" << QEvent::Leave << "5" << QString();

    const Form d1 = Decimal(0.1, 0.8, 2);
    const QString t1 = Tip("0.1", "0.8", "2");
    QTest::newRow("decimal: below bottom, pointer leaves") << d1 << "0.05" << QEvent::Leave << "0.1" << t1;
    QTest::newRow("decimal: above top") << d1 << "0.9" << QEvent::Leave << "0.1" << t1;
    QTest::newRow("decimal: nan") << d1 << "nan" << QEvent::Leave << "0.1" << t1;
    QTest::newRow("decimal: in range kept") << d1 << "0.5" << QEvent::Leave << "0.5" << QString();
    QTest::newRow("decimal: letters left alone") << d1 << "abc" << QEvent::Leave << "abc" << QString();
    QTest::newRow("decimal: subclass not corrected")
        << d1.OnSubclass() << "0.05" << QEvent::Leave << "0.05" << QString();
    const Form d100 = Decimal(0, 100, 1);
    QTest::newRow("decimal: percent sign ignored") << d100 << "12%" << QEvent::Leave << "12%" << QString();
    QTest::newRow("decimal: percent sign, out of range")
        << d100 << "150%" << QEvent::Leave << "0" << Tip("0", "100", "1");
    QTest::newRow("decimal: own reset value")
        << Decimal(0.1, 0.8, 2, 0.5) << "0.9" << QEvent::Leave << "0.5" << t1;
    QTest::newRow("decimal: reset written with six digits")
        << Decimal(0.123456789, 1, 9) << "5" << QEvent::FocusOut << "0.123457"
        << Tip("0.123456789", "1", "9");
}

void TestValidator::leaving()
{
    QFETCH(Form, form);
    QFETCH(QString, start);
    QFETCH(QEvent::Type, event);
    QFETCH(QString, text);
    QFETCH(QString, tip);
    auto pLineEdit = ShownLineEdit(form.bSubclass);
    EventRecorder recorder; // filters run newest first: this one after the validator
    pLineEdit->installEventFilter(&recorder);
    Validator::Install(pLineEdit.get(), form.Make(pLineEdit.get()));
    pLineEdit->setText(start);
    CloseTips();

    Send(pLineEdit.get(), event);

    QCOMPARE(pLineEdit->text(), text);
    QTRY_COMPARE(ShownTip(), tip);
    QCOMPARE(recorder.seen.count(event), 1);
}

void TestValidator::replacedValidatorObeysOnlyTheNewRange()
{
    auto pLineEdit = ShownLineEdit();
    // The toolkit's own validators (a spin box's, say) belong to someone else.
    QPointer<QIntValidator> pForeign = new QIntValidator(pLineEdit.get());
    pLineEdit->setValidator(pForeign);
    QPointer<Validator> pOld = Whole(25, 60).Make(pLineEdit.get());
    Validator::Install(pLineEdit.get(), pOld);
    QPointer<Validator> pNew = Whole(20, 30).Make(pLineEdit.get());

    Validator::Install(pLineEdit.get(), pNew);

    QVERIFY(pForeign);
    QVERIFY(!pOld);
    QCOMPARE(pLineEdit->validator(), pNew.data());
    // "35" passes the old range and fails the new one; "20" would fail the old one again.
    QTest::keyClicks(pLineEdit.get(), QStringLiteral("35"));
    QCOMPARE(pLineEdit->text(), QStringLiteral("3"));
    QTRY_COMPARE(ShownTip(), Tip("20", "30"));
    pLineEdit->setText(QStringLiteral("12"));
    CloseTips();
    Send(pLineEdit.get(), QEvent::Leave);
    QCOMPARE(pLineEdit->text(), QStringLiteral("20"));
    QCOMPARE(ShownTip(), Tip("20", "30"));
    pLineEdit.reset();
    QVERIFY(!pNew); // went with its line edit
}

void TestValidator::germanMachine()
{
    // A German locale writes "0,5"; the fields still take what toDouble reads.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto pWhole = ShownLineEdit();
    auto pDecimal = ShownLineEdit();
    Validator::Install(pWhole.get(), Whole(8, 60).Make(pWhole.get()));
    Validator::Install(pDecimal.get(), Decimal(0.1, 0.8, 2).Make(pDecimal.get()));
    // Loaded after the validators were made: the wording is looked up each time.
    QFile file(m_config->path() + QStringLiteral("/de-test.json"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"json({"Input range %1 to %2": "Bereich %1 bis %2",
                   "Input range %1 to %2 ,%3 decimal places": "Bereich %1 bis %2 (%3 Stellen)"})json");
    file.close();
    QVERIFY(CTranslator::GetInstance()->LoadCatalogue(file.fileName()));

    QTest::keyClicks(pWhole.get(), QStringLiteral("61"));
    QCOMPARE(ShownTip(), QStringLiteral("Bereich 8 bis 60"));
    QTest::keyClicks(pDecimal.get(), QStringLiteral("0.9"));
    QCOMPARE(ShownTip(), QStringLiteral("Bereich 0.1 bis 0.8 (2 Stellen)"));
    CloseTips();
    Send(pWhole.get(), QEvent::FocusOut);
    QCOMPARE(pWhole->text(), QStringLiteral("8"));
    QCOMPARE(ShownTip(), QStringLiteral("Bereich 8 bis 60"));

    QSignalSpy finished(pDecimal.get(), &QLineEdit::editingFinished);
    QTest::keyClicks(pDecimal.get(), QStringLiteral("5"));
    QTest::keyClick(pDecimal.get(), Qt::Key_Return);
    QCOMPARE(pDecimal->text(), QStringLiteral("0.5"));
    QCOMPARE(finished.count(), 1);
}

void TestValidator::nullLineEditLeavesTipsAndFieldsAlone()
{
    std::unique_ptr<Validator> pWhole(Whole(8, 60).Make(nullptr));
    std::unique_ptr<Validator> pDecimal(Decimal(0.1, 0.8, 2).Make(nullptr));
    Validator::Install(nullptr, pWhole.get());
    PutUpSentinel();

    // With a line edit, the first would hide a tip and the second show one.
    QString whole = QStringLiteral("15");
    QString decimal = QStringLiteral("0.05");
    int nPos = 2;
    QCOMPARE(pWhole->validate(whole, nPos), QValidator::Acceptable);
    nPos = 4;
    QCOMPARE(pDecimal->validate(decimal, nPos), QValidator::Intermediate);
    QTest::qWait(400); // a hide would have taken effect by now
    QCOMPARE(ShownTip(), kSentinel);

    // Leaving some other field is none of their business.
    auto pLineEdit = ShownLineEdit();
    pLineEdit->setText(QStringLiteral("-1000"));
    pLineEdit->installEventFilter(pWhole.get());
    pLineEdit->installEventFilter(pDecimal.get());
    Send(pLineEdit.get(), QEvent::Leave);
    QCOMPARE(pLineEdit->text(), QStringLiteral("-1000"));
}

QTEST_MAIN(TestValidator)
#include "tst_validator.moc"
