// kerfmate-host as a small program of its own: a sheet, "New part..." that
// runs the module's dialog, undo, export, language, units and theme.
#pragma once

#include "Outlines.h"

#include <QMainWindow>
#include <QSettings>
#include <QUndoStack>

class HostEngine;
class ModuleHost;
class QActionGroup;
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
    QUndoStack& UndoStack() { return m_undo; }

    // Runs the module's dialog and places what it returns; false when it
    // was cancelled or the part is empty. What the engine changed in the
    // part, or why it made none, shows in the status bar and a message.
    bool NewPart();
    // Writes every part at its place on the sheet; the extension picks the format.
    bool ExportTo(const QString& path);
    void SetLanguage(const QString& code);
    void SetUnits(int nRulerUnit);
    void SetTheme(const QString& name);

    // Where the window keeps what it remembers (never the module's file).
    static QSettings::Format SettingsFormat() { return QSettings::IniFormat; }

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private:
    QAction* AddAction(QMenu* pMenu, const char* pszName, const char* pszKey, const QKeySequence& keys = {});
    void BuildMenus();
    void Retranslate();
    void UpdateTitle();
    void Export(FileFormat format);
    void ShowBuildMessage(bool bPlaced);

    ModuleHost& m_module;
    HostEngine& m_engine;
    QUndoStack m_undo;
    QSettings m_settings;
    SheetView* m_pSheet = nullptr;
    QWidget m_dialogOwner; // hidden: the module's dialog is modal to it alone
    QString m_strFile; // the last export; names the window
    QList<QPair<QObject*, const char*>> m_texts; // what to re-text on a language change
};
