#include "MainWindow.h"

#include "CTranslator.h"
#include "CUiPermissionsManager.h"
#include "ExportFormats.h"
#include "HostConfig.h"
#include "HostEngine.h"
#include "MainWindowWording.h"
#include "ModuleHost.h"
#include "SheetCommands.h"
#include "SheetView.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include <cmath>

namespace {
// Languages in their own names, which no language change re-texts, and the
// toolkit's own catalogue for each.
struct Language
{
    const char *pszCode, *pszName, *pszToolkit;
};
const Language kLanguages[] = {{"en", "English", "qtbase_en"}, {"zh", "中文", "qtbase_zh_CN"}, {"de", "Deutsch", "qtbase_de"}};
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
    // A message longer than a narrow window leaves room for reads whole on hover.
    connect(statusBar(), &QStatusBar::messageChanged, statusBar(), &QWidget::setToolTip);
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
    connect(AddAction(pFile, "actionSaveAs", "Save as...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)), &QAction::triggered, this,
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

void MainWindow::closeEvent(QCloseEvent* pEvent)
{
    if (!MayDiscard()) {
        pEvent->ignore();
        return;
    }
    m_settings.setValue(QStringLiteral("window/geometry"), QString::fromLatin1(saveGeometry().toBase64()));
    pEvent->accept();
}
