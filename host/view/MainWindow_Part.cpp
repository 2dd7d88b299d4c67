// Making a part with the module's dialog, and making it again.
#include "MainWindow.h"

#include "CShapeList.h"
#include "HostEngine.h"
#include "MadePart.h"
#include "MainWindowWording.h"
#include "ModuleHost.h"
#include "Parameters.h"
#include "SheetCommands.h"
#include "SheetView.h"

#include <QApplication>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace {
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
} // namespace

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
        // its preview, which has nothing to show. A first dialog has none.
        const QMetaObject::Connection beside = refusal.isEmpty() ? QMetaObject::Connection()
                                                                 : connect(&m_driver, &DialogDriver::Typed, this, [=](QDialog* pDialog) {
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
    QSizeF overhang;
    if (before.nSource) {
        RemakePieces(before, edited, &overhang);
    } else {
        edited.nId = nId;
        if (edited.nGenerator == before.nGenerator)
            edited.strName = before.strName;
        edited.position = before.position;
        edited.nSheet = before.nSheet;
        edited.dRotation = before.dRotation;
        edited.bMirrored = before.bMirrored;
        edited.bPinned = before.bPinned;
        edited = m_model.Landed(edited, true, &overhang);
        m_undo.push(new ReplaceCommand(m_model, {edited}, Wording("Edit part...")));
    }
    if (m_driver.LastError().isEmpty())
        ShowBuildMessage(true, OverhangMessage(overhang, m_pSheet->Inches(), Wording));
    else
        statusBar()->showMessage(Wording("Not every value could be typed again: %1").arg(m_driver.LastError()));
    return true;
}

void MainWindow::RemakePieces(const Part& piece, const Part& made, QSizeF* pOverhang)
{
    // Its fellow pieces, cut from the same part and made from the same values.
    QVector<Part> pieces;
    for (const Part& part : m_model.Parts())
        if (part.nSource == piece.nSource && part.nGenerator == piece.nGenerator && part.parameters == piece.parameters)
            pieces << part;
    const bool each = std::all_of(pieces.cbegin(), pieces.cend(), [&](const Part& one) { return one.nPiece < made.pieces.size(); })
                      && pieces.size() == made.pieces.size();
    if (each) { // each piece stays where it lies, remade
        for (Part& one : pieces) {
            one.pieces = Framed({made.pieces[one.nPiece]});
            one.parameters = made.parameters;
            one.nGenerator = made.nGenerator;
        }
        m_undo.push(new ReplaceCommand(m_model, pieces, Wording("Edit part...")));
        return;
    }
    // Other pieces than before: the part whole again, where the edited piece lay.
    Part whole = made;
    whole.nId = m_model.NextId();
    whole.position = piece.position;
    whole.nSheet = piece.nSheet;
    whole = m_model.Landed(whole, true, pOverhang);
    m_undo.beginMacro(Wording("Edit part..."));
    m_undo.push(new PartsCommand(m_model, pieces, false, QString()));
    m_undo.push(new PartsCommand(m_model, {whole}, true, QString()));
    m_undo.endMacro();
    m_pSheet->Select({whole.nId});
}
