// Documents, import and export: the File menu.
#include "MainWindow.h"

#include "ExportFormats.h"
#include "Import.h"
#include "MainWindowWording.h"
#include "Parameters.h"
#include "SheetDocument.h"
#include "SheetView.h"
#include "WholeFile.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStatusBar>

namespace {
constexpr int kRecentFiles = 8;
} // namespace

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
        QMessageBox::warning(this, Wording("Export"), Wording("Could not export %1: %2").arg(QDir::toNativeSeparators(path), error));
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
        QMessageBox::warning(this, Wording("Save"), Wording("Could not save %1: %2").arg(QDir::toNativeSeparators(path), error));
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
