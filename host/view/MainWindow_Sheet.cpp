// The board, its sizes and the nest: the Sheet and Nest menus.
#include "MainWindow.h"

#include "MainWindowWording.h"
#include "NestJob.h"
#include "SheetCommands.h"
#include "SheetSettingsDialog.h"
#include "SheetView.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

namespace {
// Boards lasers commonly take, named in their own unit.
struct Board
{
    const char* pszName;
    double dWidthMm, dHeightMm;
};
const Board kBoards[] = {{"600 × 400 mm", 600, 400}, {"400 × 300 mm", 400, 300}, {"300 × 300 mm", 300, 300},
                         {"900 × 600 mm", 900, 600}, {"12 × 12 in", 304.8, 304.8}, {"20 × 12 in", 508, 304.8},
                         {"24 × 12 in", 609.6, 304.8}, {"24 × 18 in", 609.6, 457.2}};
} // namespace

void MainWindow::BuildSheetMenu(QMenu* pMenu)
{
    for (const Board& board : kBoards) {
        QAction* pAction = pMenu->addAction(QString::fromUtf8(board.pszName));
        pAction->setCheckable(true);
        pAction->setData(QSizeF(board.dWidthMm, board.dHeightMm));
        connect(pAction, &QAction::triggered, this, [this, board] { SetSheetSize(QSizeF(board.dWidthMm, board.dHeightMm)); });
    }
    // The board in use is ticked, whichever way it was set.
    connect(pMenu, &QMenu::aboutToShow, this, [this, pMenu] {
        for (QAction* pAction : pMenu->actions())
            if (pAction->data().isValid())
                pAction->setChecked(pAction->data().toSizeF() == m_model.Setup().size);
    });
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

void MainWindow::SetSheetSize(const QSizeF& mm)
{
    SheetSetup setup = m_model.Setup();
    setup.size = mm;
    if (mm != m_model.SheetSize())
        m_undo.push(new SetupCommand(m_model, setup, Wording("Sheet size")));
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
    SheetSettingsDialog ask(m_model.Setup(), NestSeconds(), m_pSheet->Inches(), this);
    if (ask.exec() != QDialog::Accepted)
        return;
    const SheetSetup setup = ask.Setup();
    m_settings.setValue(QStringLiteral("nest/seconds"), ask.Seconds());
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
    bool cancelled = false;
    NestJob job(request);
    connect(pCancel, &QPushButton::clicked, &progress, &QDialog::reject);
    connect(&progress, &QDialog::rejected, this, [&] { job.Cancel(), cancelled = true; }); // Escape too
    connect(pStop, &QPushButton::clicked, this, [&] { job.Stop(), pStop->setEnabled(false); });
    connect(&job, &NestJob::Progress, &progress, [&, seconds = request.dSeconds](const NestStatus& status) {
        if (status.dMaterialUse <= 0) {
            pBar->setValue(status.nPlaced);
            return;
        }
        pBar->setRange(0, 100);
        pBar->setValue(seconds > 0 ? int(std::min(100.0, 100 * status.dSeconds / seconds)) : 100);
        pLabel->setText(Wording("Nesting %1 pieces... best material use so far: %2 %")
                            .arg(status.nPieces)
                            .arg(QString::number(100 * status.dMaterialUse, 'f', 1)));
    });
    QEventLoop loop;
    connect(&job, &NestJob::Finished, &loop, &QEventLoop::quit);
    job.Start();
    progress.show();
    loop.exec();
    progress.hide();
    const NestOutcome& outcome = job.Outcome();
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
    if (const SheetSetup setup = RollCut(m_model.Setup(), outcome); setup != m_model.Setup())
        m_undo.push(new SetupCommand(m_model, setup, Wording("Nest all parts")));
    m_undo.endMacro();
    // Holes are said only when they took pieces: the line is long enough.
    QString message = outcome.nInHoles ? Wording("%1 pieces nested on %2 sheet(s), %3 of them in holes.")
                                             .arg(outcome.nPieces).arg(m_model.SheetCount()).arg(outcome.nInHoles)
                                       : Wording("%1 pieces nested on %2 sheet(s).").arg(outcome.nPieces).arg(m_model.SheetCount());
    if (outcome.nTooLarge)
        message += QLatin1Char(' ') + Wording("%1 piece(s) larger than the board lie on sheets of their own.").arg(outcome.nTooLarge);
    // What the cut costs when the rest of the last board is kept; in the order of NestOutcome::Edge.
    const char* const fromEdge[] = {"The last sheet is used to %1 mm from its top edge: %2 % material use with the rest of it kept as offcut.",
                                    "The last sheet is used to %1 mm from its left edge: %2 % material use with the rest of it kept as offcut.",
                                    "The last sheet is used to %1 mm from its right edge: %2 % material use with the rest of it kept as offcut."};
    if (!m_model.Setup().bRoll)
        message += QLatin1Char(' ')
                 + Wording(fromEdge[int(outcome.lastFrom)])
                       .arg(QString::number(outcome.dLengthMm, 'f', 1), QString::number(100 * outcome.dMaterialUse, 'f', 1));
    statusBar()->showMessage(message);
    m_pSheet->ZoomToFit();
    return true;
}
