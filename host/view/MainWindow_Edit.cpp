// What the Edit menu does to the selected parts.
#include "MainWindow.h"

#include "MainWindowWording.h"
#include "SheetCommands.h"
#include "SheetView.h"

#include <QStatusBar>

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
