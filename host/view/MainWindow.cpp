#include "MainWindow.h"

#include "CShapeList.h"
#include "CTranslator.h"
#include "CUiPermissionsManager.h"
#include "ExportFormats.h"
#include "HostConfig.h"
#include "HostEngine.h"
#include "Import.h"
#include "ModuleHost.h"
#include "MadePart.h"
#include "Nesting.h"
#include "Parameters.h"
#include "SheetCommands.h"
#include "SheetDocument.h"
#include "SheetView.h"
#include "WholeFile.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <atomic>
#include <cmath>
#include <memory>

namespace {
QString Wording(const char* pszKey)
{
    return CTranslator::GetInstance()->GetWording(QString::fromUtf8(pszKey));
}

// A length shown in the rulers' unit, and what the maker left there: the
// value as it was unless another was typed, never one rounded to the display.
class LengthBox
{
public:
    // The range as far as the display can show it from inside.
    LengthBox(QDoubleSpinBox* pBox, double dMm, double dUnit, double dLeastMm, double dMostMm)
        : m_pBox(pBox), m_dMm(dMm), m_dUnit(dUnit)
    {
        const double step = std::pow(10.0, -pBox->decimals());
        pBox->setRange(std::ceil(dLeastMm / dUnit / step - 1e-9) * step, std::floor(dMostMm / dUnit / step + 1e-9) * step);
        pBox->setValue(dMm / dUnit);
        m_dShown = pBox->value();
    }
    double Mm() const { return m_pBox->value() == m_dShown ? m_dMm : m_pBox->value() * m_dUnit; }

private:
    QDoubleSpinBox* m_pBox;
    double m_dMm, m_dUnit, m_dShown = 0;
};

// Makes the dialogs of one owner modal to that owner only. The module's
// dialog would block every window; modal to a hidden owner it leaves the
// sheet's menus in reach, so a language switch re-texts the open dialog.
class ModalToOwner : public QObject
{
public:
    explicit ModalToOwner(QWidget* pOwner) : m_pOwner(pOwner) { qApp->installEventFilter(this); }
    ~ModalToOwner() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* pObject, QEvent* pEvent) override
    {
        if (pEvent->type() != QEvent::Polish || pObject->parent() != m_pOwner || !pObject->isWidgetType())
            return false;
        // Its native window already exists by now and keeps its own copy.
        auto* pDialog = static_cast<QWidget*>(pObject);
        pDialog->setWindowModality(Qt::WindowModal);
        if (QWindow* pWindow = pDialog->windowHandle())
            pWindow->setModality(Qt::WindowModal);
        return false;
    }

private:
    QWidget* m_pOwner;
};

// Languages in their own names, which no language change re-texts, and the
// toolkit's own catalogue for each.
struct Language
{
    const char *pszCode, *pszName, *pszToolkit;
};
const Language kLanguages[] = {{"en", "English", "qtbase_en"}, {"zh", "中文", "qtbase_zh_CN"}, {"de", "Deutsch", "qtbase_de"}};

// Boards lasers commonly take, named in their own unit.
struct Board
{
    const char* pszName;
    double dWidthMm, dHeightMm;
};
const Board kBoards[] = {{"600 × 400 mm", 600, 400}, {"400 × 300 mm", 400, 300}, {"300 × 300 mm", 300, 300},
                         {"900 × 600 mm", 900, 600}, {"12 × 12 in", 304.8, 304.8}, {"20 × 12 in", 508, 304.8},
                         {"24 × 12 in", 609.6, 304.8}, {"24 × 18 in", 609.6, 457.2}};

constexpr int kRecentFiles = 8;
} // namespace

MainWindow::MainWindow(ModuleHost& module, HostEngine& engine, const QString& strLanguage, const QString& strTheme,
                       QWidget* pParent)
    : QMainWindow(pParent)
    , m_module(module)
    , m_engine(engine)
    , m_settings(HostConfig::WindowSettingsFile(), QSettings::IniFormat)
    , m_driver(engine)
{
    m_dialogOwner.winId(); // a window of its own, or the dialog would take this one as its owner
    m_pSheet = new SheetView(m_model, m_undo, this);
    setCentralWidget(m_pSheet);
    for (QLabel*& pLabel : m_pStatus)
        statusBar()->addPermanentWidget(pLabel = new QLabel(this));
    m_pStatus[3]->setStyleSheet(QStringLiteral("color: #c00000"));
    BuildMenus();
    connect(&m_undo, &QUndoStack::cleanChanged, this, &MainWindow::UpdateTitle);
    connect(&m_model, &SheetModel::Changed, this, &MainWindow::UpdateStatus);
    connect(m_pSheet, &SheetView::SelectionChanged, this, &MainWindow::UpdateStatus);
    connect(m_pSheet, &SheetView::EditRequested, this, &MainWindow::EditPart);
    connect(m_pSheet, &SheetView::CursorMoved, this, [this](const QPointF& at) { m_cursor = at, UpdateStatus(); });
    // What has nothing to act on is greyed out.
    const auto enable = [this] {
        const QVector<Part> selected = Selected();
        for (const char* name : {"actionDelete", "actionDuplicate", "actionEditPart", "actionRotateRight", "actionRotateLeft",
                                 "actionRotateBy", "actionMirror", "actionNestSelection"})
            findChild<QAction*>(QLatin1String(name))->setEnabled(!selected.isEmpty());
        findChild<QAction*>(QStringLiteral("actionUngroup"))
            ->setEnabled(std::any_of(selected.cbegin(), selected.cend(), [](const Part& p) { return p.pieces.size() > 1; }));
        QStringList any = {QStringLiteral("actionSelectAll"), QStringLiteral("actionNest")};
        for (const ExportFormat& format : ExportFormats())
            any << QStringLiteral("actionExport") + QString::fromLatin1(format.pszSuffix).toUpper();
        for (const QString& name : any)
            findChild<QAction*>(name)->setEnabled(!m_model.IsEmpty());
    };
    connect(m_pSheet, &SheetView::SelectionChanged, this, enable);
    connect(&m_model, &SheetModel::Changed, this, enable);
    enable();

    resize(1100, 720);
    // Kept as text: the settings hand on nothing else.
    restoreGeometry(QByteArray::fromBase64(m_settings.value(QStringLiteral("window/geometry")).toString().toLatin1()));
    SetTheme(strTheme.isEmpty() ? m_settings.value(QStringLiteral("theme"), HostConfig::Themes().first()).toString()
                                : strTheme);
    SetLanguage(strLanguage.isEmpty() ? m_settings.value(QStringLiteral("language"), QStringLiteral("en")).toString()
                                      : strLanguage);
    Retranslate();
    UpdateRecent();
}

MainWindow::~MainWindow()
{
    QCoreApplication::removeTranslator(&m_toolkitWords);
    delete m_pSheet; // before the model it draws
}

QAction* MainWindow::AddAction(QMenu* pMenu, const char* pszName, const char* pszKey, const QKeySequence& keys)
{
    auto* pAction = pMenu->addAction(Wording(pszKey));
    pAction->setObjectName(QString::fromLatin1(pszName));
    pAction->setShortcut(keys);
    m_texts.append({pAction, pszKey});
    return pAction;
}

QMenu* MainWindow::AddMenu(QMenu* pParent, const char* pszKey)
{
    QMenu* pMenu = pParent ? pParent->addMenu(Wording(pszKey)) : menuBar()->addMenu(Wording(pszKey));
    m_texts.append({pMenu, pszKey});
    return pMenu;
}

void MainWindow::BuildMenus()
{
    QMenu* pFile = AddMenu(nullptr, "&File");
    connect(AddAction(pFile, "actionNew", "New sheet", QKeySequence::New), &QAction::triggered, this,
            &MainWindow::NewDocument);
    connect(AddAction(pFile, "actionOpen", "Open...", QKeySequence::Open), &QAction::triggered, this, &MainWindow::Open);
    m_pRecent = AddMenu(pFile, "Open recent");
    connect(AddAction(pFile, "actionSave", "Save", QKeySequence::Save), &QAction::triggered, this,
            [this] { Save(false); });
    connect(AddAction(pFile, "actionSaveAs", "Save as...", QKeySequence::SaveAs), &QAction::triggered, this,
            [this] { Save(true); });
    pFile->addSeparator();
    connect(AddAction(pFile, "actionImport", "Import outlines...", QKeySequence(Qt::CTRL | Qt::Key_I)),
            &QAction::triggered, this, &MainWindow::ImportDrawings);
    QList<QAction*> exportActions;
    for (const ExportFormat& format : ExportFormats()) {
        const QString suffix = QLatin1String(format.pszSuffix);
        QAction* pAction = pFile->addAction(QString());
        pAction->setObjectName(QStringLiteral("actionExport") + suffix.toUpper());
        connect(pAction, &QAction::triggered, this, [this, suffix] { Export(suffix); });
        exportActions << pAction;
    }
    QAction* pPerSheet = AddAction(pFile, "actionExportFilePerSheet", "Export a file per sheet");
    pPerSheet->setCheckable(true);
    pPerSheet->setChecked(m_settings.value(QStringLiteral("export/filePerSheet"), true).toBool());
    connect(pPerSheet, &QAction::toggled, this, [this](bool on) { m_settings.setValue(QStringLiteral("export/filePerSheet"), on); });
    pFile->addSeparator();
    connect(AddAction(pFile, "actionQuit", "Quit", QKeySequence::Quit), &QAction::triggered, this, &QWidget::close);

    QMenu* pEdit = AddMenu(nullptr, "&Edit");
    QAction* pUndo = AddAction(pEdit, "actionUndo", "Undo", QKeySequence::Undo);
    QAction* pRedo = AddAction(pEdit, "actionRedo", "Redo", QKeySequence::Redo);
    connect(pUndo, &QAction::triggered, &m_undo, &QUndoStack::undo);
    connect(pRedo, &QAction::triggered, &m_undo, &QUndoStack::redo);
    connect(&m_undo, &QUndoStack::canUndoChanged, pUndo, &QAction::setEnabled);
    connect(&m_undo, &QUndoStack::canRedoChanged, pRedo, &QAction::setEnabled);
    pUndo->setEnabled(false);
    pRedo->setEnabled(false);
    pEdit->addSeparator();
    connect(AddAction(pEdit, "actionSelectAll", "Select all", QKeySequence::SelectAll), &QAction::triggered, this, [this] {
        QList<int> ids;
        for (const Part& part : m_model.Parts())
            ids << part.nId;
        m_pSheet->Select(ids);
    });
    QAction* pDelete = AddAction(pEdit, "actionDelete", "Delete", QKeySequence::Delete);
    connect(pDelete, &QAction::triggered, this, [this] {
        if (const QVector<Part> parts = Selected(); !parts.isEmpty())
            m_undo.push(new PartsCommand(m_model, parts, false, Wording("Delete")));
    });
    connect(AddAction(pEdit, "actionDuplicate", "Duplicate", QKeySequence(Qt::CTRL | Qt::Key_D)), &QAction::triggered,
            this, &MainWindow::Duplicate);

    QMenu* pPart = AddMenu(nullptr, "&Part");
    QAction* pNew = AddAction(pPart, "actionNewPart", "New part...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    connect(pNew, &QAction::triggered, this, &MainWindow::NewPart);
    connect(AddAction(pPart, "actionEditPart", "Edit part...", QKeySequence(Qt::CTRL | Qt::Key_E)),
            &QAction::triggered, this, [this] {
                if (const QList<int> ids = m_pSheet->SelectedIds(); !ids.isEmpty())
                    EditPart(ids.first());
            });
    pPart->addSeparator();
    connect(AddAction(pPart, "actionRotateRight", "Rotate 90° clockwise", QKeySequence(Qt::CTRL | Qt::Key_R)),
            &QAction::triggered, this, [this] { Transform(Turned(Selected(), 90), "Rotate"); });
    connect(AddAction(pPart, "actionRotateLeft", "Rotate 90° counter-clockwise",
                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R)),
            &QAction::triggered, this, [this] { Transform(Turned(Selected(), -90), "Rotate"); });
    connect(AddAction(pPart, "actionRotateBy", "Rotate by..."), &QAction::triggered, this, [this] {
        bool ok = false;
        const double degrees = QInputDialog::getDouble(this, Wording("Rotate by..."), Wording("Degrees, clockwise:"),
                                                       15.0, -360.0, 360.0, 2, &ok);
        if (ok)
            Transform(Turned(Selected(), degrees), "Rotate");
    });
    connect(AddAction(pPart, "actionMirror", "Mirror", QKeySequence(Qt::CTRL | Qt::Key_M)), &QAction::triggered, this,
            [this] { Transform(Mirrored(Selected()), "Mirror"); });
    connect(AddAction(pPart, "actionUngroup", "Ungroup pieces", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G)),
            &QAction::triggered, this, &MainWindow::Ungroup);

    BuildNestMenu();

    QMenu* pView = AddMenu(nullptr, "&View");
    QAction* pFit = AddAction(pView, "actionZoomToFit", "Zoom to fit", QKeySequence(Qt::CTRL | Qt::Key_0));
    connect(pFit, &QAction::triggered, m_pSheet, &SheetView::ZoomToFit);
    BuildSheetMenu(AddMenu(pView, "Sheet size"));
    QMenu* pUnits = AddMenu(pView, "Units");
    auto* pUnitGroup = new QActionGroup(this);
    for (const auto& [name, key, unit] : {std::tuple("actionUnitsMm", "Millimetres", HostConfig::Millimetres),
                                          std::tuple("actionUnitsInch", "Inches", HostConfig::Inches)}) {
        QAction* pAction = AddAction(pUnits, name, key);
        pAction->setCheckable(true);
        pAction->setData(int(unit));
        pUnitGroup->addAction(pAction);
        connect(pAction, &QAction::triggered, this, [this, unit = unit] { SetUnits(unit); });
    }
    QMenu* pThemes = AddMenu(pView, "Theme");
    auto* pThemeGroup = new QActionGroup(this);
    for (const QString& theme : HostConfig::Themes()) {
        QAction* pAction = pThemes->addAction(theme);
        pAction->setObjectName(QStringLiteral("actionTheme_") + theme);
        pAction->setCheckable(true);
        pThemeGroup->addAction(pAction);
        connect(pAction, &QAction::triggered, this, [this, theme] { SetTheme(theme); });
    }

    QMenu* pLanguage = AddMenu(nullptr, "&Language");
    auto* pLanguageGroup = new QActionGroup(this);
    for (const Language& language : kLanguages) {
        QAction* pAction = pLanguage->addAction(QString::fromUtf8(language.pszName));
        pAction->setObjectName(QStringLiteral("actionLanguage_") + QLatin1String(language.pszCode));
        pAction->setCheckable(true);
        pLanguageGroup->addAction(pAction);
        const QString code = QLatin1String(language.pszCode);
        connect(pAction, &QAction::triggered, this, [this, code] { SetLanguage(code); });
    }

    QToolBar* pTools = addToolBar(QString());
    pTools->setObjectName(QStringLiteral("toolBar"));
    pTools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    pTools->addActions({pNew, pUndo, pRedo, pDelete, pFit, findChild<QAction*>(QStringLiteral("actionNest"))});
    pTools->addSeparator();
    pTools->addActions(exportActions);
}

void MainWindow::BuildNestMenu()
{
    QMenu* pNest = AddMenu(nullptr, "&Nest");
    connect(AddAction(pNest, "actionNest", "Nest all parts", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A)),
            &QAction::triggered, this, [this] { Nest(false); });
    connect(AddAction(pNest, "actionNestSelection", "Nest the selection"), &QAction::triggered, this, [this] { Nest(true); });
    QAction* pPin = AddAction(pNest, "actionPin", "Pinned in place", QKeySequence(Qt::CTRL | Qt::Key_L));
    pPin->setCheckable(true);
    connect(pPin, &QAction::triggered, this, [this](bool on) { Transform(Pinned(Selected(), on), on ? "Pin" : "Unpin"); });
    // Ticked while every selected part is pinned.
    const auto showPins = [this, pPin] {
        const QVector<Part> parts = Selected();
        pPin->setEnabled(!parts.isEmpty());
        pPin->setChecked(!parts.isEmpty() && std::all_of(parts.cbegin(), parts.cend(), [](const Part& p) { return p.bPinned; }));
    };
    connect(m_pSheet, &SheetView::SelectionChanged, this, showPins);
    connect(&m_model, &SheetModel::Changed, this, showPins);
    showPins();
    pNest->addSeparator();
    connect(AddAction(pNest, "actionSheetSettings", "Margin, spacing and turns..."), &QAction::triggered, this,
            &MainWindow::EditSheetSettings);
}

void MainWindow::EditSheetSettings()
{
    // Lengths in the unit the rulers count.
    const bool inches = m_pSheet->Inches();
    const double unit = inches ? 25.4 : 1.0;
    SheetSetup setup = m_model.Setup();
    QDialog ask(this);
    ask.setObjectName(QStringLiteral("sheetSettings"));
    ask.setWindowTitle(Wording("Margin, spacing and turns..."));
    auto* pForm = new QFormLayout(&ask);
    QDoubleSpinBox* lengths[2];
    std::unique_ptr<LengthBox> kept[2];
    for (int i = 0; i < 2; ++i) {
        lengths[i] = new QDoubleSpinBox(&ask);
        lengths[i]->setDecimals(inches ? 3 : 1);
        lengths[i]->setSuffix(inches ? QStringLiteral(" in") : QStringLiteral(" mm"));
        kept[i] = std::make_unique<LengthBox>(lengths[i], i ? setup.dSpacingMm : setup.dMarginMm, unit, 0, SheetSetup::kMostGapMm);
        lengths[i]->setObjectName(QLatin1String(i ? "spacing" : "margin"));
        pForm->addRow(Wording(i ? "Spacing (the kerf comes on top)" : "Margin from the edge"), lengths[i]);
    }
    lengths[1]->setToolTip(Wording("Straight edges keep exactly this (0: they may touch); curved ones up to 0.04 mm "
                                   "more, outlines of very many corners up to 0.4 mm more."));
    auto* pTurns = new QComboBox(&ask);
    pTurns->setObjectName(QStringLiteral("turns"));
    // A step a file or the command line gave keeps its place in the list.
    QList<int> steps{0, 180, 90, 45, 30, 15, 10, 5};
    if (!steps.contains(setup.nTurnStep))
        steps << setup.nTurnStep;
    std::sort(steps.begin() + 1, steps.end(), std::greater<int>());
    for (int step : steps) {
        pTurns->addItem(step ? QStringLiteral("%1°").arg(step) : Wording("No turns"), step);
        if (step == setup.nTurnStep)
            pTurns->setCurrentIndex(pTurns->count() - 1);
    }
    pForm->addRow(Wording("Turn in steps of"), pTurns);
    auto* pFree = new QCheckBox(Wording("Also square each piece to its narrowest box"), &ask);
    pFree->setObjectName(QStringLiteral("freeTurns"));
    pFree->setChecked(setup.bFreeTurns);
    pForm->addRow(pFree);
    auto* pRoll = new QCheckBox(Wording("A roll: one board of this width, as long as the nest needs"), &ask);
    pRoll->setObjectName(QStringLiteral("roll"));
    pRoll->setChecked(setup.bRoll);
    pForm->addRow(pRoll);
    auto* pSeconds = new QDoubleSpinBox(&ask);
    pSeconds->setObjectName(QStringLiteral("nestSeconds"));
    pSeconds->setRange(0, NestRequest::kMostSeconds);
    pSeconds->setDecimals(1);
    pSeconds->setSuffix(QStringLiteral(" s"));
    pSeconds->setValue(NestSeconds());
    pForm->addRow(Wording("Search for a better nest for"), pSeconds);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &ask);
    connect(pButtons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
    pForm->addRow(pButtons);
    if (ask.exec() != QDialog::Accepted)
        return;
    setup.dMarginMm = kept[0]->Mm();
    setup.dSpacingMm = kept[1]->Mm();
    setup.nTurnStep = pTurns->currentData().toInt();
    setup.bFreeTurns = pFree->isChecked();
    setup.bRoll = pRoll->isChecked();
    m_settings.setValue(QStringLiteral("nest/seconds"), pSeconds->value());
    if (setup != m_model.Setup())
        m_undo.push(new SetupCommand(m_model, setup, Wording("Margin, spacing and turns...")));
}

double MainWindow::NestSeconds() const
{
    bool ok = false;
    const double seconds = m_settings.value(QStringLiteral("nest/seconds")).toDouble(&ok);
    return ok && seconds >= 0 && seconds <= NestRequest::kMostSeconds ? seconds : NestRequest::kDefaultSeconds;
}

bool MainWindow::Nest(bool bSelectionOnly)
{
    NestRequest request{m_model.Parts(), {}, m_model.Setup(), m_model.NextId()};
    int pieces = 0;
    for (const Part& part : bSelectionOnly ? Selected() : m_model.Parts())
        if (!part.bPinned)
            request.moving << part.nId, pieces += int(part.pieces.size());
    if (request.moving.isEmpty()) {
        statusBar()->showMessage(Wording("Nothing to nest: no part, or every one pinned."));
        return false;
    }
    // The nest runs on a thread of its own; the window stays drawn, the
    // dialog shows the best material use so far, and its Cancel or Stop
    // reaches the nest a few times a second.
    request.dSeconds = NestSeconds();
    QDialog progress(this);
    progress.setObjectName(QStringLiteral("nestProgress"));
    progress.setWindowTitle(Wording(bSelectionOnly ? "Nest the selection" : "Nest all parts"));
    progress.setWindowModality(Qt::WindowModal);
    auto* pLayout = new QVBoxLayout(&progress);
    auto* pLabel = new QLabel(Wording("Nesting %1 pieces...").arg(pieces), &progress);
    auto* pBar = new QProgressBar(&progress);
    pBar->setRange(0, pieces);
    auto* pButtons = new QDialogButtonBox(&progress);
    QPushButton* pCancel = pButtons->addButton(Wording("Cancel"), QDialogButtonBox::RejectRole);
    QPushButton* pStop = pButtons->addButton(Wording("Stop and keep the best"), QDialogButtonBox::AcceptRole);
    pStop->setObjectName(QStringLiteral("stopNest"));
    pLayout->addWidget(pLabel);
    pLayout->addWidget(pBar);
    pLayout->addWidget(pButtons);
    std::atomic<int> step{int(NestStep::Go)};
    bool cancelled = false;
    connect(pCancel, &QPushButton::clicked, &progress, &QDialog::reject);
    connect(&progress, &QDialog::rejected, this, [&] { step = int(NestStep::Cancel), cancelled = true; }); // Escape too
    connect(pStop, &QPushButton::clicked, this, [&] { step = int(NestStep::Stop), pStop->setEnabled(false); });
    NestOutcome outcome;
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        outcome = ::Nest(request, [&, seconds = request.dSeconds](const NestStatus& status) {
            QMetaObject::invokeMethod(&progress, [=] {
                if (status.dMaterialUse <= 0) {
                    pBar->setValue(status.nPlaced);
                    return;
                }
                pBar->setRange(0, 100);
                pBar->setValue(seconds > 0 ? int(std::min(100.0, 100 * status.dSeconds / seconds)) : 100);
                pLabel->setText(Wording("Nesting %1 pieces... best material use so far: %2 %")
                                    .arg(status.nPieces)
                                    .arg(QString::number(100 * status.dMaterialUse, 'f', 1)));
            }, Qt::QueuedConnection);
            return NestStep(step.load());
        });
    }));
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    progress.show();
    loop.exec();
    worker->wait();
    progress.hide();
    if (cancelled) {
        statusBar()->showMessage(Wording("Nesting cancelled: the sheet is as it was."));
        return false;
    }
    if (!outcome.bDone) {
        QMessageBox::warning(this, Wording("Nest all parts"), Wording("Could not nest: %1").arg(outcome.strError));
        return false;
    }
    // On a roll the board becomes as long as the nest used, in the same undo step.
    m_undo.beginMacro(Wording(bSelectionOnly ? "Nest the selection" : "Nest all parts"));
    m_undo.push(new LayoutCommand(m_model, outcome.parts, Wording(bSelectionOnly ? "Nest the selection" : "Nest all parts")));
    if (SheetSetup setup = m_model.Setup(); setup.bRoll) {
        setup.size.setHeight(std::clamp(std::ceil(outcome.dLengthMm * 10) / 10, SheetSetup::kLeastSideMm, SheetSetup::kMostSideMm));
        if (setup != m_model.Setup())
            m_undo.push(new SetupCommand(m_model, setup, Wording("Nest all parts")));
    }
    m_undo.endMacro();
    QString message = Wording("%1 pieces nested on %2 sheet(s), %3 of them in holes.")
                          .arg(outcome.nPieces).arg(m_model.SheetCount()).arg(outcome.nInHoles);
    if (outcome.nTooLarge)
        message += QLatin1Char(' ') + Wording("%1 piece(s) larger than the board lie on sheets of their own.").arg(outcome.nTooLarge);
    statusBar()->showMessage(message);
    m_pSheet->ZoomToFit();
    return true;
}

void MainWindow::BuildSheetMenu(QMenu* pMenu)
{
    for (const Board& board : kBoards) {
        QAction* pAction = pMenu->addAction(QString::fromUtf8(board.pszName));
        connect(pAction, &QAction::triggered, this, [this, board] { SetSheetSize(QSizeF(board.dWidthMm, board.dHeightMm)); });
    }
    pMenu->addSeparator();
    connect(AddAction(pMenu, "actionSheetCustom", "Custom size..."), &QAction::triggered, this, [this] {
        // In the unit the rulers count.
        const bool inches = m_pSheet->Inches();
        const double unit = inches ? 25.4 : 1.0;
        QDialog ask(this);
        ask.setObjectName(QStringLiteral("sheetSize"));
        ask.setWindowTitle(Wording("Sheet size"));
        auto* pForm = new QFormLayout(&ask);
        std::unique_ptr<LengthBox> sides[2];
        const QSizeF now = m_model.SheetSize();
        for (int i = 0; i < 2; ++i) {
            auto* pSide = new QDoubleSpinBox(&ask);
            pSide->setObjectName(QLatin1String(i ? "height" : "width"));
            pSide->setDecimals(inches ? 2 : 1);
            pSide->setSuffix(inches ? QStringLiteral(" in") : QStringLiteral(" mm"));
            sides[i] = std::make_unique<LengthBox>(pSide, i ? now.height() : now.width(), unit, SheetSetup::kLeastSideMm,
                                                   SheetSetup::kMostSideMm);
            pForm->addRow(Wording(i ? "Height" : "Width"), pSide);
        }
        auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &ask);
        connect(pButtons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
        connect(pButtons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
        pForm->addRow(pButtons);
        if (ask.exec() == QDialog::Accepted)
            SetSheetSize(QSizeF(sides[0]->Mm(), sides[1]->Mm()));
    });
}

void MainWindow::Retranslate()
{
    for (const auto& [pObject, key] : m_texts) {
        if (auto* pAction = qobject_cast<QAction*>(pObject))
            pAction->setText(Wording(key));
        else if (auto* pMenu = qobject_cast<QMenu*>(pObject))
            pMenu->setTitle(Wording(key));
    }
    for (const ExportFormat& format : ExportFormats())
        if (auto* pAction = findChild<QAction*>(QStringLiteral("actionExport") + QString::fromLatin1(format.pszSuffix).toUpper()))
            pAction->setText(Wording("Export %1...").arg(QString::fromLatin1(format.pszSuffix).toUpper()));
    m_pSheet->viewport()->update(); // the empty sheet's hint
    UpdateTitle();
    UpdateStatus();
}

void MainWindow::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange)
        Retranslate();
    QMainWindow::changeEvent(pEvent);
}

void MainWindow::UpdateTitle()
{
    const QString name = m_strDocument.isEmpty() ? Wording("Untitled") : QFileInfo(m_strDocument).fileName();
    setWindowTitle(QStringLiteral("%1[*] - Kerfmate").arg(name));
    setWindowModified(!m_undo.isClean());
}

void MainWindow::UpdateStatus()
{
    const bool inches = m_pSheet->Inches();
    const double unit = inches ? 25.4 : 1.0;
    const QString suffix = inches ? QStringLiteral("in") : QStringLiteral("mm");
    const auto number = [&](double mm) { return QString::number(mm / unit, 'f', inches ? 2 : 1); };
    m_pStatus[0]->setText(Wording("Parts: %1").arg(m_model.Parts().size()));
    QRectF selection;
    for (const Part& part : Selected())
        selection = selection.united(part.Bounds());
    m_pStatus[1]->setText(selection.isNull() ? QString()
                                             : Wording("Selection: %1 × %2 %3")
                                                   .arg(number(selection.width()), number(selection.height()), suffix));
    m_pStatus[2]->setText(QStringLiteral("%1, %2 %3").arg(number(m_cursor.x()), number(m_cursor.y()), suffix));
    int outside = 0;
    for (const Part& part : m_model.Parts())
        outside += !QRectF(QPointF(), m_model.SheetSize()).contains(part.Bounds());
    m_pStatus[3]->setText(outside ? Wording("%1 part(s) reach past the sheet's edge").arg(outside) : QString());
    m_pStatus[4]->setText(Wording("Sheets: %1, material use %2 %")
                              .arg(m_model.SheetCount())
                              .arg(QString::number(100 * m_model.MaterialUse(), 'f', 0)));
}

void MainWindow::SetLanguage(const QString& code)
{
    // The module's wordings first, then the window's own laid over them,
    // then the toolkit's for its dialogs and buttons; each step re-texts
    // every open window, an open dialog too.
    if (!CTranslator::GetInstance()->SetLanguage(code))
        return;
    Q_INIT_RESOURCE(host_i18n);
    CTranslator::GetInstance()->LoadCatalogue(QStringLiteral(":/kerfmate-host/i18n/%1.json").arg(code));
    QCoreApplication::removeTranslator(&m_toolkitWords);
    for (const Language& language : kLanguages)
        if (code == QLatin1String(language.pszCode)
            && m_toolkitWords.load(QLatin1String(language.pszToolkit), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&m_toolkitWords);
    if (QAction* pAction = findChild<QAction*>(QStringLiteral("actionLanguage_") + code))
        pAction->setChecked(true);
    m_settings.setValue(QStringLiteral("language"), code);
}

void MainWindow::SetUnits(int nRulerUnit)
{
    // The module reads the unit from cfg.ini when its dialog opens.
    const auto unit = HostConfig::IsInch(nRulerUnit) ? HostConfig::Inches : HostConfig::Millimetres;
    HostConfig::WriteRulerUnit(unit);
    m_settings.setValue(QStringLiteral("units"), int(unit));
    m_pSheet->SetInches(unit == HostConfig::Inches);
    for (const char* name : {"actionUnitsMm", "actionUnitsInch"}) {
        QAction* pAction = findChild<QAction*>(QLatin1String(name));
        pAction->setChecked(pAction->data().toInt() == int(unit));
    }
    UpdateStatus();
}

void MainWindow::SetTheme(const QString& name)
{
    const QString theme = HostConfig::Themes().contains(name) ? name : HostConfig::Themes().first();
    CUiPermissionsManager::GetInstance()->SetThemeName(theme);
    m_settings.setValue(QStringLiteral("theme"), theme);
    if (QAction* pAction = findChild<QAction*>(QStringLiteral("actionTheme_") + theme))
        pAction->setChecked(true);
    // Each theme has its own cfg.ini: it gets the unit this window shows.
    SetUnits(HostConfig::SavedUnits(m_settings));
}

void MainWindow::SetSheetSize(const QSizeF& mm)
{
    SheetSetup setup = m_model.Setup();
    setup.size = mm;
    if (mm != m_model.SheetSize())
        m_undo.push(new SetupCommand(m_model, setup, Wording("Sheet size")));
}

QVector<Part> MainWindow::Selected() const
{
    QVector<Part> parts;
    for (int nId : m_pSheet->SelectedIds())
        parts << *m_model.Find(nId);
    return parts;
}

void MainWindow::Transform(const QVector<Part>& after, const char* pszKey)
{
    if (!after.isEmpty())
        m_undo.push(new ReplaceCommand(m_model, after, Wording(pszKey)));
}

void MainWindow::Duplicate()
{
    // Each copy lands as a new part does, the one before it already there.
    const QVector<Part> originals = Selected();
    if (originals.isEmpty())
        return;
    QList<int> ids;
    QString said;
    m_undo.beginMacro(Wording("Duplicate"));
    for (Part copy : originals) {
        QSizeF overhang;
        copy.nId = m_model.NextId();
        copy = m_model.Landed(copy, false, &overhang);
        m_undo.push(new PartsCommand(m_model, {copy}, true, QString()));
        ids << copy.nId;
        if (const QString over = OverhangMessage(overhang, m_pSheet->Inches(), Wording); !over.isEmpty())
            said = over;
    }
    m_undo.endMacro();
    m_pSheet->Select(ids);
    statusBar()->showMessage(said);
}

void MainWindow::Ungroup()
{
    m_undo.beginMacro(Wording("Ungroup pieces"));
    QList<int> ids;
    for (const Part& part : Selected()) {
        if (part.pieces.size() < 2) {
            ids << part.nId;
            continue;
        }
        const QVector<Part> pieces = Ungrouped(part, m_model.NextId());
        m_undo.push(new PartsCommand(m_model, {part}, false, QString()));
        m_undo.push(new PartsCommand(m_model, pieces, true, QString()));
        for (const Part& piece : pieces)
            ids << piece.nId;
    }
    m_undo.endMacro();
    m_pSheet->Select(ids);
}

QString MainWindow::Place(Part part, const char* pszKey)
{
    QSizeF overhang;
    part.nId = m_model.NextId();
    part = m_model.Landed(part, false, &overhang);
    m_undo.push(new PartsCommand(m_model, {part}, true, Wording(pszKey)));
    m_pSheet->Select({part.nId});
    m_pSheet->ScrollTo(part.nId);
    const QString said = OverhangMessage(overhang, m_pSheet->Inches(), Wording);
    statusBar()->showMessage(said);
    return said;
}

bool MainWindow::AskPart(DialogPlan plan, const char* pszTitleKey, Part* pPart)
{
    QString refusal;
    for (;;) {
        if (plan.nGenerator >= 0)
            m_driver.Arm(plan);
        // The reason beside the fields once the dialog is on the screen: over
        // its preview, which has nothing to show.
        const QMetaObject::Connection beside = connect(&m_driver, &DialogDriver::Typed, this, [=](QDialog* pDialog) {
            QTimer::singleShot(0, pDialog, [=] {
                auto* pBox = new QMessageBox(QMessageBox::Warning, Wording(pszTitleKey), refusal, QMessageBox::Ok, pDialog);
                pBox->setObjectName(QStringLiteral("refusal"));
                pBox->setWindowModality(Qt::NonModal);
                pBox->show();
                const QWidget* pPreview = pDialog->findChild<QWidget*>(QStringLiteral("graphicsView_preview"));
                const QPoint centre = pPreview ? pPreview->mapToGlobal(pPreview->rect().center()) : pDialog->geometry().center();
                pBox->move(centre - pBox->frameGeometry().center() + pBox->frameGeometry().topLeft());
            });
        });
        CShapeList* pResult = nullptr;
        {
            const ModalToOwner modal(&m_dialogOwner);
            pResult = m_module.Create(&m_engine, &m_dialogOwner);
        }
        disconnect(beside);
        if (!pResult)
            return false;
        if (MadePart(pResult, m_engine, pPart))
            return true;
        if (!m_bReopenRefused)
            return ShowBuildMessage(false), false;
        // Again, on the same generator, with what the maker typed.
        refusal = BuildMessage(m_engine.LastBuild(), true);
        refusal = refusal.isEmpty() ? Wording("The part is empty: nothing was placed.") : refusal;
        statusBar()->showMessage(refusal);
        const int generator = m_engine.LastBuild().nGenerator;
        plan = DialogPlan();
        plan.nGenerator = generator;
        plan.sets = SetsFor(generator, PartParameters(m_engine, generator), m_pSheet->Inches());
        plan.bLeaveOpen = true;
    }
}

bool MainWindow::NewPart()
{
    // One dialog at a time: the module keeps what Create was given.
    QAction* pNew = findChild<QAction*>(QStringLiteral("actionNewPart"));
    pNew->setEnabled(false);
    Part part;
    const bool made = AskPart(DialogPlan(), "New part...", &part);
    pNew->setEnabled(true);
    if (!made)
        return false;
    ShowBuildMessage(true, Place(part, "New part"));
    return true;
}

void MainWindow::ShowBuildMessage(bool bPlaced, const QString& more)
{
    QString built = BuildMessage(m_engine.LastBuild(), true);
    if (built.isEmpty() && !bPlaced)
        built = Wording("The part is empty: nothing was placed.");
    const QString message = QStringList({built, more}).join(QLatin1Char(' ')).trimmed();
    if (!message.isEmpty())
        statusBar()->showMessage(message);
    if (built.isEmpty()) // where the part went is for the status bar alone
        return;
    // Not blocking: the sheet stays usable while the maker reads it.
    auto* pBox = new QMessageBox(bPlaced ? QMessageBox::Information : QMessageBox::Warning, Wording("New part..."),
                                 message, QMessageBox::Ok, this);
    pBox->setAttribute(Qt::WA_DeleteOnClose);
    pBox->open();
}

bool MainWindow::EditPart(int nId)
{
    const Part* pPart = m_model.Find(nId);
    if (!pPart)
        return false;
    if (!pPart->Remakeable()) {
        QMessageBox::information(this, Wording("Edit part..."), Wording("This part has no values to make it again from."));
        return false;
    }
    DialogPlan plan;
    plan.nGenerator = pPart->nGenerator;
    plan.sets = SetsFor(pPart->nGenerator, pPart->parameters, m_pSheet->Inches());
    plan.bLeaveOpen = true;
    Part edited;
    if (!AskPart(plan, "Edit part...", &edited))
        return false;
    const Part& before = *m_model.Find(nId);
    edited.nId = nId;
    if (edited.nGenerator == before.nGenerator)
        edited.strName = before.strName;
    edited.position = before.position;
    edited.nSheet = before.nSheet;
    edited.dRotation = before.dRotation;
    edited.bMirrored = before.bMirrored;
    edited.bPinned = before.bPinned;
    QSizeF overhang;
    edited = m_model.Landed(edited, true, &overhang);
    m_undo.push(new ReplaceCommand(m_model, {edited}, Wording("Edit part...")));
    if (m_driver.LastError().isEmpty())
        ShowBuildMessage(true, OverhangMessage(overhang, m_pSheet->Inches(), Wording));
    else
        statusBar()->showMessage(Wording("Not every value could be typed again: %1").arg(m_driver.LastError()));
    return true;
}

QString MainWindow::FileFilter(const QString& suffix) const
{
    for (const ExportFormat& format : ExportFormats())
        if (suffix == QLatin1String(format.pszSuffix))
            return QStringLiteral("%1 (*.%2)").arg(Wording(format.pszLabelKey), suffix);
    return QStringLiteral("%1 (*.%2)").arg(Wording("Kerfmate sheet"), suffix);
}

void MainWindow::Export(const QString& suffix)
{
    const QString folder = m_settings.value(QStringLiteral("export/folder"),
                                            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                               .toString();
    const QString base = m_strDocument.isEmpty() ? QStringLiteral("sheet") : QFileInfo(m_strDocument).completeBaseName();
    QString path = QFileDialog::getSaveFileName(this, Wording("Export"), folder + QLatin1Char('/') + base + QLatin1Char('.') + suffix,
                                                FileFilter(suffix), nullptr, QFileDialog::DontUseNativeDialog);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().toLower() != suffix)
        path += QLatin1Char('.') + suffix;
    ExportTo(path);
}

void MainWindow::ImportDrawings()
{
    const QString folder = m_settings.value(QStringLiteral("import/folder"),
                                            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                               .toString();
    const QStringList paths = QFileDialog::getOpenFileNames(
        this, Wording("Import outlines..."), folder, QStringLiteral("%1 (*.svg *.dxf)").arg(Wording("SVG or DXF drawing")),
        nullptr, QFileDialog::DontUseNativeDialog);
    for (const QString& path : paths)
        if (ImportFrom(path))
            m_settings.setValue(QStringLiteral("import/folder"), QFileInfo(path).absolutePath());
}

bool MainWindow::ImportFrom(const QString& path)
{
    Import::Imported imported;
    QString error;
    if (!Import::ReadFile(path, &imported, &error)) {
        QMessageBox::warning(this, Wording("Import outlines..."),
                             Wording("Could not import %1: %2").arg(QFileInfo(path).fileName(), error));
        return false;
    }
    Place(imported.part, "Import outlines...");
    if (!imported.notes.isEmpty())
        statusBar()->showMessage(imported.notes.join(QLatin1Char(' ')));
    return true;
}

bool MainWindow::ExportTo(const QString& path)
{
    QString error;
    QStringList written;
    const bool perSheet = m_settings.value(QStringLiteral("export/filePerSheet"), true).toBool();
    const QVector<Outlines> sheets = m_model.SheetOutlines();
    if (const QStringList stale = StaleSheetFiles(path, ExportFiles(sheets, path, perSheet)); !stale.isEmpty()) {
        QStringList names;
        for (const QString& file : stale)
            names << QFileInfo(file).fileName();
        if (QMessageBox::question(this, Wording("Export"),
                                  Wording("An earlier export left %1 here. Remove them, so that only this nest's sheets are cut?")
                                      .arg(names.join(QLatin1String(", "))))
            != QMessageBox::Yes) {
            statusBar()->showMessage(Wording("Not exported: the earlier sheets are still there."));
            return false;
        }
    }
    if (!ExportSheets(sheets, path, perSheet, &written, &error)) {
        QMessageBox::warning(this, Wording("Export"), Wording("Could not export: %1").arg(error));
        return false;
    }
    m_settings.setValue(QStringLiteral("export/folder"), QFileInfo(path).absolutePath());
    for (QString& file : written)
        file = QDir::toNativeSeparators(file);
    statusBar()->showMessage(Wording("Exported to %1").arg(written.join(QLatin1String(", "))));
    return true;
}

bool MainWindow::SaveTo(const QString& path)
{
    QString error;
    QByteArray text;
    if (!SheetDocument::Saved({m_model.Setup(), m_model.Parts()}, &text, &error, ParameterProblem)
        || !WriteWholeFile(path, text, &error)) {
        QMessageBox::warning(this, Wording("Save"), Wording("Could not save: %1").arg(error));
        return false;
    }
    m_undo.setClean();
    BecomeDocument(path);
    statusBar()->showMessage(Wording("Saved to %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

void MainWindow::BecomeDocument(const QString& path)
{
    m_strDocument = path;
    QStringList recent = m_settings.value(QStringLiteral("recent")).toStringList();
    recent.removeAll(path);
    recent.prepend(path);
    m_settings.setValue(QStringLiteral("recent"), recent.mid(0, kRecentFiles));
    UpdateRecent();
    UpdateTitle();
}

bool MainWindow::Save(bool bAskPath)
{
    QString path = m_strDocument;
    if (bAskPath || path.isEmpty()) {
        const QString suffix = QLatin1String(SheetDocument::kSuffix);
        const QString start = path.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                                   + QStringLiteral("/sheet.") + suffix
                                             : path;
        path = QFileDialog::getSaveFileName(this, Wording("Save as..."), start, FileFilter(suffix), nullptr,
                                            QFileDialog::DontUseNativeDialog);
        if (path.isEmpty())
            return false;
        if (QFileInfo(path).suffix() != suffix)
            path += QLatin1Char('.') + suffix;
    }
    return SaveTo(path);
}

bool MainWindow::OpenFile(const QString& path)
{
    SheetDocument::Contents contents;
    QString error;
    if (!SheetDocument::ReadFile(path, &contents, &error, ParameterProblem)) {
        QMessageBox::warning(this, Wording("Open..."), Wording("Could not open %1: %2").arg(QFileInfo(path).fileName(), error));
        return false;
    }
    m_model.Reset(contents.parts, contents.setup);
    m_undo.clear();
    BecomeDocument(path);
    m_pSheet->ZoomToFit();
    return true;
}

void MainWindow::Open()
{
    if (!MayDiscard())
        return;
    const QString folder = m_strDocument.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                                   : QFileInfo(m_strDocument).absolutePath();
    const QString path = QFileDialog::getOpenFileName(this, Wording("Open..."), folder,
                                                      FileFilter(QLatin1String(SheetDocument::kSuffix)), nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty())
        OpenFile(path);
}

void MainWindow::NewDocument()
{
    if (!MayDiscard())
        return;
    m_model.Reset({}, SheetSetup());
    m_undo.clear();
    m_strDocument.clear();
    UpdateTitle();
    m_pSheet->ZoomToFit();
}

void MainWindow::UpdateRecent()
{
    m_pRecent->clear();
    for (const QString& path : m_settings.value(QStringLiteral("recent")).toStringList())
        connect(m_pRecent->addAction(QDir::toNativeSeparators(path)), &QAction::triggered, this, [this, path] {
            if (MayDiscard())
                OpenFile(path);
        });
    m_pRecent->setEnabled(!m_pRecent->isEmpty());
}

bool MainWindow::MayDiscard()
{
    if (m_undo.isClean())
        return true;
    const QString name = m_strDocument.isEmpty() ? Wording("Untitled") : QFileInfo(m_strDocument).fileName();
    const auto answer = QMessageBox::question(this, Wording("Close"), Wording("Save the changes to %1?").arg(name),
                                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                              QMessageBox::Save);
    return answer == QMessageBox::Discard || (answer == QMessageBox::Save && Save(false));
}

void MainWindow::closeEvent(QCloseEvent* pEvent)
{
    if (!MayDiscard()) {
        pEvent->ignore();
        return;
    }
    m_settings.setValue(QStringLiteral("window/geometry"), QString::fromLatin1(saveGeometry().toBase64()));
    pEvent->accept();
}
