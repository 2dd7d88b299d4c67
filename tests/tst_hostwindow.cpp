// kerfmate-host's window on a real X server, used as a maker uses it: new
// parts from the module's dialog, export, undo, language and units.
#include "HostEngine.h"
#include "MainWindow.h"
#include "ModuleHost.h"
#include "SheetView.h"

#include <QtSvg>
#include <QtTest>
#include <QtWidgets>

namespace {
// Runs fn on the next modal window, from inside its own event loop.
void WhenModal(const std::function<void(QWidget*)>& fn)
{
    QTimer::singleShot(0, qApp, [fn] {
        QWidget* pModal = nullptr;
        if (QTest::qWaitFor([&] { return (pModal = QApplication::activeModalWidget()) && pModal->isVisible(); }))
            fn(pModal);
    });
}

// Picks the generator and confirms once the preview shows the part.
void MakePart(QWidget* pDialog, int generator)
{
    pDialog->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch"))->setCurrentIndex(generator);
    auto* pView = pDialog->findChild<QGraphicsView*>(QStringLiteral("graphicsView_preview"));
    (void)QTest::qWaitFor([&] { return !pView->scene()->items().isEmpty(); });
    QTest::mouseClick(pDialog->findChild<QPushButton*>(QStringLiteral("pushButton_ok")), Qt::LeftButton);
}
} // namespace

class TestHostWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void newPartOnEachGenerator();
    void undoRedoMoveDelete();
    void languageRetextsTheOpenDialog();
    void unitsReachTheNextDialog();
    void engineSaysWhatItMade_data();
    void engineSaysWhatItMade();
    void exportsEveryFormat();
    void closingAsksWhileUnexported();

private:
    void Trigger(const char* pszAction) { m_pWindow->findChild<QAction*>(QLatin1String(pszAction))->trigger(); }
    QString Path(const QString& name) const { return qEnvironmentVariable("XDG_CONFIG_HOME") + '/' + name; }

    ModuleHost m_module;
    HostEngine m_engine;
    std::unique_ptr<MainWindow> m_pWindow;
};

void TestHostWindow::initTestCase()
{
    QCOMPARE(m_module.Load(QStringLiteral(KERFMATE_DEFAULT_MODULE)), ModuleHost::Loaded);
    m_pWindow = std::make_unique<MainWindow>(m_module, m_engine, QString(), QString());
    m_pWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pWindow.get()));
}

void TestHostWindow::newPartOnEachGenerator()
{
    const QStringList names = {"Right-angle box", "Rounded box", "Gear pair", "Badge / seal"};
    for (int generator = 0; generator < names.size(); ++generator) {
        WhenModal([generator](QWidget* pDialog) { MakePart(pDialog, generator); });
        Trigger("actionNewPart");
        const QList<PartItem*> parts = m_pWindow->Sheet()->Parts();
        QCOMPARE(parts.size(), generator + 1);
        QCOMPARE(parts.last()->Name(), names.at(generator));
        for (const PartItem* pOther : parts.mid(0, generator)) // placed beside, never over
            QVERIFY(!pOther->PartRect().intersects(parts.last()->PartRect()));
    }
    QVERIFY(m_pWindow->isWindowModified());
}

void TestHostWindow::undoRedoMoveDelete()
{
    SheetView* pSheet = m_pWindow->Sheet();
    const int count = pSheet->Parts().size();

    // Drag the first part 20 mm right with the mouse; undo puts it back.
    PartItem* pPart = pSheet->Parts().first();
    const QPointF from = pPart->pos();
    const QPoint grip = pSheet->mapFromScene(pPart->PartRect().center());
    const QPoint to = pSheet->mapFromScene(pPart->PartRect().center() + QPointF(20, 0));
    QTest::mousePress(pSheet->viewport(), Qt::LeftButton, {}, grip);
    QTest::mouseMove(pSheet->viewport(), (grip + to) / 2);
    QTest::mouseMove(pSheet->viewport(), to);
    QTest::mouseRelease(pSheet->viewport(), Qt::LeftButton, {}, to);
    QVERIFY(pPart->pos().x() > from.x() + 15);
    Trigger("actionUndo");
    QCOMPARE(pPart->pos(), from);

    pSheet->scene()->clearSelection();
    pPart->setSelected(true);
    const std::pair<const char*, int> steps[] = {
        {"actionDelete", count - 1}, {"actionUndo", count}, {"actionRedo", count - 1}, {"actionUndo", count}};
    for (const auto& [action, parts] : steps) {
        Trigger(action);
        QCOMPARE(pSheet->Parts().size(), parts);
    }
}

void TestHostWindow::languageRetextsTheOpenDialog()
{
    // The switch reaches open windows as an event: wait for it, no longer.
    QStringList texts;
    WhenModal([&](QWidget* pDialog) {
        // The menu bar answers a click while the dialog is open.
        QMenuBar* pBar = m_pWindow->menuBar();
        const QPoint languageMenu = pBar->mapTo(m_pWindow.get(), pBar->actionGeometry(pBar->actions().last()).center());
        QTest::mouseClick(m_pWindow->windowHandle(), Qt::LeftButton, {}, languageMenu); // through the window system
        texts << (QTest::qWaitFor([] { return QApplication::activePopupWidget(); }) ? "menu" : "blocked");
        if (QApplication::activePopupWidget())
            QApplication::activePopupWidget()->close();
        auto* pSwitch = pDialog->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch"));
        for (const char* language : {"actionLanguage_de", "actionLanguage_zh", "actionLanguage_en"}) {
            const QString before = pDialog->windowTitle();
            Trigger(language);
            (void)QTest::qWaitFor([&] { return pDialog->windowTitle() != before; });
            texts << pDialog->windowTitle() << pSwitch->itemText(2) << m_pWindow->menuBar()->actions().first()->text();
        }
        static_cast<QDialog*>(pDialog)->reject();
    });
    Trigger("actionNewPart");
    QCOMPARE(texts, QStringList({"menu", "Erstellen", "Zahnradpaar", "&Datei", "创建", "齿轮", "文件(&F)", "Create",
                                 "Gear pair", "&File"}));
}

void TestHostWindow::unitsReachTheNextDialog()
{
    for (const auto& [units, lengthTop] : {std::pair("actionUnitsInch", 33.46), std::pair("actionUnitsMm", 850.0)}) {
        Trigger(units);
        double top = 0;
        WhenModal([&](QWidget* pDialog) {
            top = pDialog->findChild<QDoubleSpinBox*>(QStringLiteral("spinBox_rectLength"))->maximum();
            static_cast<QDialog*>(pDialog)->reject();
        });
        Trigger("actionNewPart");
        QCOMPARE(top, lengthTop);
    }
    const QSettings cfg(Path("Kerfmate/Gleamworks/Resources/Data/cfg.ini"), QSettings::IniFormat);
    QCOMPARE(cfg.value(QStringLiteral("APP_CFG/KEY_RULER_UNIT")).toInt(), 1);
}

void TestHostWindow::exportsEveryFormat()
{
    for (const QString file : {"sheet.svg", "sheet.dxf", "sheet.pdf"}) {
        WhenModal([&](QWidget* pModal) {
            if (auto* pFiles = qobject_cast<QFileDialog*>(pModal))
                pFiles->selectFile(Path(file));
            static_cast<QDialog*>(pModal)->accept();
        });
        Trigger(("actionExport" + file.right(3).toUpper()).toLatin1().constData());
        QVERIFY(QFileInfo(Path(file)).size() > 100);
        QVERIFY(m_pWindow->windowTitle().startsWith(file) && !m_pWindow->isWindowModified());
    }
    const QRectF page = BoundsOf(m_pWindow->Sheet()->AllOutlines()).adjusted(-2, -2, 2, 2);
    const QRectF viewBox = QSvgRenderer(Path("sheet.svg")).viewBoxF();
    for (const QPointF& corner : {viewBox.topLeft() - page.topLeft(), viewBox.bottomRight() - page.bottomRight()})
        QVERIFY(corner.manhattanLength() < 1e-3);
}

// A part the engine changed is placed, one it refused is not; either way the
// maker reads its sentence in the status bar and in a message.
void TestHostWindow::engineSaysWhatItMade_data()
{
    QTest::addColumn<int>("generator");
    QTest::addColumn<QStringList>("typed"); // widget=text
    QTest::addColumn<QString>("said");
    QTest::addColumn<int>("placed");
    QTest::newRow("gears 8/8") << 2 << QStringList({"lineEdit_gearCount1=8", "lineEdit_gearCount2=8"})
                               << "Gear pair was adjusted to cut: Pressure angle raised from 20° to 27.5°" << 1;
    QTest::newRow("hinge radius 0") << 1 << QStringList({"spinBox_filletCornerRadius=0"})
                                    << "Rounded box cannot be cut: Radius 0 mm is too tight for a hinge" << 0;
}

void TestHostWindow::engineSaysWhatItMade()
{
    QFETCH(int, generator);
    QFETCH(QStringList, typed);
    QFETCH(QString, said);
    QFETCH(int, placed);
    const int before = m_pWindow->Sheet()->Parts().size();
    WhenModal([&](QWidget* pDialog) {
        pDialog->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch"))->setCurrentIndex(generator);
        for (const QString& field : typed) {
            auto* pWidget = pDialog->findChild<QWidget*>(field.section('=', 0, 0));
            auto* pEdit = qobject_cast<QLineEdit*>(pWidget);
            pEdit = pEdit ? pEdit : pWidget->findChild<QLineEdit*>();
            pEdit->selectAll();
            QTest::keyClicks(pEdit, field.section('=', 1));
            QTest::keyClick(pEdit, Qt::Key_Return);
        }
        QTest::mouseClick(pDialog->findChild<QPushButton*>(QStringLiteral("pushButton_ok")), Qt::LeftButton);
    });
    Trigger("actionNewPart");
    QCOMPARE(m_pWindow->Sheet()->Parts().size(), before + placed);
    const QString shown = m_pWindow->statusBar()->currentMessage();
    QVERIFY2(shown.startsWith(said), qPrintable(shown));
    QMessageBox* pBox = m_pWindow->findChild<QMessageBox*>();
    QVERIFY(pBox && pBox->isVisible() && pBox->text() == shown);
    delete pBox;
}

void TestHostWindow::closingAsksWhileUnexported()
{
    Trigger("actionUndo"); // a change since the export
    QString question;
    WhenModal([&](QWidget* pModal) {
        question = static_cast<QMessageBox*>(pModal)->text();
        static_cast<QMessageBox*>(pModal)->button(QMessageBox::No)->click();
    });
    QVERIFY(!m_pWindow->close());
    QVERIFY(question.contains(QLatin1String("not been exported")));
    Trigger("actionRedo");
    QVERIFY(m_pWindow->close()); // back where it was exported: nothing to ask
    // Remembered in the window's own file, never in the module's.
    const QSettings own(Path("Kerfmate/kerfmate-host.ini"), QSettings::IniFormat);
    QCOMPARE(own.value(QStringLiteral("export/folder")).toString(), qEnvironmentVariable("XDG_CONFIG_HOME"));
    QVERIFY(own.contains(QStringLiteral("window/geometry")) && own.contains(QStringLiteral("units")));
    const QSettings module(Path("Kerfmate/Gleamworks/Resources/Data/Kerfmate.ini"), QSettings::IniFormat);
    QCOMPARE(module.childGroups(), QStringList({"DLG_FILLET_BOX", "DLG_GEAR_BOX", "DLG_RECT_BOX", "DLG_SEAL_BOX"}));
}

int main(int argc, char* argv[])
{
    // A real X server of its own: xvfb-run starts one and runs this test in it.
    if (qgetenv("QT_QPA_PLATFORM") != "xcb") {
        QStringList args = {"-a", "env", "QT_QPA_PLATFORM=xcb"};
        for (int i = 0; i < argc; ++i)
            args << QString::fromLocal8Bit(argv[i]);
        const int code = QProcess::execute(QStringLiteral("xvfb-run"), args);
        if (code < 0)
            qWarning("this test needs xvfb-run (Debian package xvfb)");
        return code;
    }
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Kerfmate"));
    QApplication::setApplicationName(QStringLiteral("kerfmate-host"));
    TestHostWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostwindow.moc"
