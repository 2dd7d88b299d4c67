// Texts into and out of the engine records' fixed UTF-8 fields.
#include "TextField.h"

#include <QtTest>
#include <cstring>

namespace {
QString Cjk(int n)
{
    return QString(n, QChar(0x4E2D)); // 中, three UTF-8 bytes
}
} // namespace

class TestTextField : public QObject
{
    Q_OBJECT

private slots:
    void fits_data();
    void fits();
    void roundTrip_data();
    void roundTrip();
    void stopsAtEmbeddedZero();
    void copyToField_data();
    void copyToField();
    void copyToFieldRefusesNull();
};

void TestTextField::fits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("fits");
    QTest::newRow("empty") << "" << 256 << true;
    QTest::newRow("COMPETITION") << "COMPETITION" << 12 << true;
    QTest::newRow("COMPETITION without room for the zero") << "COMPETITION" << 11 << false;
    QTest::newRow("255 ascii") << QString(255, QLatin1Char('a')) << 256 << true;
    QTest::newRow("256 ascii") << QString(256, QLatin1Char('a')) << 256 << false;
    QTest::newRow("85 cjk") << Cjk(85) << 256 << true;
    QTest::newRow("86 cjk") << Cjk(86) << 256 << false;
    QTest::newRow("21 cjk font name") << Cjk(21) << 64 << true;
    QTest::newRow("22 cjk font name") << Cjk(22) << 64 << false;
    QTest::newRow("emoji counts four bytes") << QString::fromUtf8("\xF0\x9F\x94\xA5").repeated(16) << 64 << false;
}

void TestTextField::fits()
{
    QFETCH(QString, text);
    QFETCH(int, size);
    QFETCH(bool, fits);

    QByteArray field(size, '\x7f');
    std::memcpy(field.data(), "previous", 9);
    const QByteArray before = field;
    QCOMPARE(StringToUtf8Field(text, field.data(), size), fits);
    if (fits) {
        const QByteArray utf8 = text.toUtf8();
        QCOMPARE(QByteArray(field.constData(), utf8.size()), utf8);
        QCOMPARE(field.at(utf8.size()), '\0');
        // Bytes behind the terminator keep what they held.
        QCOMPARE(field.mid(qMax(utf8.size() + 1, 9)), before.mid(qMax(utf8.size() + 1, 9)));
        QCOMPARE(Utf8FieldToString(field.constData()), text);
    } else {
        QCOMPARE(field, before);
    }
}

void TestTextField::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << "First Prize";
    QTest::newRow("chinese") << QString::fromUtf8("宋体");
    QTest::newRow("german") << QString::fromUtf8("Erster Preis für Größe");
    QTest::newRow("empty") << "";
}

void TestTextField::roundTrip()
{
    QFETCH(QString, text);
    char field[256];
    QVERIFY(StringToUtf8Field(text, field, sizeof field));
    QCOMPARE(Utf8FieldToString(field), text);
    QCOMPARE(StringToUtf8(text), text.toUtf8());
}

void TestTextField::stopsAtEmbeddedZero()
{
    const QString text = QStringLiteral("ab") + QChar(0) + QStringLiteral("cd");
    QCOMPARE(StringToUtf8(text), QByteArray("ab"));
    char field[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    field[0] = '\0';
    QCOMPARE(Utf8FieldToString(field), QString());
}

void TestTextField::copyToField_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("10 bytes whole") << QByteArray("Front face") << QByteArray("Front face");
    QTest::newRow("63 bytes whole") << QByteArray(63, 'a') << QByteArray(63, 'a');
    QTest::newRow("64 bytes cut to 63") << QByteArray(64, 'b') << QByteArray(63, 'b');
    QTest::newRow("70 bytes cut to 63") << QByteArray(70, 'c') << QByteArray(63, 'c');
    // The cut may fall inside a character; the field still ends with zero.
    const QByteArray cjk = Cjk(22).toUtf8();
    QTest::newRow("cut inside a character") << cjk << cjk.left(63);
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestTextField::copyToField()
{
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, stored);
    QByteArray field(64, '\x55');
    QVERIFY(CopyToField(field.data(), 64, source.constData(), size_t(source.size())));
    QCOMPARE(field.left(stored.size()), stored);
    QCOMPARE(field.mid(stored.size()), QByteArray(64 - stored.size(), '\0'));
}

void TestTextField::copyToFieldRefusesNull()
{
    char field[4] = {'a', 'b', 'c', 'd'};
    QVERIFY(!CopyToField(nullptr, 4, "x", 1));
    QVERIFY(!CopyToField(field, 4, nullptr, 1));
    QCOMPARE(field[0], 'a');
}

QTEST_GUILESS_MAIN(TestTextField)
#include "tst_textfield.moc"
