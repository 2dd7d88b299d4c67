// kerfmate-host as a program of its own: a sheet document of parts made by
// the module's dialog, which it saves, opens, edits, exports and lays out.
#pragma once

#include "DialogDriver.h"
#include "SheetModel.h"

#include <QMainWindow>
#include <QSettings>
#include <QTranslator>
#include <QUndoStack>

class HostEngine;
class ModuleHost;
class QLabel;
class SheetView;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // strLanguage and strTheme, when given, win over the remembered ones.
    MainWindow(ModuleHost& module, HostEngine& engine, const QString& strLanguage, const QString& strTheme,
               QWidget* pParent = nullptr);
    ~MainWindow() override;

    SheetView* Sheet() const { return m_pSheet; }
    SheetModel& Model() { return m_model; }
    QUndoStack& UndoStack() { return m_undo; }
    QString DocumentPath() const { return m_strDocument; }

    // Runs the module's dialog and places what it returns where there is
    // room; false when it was cancelled or the part is empty. What the engine
    // changed in the part, or why it made none, shows in the status bar and a message.
    bool NewPart();
    // Opens the dialog on the part's generator with its own values typed in;
    // OK replaces it in place as one undo step (a piece cut free: with its fellow pieces).
    bool EditPart(int nId);
    // Every part where it lies on the sheet; the extension picks the format.
    bool ExportTo(const QString& path);
    // An SVG or DXF drawing as a part, placed where a new part goes; false,
    // with a message saying why and the sheet untouched, when it cannot be read.
    bool ImportFrom(const QString& path);
    bool SaveTo(const QString& path);
    // False, with a message and the open sheet untouched, when the file is
    // damaged or newer than this program.
    bool OpenFile(const QString& path);
    void SetLanguage(const QString& code);
    void SetUnits(int nRulerUnit);
    void SetTheme(const QString& name);
    void SetSheetSize(const QSizeF& mm);
    // Fits every piece of the parts (or of the selected ones) onto the
    // sheets off the window's thread, with a progress bar and Cancel; one
    // undo step. False when cancelled, failed or there was nothing to nest.
    bool Nest(bool bSelectionOnly);
    // OK on a setting the engine refuses opens the dialog again with the
    // values typed; a script, with no maker to type again, turns that off.
    void SetReopenRefused(bool bReopen) { m_bReopenRefused = bReopen; }
    // The search's budget the nest settings keep, in seconds.
    double NestSeconds() const;

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private:
    QAction* AddAction(QMenu* pMenu, const char* pszName, const char* pszKey, const QKeySequence& keys = {});
    QMenu* AddMenu(QMenu* pParent, const char* pszKey);
    void BuildMenus();
    void BuildSheetMenu(QMenu* pMenu);
    void BuildNestMenu();
    void EditSheetSettings();
    void Retranslate();
    void UpdateTitle();
    void UpdateStatus();
    void UpdateRecent();
    void BecomeDocument(const QString& path); // named after it, first of the recent files
    bool MayDiscard(); // asks Save, Discard or Cancel while there are unsaved changes
    bool Save(bool bAskPath);
    void Open();
    void NewDocument();
    void Export(const QString& suffix);
    void ImportDrawings();
    QVector<Part> Selected() const;
    void Transform(const QVector<Part>& after, const char* pszKey);
    void Duplicate();
    void Ungroup();
    QString Place(Part part, const char* pszKey); // what the maker reads of where it went
    // The dialog until OK brings a part (its outlines) or the maker cancels (none).
    bool AskPart(DialogPlan plan, const char* pszTitleKey, Part* pPart);
    // A piece cut free edited: its fellow pieces remade in place, or the part whole when
    // the new values make other pieces.
    void RemakePieces(const Part& piece, const Part& made, QSizeF* pOverhang);
    void ShowBuildMessage(bool bPlaced, const QString& more = QString());
    QString FileFilter(const QString& suffix) const;

    ModuleHost& m_module;
    HostEngine& m_engine;
    SheetModel m_model;
    QUndoStack m_undo;
    QSettings m_settings;
    SheetView* m_pSheet = nullptr;
    QWidget m_dialogOwner; // hidden: the module's dialog is modal to it alone
    DialogDriver m_driver; // types a part's own values into the dialog that edits it
    QString m_strDocument;
    QTranslator m_toolkitWords; // the toolkit's own dialogs and buttons
    QList<QPair<QObject*, const char*>> m_texts; // what to re-text on a language change
    QLabel* m_pStatus[5] = {}; // parts, selection, cursor, overflow, sheets and material use
    QMenu* m_pRecent = nullptr;
    QPointF m_cursor;
    bool m_bReopenRefused = true;
};
