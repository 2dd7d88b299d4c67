// Window placement: centred on the primary screen's available area at every
// show, measured from the screen origin.
#include "BaseDialog.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

class CenteredDialog : public BaseDialog
{
public:
    CenteredDialog()
        : BaseDialog(nullptr)
    {
    }
};

class TestBaseDialog : public QObject
{
    Q_OBJECT

private slots:
    void screenIsTheConfiguredOne();
    void windowFlags();
    void centres_data();
    void centres();
    void centresAgainAfterHideAndShow();
};

void TestBaseDialog::screenIsTheConfiguredOne()
{
    QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().size(), QSize(1920, 1040));
}

void TestBaseDialog::windowFlags()
{
    CenteredDialog dialog;
    const Qt::WindowFlags flags = dialog.windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
}

void TestBaseDialog::centres_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("position");
    QTest::newRow("the generator dialog") << QSize(1320, 800) << QPoint(300, 120);
    QTest::newRow("odd difference truncates") << QSize(1319, 799) << QPoint(300, 120);
    QTest::newRow("wider than the screen") << QSize(2000, 800) << QPoint(-40, 120);
    QTest::newRow("taller than the screen") << QSize(1320, 1141) << QPoint(300, -50);
}

void TestBaseDialog::centres()
{
    QFETCH(QSize, size);
    QFETCH(QPoint, position);
    CenteredDialog dialog;
    dialog.resize(size);
    dialog.show();
    QCOMPARE(dialog.size(), size);
    QCOMPARE(dialog.pos(), position);
}

void TestBaseDialog::centresAgainAfterHideAndShow()
{
    CenteredDialog dialog;
    dialog.resize(1320, 800);
    dialog.show();
    dialog.hide();
    dialog.move(10, 10);
    dialog.show();
    QCOMPARE(dialog.pos(), QPoint(300, 120));
}

// The offscreen platform takes its screen from a file; write it before the
// application starts.
int main(int argc, char* argv[])
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [{"name": "main", "x": 0, "y": 0, "width": 1920, "height": 1040,
                  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toUtf8());
    QApplication app(argc, argv);
    TestBaseDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_basedialog.moc"
