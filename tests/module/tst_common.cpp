// What the module's layers share: where settings live and how values are
// stored, and the range validator as a user meets it in a line edit. The
// ruler unit is seen in the generators' widgets, the engine's fixed text
// fields by fuzz_textfield.
#include "TestSupport.h"

#include "CShape.h"
#include "CShapeList.h"
#include "CTranslator.h"
#include "CUiPermissionsManager.h"
#include "IniGroup.h"
#include "Settings.h"
#include "Validator.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>
#include <functional>
#include <limits>

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();

// A validator in either form, made for a line edit.
using Range = std::function<Validator*(QLineEdit*)>;
Range Whole(int b, int t)
{
    return [=](QLineEdit* pEdit) { return new Validator(pEdit, b, t, 0, 1); };
}
Range Decimal(double b, double t, int d, double reset = kInf)
{
    return [=](QLineEdit* pEdit) { return new Validator(pEdit, b, t, d, 0, 2, reset); };
}

// A line edit of the toolkit's own class, or of a subclass as in a spin box.
template <typename Edit = QLineEdit>
std::unique_ptr<QLineEdit> Guarded(const Range& range)
{
    std::unique_ptr<QLineEdit> pEdit = std::make_unique<Edit>();
    Validator::Install(pEdit.get(), range(pEdit.get()));
    return pEdit;
}

QString Tip(const QString& bottom, const QString& top, const QString& decimals = QString())
{
    const CTranslator* pTranslator = CTranslator::GetInstance();
    return decimals.isNull()
               ? pTranslator->GetWording(QStringLiteral("Input range %1 to %2")).arg(bottom, top)
               : pTranslator->GetWording(QStringLiteral("Input range %1 to %2 ,%3 decimal places")).arg(bottom, top, decimals);
}

QString ShownTip()
{
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

void CloseTips()
{
    for (QWidget* pWindow : QApplication::topLevelWidgets())
        if (pWindow->windowType() == Qt::ToolTip)
            pWindow->hide();
}

} // namespace
Q_DECLARE_METATYPE(Range)

// Spin boxes' line edits are of the toolkit's own subclasses: they get tips but no correction.
class Subclassed : public QLineEdit
{
    Q_OBJECT
};


class TestCommon : public QObject
{
    Q_OBJECT

private slots:
    // A German machine writes "0,5"; every field still takes "0.5".
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void init() { m_config = std::make_unique<TempConfig>(); }
    void cleanup();

    void resourceFolderByTheme_data();
    void resourceFolderByTheme();
    void storedValuesRead_data();
    void storedValuesRead();
    void batchWritesOnceAtTheOutermostEnd();

    void validator_data();
    void validator();
    void replacedValidatorObeysOnlyTheNewRange();
    void shapeCopiesDrawAsTheirOriginal();

private:
    std::unique_ptr<TempConfig> m_config;
};

void TestCommon::cleanup()
{
    CloseTips();
    CUiPermissionsManager::GetInstance()->SetThemeName(QStringLiteral("Gleamworks"));
    CTranslator::GetInstance()->SetLanguage(QStringLiteral("en"));
    m_config.reset();
}

void TestCommon::resourceFolderByTheme_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("folder");
    QTest::newRow("Lumenforge") << "Lumenforge" << "Lumenforge";
    QTest::newRow("letter case differs") << "lumenforge" << "Gleamworks";
    QTest::newRow("empty") << "" << "Gleamworks";
}

void TestCommon::resourceFolderByTheme()
{
    QFETCH(QString, theme);
    QFETCH(QString, folder);
    CUiPermissionsManager::GetInstance()->SetThemeName(theme);
    const QString path = GetResourcePath();
    QCOMPARE(path, QDir::cleanPath(m_config->path() + QStringLiteral("/%1/%2/Resources")
                                                           .arg(QCoreApplication::organizationName(), folder)));
    QVERIFY(QDir(path).exists());
    QCOMPARE(KerfmateIniPath(), path + QStringLiteral("/Data/Kerfmate.ini"));
}

void TestCommon::storedValuesRead_data()
{
    QTest::addColumn<QByteArray>("line"); // in [G] of Kerfmate.ini; empty: no such key
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QVariant>("read"); // what a field holding 7 (or "seven") reads
    QTest::newRow("missing number keeps the field") << QByteArray() << "Number" << QVariant(7.0);
    QTest::newRow("number stored times 1000") << QByteArray("k=2500") << "Number" << QVariant(2.5);
    QTest::newRow("text that is no number reads 0") << QByteArray("k=abc") << "Number" << QVariant(0.0);
    QTest::newRow("count truncated") << QByteArray("k=3.9") << "Count" << QVariant(3);
    QTest::newRow("any non-zero flag") << QByteArray("k=2") << "Flag" << QVariant(true);
    QTest::newRow("text") << QByteArray("k=\"a, b\"") << "Text" << QVariant("a, b");
    QTest::newRow("text beginning with @") << QByteArray("k=@@home") << "Text" << QVariant("@home");
    // A serialised object is never deserialised: the field keeps its value.
    QTest::newRow("serialised, another key of the group")
        << QByteArray("j=@Variant(\\0\\0\\0\\x9@\\x14\\0\\0\\0\\0\\0\\0)\nk=2500") << "Number" << QVariant(2.5);
    // Nor any other object Qt would build: a text field keeps its text.
    for (const char* object : {"@ByteArray(ab)", "@DateTime(\\0\\0\\0\\x10\\0)", "@Rect(1 2 3 4)", "@Size(1 2)", "@Point(1 2)",
                               "@Invalid()", "@Variant(\\0\\0\\0\\n\\0\\0\\0\\x2\\0h)"})
        QTest::addRow("text field, %s", object) << QByteArray("k=") + object << "Text" << QVariant("seven");
    // Qt drops a byte-order mark where its decoder meets it first.
    QTest::newRow("serialised behind a byte-order mark")
        << QByteArray("k= ,\"\xEF\xBB\xBF@Variant(\\0\\0\\0\\x9@\\x14\\0\\0\\0\\0\\0\\0)\"") << "Number" << QVariant(7.0);
}

void TestCommon::storedValuesRead()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, kind);
    QFETCH(QVariant, read);
    QFile file(m_config->kerfmateIni());
    // Read once before the line is there: a file that changes is read anew.
    double dBefore = 0;
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[G]\n") == 4);
    file.close();
    IniReader(QStringLiteral("G")).Number(QStringLiteral("k"), dBefore);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[G]\n" + line + "\n[H]\nx=1\n");
    file.close();
    const IniReader ini(QStringLiteral("G"));
    double dNumber = 7;
    int32_t nCount = 7;
    bool bFlag = false;
    QString text = QStringLiteral("seven");
    const QMap<QString, std::function<QVariant()>> reads{
        {"Number", [&] { ini.Number(QStringLiteral("k"), dNumber); return QVariant(dNumber); }},
        {"Count", [&] { ini.Count(QStringLiteral("k"), nCount); return QVariant(nCount); }},
        {"Flag", [&] { ini.Flag(QStringLiteral("k"), bFlag); return QVariant(bFlag); }},
        {"Text", [&] { ini.Text(QStringLiteral("k"), text); return QVariant(text); }}};
    QCOMPARE(reads.value(kind)(), read);
}

// OK saves every generator in one batch that each group's writer joins.
void TestCommon::batchWritesOnceAtTheOutermostEnd()
{
    const auto onDisk = [](const QString& file) { // what a reader in another process finds
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    };
    {
        const IniWriteBatch all(KerfmateIniPath());
        IniWriter(QStringLiteral("G")).Integer(QStringLiteral("a"), 1);
        QVERIFY(!onDisk(KerfmateIniPath()).contains("a=1")); // the inner end writes nothing
        WriteIniInt(QStringLiteral("G"), QStringLiteral("b"), 2, HostConfigPath());
        QVERIFY(onDisk(HostConfigPath()).contains("b=2")); // another file is not held back
    }
    QVERIFY(onDisk(KerfmateIniPath()).contains("a=1") && !onDisk(KerfmateIniPath()).contains("b=2"));
}

void TestCommon::validator_data()
{
    QTest::addColumn<Range>("range");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys");  // typed at the end
    QTest::addColumn<int>("event");     // then: 0 none; negative: on a spin box's own line edit
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tip");   // up afterwards; empty: none (after an event)
    QTest::addColumn<int>("accepted");  // Return finishes the edit (1) or not (0); -1: not pressed
    const Range w8 = Whole(8, 60), d1 = Decimal(0.1, 0.8, 2);
    const QString t8 = Tip("8", "60"), t1 = Tip("0.1", "0.8", "2");
    const int leave = QEvent::Leave;
    auto row = [](const char* name, const Range& range, const char* start, const char* keys, int event, const char* text,
                  const QString& tip, int accepted = -1) {
        QTest::newRow(name) << range << QString(start) << QString(keys) << event << QString(text) << tip << accepted;
    };
    row("whole: below bottom held on the way up", w8, "", "1", 0, "1", t8, 0);
    row("whole: bottom", w8, "", "8", 0, "8", "", 1);
    row("whole: top", w8, "", "60", 0, "60", "", 1);
    row("whole: above top refused", w8, "", "61", 0, "6", t8, 0);
    row("whole: letters refused from bottom 0", Whole(0, 50), "", "abc", 0, "", Tip("0", "50"), 0);
    row("whole: below bottom, pointer leaves", w8, "5", "", leave, "8", t8);
    row("whole: below bottom, focus leaves", w8, "5", "", QEvent::FocusOut, "8", t8);
    row("whole: bottom kept", w8, "8", "", leave, "8", "");
    row("whole: focus coming in ignored", w8, "5", "", QEvent::FocusIn, "5", "");
    row("whole: a spin box's own line edit is not corrected", w8, "5", "", -leave, "5", "");
    row("decimal: above top refused", d1, "", "0.9", 0, "0.", t1, 0);
    row("decimal: below bottom held", d1, "", "0.05", 0, "0.05", t1, 0);
    row("decimal: bottom", d1, "", "0.1", 0, "0.1", "", 1);
    row("decimal: top", d1, "", "0.8", 0, "0.8", "", 1);
    row("decimal: too many decimals refused", d1, "0.12", "3", 0, "0.12", t1, 1);
    row("decimal: negative in order", Decimal(-80, 80, 2), "", "-5", 0, "-5", "", 1);
    row("decimal: bounds shown exactly", Decimal(0.001, 1234567.5, 3), "", "2000000", 0, "200000",
        Tip("0.001", "1234567.5", "3"), 1);
    row("decimal: above top, pointer leaves", d1, "0.9", "", leave, "0.1", t1);
    row("decimal: top kept", d1, "0.8", "", leave, "0.8", "");
    row("decimal: nan", d1, "nan", "", leave, "0.1", t1);
    row("decimal: own reset value", Decimal(0.1, 0.8, 2, 0.5), "0.9", "", leave, "0.5", t1);
    row("decimal: percent out of range", Decimal(0, 100, 1), "150%", "", leave, "0", Tip("0", "100", "1"));
}

void TestCommon::validator()
{
    QFETCH(Range, range);
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(int, event);
    QFETCH(QString, text);
    QFETCH(QString, tip);
    QFETCH(int, accepted);
    auto pEdit = event >= 0 ? Guarded(range) : Guarded<Subclassed>(range);
    pEdit->setText(start);
    CloseTips();

    QTest::keyClicks(pEdit.get(), keys);
    QFocusEvent focus(QEvent::Type(std::abs(event)), Qt::MouseFocusReason);
    QEvent leave(QEvent::Leave);
    if (event)
        QCoreApplication::sendEvent(pEdit.get(), std::abs(event) == QEvent::Leave ? &leave : static_cast<QEvent*>(&focus));

    QCOMPARE(pEdit->text(), text);
    if (!tip.isEmpty() || event) // a tip hides on a timer after typing
        QCOMPARE(ShownTip(), tip);
    QSignalSpy finished(pEdit.get(), &QLineEdit::editingFinished);
    if (accepted >= 0) {
        QTest::keyClick(pEdit.get(), Qt::Key_Return);
        QCOMPARE(finished.count(), accepted);
    }
}

void TestCommon::replacedValidatorObeysOnlyTheNewRange()
{
    auto pEdit = Guarded(Whole(25, 60));
    QPointer<const QValidator> pOld = pEdit->validator();
    auto* pNew = new Validator(pEdit.get(), 20, 30, 0, 1);
    Validator::Install(pEdit.get(), pNew);
    QVERIFY(!pOld); // deleted: its event filter can never act again
    QTest::keyClicks(pEdit.get(), QStringLiteral("35"));
    QCOMPARE(pEdit->text(), QStringLiteral("3"));
    pEdit->setText(QStringLiteral("22"));
    QCoreApplication::sendEvent(pEdit.get(), std::make_unique<QEvent>(QEvent::Leave).get());
    QCOMPARE(pEdit->text(), QStringLiteral("22")); // the old range would make it 25
}

// A clone, a copy and an assigned shape of every kind draw the same outline,
// placed and unplaced, on the same layer; a text's capitals are as tall as asked.
void TestCommon::shapeCopiesDrawAsTheirOriginal()
{
    QPainterPath square;
    square.addRect(0, 0, 4, 3);
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::red);
    auto* pGroup = new CShapeGroup;
    pGroup->Add(new CShapeVector(square)), pGroup->Add(new CShapeText(QStringLiteral("Ab"), QStringLiteral("DejaVu Sans"), 5));
    const QList<CShape*> shapes = {new CShapeVector(square, CShape::LayerEngrave), new CShapeText(QStringLiteral("Hi"), QStringLiteral("DejaVu Serif"), 10),
                                   pGroup, new CShapeImage(image, QRectF(1, 2, 8, 6)),
                                   new CShapeArray(CShapeVector(square), 2, 3, 5, 7),
                                   new CCodeShapeImage(image, QRectF(0, 0, 3, 3), QStringLiteral("code"))};
    CShapeList* pList = CShapeList::New();
    for (int i = 0; i < shapes.size(); ++i) {
        shapes[i]->SetLayer(i % 2 ? CShape::LayerEngrave : shapes[i]->GetLayer());
        shapes[i]->SetTransform(QTransform().rotate(30 * i).translate(i, -i));
        pList->AddTail(shapes[i]);
    }
    CShapeList* pClone = pList->Clone();
    for (int i = 0; i < shapes.size(); ++i) {
        CShape* pCopy = pClone->GetShape(uint(i));
        QVERIFY(pCopy != shapes[i] && pCopy->GetLayer() == shapes[i]->GetLayer());
        QVERIFY(!pCopy->GetPath(false)->isEmpty() && *pCopy->GetPath(false) == *shapes[i]->GetPath(false));
        QCOMPARE(*pCopy->GetPath(true), *shapes[i]->GetPath(true));
    }
    QVERIFY(!pClone->GetShape(uint(shapes.size())) && !pClone->GetShape(~0u)); // past the end: none
    QVERIFY(std::abs(CShapeText(QStringLiteral("H"), QStringLiteral("DejaVu Sans"), 10).GetPath(true)->boundingRect().height() - 10) < 0.2);
    for (CShapeList* pOwner : {pClone, pList})
        pOwner->DeleteAll(), CShapeList::Release(pOwner);
}

QTEST_MAIN(TestCommon)
#include "tst_common.moc"
