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

#include <climits>
#include <limits>
#include <memory>

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();

// A tip of our own put up before each action, to see whether the validator
// replaced it, hid it or left it alone.
const QString kSentinel = QStringLiteral("sentinel tip");

// One validator configuration, in either form.
struct Form
{
    int nMode = 1;
    double dBottom = 0;
    double dTop = 0;
    int nDecimals = 0;
    double dReset = kInf;

    static Form Whole(int nBottom, int nTop) { return {1, double(nBottom), double(nTop), 0, kInf}; }
    static Form Decimal(double dBottom, double dTop, int nDecimals, double dReset = kInf)
    {
        return {2, dBottom, dTop, nDecimals, dReset};
    }
    Validator* Make(QLineEdit* pLineEdit) const
    {
        if (nMode == 1)
            return new Validator(pLineEdit, int(dBottom), int(dTop), 0, 1);
        return new Validator(pLineEdit, dBottom, dTop, nDecimals, 0, 2, dReset);
    }
};

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

// A line edit of the program's own class, not the toolkit's.
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
    if (type == QEvent::FocusOut || type == QEvent::FocusIn) {
        QFocusEvent event(type, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(pLineEdit, &event);
    } else {
        QEvent event(type);
        QCoreApplication::sendEvent(pLineEdit, &event);
    }
}

// Activation and focus events hide any tip at once, so they must be over
// before a test looks at tips.
void ShowActive(QLineEdit* pLineEdit)
{
    pLineEdit->show();
    pLineEdit->activateWindow();
    if (!QTest::qWaitForWindowActive(pLineEdit))
        qWarning("line edit did not become active");
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

std::unique_ptr<QLineEdit> ShownLineEdit()
{
    auto pLineEdit = std::make_unique<QLineEdit>();
    ShowActive(pLineEdit.get());
    return pLineEdit;
}
} // namespace

Q_DECLARE_METATYPE(Form)

class TestValidator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void typing_data();
    void typing();
    void leaving_data();
    void leaving();
    void replacedValidatorObeysOnlyTheNewRange_data();
    void replacedValidatorObeysOnlyTheNewRange();
    void subclassGetsTipsButNoCorrection_data();
    void subclassGetsTipsButNoCorrection();
    void tipWordingComesFromTheTranslator_data();
    void tipWordingComesFromTheTranslator();
    void decimalPointIsTheSameUnderAnyLocale();
    void nullLineEditMakesAPlainValidator_data();
    void nullLineEditMakesAPlainValidator();

private:
    std::unique_ptr<TempConfig> m_config;
    QLocale m_defaultLocale;
};

void TestValidator::initTestCase()
{
    m_defaultLocale = QLocale();
}

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
    QTest::addColumn<QString>("tip"); // empty: no tip up
    QTest::addColumn<bool>("accepted"); // Return finishes the edit

    const Form w8 = Form::Whole(8, 60);
    const QString t8 = Tip("8", "60");
    QTest::newRow("whole: below bottom held on the way up") << w8 << "" << -1 << "1" << "1" << t8 << false;
    QTest::newRow("whole: in range") << w8 << "" << -1 << "15" << "15" << QString() << true;
    QTest::newRow("whole: top") << w8 << "" << -1 << "60" << "60" << QString() << true;
    QTest::newRow("whole: above top refused") << w8 << "" << -1 << "61" << "6" << t8 << false;
    QTest::newRow("whole: digit past top refused") << w8 << "50" << -1 << "0" << "50" << t8 << true;
    QTest::newRow("whole: letters held while bottom above 0") << w8 << "" << -1 << "abc" << "abc" << t8 << false;
    QTest::newRow("whole: letters refused from bottom 0")
        << Form::Whole(0, 50) << "" << -1 << "abc" << "" << Tip("0", "50") << false;
    QTest::newRow("whole: lone minus refused")
        << Form::Whole(-5, 5) << "" << -1 << "-" << "" << Tip("-5", "5") << false;
    QTest::newRow("whole: minus in front of digits") << Form::Whole(-5, 5) << "3" << 0 << "-" << "-3" << QString()
                                                     << true;
    QTest::newRow("whole: emptying leaves the tip alone") << w8 << "9" << -1 << "\b" << "" << kSentinel << false;
    QTest::newRow("whole: overflow refused") << Form::Whole(0, INT_MAX) << "" << -1 << "99999999999" << "999999999"
                                             << Tip("0", "2147483647") << true;

    const Form d1 = Form::Decimal(0.1, 0.8, 2);
    const QString t1 = Tip("0.1", "0.8", "2");
    QTest::newRow("decimal: above top refused") << d1 << "" << -1 << "0.9" << "0." << t1 << false;
    QTest::newRow("decimal: below bottom held") << d1 << "" << -1 << "0.05" << "0.05" << t1 << false;
    QTest::newRow("decimal: in range") << d1 << "" << -1 << "0.5" << "0.5" << QString() << true;
    QTest::newRow("decimal: too many decimals refused") << d1 << "" << -1 << "0.123" << "0.12" << t1 << true;
    QTest::newRow("decimal: letters held") << d1 << "" << -1 << "abc" << "abc" << t1 << false;
    QTest::newRow("decimal: emptying shows the tip") << d1 << "0" << -1 << "\b" << "" << t1 << false;

    const Form d80 = Form::Decimal(-80, 80, 2);
    QTest::newRow("decimal: minus typed in front of digits") << d80 << "5" << 0 << "-" << "-5" << kSentinel << false;
    QTest::newRow("decimal: negative typed in order") << d80 << "" << -1 << "-5" << "-5" << QString() << true;
    QTest::newRow("decimal: below negative bottom held")
        << d80 << "" << -1 << "-90" << "-90" << Tip("-80", "80", "2") << false;

    const Form d100 = Form::Decimal(0, 100, 1);
    QTest::newRow("decimal: percent sign held") << d100 << "" << -1 << "12%" << "12%"
                                                << Tip("0", "100", "1") << false;
    QTest::newRow("decimal: exponent") << d100 << "" << -1 << "1e1" << "1e1" << QString() << true;
    QTest::newRow("decimal: bounds shown exactly")
        << Form::Decimal(0.001, 1234567.5, 3) << "" << -1 << "2000000" << "200000"
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

    auto pLineEdit = ShownLineEdit();
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
    QSignalSpy returned(pLineEdit.get(), &QLineEdit::returnPressed);
    QTest::keyClick(pLineEdit.get(), Qt::Key_Return);
    QCOMPARE(finished.count(), accepted ? 1 : 0);
    QCOMPARE(returned.count(), accepted ? 1 : 0);
    QCOMPARE(pLineEdit->text(), text);
}

void TestValidator::leaving_data()
{
    QTest::addColumn<Form>("form");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QEvent::Type>("event");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tip");

    const Form w8 = Form::Whole(8, 60);
    const QString t8 = Tip("8", "60");
    QTest::newRow("whole: below bottom, pointer leaves") << w8 << "5" << QEvent::Leave << "8" << t8;
    QTest::newRow("whole: below bottom, focus leaves") << w8 << "5" << QEvent::FocusOut << "8" << t8;
    QTest::newRow("whole: empty gets the bottom") << w8 << "" << QEvent::Leave << "8" << t8;
    QTest::newRow("whole: letters get the bottom")
        << Form::Whole(1, 50) << "abc" << QEvent::Leave << "1" << Tip("1", "50");
    QTest::newRow("whole: in range kept") << w8 << "20" << QEvent::Leave << "20" << QString();
    QTest::newRow("whole: above top not looked at") << w8 << "99" << QEvent::Leave << "99" << QString();
    QTest::newRow("whole: focus coming in ignored") << w8 << "5" << QEvent::FocusIn << "5" << QString();

    const Form d1 = Form::Decimal(0.1, 0.8, 2);
    const QString t1 = Tip("0.1", "0.8", "2");
    QTest::newRow("decimal: below bottom, pointer leaves") << d1 << "0.05" << QEvent::Leave << "0.1" << t1;
    QTest::newRow("decimal: below bottom, focus leaves") << d1 << "0.05" << QEvent::FocusOut << "0.1" << t1;
    QTest::newRow("decimal: above top") << d1 << "0.9" << QEvent::Leave << "0.1" << t1;
    QTest::newRow("decimal: blanks around") << d1 << " 0.05 " << QEvent::Leave << "0.1" << t1;
    QTest::newRow("decimal: nan") << d1 << "nan" << QEvent::Leave << "0.1" << t1;
    QTest::newRow("decimal: minus infinity") << d1 << "-inf" << QEvent::FocusOut << "0.1" << t1;
    QTest::newRow("decimal: in range kept") << d1 << "0.5" << QEvent::Leave << "0.5" << QString();
    QTest::newRow("decimal: letters left alone") << d1 << "abc" << QEvent::Leave << "abc" << QString();
    QTest::newRow("decimal: empty left alone") << d1 << "" << QEvent::Leave << "" << QString();
    QTest::newRow("decimal: focus coming in ignored") << d1 << "0.05" << QEvent::FocusIn << "0.05" << QString();

    const Form d100 = Form::Decimal(0, 100, 1);
    QTest::newRow("decimal: percent sign ignored") << d100 << "12%" << QEvent::Leave << "12%" << QString();
    QTest::newRow("decimal: percent sign, out of range")
        << d100 << "150%" << QEvent::Leave << "0" << Tip("0", "100", "1");
    QTest::newRow("decimal: own reset value")
        << Form::Decimal(0.1, 0.8, 2, 0.5) << "0.9" << QEvent::Leave << "0.5" << t1;
    QTest::newRow("decimal: reset written with six digits")
        << Form::Decimal(0.123456789, 1, 9) << "5" << QEvent::FocusOut << "0.123457"
        << Tip("0.123456789", "1", "9");
}

void TestValidator::leaving()
{
    QFETCH(Form, form);
    QFETCH(QString, start);
    QFETCH(QEvent::Type, event);
    QFETCH(QString, text);
    QFETCH(QString, tip);

    auto pLineEdit = ShownLineEdit();
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

void TestValidator::replacedValidatorObeysOnlyTheNewRange_data()
{
    QTest::addColumn<Form>("before");
    QTest::addColumn<Form>("after");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("corrected");

    // Each entry passes the old range and fails the new one, and each
    // correction would fail the old one again.
    QTest::newRow("whole") << Form::Whole(25, 60) << Form::Whole(20, 30) << "35" << "3" << Tip("20", "30") << "12"
                           << "20";
    QTest::newRow("decimal") << Form::Decimal(1.5, 3, 2) << Form::Decimal(1, 2, 1) << "2.5" << "2."
                             << Tip("1", "2", "1") << "0.5" << "1";
}

void TestValidator::replacedValidatorObeysOnlyTheNewRange()
{
    QFETCH(Form, before);
    QFETCH(Form, after);
    QFETCH(QString, keys);
    QFETCH(QString, typed);
    QFETCH(QString, tip);
    QFETCH(QString, left);
    QFETCH(QString, corrected);

    auto pLineEdit = ShownLineEdit();
    // The toolkit's own validators (a spin box's, say) belong to someone else.
    QPointer<QIntValidator> pForeign = new QIntValidator(pLineEdit.get());
    pLineEdit->setValidator(pForeign);

    QPointer<Validator> pOld = before.Make(pLineEdit.get());
    Validator::Install(pLineEdit.get(), pOld);
    QPointer<Validator> pNew = after.Make(pLineEdit.get());
    Validator::Install(pLineEdit.get(), pNew);
    QVERIFY(pForeign);
    QVERIFY(!pOld);
    QVERIFY(pNew);
    QCOMPARE(pLineEdit->validator(), pNew.data());

    QTest::keyClicks(pLineEdit.get(), keys);
    QCOMPARE(pLineEdit->text(), typed);
    QTRY_COMPARE(ShownTip(), tip);

    for (QEvent::Type event : {QEvent::Leave, QEvent::FocusOut}) {
        pLineEdit->setText(left);
        CloseTips();
        Send(pLineEdit.get(), event);
        QCOMPARE(pLineEdit->text(), corrected);
        QCOMPARE(ShownTip(), tip);
    }

    pLineEdit.reset();
    QVERIFY(!pNew); // went with its line edit
}

void TestValidator::subclassGetsTipsButNoCorrection_data()
{
    QTest::addColumn<Form>("form");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("tip");

    QTest::newRow("whole") << Form::Whole(8, 60) << "5" << Tip("8", "60");
    QTest::newRow("decimal") << Form::Decimal(0.1, 0.8, 2) << "0.05" << Tip("0.1", "0.8", "2");
}

void TestValidator::subclassGetsTipsButNoCorrection()
{
    QFETCH(Form, form);
    QFETCH(QString, keys);
    QFETCH(QString, tip);

    SpinEdit edit;
    ShowActive(&edit);
    Validator::Install(&edit, form.Make(&edit));
    QTest::keyClicks(&edit, keys);
    QCOMPARE(edit.text(), keys);
    QCOMPARE(ShownTip(), tip);

    CloseTips();
    Send(&edit, QEvent::Leave);
    QCOMPARE(edit.text(), keys);
    QCOMPARE(ShownTip(), QString());
    Send(&edit, QEvent::FocusOut); // the line edit's own check may put up a tip
    QCOMPARE(edit.text(), keys);
}

void TestValidator::tipWordingComesFromTheTranslator_data()
{
    QTest::addColumn<Form>("form");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("tip");

    QTest::newRow("whole") << Form::Whole(8, 60) << "61" << "5" << "Bereich 8 bis 60";
    QTest::newRow("decimal") << Form::Decimal(0.1, 0.8, 2) << "0.9" << "0.05" << "Bereich 0.1 bis 0.8 (2 Stellen)";
}

void TestValidator::tipWordingComesFromTheTranslator()
{
    QFETCH(Form, form);
    QFETCH(QString, keys);
    QFETCH(QString, left);
    QFETCH(QString, tip);

    auto pLineEdit = ShownLineEdit();
    Validator::Install(pLineEdit.get(), form.Make(pLineEdit.get()));

    // Loaded after the validator was made: the wording is looked up each time.
    const QString catalogue = m_config->path() + QStringLiteral("/de-test.json");
    QFile file(catalogue);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"json({"Input range %1 to %2": "Bereich %1 bis %2",
                   "Input range %1 to %2 ,%3 decimal places": "Bereich %1 bis %2 (%3 Stellen)"})json");
    file.close();
    QVERIFY(CTranslator::GetInstance()->LoadCatalogue(catalogue));

    QTest::keyClicks(pLineEdit.get(), keys);
    QCOMPARE(ShownTip(), tip);

    pLineEdit->setText(left);
    CloseTips();
    Send(pLineEdit.get(), QEvent::FocusOut);
    QCOMPARE(ShownTip(), tip);
}

void TestValidator::decimalPointIsTheSameUnderAnyLocale()
{
    // A German machine writes "0,5"; the field still takes what toDouble reads.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto pLineEdit = ShownLineEdit();
    Validator::Install(pLineEdit.get(), Form::Decimal(0.1, 0.8, 2).Make(pLineEdit.get()));
    QSignalSpy finished(pLineEdit.get(), &QLineEdit::editingFinished);

    QTest::keyClicks(pLineEdit.get(), QStringLiteral("0.5"));
    QTest::keyClick(pLineEdit.get(), Qt::Key_Return);
    QCOMPARE(pLineEdit->text(), QStringLiteral("0.5"));
    QCOMPARE(finished.count(), 1);
}

void TestValidator::nullLineEditMakesAPlainValidator_data()
{
    QTest::addColumn<Form>("form");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("pos");
    QTest::addColumn<QValidator::State>("state");

    const Form w8 = Form::Whole(8, 60);
    QTest::newRow("whole: empty") << w8 << "" << 0 << QValidator::Intermediate;
    QTest::newRow("whole: below bottom") << w8 << "1" << 1 << QValidator::Intermediate;
    QTest::newRow("whole: in range") << w8 << "15" << 2 << QValidator::Acceptable;
    QTest::newRow("whole: above top") << w8 << "61" << 2 << QValidator::Invalid;
    QTest::newRow("whole: not a number") << Form::Whole(0, 50) << "x" << 1 << QValidator::Invalid;

    const Form d1 = Form::Decimal(0.1, 0.8, 2);
    QTest::newRow("decimal: empty") << d1 << "" << 0 << QValidator::Intermediate;
    QTest::newRow("decimal: below bottom") << d1 << "0.05" << 4 << QValidator::Intermediate;
    QTest::newRow("decimal: in range") << d1 << "0.5" << 3 << QValidator::Acceptable;
    QTest::newRow("decimal: above top") << d1 << "0.9" << 3 << QValidator::Invalid;
    QTest::newRow("decimal: too many decimals") << d1 << "0.123" << 5 << QValidator::Invalid;
    QTest::newRow("decimal: minus just typed") << Form::Decimal(-80, 80, 2) << "-5" << 1 << QValidator::Intermediate;
    QTest::newRow("decimal: minus typed first") << Form::Decimal(-80, 80, 2) << "-5" << 2 << QValidator::Acceptable;
}

void TestValidator::nullLineEditMakesAPlainValidator()
{
    QFETCH(Form, form);
    QFETCH(QString, input);
    QFETCH(int, pos);
    QFETCH(QValidator::State, state);

    std::unique_ptr<Validator> pValidator(form.Make(nullptr));
    Validator::Install(nullptr, pValidator.get());
    PutUpSentinel();
    QCOMPARE(pValidator->validate(input, pos), state);
    QTest::qWait(400); // a hide would have taken effect by now
    QCOMPARE(ShownTip(), kSentinel);

    // Leaving some other field is none of its business.
    auto pLineEdit = ShownLineEdit();
    pLineEdit->setText(QStringLiteral("-1000"));
    pLineEdit->installEventFilter(pValidator.get());
    Send(pLineEdit.get(), QEvent::Leave);
    QCOMPARE(pLineEdit->text(), QStringLiteral("-1000"));
}

QTEST_MAIN(TestValidator)
#include "tst_validator.moc"
