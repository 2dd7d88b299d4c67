// kerfmate-host's window on a desktop, used as a maker uses it: parts from
// the module's dialog as the screen shows it, laid on the sheet, moved,
// turned, edited, undone, exported, saved and opened again; language and units.
#include "CommandLine.h"
#include "ExportFormats.h"
#include "HeadlessRun.h"
#include "HostEngine.h"
#include "MainWindow.h"
#include "ModuleHost.h"
#include "ModulePath.h"
#include "Parameters.h"
#include "Readers.h"
#include "Rulers.h"
#include "SheetDocument.h"
#include "SheetView.h"
#include "TestSupport.h"

#include <QtTest>
#include <QtWidgets>
#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>

namespace {

// A part's first outline where the sheet shows it, moved to its corner.
QPolygonF Shown(const Part& part, bool bReflected = false)
{
    const QPainterPath& path = part.pieces[0][0].path;
    QPolygonF points;
    for (int i = 0; i < path.elementCount(); ++i)
        points << part.Placement().map(QPointF(path.elementAt(i))) * (bReflected ? QTransform::fromScale(-1, 1) : QTransform());
    return points.translated(-points.boundingRect().topLeft());
}
// Runs fn on the next modal window, from inside its own event loop.
void WhenModal(const std::function<void(QWidget*)>& fn, bool bActive = true)
{
    auto* pPoll = new QTimer(qApp);
    QObject::connect(pPoll, &QTimer::timeout, [fn, pPoll, bActive, deadline = QDeadlineTimer(10000)] {
        // Once the window manager has made it the active window: a click
        // before that would have its popup closed by the activation.
        QWidget* pModal = QApplication::activeModalWidget();
        const bool shown = pModal && pModal->isVisible();
        if ((shown && (pModal->isActiveWindow() || !bActive)) || deadline.hasExpired())
            pPoll->stop(), pPoll->deleteLater(), shown ? fn(pModal) : void();
    });
    pPoll->start(5);
}

// The X screen over the sheet's view: the board's white between the grid
// lines; red ink on it and off it (a red edge is off it); dark grey on it.
struct Seen { QRect white; int red = 0, off = 0, dark = 0; };
Seen OnScreen(const QWidget* pView)
{
    const QImage shown = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32)
                             .copy(QRect(pView->mapToGlobal(QPoint()), pView->size()));
    Seen seen{QRegion(QBitmap::fromImage(shown.createMaskFromColor(qRgb(255, 255, 255), Qt::MaskOutColor))).boundingRect()};
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb c = shown.pixel(x, y);
            const bool on = seen.white.adjusted(3, 3, -3, -3).contains(x, y);
            if (qRed(c) > 150 && qGreen(c) < 110 && qBlue(c) < 110)
                ++(on ? seen.red : seen.off);
            seen.dark += on && qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && qRed(c) < 0x90;
        }
    return seen;
}

// Runs open(), a dialog that kerfmate-host pictures from the screen into file once its preview
// first shows the outline. That outline must be centred in the preview and fill 85 % of its
// larger relative extent; returns where it lay when it did not.
QString Misplaced(const QString& file, const std::function<void()>& open)
{
    QRect preview; // in the dialog's window
    WhenModal([&preview](QWidget* pDialog) {
        const QWidget* pArea = pDialog->findChild<QGraphicsView*>(QStringLiteral("graphicsView_preview"))->viewport();
        preview = QRect(pArea->mapTo(pDialog, QPoint()), pArea->size());
    }, false);
    open();
    const QImage view = QImage(file).copy(preview);
    const QRect drawn = QRegion(QBitmap::fromImage(view, Qt::ThresholdDither)).boundingRect();
    const double fill = std::max(double(drawn.width()) / view.width(), double(drawn.height()) / view.height());
    const bool whole = (drawn.center() - view.rect().center()).manhattanLength() <= 4 && qAbs(fill - 0.85) < 0.02;
    return whole ? QString() : QDebug::toString(drawn) + " in " + QDebug::toString(view.size());
}

// Answers a file dialog with a path, or a message box with a button.
void Answer(const QString& path, QMessageBox::StandardButton button = QMessageBox::NoButton, QString* pText = nullptr)
{
    WhenModal([=](QWidget* pModal) {
        if (auto* pFiles = qobject_cast<QFileDialog*>(pModal))
            pFiles->selectFile(path), static_cast<QDialog*>(pFiles)->accept();
        else if (auto* pBox = qobject_cast<QMessageBox*>(pModal))
            *pText = pBox->text(), pBox->button(button)->click();
    });
}
// Counts the refusal boxes shown while it lives.
struct RefusalsShown : QObject
{
    RefusalsShown() { qApp->installEventFilter(this); }
    bool eventFilter(QObject* pObject, QEvent* pEvent) override { return n += pEvent->type() == QEvent::Show && pObject->objectName() == "refusal", false; }
    int n = 0;
};
} // namespace

class TestHostWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void firstBoxLandsOnTheSheet_data();
    void firstBoxLandsOnTheSheet();
    void newPartOnEachGenerator();
    void undoRedoRestoreExactly();
    void languageRetextsTheOpenDialog();
    void unitsReachTheNextDialog();
    void editsDoWhatTheySay_data();
    void editsDoWhatTheySay();
    void engineSaysWhatItMade_data();
    void engineSaysWhatItMade();
    void rulersCountTheUnit_data();
    void rulersCountTheUnit();
    void placementFillsTheBoard();
    void exportsShowTheSheet();
    void editSaveReopen();
    void fullDiskLosesNothing();
    void nestSettingsAtTheirBounds_data();
    void nestSettingsAtTheirBounds();
    void nestCancelledOrUndoneLeavesTheSheet();
    void closingAsksWhileUnsaved();

private:
    void Trigger(const char* pszAction) { m_pWindow->findChild<QAction*>(QLatin1String(pszAction))->trigger(); }
    QString Path(const QString& name) const { return qEnvironmentVariable("XDG_CONFIG_HOME") + '/' + name; }
    SheetModel& Model() { return m_pWindow->Model(); }
    QByteArray Document() { return SheetDocument::Write({Model().Setup(), Model().Parts()}); }
    void Drag(int nId, const QPointF& byMm);

    ModuleHost m_module;
    HostEngine m_engine;
    std::unique_ptr<MainWindow> m_pWindow;
};

void TestHostWindow::initTestCase()
{
    QCOMPARE(m_module.Load(DefaultModulePath()), ModuleHost::Loaded);
    m_pWindow = std::make_unique<MainWindow>(m_module, m_engine, QString(), QString());
    m_pWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pWindow.get()));
}

// The first minutes, from the screen: at the first start the whole board, its hint (dark grey) saying how
// to begin, nothing to act on enabled; a first box of each size inside the board, whose edge stays grey.
void TestHostWindow::firstBoxLandsOnTheSheet_data()
{
    QTest::addColumn<QString>("size");
    for (const char* size : {"", "120x40", "400x40", "120x200", "250x100", "200x150", "400x100"})
        QTest::newRow(*size ? size : "first start") << size;
}

void TestHostWindow::firstBoxLandsOnTheSheet()
{
    QFETCH(QString, size);
    DialogDriver driver(m_engine);
    driver.Arm({0, {{"length", size.section('x', 0, 0)}, {"height", size.section('x', 1)}}, QString(), true});
    if (!size.isEmpty())
        Trigger("actionZoomToFit"), Trigger("actionNewPart");
    const QList<QAction*> actions = m_pWindow->findChildren<QAction*>(QRegularExpression("^action"));
    QCOMPARE(std::count_if(actions.cbegin(), actions.cend(), [](const QAction* p) { return !p->isEnabled(); }), size.isEmpty() ? 17 : 1);
    const QRect free = m_pWindow->Sheet()->viewport()->rect().adjusted(SheetView::kRulerPx, SheetView::kRulerPx, 0, 0);
    Seen seen; // the whole board, centred
    QTRY_VERIFY2((seen = OnScreen(m_pWindow->Sheet()->viewport())).off == 0 && free.adjusted(2, 2, -2, -2).contains(seen.white)
                     && (seen.white.center() - free.center()).manhattanLength() <= 4
                     && qAbs(2 * seen.white.width() - 3 * seen.white.height()) < seen.white.height() / 16
                     && (size.isEmpty() ? seen.dark > 100 : seen.red > 0 && seen.dark == 0 && m_pWindow->statusBar()->currentMessage().isEmpty()),
                 qPrintable(QDebug::toString(seen.white) + QStringLiteral(" %1 %2 %3").arg(seen.red).arg(seen.off).arg(seen.dark)));
    m_pWindow->UndoStack().undo();
    QFile::remove(Path("Kerfmate/Gleamworks/Resources/Data/Kerfmate.ini")); // the next box a maker's first too
}

void TestHostWindow::newPartOnEachGenerator()
{
    const QStringList names = {"Right-angle box", "Rounded box", "Gear pair", "Badge / seal"};
    const QRectF sheet(QPointF(), Model().SheetSize());
    DialogDriver driver(m_engine); // picks the generator and confirms once the preview shows the part
    for (int generator = 0; generator < names.size(); ++generator) {
        driver.Arm({generator, {}, Path("first.png"), true});
        QCOMPARE(Misplaced(Path("first.png"), [this] { Trigger("actionNewPart"); }), QString());
        const QVector<Part>& parts = Model().Parts();
        QCOMPARE(parts.size(), generator + 1);
        QCOMPARE(parts.last().strName, names.at(generator));
        QCOMPARE(parts.last().nGenerator, generator);
        QVERIFY(sheet.contains(parts.last().Bounds()));
        for (const Part& other : parts.mid(0, generator)) // where there is room, never over one
            QVERIFY(!other.Bounds().intersects(parts.last().Bounds()));
    }
    // The gears of a pair lie apart, not meshed: the beam would cut into the other.
    const QVector<Outlines>& gears = Model().Parts().at(2).pieces;
    QVERIFY(gears.size() == 2 && !BoundsOf(gears[0]).intersects(BoundsOf(gears[1])));
    QVERIFY(m_pWindow->isWindowModified());
    // And the dialog on its own, as a script runs kerfmate-host.
    HostOptions run;
    run.strModule = DefaultModulePath();
    run.plan.strScreenshot = Path("dialog.png");
    QCOMPARE(Misplaced(run.plan.strScreenshot, [&run] { QCOMPARE(RunHeadless(run), int(ExitCancelled)); }), QString());
}

void TestHostWindow::Drag(int nId, const QPointF& byMm)
{
    SheetView* pSheet = m_pWindow->Sheet();
    const QPointF centre = Model().Find(nId)->Bounds().center();
    const QPoint grip = pSheet->mapFromScene(centre), to = pSheet->mapFromScene(centre + byMm);
    QTest::mousePress(pSheet->viewport(), Qt::LeftButton, {}, grip);
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(pSheet->viewport(), grip + (to - grip) * step / 4);
    QTest::mouseRelease(pSheet->viewport(), Qt::LeftButton, {}, to);
}

// Each edit is one step: undone, the sheet is byte for byte what it was; redone, what it became.
// Every kind of edit one after the other, each its own step: undone one by
// one, the sheet is byte for byte as it was before each; redone, as after.
// Each state is a sheet file that opens as it was written.
void TestHostWindow::undoRedoRestoreExactly()
{
    SheetView* pSheet = m_pWindow->Sheet();
    const int first = Model().Parts().first().nId, start = m_pWindow->UndoStack().index();
    const auto turnBy = [this](double degrees) {
        WhenModal([degrees](QWidget* pModal) {
            qobject_cast<QInputDialog*>(pModal)->setDoubleValue(degrees), qobject_cast<QDialog*>(pModal)->accept();
        });
        Trigger("actionRotateBy");
    };
    // Edit part on nId: one field typed over (a check box clicked), then OK.
    const auto edit = [&](int nId, const char* field, const char* text) {
        WhenModal([=](QWidget* pDialog) {
            auto* pField = pDialog->findChild<QWidget*>(QLatin1String(field));
            qobject_cast<QCheckBox*>(pField) ? QTest::mouseClick(pField, Qt::LeftButton, {}, QPoint(4, 4)) : TypeOver(pField, QLatin1String(text));
            QTest::mouseClick(pDialog->findChild<QPushButton*>(QStringLiteral("pushButton_ok")), Qt::LeftButton);
        });
        pSheet->Select({nId}), Trigger("actionEditPart");
    };
    const std::function<void()> edits[] = {
        [&] { Drag(first, QPointF(20, 10)); },
        [&] { pSheet->Select({first}), Trigger("actionRotateRight"); },
        [&] { turnBy(-30); },
        [&] { turnBy(345.5); },
        [&] { // turned, and mirrored about the sheet's vertical as it shows
            const QPolygonF before = Shown(*Model().Find(first));
            Trigger("actionMirror");
            const QPolygonF after = Shown(*Model().Find(first), true);
            for (int i = 0; i < before.size(); ++i)
                QVERIFY(QLineF(before[i], after.value(i)).length() < 1e-6);
        },
        [&] { pSheet->setFocus(), QTest::keyClick(pSheet, Qt::Key_Left, Qt::ShiftModifier); },
        [&] { pSheet->setFocus(), QTest::keyClick(pSheet, Qt::Key_Down); },
        [&] { edit(first, "spinBox_rectHeight", "45"); },
        [&] { Trigger("actionPin"); },
        [&] { Trigger("actionDuplicate"); },
        [&] { pSheet->Select({Model().Parts().last().nId}), Trigger("actionDelete"); },
        [&] { // each piece a part, numbered from 1, that keeps the values its part was made from
            const QJsonObject made = Model().Find(first)->parameters;
            pSheet->Select({first}), Trigger("actionUngroup");
            QList<int> numbers;
            for (const Part& part : Model().Parts()) {
                const QRegularExpressionMatch piece = QRegularExpression(" \\(([0-9]+)\\)$").match(part.strName);
                if (piece.hasMatch()) {
                    numbers << piece.captured(1).toInt();
                    QVERIFY(part.parameters == made && part.nSource == first && part.nPiece + 1 == numbers.last());
                }
            }
            QVERIFY(numbers.size() > 1 && numbers.first() == 1 && numbers.last() == numbers.size());
        },
        [&] { // one piece edited: every piece remade where it lies
            const QVector<Part> was = Model().Parts();
            edit(was.last().nId, "spinBox_rectHeight", "50");
            QCOMPARE(Model().Parts().size(), was.size());
            for (int i = 0; i < was.size(); ++i) {
                const Part& now = Model().Parts().at(i);
                QVERIFY(now.nId == was[i].nId && now.position == was[i].position);
                QCOMPARE(now.parameters.value("height").toDouble(), now.nSource ? 50 : was[i].parameters.value("height").toDouble());
                QCOMPARE(now.Size() == was[i].Size(), !now.nSource || now.nPiece > 3); // the covers keep their size
            }
        },
        [&] { // values that make other pieces: the part whole again, where the piece lay
            const Part piece = Model().Parts().last();
            edit(piece.nId, "checkBox_rectNoTop", "");
            const Part& whole = Model().Parts().last();
            QVERIFY(whole.pieces.size() == 5 && whole.position == piece.position && whole.parameters.value("no-top") == 1 && Model().Parts().size() == 4);
        },
        [&] { Trigger("actionSelectAll"), Trigger("actionRotateLeft"); },
    };
    QList<QByteArray> documents{Document()};
    for (const auto& edit : edits) {
        edit();
        documents << Document();
        SheetDocument::Contents read;
        QString why;
        QVERIFY2(SheetDocument::Read(documents.last(), &read, &why, ParameterProblem), qPrintable(why));
        QCOMPARE(SheetDocument::Write(read), documents.last());
        QVERIFY2(documents.last() != documents.value(documents.size() - 2), qPrintable(QString::number(documents.size() - 1)));
        QCOMPARE(m_pWindow->UndoStack().index(), start + int(documents.size()) - 1);
    }
    for (int i = int(documents.size()) - 2; i >= 0; --i) {
        Trigger("actionUndo");
        QCOMPARE(Document(), documents[i]);
    }
    for (int i = 1; i < documents.size(); ++i) {
        Trigger("actionRedo");
        QCOMPARE(Document(), documents[i]);
    }
    // Dragged by the mouse, the part moved as far as the mouse did.
    const QPointF from = Model().Parts().first().Bounds().topLeft();
    Drag(Model().Parts().first().nId, QPointF(30, 0));
    QVERIFY(std::abs(Model().Parts().first().Bounds().left() - from.x() - 30) < 1.0);
    m_pWindow->UndoStack().setIndex(start);
    QCOMPARE(Model().Parts().size(), 4);
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
            const QString status = m_pWindow->statusBar()->findChildren<QLabel*>().first()->text();
            texts << pDialog->windowTitle() << pSwitch->itemText(2) << m_pWindow->menuBar()->actions().first()->text()
                  << status << QDialogButtonBox(QDialogButtonBox::Save).buttons().first()->text();
        }
        static_cast<QDialog*>(pDialog)->reject();
    });
    Trigger("actionNewPart");
    QCOMPARE(texts, QStringList({"menu", "Erstellen", "Zahnradpaar", "&Datei", "Teile: 4", "Speichern", "创建", "齿轮",
                                 "文件(&F)", "零件：4", "保存", "Create", "Gear pair", "&File", "Parts: 4", "Save"}));
}

// Each nudge, turn and ungrouping on the selected part, in its unit, one
// undo step that undo takes back whole.
void TestHostWindow::editsDoWhatTheySay_data()
{
    QTest::addColumn<QString>("units");
    QTest::addColumn<QString>("edit"); // a key, Shift+ a key, or an action
    QTest::addColumn<QPointF>("by");   // mm
    QTest::addColumn<double>("turn");
    QTest::addColumn<int>("parts");    // more than before
    const double sixteenth = 25.4 / 16;
    for (const auto& [edit, mm, inch] : {std::tuple("Right", QPointF(1, 0), QPointF(sixteenth, 0)), std::tuple("Left", QPointF(-1, 0), QPointF(-sixteenth, 0)),
                                         std::tuple("Up", QPointF(0, -1), QPointF(0, -sixteenth)), std::tuple("Down", QPointF(0, 1), QPointF(0, sixteenth)),
                                         std::tuple("Shift+Right", QPointF(10, 0), QPointF(12.7, 0)), std::tuple("Shift+Up", QPointF(0, -10), QPointF(0, -12.7))}) {
        QTest::addRow("%s, mm", edit) << "Mm" << edit << mm << 0.0 << 0;
        QTest::addRow("%s, in", edit) << "Inch" << edit << inch << 0.0 << 0;
    }
    QTest::newRow("rotate clockwise") << "Mm" << "actionRotateRight" << QPointF() << 90.0 << 0;
    QTest::newRow("rotate counter-clockwise") << "Mm" << "actionRotateLeft" << QPointF() << 270.0 << 0;
    QTest::newRow("ungroup the gears") << "Mm" << "actionUngroup" << QPointF() << 0.0 << 1;
}
void TestHostWindow::editsDoWhatTheySay()
{
    QFETCH(QString, units);
    QFETCH(QString, edit);
    QFETCH(QPointF, by);
    QFETCH(double, turn);
    QFETCH(int, parts);
    Trigger(qPrintable("actionUnits" + units));
    const QVector<Part> all = Model().Parts();
    const Part before = *std::find_if(all.cbegin(), all.cend(), [](const Part& p) { return p.pieces.size() == 2; });
    const QByteArray document = Document();
    const int steps = m_pWindow->UndoStack().index();
    m_pWindow->Sheet()->Select({before.nId});
    edit.startsWith("action") ? Trigger(qPrintable(edit)) : QTest::keySequence(m_pWindow->Sheet(), QKeySequence(edit));
    QCOMPARE(std::pair(Model().Parts().size(), m_pWindow->UndoStack().index()), std::pair(all.size() + parts, steps + 1)); // one step
    QRectF now; // where the part's pieces lie, whole or apart: its box moved by, turned about its centre
    for (const Part& part : Model().Parts())
        if (part.nId == before.nId || std::none_of(all.cbegin(), all.cend(), [&](const Part& p) { return p.nId == part.nId; })) {
            QVERIFY(std::abs(std::remainder(part.dRotation - before.dRotation - turn, 360)) < 1e-9);
            now |= part.Bounds();
        }
    QVERIFY2((std::fmod(turn, 180) ? now.size().transposed() : now.size()) == before.Bounds().size() && now.center() == before.Bounds().center() + by, qPrintable(QDebug::toString(now)));
    m_pWindow->UndoStack().undo();
    QCOMPARE(Document(), document);
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
        // A part opened and confirmed as it is keeps its values, to the dialog's two decimals.
        const Part before = Model().Parts().at(2);
        const auto again = std::make_shared<int>(0); // 1: the dialog came back with a refusal; 2: this edit is over
        WhenModal([again](QWidget* pDialog) {
            WhenModal([again](QWidget* pBack) { *again = *again ? *again : (static_cast<QDialog*>(pBack)->reject(), 1); });
            QTest::mouseClick(pDialog->findChild<QPushButton*>(QStringLiteral("pushButton_ok")), Qt::LeftButton);
        });
        QTest::mouseDClick(m_pWindow->Sheet()->viewport(), Qt::LeftButton, {}, m_pWindow->Sheet()->mapFromScene(before.Bounds().center()));
        QCOMPARE(std::exchange(*again, 2), 0);
        const QJsonObject after = Model().Find(before.nId)->parameters;
        QCOMPARE(after.keys(), before.parameters.keys());
        for (const QString& key : after.keys())
            QVERIFY2(std::abs(after.value(key).toDouble() - before.parameters.value(key).toDouble()) <= 0.128, qPrintable(units + key));
    }
    const QSettings cfg(Path("Kerfmate/Gleamworks/Resources/Data/cfg.ini"), QSettings::IniFormat);
    QCOMPARE(cfg.value(QStringLiteral("APP_CFG/KEY_RULER_UNIT")).toInt(), 1);
}

// A part the engine changed is placed; OK on one it refused (new or edited) brings the dialog back with
// the values typed, the reason in the status bar and beside the fields on the screen; Cancel changes nothing.
void TestHostWindow::engineSaysWhatItMade_data()
{
    QTest::addColumn<int>("generator");
    QTest::addColumn<bool>("edit"); // the rounded box on the sheet, else a new part
    QTest::addColumn<QStringList>("typed"); // widget=text
    QTest::addColumn<QString>("said");
    QTest::addColumn<int>("placed");
    QTest::newRow("gears 8/8") << 2 << false << QStringList({"lineEdit_gearCount1=8", "lineEdit_gearCount2=8"})
                               << "Gear pair was adjusted to cut: Pressure angle raised from 20° to 27.5°" << 1;
    for (bool edit : {false, true})
        QTest::newRow(edit ? "hinge radius 2, edited" : "hinge radius 2, new") << 1 << edit << QStringList({"spinBox_filletLength=150",
            "spinBox_filletCornerRadius=2"}) << "Rounded box cannot be cut: Radius 2 mm is too tight for a hinge" << 0;
}

void TestHostWindow::engineSaysWhatItMade()
{
    QFETCH(int, generator);
    QFETCH(bool, edit);
    QFETCH(QStringList, typed);
    QFETCH(QString, said);
    QFETCH(int, placed);
    const int before = Model().Parts().size();
    const QByteArray document = Document();
    QStringList back; // the switch, then widget=value
    QString beside;
    const std::function<void(QWidget*)> again = [&](QWidget* pDialog) {
        back << QString::number(pDialog->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch"))->currentIndex());
        for (const QString& one : typed)
            back << one.section('=', 0, 0) + '=' + QString::number(pDialog->findChild<QAbstractSpinBox*>(one.section('=', 0, 0))->text().toDouble());
        const auto global = [](const QWidget* pWidget) { return QRect(pWidget->mapToGlobal(QPoint()), pWidget->size()); };
        QMessageBox* pBox = nullptr;
        if (QTest::qWaitFor([&] {
                const QRect at = (pBox = pDialog->findChild<QMessageBox*>(QStringLiteral("refusal"))) ? global(pBox) : QRect();
                return pBox && !at.intersects(global(pDialog->findChild<QWidget*>(QStringLiteral("widget_FilletBoxParams"))))
                       && pBox->grab().toImage() == QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), at.width(), at.height()).toImage();
            }))
            beside = pBox->text();
        static_cast<QDialog*>(pDialog)->reject();
    };
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
        if (!placed)
            WhenModal(again);
        QTest::mouseClick(pDialog->findChild<QPushButton*>(QStringLiteral("pushButton_ok")), Qt::LeftButton);
    });
    m_pWindow->Sheet()->Select(edit ? QList<int>{Model().Parts().at(1).nId} : QList<int>()); // the rounded box
    const RefusalsShown refusals;
    Trigger(edit ? "actionEditPart" : "actionNewPart");
    QCOMPARE(refusals.n, placed ? 0 : 1); // none over the first dialog
    QCOMPARE(Model().Parts().size(), before + placed);
    const QString shown = m_pWindow->statusBar()->currentMessage();
    QVERIFY2(shown.startsWith(said), qPrintable(shown));
    if (!placed) {
        QCOMPARE(back, QStringList(QString::number(generator)) + typed);
        QCOMPARE(beside, shown);
        QCOMPARE(Document(), document);
        return;
    }
    QMessageBox* pBox = m_pWindow->findChild<QMessageBox*>();
    QVERIFY(pBox && pBox->isVisible() && pBox->text() == shown);
    delete pBox;
}

void TestHostWindow::rulersCountTheUnit_data()
{
    QTest::addColumn<double>("pxPerMm");
    QTest::addColumn<bool>("inches");
    QTest::addColumn<QString>("labels"); // "label@mm ..." of the labelled ticks from 0 to 120 mm
    QTest::addColumn<int>("ticks");
    QTest::newRow("mm, 1 px") << 1.0 << false << "0@0 50@50 100@100" << 13;
    QTest::newRow("mm, 5 px") << 5.0 << false << "0@0 10@10 20@20 30@30 40@40 50@50 60@60 70@70 80@80 90@90 100@100 110@110 120@120" << 61;
    QTest::newRow("inches, 1 px") << 1.0 << true << "0@0 2@50.8 4@101.6" << 12;
    QTest::newRow("inches, 4 px") << 4.0 << true << "0@0 0.5@12.7 1@25.4 1.5@38.1 2@50.8 2.5@63.5 3@76.2 3.5@88.9 4@101.6 4.5@114.3" << 48;
}

void TestHostWindow::rulersCountTheUnit()
{
    QFETCH(double, pxPerMm);
    QFETCH(bool, inches);
    QFETCH(QString, labels);
    QFETCH(int, ticks);
    const QVector<RulerTick> all = RulerTicks(0, 120, pxPerMm, inches);
    QStringList labelled;
    for (const RulerTick& tick : all)
        if (tick.bLabelled)
            labelled << QStringLiteral("%1@%2").arg(tick.label).arg(tick.dMm, 0, 'g', 6);
    QCOMPARE(labelled.join(' '), labels);
    QCOMPARE(all.size(), ticks);
    QCOMPARE(GridSteps(inches), inches ? qMakePair(6.35, 25.4) : qMakePair(10.0, 50.0));
}

// New parts fill the board row by row, a gap from each other and the margin
// from its edges; the one that no longer fits starts the next sheet.
void TestHostWindow::placementFillsTheBoard()
{
    SheetModel model;
    SheetSetup board;
    board.size = QSizeF(100, 60);
    model.SetSetup(board);
    QStringList spots;
    for (int i = 0; i < 5; ++i) {
        Part part;
        part.pieces = {Outlines{Outline{QPainterPath(), 0}}};
        part.pieces[0][0].path.addRect(0, 0, 40, 20);
        bool fits = false;
        part.position = model.FreeSpot(part.Size(), &part.nSheet, &fits);
        spots << QStringLiteral("%1:%2,%3%4").arg(part.nSheet).arg(part.position.x()).arg(part.position.y()).arg(fits ? "" : "!");
        model.Add(part);
    }
    QCOMPARE(spots.join(' '), QStringLiteral("0:5,5 0:50,5 0:5,30 0:50,30 1:5,5"));
}

void TestHostWindow::exportsShowTheSheet()
{
    // Every reader sees what the sheet shows, at 1:1, also of parts just dragged and turned there.
    SheetView* pSheet = m_pWindow->Sheet();
    Drag(Model().Parts().at(0).nId, QPointF(30, 15));
    pSheet->Select({Model().Parts().at(2).nId});
    Trigger("actionRotateRight");
    pSheet->Select({Model().Parts().at(3).nId});
    Trigger("actionMirror");
    // Zoomed to fit, the board and every part show whole, clear of the rulers; a selection's size is in the status bar.
    Trigger("actionZoomToFit");
    const QRect free = pSheet->viewport()->rect().adjusted(SheetView::kRulerPx, SheetView::kRulerPx, 0, 0);
    QVERIFY(free.contains(pSheet->mapFromScene(Model().PartsBounds().united(QRectF(Model().SheetOrigin(0), Model().Setup().size))).boundingRect()));
    QVERIFY(m_pWindow->statusBar()->findChildren<QLabel*>().at(1)->text().contains(" mm"));
    pSheet->Select({});
    const QRectF page = Model().PartsBounds().adjusted(-3, -3, 3, 3);
    QImage seen = Drawn({}, page);
    QPainter painter(&seen);
    pSheet->scene()->render(&painter, QRectF(seen.rect()), page);
    painter.end();
    for (const QString file : {"sheet.svg", "sheet.dxf", "sheet.pdf"}) {
        Answer(Path(file));
        Trigger(("actionExport" + file.right(3).toUpper()).toLatin1().constData());
        QVERIFY(m_pWindow->isWindowModified()); // an export is not a save
        const QImage read = ReadBack(Path(file), page);
        QVERIFY2(Stray(read, seen) < 0.02 && Stray(seen, read) < 0.02, qPrintable(file));
    }
    // Cutting and engraving on their layers, in their colours.
    QSet<QString> layers;
    for (const QString& entity : DxfEntities(Path("sheet.dxf")).mid(1))
        layers << entity.section(' ', 0, 0);
    QCOMPARE(layers, QSet<QString>({"CUT", "ENGRAVE"}));
    QCOMPARE(DxfEntities(Path("sheet.dxf")).value(0), QStringLiteral("0 4 0:7 CUT:1 ENGRAVE:5"));
}

// Edit a part through its own values, duplicate and turn it, save, quit and
// open again: the sheet exports byte for byte as before. A damaged file or
// one from a newer version changes nothing.
void TestHostWindow::editSaveReopen()
{
    const int gear = Model().Parts().at(2).nId;
    const Part before = *Model().Find(gear);
    QString typed;
    WhenModal([&](QWidget* pDialog) {
        typed = pDialog->findChild<QLineEdit*>(QStringLiteral("lineEdit_gearCount2"))->text();
        auto* pModule = pDialog->findChild<QLineEdit*>(QStringLiteral("lineEdit_gearModulus"));
        pModule->selectAll();
        QTest::keyClicks(pModule, QStringLiteral("2"));
        QTest::keyClick(pModule, Qt::Key_Return);
        QTest::mouseClick(pDialog->findChild<QPushButton*>(QStringLiteral("pushButton_ok")), Qt::LeftButton);
    });
    const int steps = m_pWindow->UndoStack().count();
    QTest::mouseDClick(m_pWindow->Sheet()->viewport(), Qt::LeftButton, {},
                       m_pWindow->Sheet()->mapFromScene(before.Bounds().center()));
    const Part& after = *Model().Find(gear);
    QCOMPARE(typed, QString::number(before.parameters.value("teeth2").toInt()));
    QCOMPARE(after.parameters.value("module").toDouble(), 2.0);
    QVERIFY(after.Size().width() > 1.8 * before.Size().width() && after.dRotation == before.dRotation);
    QCOMPARE(m_pWindow->UndoStack().count(), steps + 1);
    m_pWindow->Sheet()->Select({gear});
    Trigger("actionDuplicate");
    WhenModal([](QWidget* pModal) { qobject_cast<QInputDialog*>(pModal)->setDoubleValue(30), qobject_cast<QDialog*>(pModal)->accept(); });
    Trigger("actionRotateBy");

    Answer(Path("sheet.kerfmate"));
    Trigger("actionSave");
    QVERIFY(!m_pWindow->isWindowModified() && m_pWindow->windowTitle().startsWith("sheet.kerfmate"));
    QVERIFY(m_pWindow->ExportTo(Path("first.svg")));
    const QByteArray saved = Document();
    // Opened by a new run of the program, it exports the same bytes.
    QCOMPARE(QProcess::execute(qEnvironmentVariable("KERFMATE_HOST"),
                               {"--open", Path("sheet.kerfmate"), "--out", Path("second.svg")}), 0);
    for (const QByteArray& damage : {QByteArray("{\"format\": \"kerfmate-sheet\", \"version\": 1, \"sheet\": "),
                                     QByteArray(saved).replace("\"version\": 1", "\"version\": 2")}) {
        QFile file(Path("damaged.kerfmate"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(damage) == damage.size());
        file.close();
        QString text;
        Answer(QString(), QMessageBox::Ok, &text);
        QVERIFY(!m_pWindow->OpenFile(Path("damaged.kerfmate")));
        QVERIFY2(text.contains("damaged.kerfmate"), qPrintable(text));
        QCOMPARE(Document(), saved);
    }
    Trigger("actionNew");
    QVERIFY(Model().IsEmpty());
    QVERIFY(m_pWindow->OpenFile(Path("sheet.kerfmate")));
    QVERIFY(m_pWindow->ExportTo(Path("again.svg")));
    QFile first(Path("first.svg")), again(Path("again.svg")), second(Path("second.svg"));
    QVERIFY(first.open(QIODevice::ReadOnly) && again.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
    const QByteArray bytes = first.readAll();
    QVERIFY(again.readAll() == bytes && second.readAll() == bytes);
    QCOMPARE(Document(), saved);
}

// With 4 KiB left on the disk (a tmpfs of its own where this may mount one,
// else a limit on the size of the files written) every export and the save
// end in a message with the reason; each previous file stays byte for byte,
// the sheet keeps its unsaved mark, and quitting still asks.
void TestHostWindow::fullDiskLosesNothing()
{
    Trigger("actionSelectAll");
    Trigger("actionMirror");
    const QString disk = Path("disk");
    QVERIFY(QDir().mkpath(disk));
    const bool mounted = ::mount("tmpfs", QFile::encodeName(disk), "tmpfs", 0, "size=512k") == 0;
    QStringList files = {"sheet.kerfmate"};
    for (const ExportFormat& format : ExportFormats())
        files << QStringLiteral("sheet.") + format.pszSuffix;
    for (const QString& file : files) {
        QFile previous(disk + '/' + file);
        QVERIFY(previous.open(QIODevice::WriteOnly) && previous.write("previous") == 8);
    }
    QFile fill(disk + "/fill");
    QVERIFY(!mounted || (fill.open(QIODevice::WriteOnly)
                         && ::posix_fallocate(fill.handle(), 0, QStorageInfo(disk).bytesAvailable() - 4096) == 0));
    rlimit unlimited;
    ::getrlimit(RLIMIT_FSIZE, &unlimited);
    const rlimit small = {4096, unlimited.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(mounted || ::setrlimit(RLIMIT_FSIZE, &small) == 0);
    for (const QString& file : files) {
        QString text;
        Answer(QString(), QMessageBox::Ok, &text);
        const QString path = disk + '/' + file;
        QVERIFY(!(file.endsWith("kerfmate") ? m_pWindow->SaveTo(path) : m_pWindow->ExportTo(path)));
        QVERIFY2(text.contains(mounted ? "No space left on device" : "File too large"), qPrintable(text));
        QFile previous(path);
        QVERIFY(previous.open(QIODevice::ReadOnly) && previous.readAll() == "previous" && m_pWindow->isWindowModified());
    }
    ::setrlimit(RLIMIT_FSIZE, &unlimited);
    QString question;
    Answer(QString(), QMessageBox::Cancel, &question);
    QVERIFY(!m_pWindow->close() && !question.isEmpty());
    QVERIFY(!mounted || ::umount2(QFile::encodeName(disk), MNT_DETACH) == 0);
}

// The board and the nest's settings typed as a maker types them, in either
// unit, at each end of their range and past it: the sheet takes what the
// command line and a file take, no more, and a value left alone stays as it
// was, not rounded to the display; a turn step a file gave stays offered.
void TestHostWindow::nestSettingsAtTheirBounds_data()
{
    QTest::addColumn<bool>("inches");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("typed"); // field=text
    QTest::addColumn<QString>("saved");     // margin spacing turn width height, in mm
    const auto row = [](const char* tag, bool inches, const char* action, const QStringList& typed, const char* saved) {
        QTest::newRow(tag) << inches << action << typed << saved;
    };
    row("mm, ends", false, "actionSheetSettings", {"margin=0", "spacing=100"}, "0 100 60 600 400");
    row("mm, past the top", false, "actionSheetSettings", {"margin=100.5", "spacing=250"}, "100 25 60 600 400");
    row("inches, ends", true, "actionSheetSettings", {"margin=0", "spacing=3.937"}, "0 99.9998 60 600 400");
    row("inches, past the top, the rest as it was", true, "actionSheetSettings", {"margin=3.95", "spacing=4"}, "99.06 2 60 600 400");
    row("board in mm, ends", false, "actionSheetCustom", {"width=10", "height=100000"}, "5 2 60 10 100000");
    row("board in mm, past them", false, "actionSheetCustom", {"width=9", "height=100001"}, "5 2 60 600 10000");
    row("board in inches, ends", true, "actionSheetCustom", {"width=0.4", "height=3937"}, "5 2 60 10.16 99999.8");
    row("board in inches, past them", true, "actionSheetCustom", {"width=0.39", "height=3938"}, "5 2 60 600 9982.2");
}

void TestHostWindow::nestSettingsAtTheirBounds()
{
    QFETCH(bool, inches);
    QFETCH(QString, action);
    QFETCH(QStringList, typed);
    QFETCH(QString, saved);
    Trigger(inches ? "actionUnitsInch" : "actionUnitsMm");
    SheetSetup setup = Model().Setup();
    setup.nTurnStep = 60; // as a file or --turn may give it
    Model().SetSetup(setup);
    WhenModal([&](QWidget* pDialog) {
        for (const QString& field : typed)
            TypeOver(pDialog->findChild<QWidget*>(field.section('=', 0, 0)), field.section('=', 1), false);
        QTest::keyClick(pDialog, Qt::Key_Return);
    });
    Trigger(qPrintable(action));
    const SheetSetup& now = Model().Setup();
    QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5").arg(now.dMarginMm).arg(now.dSpacingMm).arg(now.nTurnStep).arg(now.size.width())
                 .arg(now.size.height()), saved);
    if (Model().Setup() != setup)
        Trigger("actionUndo");
    Trigger("actionUnitsMm");
}

// Cancel on the nest's progress bar leaves the sheet byte for byte as it
// was; Stop keeps the best layout so far, one undo step, a pinned part stays where it
// lay, and the status bar counts the sheets and the material used.
void TestHostWindow::nestCancelledOrUndoneLeavesTheSheet()
{
    for (int i = 0; i < 2; ++i) // pieces enough that the nest still runs when Cancel comes
        Trigger("actionSelectAll"), Trigger("actionDuplicate");
    const Part pinned = Model().Parts().at(1);
    m_pWindow->Sheet()->Select({pinned.nId});
    Trigger("actionPin");
    const QByteArray before = Document();
    const int steps = m_pWindow->UndoStack().count();
    bool shown = false;
    WhenModal([&shown](QWidget* pProgress) {
        shown = pProgress->objectName() == "nestProgress";
        QTest::mouseClick(pProgress->findChild<QPushButton*>(), Qt::LeftButton);
    });
    QVERIFY(!m_pWindow->Nest(false) && shown);
    QCOMPARE(Document(), before);
    QCOMPARE(m_pWindow->UndoStack().count(), steps);
    const auto stop = [](QWidget* pProgress) { // Stop once the search says how far it got: the best so far is kept
        (void)QTest::qWaitFor([&] { return pProgress->findChild<QLabel*>()->text().contains('%'); }, 30000);
        QTest::mouseClick(pProgress->findChild<QPushButton*>("stopNest"), Qt::LeftButton);
    };
    WhenModal(stop);
    Trigger("actionNest");
    const QByteArray after = Document();
    QVERIFY(after != before);
    QCOMPARE(m_pWindow->UndoStack().count(), steps + 1);
    const Part& stayed = *Model().Find(pinned.nId);
    QVERIFY(stayed.position == pinned.position && stayed.nSheet == pinned.nSheet && stayed.bPinned);
    QStringList status;
    for (const QLabel* pLabel : m_pWindow->statusBar()->findChildren<QLabel*>())
        status << pLabel->text();
    QVERIFY2(status.contains(QStringLiteral("Sheets: %1, material use %2 %").arg(Model().SheetCount())
                                 .arg(std::round(100 * Model().MaterialUse()))), qPrintable(status.join('|')));
    const QString said = m_pWindow->statusBar()->currentMessage(); // the offcut kept can only raise the use
    QVERIFY2(QRegularExpression(": ([0-9.]+) % material use with the rest").match(said).captured(1).toDouble() > 100 * Model().MaterialUse(), qPrintable(said));
    Trigger("actionUndo");
    QCOMPARE(Document(), before);
    Trigger("actionRedo");
    QCOMPARE(Document(), after);
    SheetSetup roll = Model().Setup(); // a roll is cut to the length used: no offcut to speak of
    roll.bRoll = true;
    Model().SetSetup(roll);
    WhenModal(stop);
    Trigger("actionNest");
    const QString rolled = m_pWindow->statusBar()->currentMessage();
    QVERIFY2(rolled.contains("pieces nested") && !rolled.contains("offcut"), qPrintable(rolled));
}

void TestHostWindow::closingAsksWhileUnsaved()
{
    Trigger("actionSelectAll");
    Trigger("actionRotateRight"); // a change since the save
    QString question;
    Answer(QString(), QMessageBox::Cancel, &question);
    QVERIFY(!m_pWindow->close());
    QVERIFY2(question.contains(QLatin1String("sheet.kerfmate")), qPrintable(question));
    Answer(QString(), QMessageBox::Save, &question);
    QVERIFY(m_pWindow->close()); // saved, then closed
    QVERIFY(!m_pWindow->isWindowModified());
    // Remembered in the window's own file, never in the module's.
    const QSettings own(Path("Kerfmate/kerfmate-host.ini"), QSettings::IniFormat);
    QCOMPARE(own.value(QStringLiteral("recent")).toStringList().value(0), Path("sheet.kerfmate"));
    QVERIFY(own.contains(QStringLiteral("window/geometry")) && own.contains(QStringLiteral("units")));
    const QSettings module(Path("Kerfmate/Gleamworks/Resources/Data/Kerfmate.ini"), QSettings::IniFormat);
    QCOMPARE(module.childGroups(), QStringList({"DLG_FILLET_BOX", "DLG_GEAR_BOX", "DLG_RECT_BOX", "DLG_SEAL_BOX"}));
}

int main(int argc, char* argv[])
{
    // Windows as a maker's desktop shows them: CTest runs this test through
    // scripts/xvfb-openbox.sh, on an X server of its own with a window manager.
    if (qgetenv("QT_QPA_PLATFORM") != "xcb")
        return qWarning("run it as: bash scripts/xvfb-openbox.sh %s", argv[0]), 1;
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Kerfmate"));
    QApplication::setApplicationName(QStringLiteral("kerfmate-host"));
    TestHostWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostwindow.moc"
