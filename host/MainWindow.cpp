#include "MainWindow.h"

#include "CShapeList.h"
#include "CTranslator.h"
#include "CUiPermissionsManager.h"
#include "HostConfig.h"
#include "HostEngine.h"
#include "ModuleHost.h"
#include "SheetView.h"

#include <QActionGroup>
#include <QWindow>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>

namespace {
QString Wording(const char* pszKey)
{
    return CTranslator::GetInstance()->GetWording(QString::fromUtf8(pszKey));
}

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

// Languages in their own names, which no language change re-texts.
const QPair<const char*, const char*> kLanguages[] = {{"en", "English"}, {"zh", "中文"}, {"de", "Deutsch"}};
} // namespace

MainWindow::MainWindow(ModuleHost& module, HostEngine& engine, const QString& strLanguage, const QString& strTheme,
                       QWidget* pParent)
    : QMainWindow(pParent)
    , m_module(module)
    , m_engine(engine)
    , m_settings(SettingsFormat(), QSettings::UserScope, QStringLiteral("Kerfmate"), QStringLiteral("kerfmate-host"))
{
    m_dialogOwner.winId(); // a window of its own, or the dialog would take this one as its owner
    m_pSheet = new SheetView(m_undo, this);
    setCentralWidget(m_pSheet);
    BuildMenus();
    connect(&m_undo, &QUndoStack::cleanChanged, this, &MainWindow::UpdateTitle);
    connect(m_pSheet, &SheetView::PartsChanged, this, [this] {
        statusBar()->showMessage(Wording("Parts: %1").arg(m_pSheet->Parts().size()));
    });

    resize(1100, 720);
    restoreGeometry(m_settings.value(QStringLiteral("window/geometry")).toByteArray());
    SetTheme(strTheme.isEmpty() ? m_settings.value(QStringLiteral("theme"), HostThemes().first()).toString()
                                : strTheme);
    SetLanguage(strLanguage.isEmpty() ? m_settings.value(QStringLiteral("language"), QStringLiteral("en")).toString()
                                      : strLanguage);
    UpdateTitle();
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::AddAction(QMenu* pMenu, const char* pszName, const char* pszKey, const QKeySequence& keys)
{
    auto* pAction = pMenu->addAction(Wording(pszKey));
    pAction->setObjectName(QString::fromLatin1(pszName));
    pAction->setShortcut(keys);
    m_texts.append({pAction, pszKey});
    return pAction;
}

void MainWindow::BuildMenus()
{
    auto menu = [this](const char* pszKey) {
        QMenu* pMenu = menuBar()->addMenu(Wording(pszKey));
        m_texts.append({pMenu, pszKey});
        return pMenu;
    };
    QMenu* pFile = menu("&File");
    QAction* pNew = AddAction(pFile, "actionNewPart", "New part...", QKeySequence::New);
    connect(pNew, &QAction::triggered, this, &MainWindow::NewPart);
    const QPair<const char*, FileFormat> exports[] = {
        {"Export SVG...", FileFormat::Svg}, {"Export DXF...", FileFormat::Dxf}, {"Export PDF...", FileFormat::Pdf}};
    QList<QAction*> exportActions;
    for (const auto& [key, format] : exports) {
        const QString name = QStringLiteral("actionExport") + QString::fromLatin1(key).mid(7, 3);
        exportActions << AddAction(pFile, name.toLatin1().constData(), key);
        connect(exportActions.last(), &QAction::triggered, this, [this, format = format] { Export(format); });
    }
    pFile->addSeparator();
    connect(AddAction(pFile, "actionQuit", "Quit", QKeySequence::Quit), &QAction::triggered, this, &QWidget::close);

    QMenu* pEdit = menu("&Edit");
    QAction* pUndo = AddAction(pEdit, "actionUndo", "Undo", QKeySequence::Undo);
    QAction* pRedo = AddAction(pEdit, "actionRedo", "Redo", QKeySequence::Redo);
    connect(pUndo, &QAction::triggered, &m_undo, &QUndoStack::undo);
    connect(pRedo, &QAction::triggered, &m_undo, &QUndoStack::redo);
    connect(&m_undo, &QUndoStack::canUndoChanged, pUndo, &QAction::setEnabled);
    connect(&m_undo, &QUndoStack::canRedoChanged, pRedo, &QAction::setEnabled);
    pUndo->setEnabled(false);
    pRedo->setEnabled(false);
    QAction* pDelete = AddAction(pEdit, "actionDelete", "Delete", QKeySequence::Delete);
    connect(pDelete, &QAction::triggered, m_pSheet, &SheetView::DeleteSelected);
    connect(AddAction(pEdit, "actionSelectAll", "Select all", QKeySequence::SelectAll), &QAction::triggered,
            m_pSheet, [this] {
                for (PartItem* pPart : m_pSheet->Parts())
                    pPart->setSelected(true);
            });

    QMenu* pView = menu("&View");
    QAction* pFit = AddAction(pView, "actionZoomToFit", "Zoom to fit", QKeySequence(Qt::CTRL | Qt::Key_0));
    connect(pFit, &QAction::triggered, m_pSheet, &SheetView::ZoomToFit);
    QMenu* pUnits = pView->addMenu(Wording("Units"));
    m_texts.append({pUnits, "Units"});
    auto* pUnitGroup = new QActionGroup(this);
    for (const auto& [name, key, unit] : {std::tuple("actionUnitsMm", "Millimetres", int(RulerMm)),
                                          std::tuple("actionUnitsInch", "Inches", int(RulerInch))}) {
        QAction* pAction = AddAction(pUnits, name, key);
        pAction->setCheckable(true);
        pAction->setData(unit);
        pUnitGroup->addAction(pAction);
        connect(pAction, &QAction::triggered, this, [this, unit = unit] { SetUnits(unit); });
    }
    QMenu* pThemes = pView->addMenu(Wording("Theme"));
    m_texts.append({pThemes, "Theme"});
    auto* pThemeGroup = new QActionGroup(this);
    for (const QString& theme : HostThemes()) {
        QAction* pAction = pThemes->addAction(theme);
        pAction->setObjectName(QStringLiteral("actionTheme_") + theme);
        pAction->setCheckable(true);
        pThemeGroup->addAction(pAction);
        connect(pAction, &QAction::triggered, this, [this, theme] { SetTheme(theme); });
    }

    QMenu* pLanguage = menu("&Language");
    auto* pLanguageGroup = new QActionGroup(this);
    for (const auto& [code, name] : kLanguages) {
        QAction* pAction = pLanguage->addAction(QString::fromUtf8(name));
        pAction->setObjectName(QStringLiteral("actionLanguage_") + QLatin1String(code));
        pAction->setCheckable(true);
        pLanguageGroup->addAction(pAction);
        connect(pAction, &QAction::triggered, this, [this, code = code] { SetLanguage(QLatin1String(code)); });
    }

    QToolBar* pTools = addToolBar(QString());
    pTools->setObjectName(QStringLiteral("toolBar"));
    pTools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    pTools->addActions({pNew, pUndo, pRedo, pDelete, pFit});
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
    UpdateTitle();
}

void MainWindow::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange)
        Retranslate();
    QMainWindow::changeEvent(pEvent);
}

void MainWindow::UpdateTitle()
{
    const QString file = m_strFile.isEmpty() ? Wording("Untitled") : QFileInfo(m_strFile).fileName();
    setWindowTitle(QStringLiteral("%1[*] - Kerfmate").arg(file));
    setWindowModified(!m_undo.isClean());
}

void MainWindow::SetLanguage(const QString& code)
{
    // The module's wordings first, then the window's own laid over them;
    // each step re-texts every open window, an open dialog too.
    if (!CTranslator::GetInstance()->SetLanguage(code))
        return;
    Q_INIT_RESOURCE(host_i18n);
    CTranslator::GetInstance()->LoadCatalogue(QStringLiteral(":/kerfmate-host/i18n/%1.json").arg(code));
    if (QAction* pAction = findChild<QAction*>(QStringLiteral("actionLanguage_") + code))
        pAction->setChecked(true);
    m_settings.setValue(QStringLiteral("language"), code);
}

void MainWindow::SetUnits(int nRulerUnit)
{
    // The module reads the unit from cfg.ini when its dialog opens.
    WriteRulerUnit(nRulerUnit);
    m_settings.setValue(QStringLiteral("units"), nRulerUnit);
    m_pSheet->SetInches(IsInch(nRulerUnit));
    for (const char* name : {"actionUnitsMm", "actionUnitsInch"}) {
        QAction* pAction = findChild<QAction*>(QLatin1String(name));
        pAction->setChecked(IsInch(pAction->data().toInt()) == IsInch(nRulerUnit));
    }
}

void MainWindow::SetTheme(const QString& name)
{
    const QString theme = HostThemes().contains(name) ? name : HostThemes().first();
    CUiPermissionsManager::GetInstance()->SetThemeName(theme);
    m_settings.setValue(QStringLiteral("theme"), theme);
    if (QAction* pAction = findChild<QAction*>(QStringLiteral("actionTheme_") + theme))
        pAction->setChecked(true);
    // Each theme has its own cfg.ini: it gets the unit this window shows.
    SetUnits(m_settings.value(QStringLiteral("units"), ReadRulerUnit()).toInt());
}

bool MainWindow::NewPart()
{
    // One dialog at a time: the module keeps what Create was given.
    QAction* pNew = findChild<QAction*>(QStringLiteral("actionNewPart"));
    pNew->setEnabled(false);
    CShapeList* pResult = nullptr;
    {
        const ModalToOwner modal(&m_dialogOwner);
        pResult = m_module.Create(&m_engine, &m_dialogOwner);
    }
    pNew->setEnabled(true);
    if (!pResult)
        return false;
    const Outlines outlines = OutlinesOf(*pResult);
    pResult->DeleteAll();
    CShapeList::Release(pResult);
    const bool placed = !outlines.isEmpty() && IsFinite(outlines);
    if (placed)
        m_pSheet->AddPart(outlines, Wording(GeneratorName(m_engine.LastBuild().nGenerator)));
    ShowBuildMessage(placed);
    return placed;
}

void MainWindow::ShowBuildMessage(bool bPlaced)
{
    QString message = BuildMessage(m_engine.LastBuild(), true);
    if (message.isEmpty() && !bPlaced)
        message = Wording("The part is empty: nothing was placed.");
    if (message.isEmpty())
        return;
    statusBar()->showMessage(message);
    // Not blocking: the sheet stays usable while the maker reads it.
    auto* pBox = new QMessageBox(bPlaced ? QMessageBox::Information : QMessageBox::Warning, Wording("New part..."),
                                 message, QMessageBox::Ok, this);
    pBox->setAttribute(Qt::WA_DeleteOnClose);
    pBox->open();
}

void MainWindow::Export(FileFormat format)
{
    const QString suffix = format == FileFormat::Svg ? QStringLiteral("svg")
                         : format == FileFormat::Dxf ? QStringLiteral("dxf")
                                                     : QStringLiteral("pdf");
    const QString folder = m_settings.value(QStringLiteral("export/folder"),
                                            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                               .toString();
    const QString base = m_strFile.isEmpty() ? QStringLiteral("part") : QFileInfo(m_strFile).completeBaseName();
    QString path = QFileDialog::getSaveFileName(this, Wording("Export"), folder + QLatin1Char('/') + base + QLatin1Char('.') + suffix,
                                                suffix.toUpper() + QStringLiteral(" (*.") + suffix + QLatin1Char(')'), nullptr,
                                                QFileDialog::DontUseNativeDialog);
    if (path.isEmpty())
        return;
    if (FormatOf(path) != format)
        path += QLatin1Char('.') + suffix;
    ExportTo(path);
}

bool MainWindow::ExportTo(const QString& path)
{
    const Outlines outlines = m_pSheet->AllOutlines();
    QString error = Wording("Nothing to export yet.");
    if (outlines.isEmpty() || !WritePart(outlines, path, &error)) {
        QMessageBox::warning(this, Wording("Export"), Wording("Could not export: %1").arg(error));
        return false;
    }
    m_strFile = path;
    m_settings.setValue(QStringLiteral("export/folder"), QFileInfo(path).absolutePath());
    m_undo.setClean();
    UpdateTitle();
    statusBar()->showMessage(Wording("Exported to %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

void MainWindow::closeEvent(QCloseEvent* pEvent)
{
    if (!m_undo.isClean() && !m_pSheet->Parts().isEmpty()
        && QMessageBox::question(this, Wording("Close"),
                                 Wording("The parts on the sheet have not been exported. Close anyway?"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes) {
        pEvent->ignore();
        return;
    }
    m_settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
    pEvent->accept();
}
